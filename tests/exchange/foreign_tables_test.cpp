// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"
#include "exchange/batch_import.h"
#include "exchange/foreign_tables.h"
#include "platform/cp949.h"
#include "platform/user_error.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "support/recorded_progress.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

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

// A copy in `dir` of the fixture table `dbf` with `change` made to its
// bytes, beside a copy of its memo file `memo`; returns the table's path.
QString damagedCopy(const QString &dir, const char *dbf, const char *memo, const std::function<void(QByteArray &)> &change)
{
    QByteArray bytes = readAll(xbaseFixture(dbf));
    change(bytes);
    const QString path = dir + QLatin1Char('/') + QFileInfo(QLatin1String(dbf)).fileName();
    EXPECT_TRUE(test::writeAll(path, bytes));
    EXPECT_TRUE(test::writeAll(dir + QLatin1Char('/') + QFileInfo(QLatin1String(memo)).fileName(),
                               readAll(xbaseFixture(memo))));
    return path;
}

void setHeaderLength(QByteArray &bytes, int length)
{
    bytes[8] = char(length & 0xFF);
    bytes[9] = char(length >> 8);
}

// The message of a refused opening: the import's own, then the reason.
QString refusal(xbase::TApolloTable &table, const QString &path, const QString &failure)
{
    try {
        exchange::openForeign(table, path, failure);
    } catch (const EUserError &e) {
        EXPECT_FALSE(table.Active());
        return e.text();
    }
    return QStringLiteral("opened");
}

} // namespace

// A Biblora table whose "date1" is a character field: only values in the
// form yyyy.mm.dd are dates; "20010304" leaves DATE1 empty.
TEST(ForeignTables, CharacterDatesAreTakenOnlyInTheirOwnForm)
{
    VERBANA_REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const QString dbf = damagedCopy(dir.path(), "foreign-sermon/SULGYO.DBF", "foreign-sermon/SULGYO.SMT",
                                    [](QByteArray &bytes) {
                                        for (int d = 32; d + 32 <= bytes.size() && bytes[d] != '\r'; d += 32)
                                            if (bytes.mid(d, 6).toUpper() == QByteArray("DATE1\0", 6))
                                                bytes[d + 11] = 'C';
                                    });
    test::TestCollection c;
    xbase::TApolloTable foreign;
    exchange::openForeign(foreign, dbf, QString());
    ASSERT_TRUE(exchange::isBibloraTable(foreign));
    ASSERT_EQ(foreign.FieldType(QByteArrayLiteral("date1")), QByteArray("C"));
    EXPECT_EQ(exchange::importBiblora(c.document(), foreign).message(), QStringLiteral("내용 복사 완료 (5개)"));
    foreign.Close();
    xbase::TApolloTable &t = c.table();
    t.SetOrder(0);
    EXPECT_EQ(at(t, 1, store::fDATE1), QByteArray());
    EXPECT_EQ(t.GetString(store::fDATE2), QByteArray("2001.03.11")); // a date field still
}

TEST(ForeignTables, BibloraSermonsComeWithTheirFieldsAndManuscripts)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c(std::vector<test::SermonRow>{{"2000.01.01", "already"}});
    EXPECT_FALSE(exchange::isBibloraTable(c.table())); // the collection's own table: character dates
    const QString dbf = xbaseFixture("foreign-sermon/SULGYO.DBF");
    const QByteArray before = readAll(dbf) + readAll(xbaseFixture("foreign-sermon/SULGYO.SMT"));
    xbase::TApolloTable foreign;
    exchange::openForeign(foreign, dbf, QString());
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
    exchange::openForeign(notes, dbf, QString());
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

// A table whose header length does not end its field list is refused with
// the reason; one cut short gives its whole records and says how many of
// how many are missing.
TEST(ForeignTables, ABibloraTableDisagreeingWithItsFileIsRefusedOrSaysWhatIsMissing)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c;
    QTemporaryDir tmp;
    const QString failure = QStringLiteral("Biblora의 Verbana 파일이 맞습니까?\r파일을 열 수 없습니다.");
    xbase::TApolloTable foreign;
    const QString longHeader = damagedCopy(tmp.path(), "foreign-sermon/SULGYO.DBF", "foreign-sermon/SULGYO.SMT",
                                           [](QByteArray &b) { setHeaderLength(b, 2000); });
    EXPECT_EQ(refusal(foreign, longHeader, failure),
              failure + QStringLiteral("\r파일 머리에 적힌 머리 길이(2000바이트)가 필드 목록(705바이트)과 맞지 않아, 자료를 "
                                       "바르게 읽을 수 없습니다."));

    const QString cut = damagedCopy(tmp.path(), "foreign-sermon/SULGYO.DBF", "foreign-sermon/SULGYO.SMT",
                                    [](QByteArray &b) { b.truncate(706 + 2 * 1007 + 300); });
    exchange::openForeign(foreign, cut, failure);
    const auto outcome = exchange::importBiblora(c.document(), foreign);
    EXPECT_EQ(outcome.copied, 2);
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(outcome.message(),
              QStringLiteral("내용 복사 완료 (2개)\r파일이 잘려 있어, 표에 적힌 자료 5개 중 3개가 파일에 없습니다."));
    c.table().SetOrder(0);
    EXPECT_EQ(c.table().RecCount(), 2u);
    EXPECT_EQ(at(c.table(), 2, store::fTITLE1), cp("무화과나무의 교훈"));
}

TEST(ForeignTables, ANotaviaFileDisagreeingWithItsFileIsRefusedOrSaysWhatIsMissing)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c;
    QTemporaryDir tmp;
    const QString failure = QStringLiteral("Notavia용 파일이 맞습니까?\r파일을 열 수 없습니다.");
    xbase::TApolloTable notes;
    // One record too long: the first note would be read as header.
    const QString longHeader = damagedCopy(tmp.path(), "foreign-notes/NOTE1.DBF", "foreign-notes/NOTE1.smt",
                                           [](QByteArray &b) { setHeaderLength(b, 354 + 281); });
    EXPECT_EQ(refusal(notes, longHeader, failure),
              failure + QStringLiteral("\r파일 머리에 적힌 머리 길이(635바이트)가 필드 목록(353바이트)과 맞지 않아, 자료를 "
                                       "바르게 읽을 수 없습니다."));
    // One byte short: every record read shifted.
    const QString shortHeader = damagedCopy(tmp.path(), "foreign-notes/NOTE1.DBF", "foreign-notes/NOTE1.smt",
                                            [](QByteArray &b) { setHeaderLength(b, 353); });
    EXPECT_TRUE(refusal(notes, shortHeader, failure).startsWith(failure + QStringLiteral("\r자료 ")));

    const QString cut = damagedCopy(tmp.path(), "foreign-notes/NOTE1.DBF", "foreign-notes/NOTE1.smt",
                                    [](QByteArray &b) { b.truncate(354 + 3 * 281); });
    exchange::openForeign(notes, cut, failure);
    const auto outcome = exchange::importNotavia(c.document(), notes, {"TITLE1", "", "", ""});
    EXPECT_EQ(outcome.copied, 3);
    EXPECT_EQ(outcome.message(),
              QStringLiteral("내용 복사 완료 (3개)\r파일이 잘려 있어, 표에 적힌 자료 4개 중 1개가 파일에 없습니다."));
}
