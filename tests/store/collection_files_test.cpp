// SPDX-License-Identifier: GPL-3.0-or-later
#include "store_helpers.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include "store/collection_files.h"
#include "store/sermon_record.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::store;

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
}

TEST(SermonRecord, FieldsWidthsAndListOrder)
{
    int total = 1;
    for (const SermonField &f : sermonFields())
        total += f.width;
    EXPECT_EQ(total, 1085);
    EXPECT_EQ(sermonFields()[fBIBLENO - 1].createName(), QByteArray("bibleno"));
    EXPECT_EQ(sermonFields()[fBRIEF - 1].width, 200);
    EXPECT_EQ(sermonFields()[fSELFDIC - 1].labelText(), QStringLiteral("자기평가"));
    EXPECT_EQ(sermonFieldNumber("context"), fCONTEXT);
    EXPECT_EQ(sermonFieldNumber("nosuch"), 0);
    EXPECT_EQ(listColumnOrder().front(), fTITLE1);
    for (int n : listColumnOrder())
        EXPECT_GT(sermonFields()[size_t(n - 1)].listWidth, 0);
}

TEST(ManuscriptName, FollowsTheRecordCountAndSkipsTakenNames)
{
    QTemporaryDir tmp;
    EXPECT_EQ(NewManuscriptName(0, tmp.path()), QStringLiteral("d0\\sul0.txt"));
    EXPECT_EQ(NewManuscriptName(1000, tmp.path()), QStringLiteral("d1\\sul1000.txt"));
    touch(tmp.path() + QStringLiteral("/text/d0/sul999.txt"));
    // The folder stays d0 although the number passes 999.
    EXPECT_EQ(NewManuscriptName(999, tmp.path()), QStringLiteral("d0\\sul1000.txt"));
    // Names on disk in another letter case still count as taken.
    touch(tmp.path() + QStringLiteral("/TEXT/D0/SUL10.TXT"));
    QDir(tmp.path() + QStringLiteral("/text")).removeRecursively();
    EXPECT_EQ(NewManuscriptName(10, tmp.path()), QStringLiteral("d0\\sul11.txt"));
    // A manuscript without its text copy takes the name too, whatever its extension.
    touch(tmp.path() + QStringLiteral("/data/d0/sul20.RTF"));
    touch(tmp.path() + QStringLiteral("/data/d0/SUL21.hwp"));
    EXPECT_EQ(NewManuscriptName(20, tmp.path()), QStringLiteral("d0\\sul22.txt"));
}

TEST(ManuscriptName, DeletedRecordsStillCount)
{
    QTemporaryDir tmp;
    auto t = test::openTable(test::makeSermonTable(tmp.path()));
    for (int i = 0; i < 10; ++i)
        test::appendSermons(*t, {{"2001", "x"}});
    for (int i = 0; i < 3; ++i) {
        t->GoTop();
        t->Delete();
    }
    EXPECT_EQ(NewManuscriptName(*t, tmp.path()), QStringLiteral("d0\\sul10.txt"));
}

TEST(FileUtilities, ReplaceExtensionLabelAndDate)
{
    EXPECT_EQ(ReplaceExtension(QStringLiteral("d0\\sul17.txt"), QStringLiteral(".RTF")), QStringLiteral("d0\\sul17.RTF"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("d0\\sul17.hwp"), QStringLiteral(".txt")), QStringLiteral("d0\\sul17.txt"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("a.rt"), QStringLiteral(".txt")), QStringLiteral("a.txt"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("a.r"), QStringLiteral(".txt")), QStringLiteral("a.txt"));
    EXPECT_EQ(ReplaceExtension(QStringLiteral("d0\\sul17"), QStringLiteral(".txt")), QStringLiteral("d0\\sul17"));
    EXPECT_EQ(ReplaceExtension(QString(), QStringLiteral(".txt")), QString());
    EXPECT_EQ(CollectionLabel(QStringLiteral("/home/kim/Verbana/Grace1 설교")), QStringLiteral("GRACE1 설교"));
    EXPECT_EQ(CollectionLabel(QStringLiteral("c:\\verbana\\Grace1 설교")), QStringLiteral("GRACE1 설교"));
    EXPECT_EQ(DateText(QDate()), QString());
    EXPECT_EQ(DateText(QDate(1899, 12, 30)), QString());
    EXPECT_EQ(DateText(QDate(2001, 3, 4)), QStringLiteral("2001.03.04"));
}

TEST(FileUtilities, DeleteFolderRemovesEverything)
{
    QTemporaryDir tmp;
    touch(tmp.path() + QStringLiteral("/c/data/d0/sul1.RTF"));
    EXPECT_TRUE(DeleteFolder(tmp.path() + QStringLiteral("/c/"), false));
    EXPECT_FALSE(QFile::exists(tmp.path() + QStringLiteral("/c")));
    EXPECT_FALSE(DeleteFolder(tmp.path() + QStringLiteral("/missing"), false));
}

TEST(FileUtilities, DoCopyCopiesInBlocksAndAsksOnlyWithWarning)
{
    QTemporaryDir tmp;
    const QString src = tmp.path() + QStringLiteral("/a.bin"), dst = tmp.path() + QStringLiteral("/b.bin");
    QByteArray data;
    for (int i = 0; i < 150001; ++i)
        data.append(char(i * 7));
    {
        QFile f(src);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    TcopyFile c;
    c.Forigin = src;
    c.Fdestination = dst;
    EXPECT_TRUE(c.DoCopy());
    EXPECT_EQ(test::readAll(dst), data);

    test::ScriptedPrompter prompts;
    prompts.no();
    c.Warning = true;
    c.Forigin = tmp.path() + QStringLiteral("/missing");
    EXPECT_FALSE(c.DoCopy()); // a missing source asks nothing and changes nothing
    c.Forigin = src;
    {
        QFile f(dst);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("old");
    }
    EXPECT_FALSE(c.DoCopy());
    EXPECT_EQ(prompts.texts(), QStringList{dst + QStringLiteral("파일을 덮어쓸까요 ?")});
    EXPECT_EQ(test::readAll(dst), QByteArray("old"));
}

} // namespace
