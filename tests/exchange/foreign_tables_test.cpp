// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"
#include "exchange/batch_import.h"
#include "exchange/foreign_tables.h"
#include "platform/cp949.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "support/recorded_progress.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace verbana;
using test::cp;
using test::readAll;

namespace {

QString xbaseFixture(const char *relative)
{
    return test::sharedFixtures() + QStringLiteral("/xbase/") + QLatin1String(relative);
}

QByteArray at(xbase::TApolloTable &t, uint32_t recno, int field)
{
    t.Go(recno);
    return t.GetString(field);
}

} // namespace

TEST(ForeignTables, BibloraSermonsComeWithTheirFieldsAndManuscripts)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c(std::vector<test::SermonRow>{{"2000.01.01", "already"}});
    EXPECT_FALSE(exchange::isBibloraTable(c.table())); // the collection's own table: character dates
    const QString dbf = xbaseFixture("foreign-sermon/SULGYO.DBF");
    const QByteArray before = readAll(dbf) + readAll(xbaseFixture("foreign-sermon/SULGYO.SMT"));
    xbase::TApolloTable foreign;
    exchange::openForeign(foreign, dbf);
    ASSERT_TRUE(exchange::isBibloraTable(foreign));
    EXPECT_FALSE(exchange::isNotaviaTable(foreign));
    test::RecordedProgress progress;
    const auto outcome = exchange::importBiblora(c.document(), foreign, &progress);
    foreign.Close();
    EXPECT_EQ(outcome.message(), QStringLiteral("내용 복사 완료 (5개)"));
    EXPECT_EQ(progress.done(), (std::vector<uint64_t>{1, 2, 3, 4, 5}));
    xbase::TApolloTable &t = c.table();
    t.SetOrder(0);
    ASSERT_EQ(t.RecCount(), 6u);
    EXPECT_EQ(at(t, 2, store::fDATE1), QByteArray("2001.03.04"));
    EXPECT_EQ(t.GetString(store::fTITLE1), cp("십자가의 도"));
    EXPECT_EQ(t.GetString(store::fTITLE2), cp("멸망하는 자들에게는 미련한 것이요"));
    EXPECT_EQ(t.GetString(store::fBIBLENO), QByteArray("46001018"));
    EXPECT_EQ(t.GetString(store::fBRIEF), cp("십자가의 능력"));
    EXPECT_EQ(t.GetString(store::fDATE2), QByteArray("2001.03.11"));
    EXPECT_EQ(t.GetString(store::fWHERE), cp("본교회"));
    EXPECT_EQ(t.GetString(store::fCONTEXT), QByteArray("d0\\sul1.RTF"));
    const QByteArray manuscript = readAll(c.folder() + QStringLiteral("/data/d0/sul1.RTF"));
    EXPECT_EQ(manuscript.size(), 497); // the memo and one zero byte
    EXPECT_TRUE(manuscript.startsWith("{\\rtf1\\ansi\\ansicpg949"));
    EXPECT_TRUE(manuscript.endsWith('\0'));
    const QByteArray text = readAll(c.folder() + QStringLiteral("/text/d0/sul1.txt"));
    EXPECT_EQ(text, exchange::textCopyOfMemo(manuscript));
    EXPECT_FALSE(text.contains("\\rtf"));
    EXPECT_EQ(at(t, 3, store::fDATE2), QByteArray()); // an empty date
    EXPECT_EQ(at(t, 5, store::fDATE1), QByteArray());
    EXPECT_EQ(t.GetString(store::fTITLE1), cp("날짜 없는 설교"));
    // An empty memo: one zero byte in each file.
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul4.RTF")), QByteArray(1, '\0'));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul4.txt")), QByteArray(1, '\0'));
    EXPECT_EQ(readAll(dbf) + readAll(xbaseFixture("foreign-sermon/SULGYO.SMT")), before);
}

TEST(ForeignTables, NotaviaNotesFillTheChosenFields)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c;
    const QString dbf = exchange::notaviaTablePath(xbaseFixture("foreign-notes/NOTE1.smt"));
    EXPECT_EQ(QFileInfo(dbf).fileName(), QStringLiteral("NOTE1.DBF"));
    xbase::TApolloTable notes;
    exchange::openForeign(notes, dbf);
    ASSERT_TRUE(exchange::isNotaviaTable(notes));
    EXPECT_FALSE(exchange::isBibloraTable(notes));
    const auto presets = exchange::notaviaPresets();
    std::array<QByteArray, 4> fields;
    for (int i = 0; i < 4; ++i)
        fields[i] = exchange::notaviaField(presets[i]);
    EXPECT_EQ(fields, (std::array<QByteArray, 4>{"TITLE1", "TITLE2", "SUBJECT", "ETCS"}));
    EXPECT_EQ(exchange::notaviaLabels().size(), 17);
    auto outcome = exchange::importNotavia(c.document(), notes, fields);
    EXPECT_EQ(outcome.message(), QStringLiteral("내용 복사 완료 (4개)"));
    xbase::TApolloTable &t = c.table();
    t.SetOrder(0);
    EXPECT_EQ(at(t, 1, store::fTITLE1), cp("창조의 질서"));
    EXPECT_EQ(t.GetString(store::fTITLE2), cp("태초에"));
    // An RTF memo gets a plain-text copy and the summary from it.
    const QByteArray rtfText = readAll(c.folder() + QStringLiteral("/text/d0/sul0.txt"));
    EXPECT_FALSE(rtfText.startsWith("{"));
    EXPECT_EQ(t.GetString(store::fBRIEF), cp949::trimRight(exchange::briefFromBytes(rtfText)));
    EXPECT_EQ(at(t, 2, store::fSUBJECT), cp("요한일서"));
    // Plain text and a "{\rtfX" memo are copied as they are.
    const QByteArray plain = readAll(c.folder() + QStringLiteral("/data/d0/sul1.RTF"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul1.txt")), plain);
    EXPECT_EQ(plain.size(), 70);
    const QByteArray odd = readAll(c.folder() + QStringLiteral("/text/d0/sul2.txt"));
    EXPECT_TRUE(odd.startsWith("{\\rtfX"));
    EXPECT_EQ(at(t, 4, store::fETCS), cp("목자"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul3.RTF")), QByteArray(1, '\0'));

    // 제목 chosen twice: the later title field wins; 작성일 takes text as it is.
    fields = {"TITLE1", "TITLE1", "DATE1", ""};
    outcome = exchange::importNotavia(c.document(), notes, fields);
    EXPECT_EQ(outcome.copied, 4);
    EXPECT_EQ(at(t, 6, store::fTITLE1), cp("하나님은 사랑이시라"));
    EXPECT_EQ(t.GetString(store::fDATE1), cp("요한일서"));
}
