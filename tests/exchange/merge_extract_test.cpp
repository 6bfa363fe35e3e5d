// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"
#include "exchange/merge_extract.h"
#include "platform/file.h"
#include "platform/user_error.h"
#include "store/collection_paths.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "support/flaky_file_system.h"
#include "support/recorded_progress.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

using namespace verbana;
using test::readAll;

namespace {

std::vector<test::SermonRow> rows(int n)
{
    static const char *titles[] = {"s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7", "s8", "s9"};
    std::vector<test::SermonRow> r;
    for (int i = 0; i < n; ++i)
        r.push_back({"2001.01.01", titles[i]});
    return r;
}

QByteArray contextOf(xbase::TApolloTable &t, uint32_t recno)
{
    t.Go(recno);
    return t.GetString(store::fCONTEXT);
}

} // namespace

TEST(MergeExtract, NamesOfMergedManuscriptsKeepTheirSourceExtension)
{
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("d0\\sul5.RTF"), QStringLiteral("d3\\sul3120.txt")),
              QStringLiteral("d3\\sul3120.RTF"));
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("d1\\sul1002.verylongextension"), QStringLiteral("d0\\sul4.txt")),
              QStringLiteral("d0\\sul4.verylonge"));
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("d0\\sul5"), QStringLiteral("d0\\sul4.txt")),
              QStringLiteral("d0\\sul4"));
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("  "), QStringLiteral("d0\\sul4.txt")), QString());
    EXPECT_EQ(exchange::textCopyName(QStringLiteral("d0\\sul5.HWP")), QStringLiteral("d0\\sul5.txt"));
    EXPECT_EQ(exchange::textCopyName(QStringLiteral("d0.x\\sul5")), QStringLiteral("d0.x\\sul5.txt"));
    // A "." in a folder part is no extension.
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("d0\\x.y\\c"), QStringLiteral("d0\\sul4.txt")),
              QStringLiteral("d0\\sul4"));
    EXPECT_EQ(exchange::mergedContext(QStringLiteral("d0/x.y/c.HWP"), QStringLiteral("d0\\sul4.txt")),
              QStringLiteral("d0\\sul4.HWP"));
}

TEST(MergeExtract, MergeCopiesSermonsAndFilesUnderFreshNames)
{
    test::TestCollection source({{"1999.01.01", "first", "d0\\sul0.RTF"},
                                 {"1999.01.02", "gone", "d0\\sul1.RTF"},
                                 {"1999.01.03", "bare", ""},
                                 {"1999.01.04", "typed", "D0\\SUL3.TXT"}});
    source.writeFile(QStringLiteral("data/d0/sul0.RTF"), "{\\rtf1 one}");
    source.writeFile(QStringLiteral("text/d0/sul0.txt"), "one\r\n");
    source.writeFile(QStringLiteral("data/d0/sul3.TXT"), "three");
    source.table().SetOrder(0);
    source.table().Go(2);
    source.table().Delete();
    const QByteArray sourceTable = readAll(source.tablePath());
    source.document().releaseTable(); // held alone by the merge

    test::TestCollection target(rows(10));
    test::RecordedProgress progress;
    const auto outcome = exchange::mergeCollection(target.document(), source.folder(), &progress);
    EXPECT_EQ(outcome.merged, 3);
    EXPECT_EQ(outcome.message(), QStringLiteral("설교집 합치기를 완료하였습니다."));
    EXPECT_EQ(progress.done(), (std::vector<uint64_t>{1, 3, 4}));
    xbase::TApolloTable &t = target.table();
    t.SetOrder(0);
    EXPECT_EQ(t.RecCount(), 13u);
    EXPECT_EQ(contextOf(t, 11), QByteArray("d0\\sul10.RTF"));
    EXPECT_EQ(t.GetString(store::fTITLE1), QByteArray("first"));
    EXPECT_EQ(t.GetString(store::fDATE1), QByteArray("1999.01.01"));
    EXPECT_EQ(contextOf(t, 12), QByteArray()); // no manuscript: none named
    EXPECT_EQ(contextOf(t, 13), QByteArray("d0\\sul12.TXT"));
    EXPECT_EQ(readAll(target.folder() + QStringLiteral("/data/d0/sul10.RTF")), QByteArray("{\\rtf1 one}"));
    EXPECT_EQ(readAll(target.folder() + QStringLiteral("/text/d0/sul10.txt")), QByteArray("one\r\n"));
    EXPECT_EQ(readAll(target.folder() + QStringLiteral("/data/d0/sul12.TXT")), QByteArray("three"));
    EXPECT_FALSE(QFileInfo::exists(target.folder() + QStringLiteral("/text/d0/sul12.txt")));
    EXPECT_EQ(t.State(), xbase::TableState::Browse);
    EXPECT_FALSE(t.ControlsDisabled());
    // The source is as it was.
    EXPECT_EQ(readAll(source.tablePath()), sourceTable);
    EXPECT_TRUE(QFileInfo::exists(source.folder() + QStringLiteral("/data/d0/sul0.RTF")));

    test::TestCollection empty;
    empty.document().releaseTable();
    EXPECT_EQ(exchange::mergeCollection(target.document(), empty.folder()).merged, 0);
    EXPECT_EQ(t.RecCount(), 13u);
}

// A table that fails part-way through a merge is cut back to what it was,
// and the files copied for the records it lost are gone again.
TEST(MergeExtract, AMergeTheTableFailsLeavesTheCollectionAsItWas)
{
    test::TestCollection source({{"1999.01.01", "one", "d0\\sul0.RTF"},
                                 {"1999.01.02", "two", "d0\\sul1.RTF"},
                                 {"1999.01.03", "three", "d0\\sul2.RTF"}});
    for (int i = 0; i < 3; ++i)
        source.writeFile(QStringLiteral("data/d0/sul%1.RTF").arg(i), "{\\rtf1 x}");
    source.document().releaseTable();
    test::FlakyFileSystem fs; // outlives the table it serves
    test::TestCollection target(rows(3));
    target.document().releaseTable();
    target.table().setFileSystem(&fs);
    ASSERT_TRUE(target.document().OpenCollection(target.tablePath()));
    const auto files = [&] {
        int n = 0;
        for (QDirIterator it(target.folder() + QStringLiteral("/data"), QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++n;
        return n;
    };
    int failures = 0;
    for (int n = 1; n < 200; ++n) {
        fs.failWriteAt(n);
        exchange::MergeOutcome outcome;
        try {
            outcome = exchange::mergeCollection(target.document(), source.folder());
        } catch (const EUserError &) {
            outcome.error = QStringLiteral("raised");
        }
        if (!fs.failed()) {
            EXPECT_EQ(outcome.merged, 3);
            break;
        }
        ++failures;
        EXPECT_FALSE(outcome.error.isEmpty()) << n;
        EXPECT_EQ(outcome.merged, 0) << n;
        EXPECT_EQ(target.table().RecCount(), 3u) << n;
        EXPECT_EQ(files(), 0) << n;
    }
    EXPECT_GT(failures, 3);
    EXPECT_EQ(target.table().RecCount(), 6u);
    EXPECT_EQ(files(), 3);
    fs.failWriteAt(0);
}

TEST(MergeExtract, HwpxManuscriptsTravelWithTheirTextCopies)
{
    test::TestCollection source({{"1999.01.01", "xml", "d0\\sul0.HWPX"}});
    source.writeFile(QStringLiteral("data/d0/sul0.HWPX"), "PK");
    source.writeFile(QStringLiteral("text/d0/sul0.txt"), "zero\r\n");
    source.document().releaseTable();
    test::TestCollection target(rows(2));
    ASSERT_EQ(exchange::mergeCollection(target.document(), source.folder()).merged, 1);
    EXPECT_EQ(contextOf(target.table(), 3), QByteArray("d0\\sul2.HWPX"));
    EXPECT_EQ(readAll(target.folder() + QStringLiteral("/data/d0/sul2.HWPX")), QByteArray("PK"));
    EXPECT_EQ(readAll(target.folder() + QStringLiteral("/text/d0/sul2.txt")), QByteArray("zero\r\n"));

    target.table().Query(QByteArray());
    target.table().SetQueryBit(3, true);
    const QString extracted = target.programFolder() + QStringLiteral("/xml");
    exchange::extractCollection(target.document(), extracted);
    EXPECT_EQ(readAll(extracted + QStringLiteral("/data/d0/sul2.HWPX")), QByteArray("PK"));
    EXPECT_EQ(readAll(extracted + QStringLiteral("/text/d0/sul2.txt")), QByteArray("zero\r\n"));
}

TEST(MergeExtract, TheSourceIsHeldAloneAndIsNeverTheOpenCollection)
{
    test::TestCollection target(rows(3));
    const QByteArray before = readAll(target.tablePath());
    // The open collection under a second name: a link in the program folder.
    const QString link = target.programFolder() + QStringLiteral("/Link");
    ASSERT_TRUE(QFile::link(target.folder(), link));
    try {
        exchange::mergeCollection(target.document(), link);
        ADD_FAILURE() << "merged into itself";
    } catch (const EUserError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("열려 있는 설교집에는 자기 자신을 합칠 수 없습니다."));
    }
    EXPECT_EQ(target.table().RecCount(), 3u);
    EXPECT_EQ(readAll(target.tablePath()), before);

    // A collection in use elsewhere: the engine's error, nothing merged.
    test::TestCollection source(rows(2));
    EXPECT_THROW(exchange::mergeCollection(target.document(), source.folder()), xbase::EApolloError);
    EXPECT_EQ(target.table().RecCount(), 3u);
    source.document().releaseTable();
    EXPECT_EQ(exchange::mergeCollection(target.document(), source.folder()).merged, 2);
}

// Media nobody may write: the table cannot be opened for writing, so it
// cannot be locked for one reader; it is merged all the same.
TEST(MergeExtract, ASourceOnReadOnlyMediaIsReadShared)
{
    class ReadOnlyMedia final : public files::FileSystem {
    public:
        files::Result<std::unique_ptr<files::File>> open(const QString &path, files::OpenMode mode) override
        {
            if (mode == files::OpenMode::ReadWrite || mode == files::OpenMode::Create)
                return files::Status::readOnly(path + QStringLiteral(": Read-only file system"));
            return disk().open(path, mode);
        }
        bool exists(const QString &path) override { return disk().exists(path); }
        bool isRegularFile(const QString &path) override { return disk().isRegularFile(path); }
        files::Status rename(const QString &from, const QString &) override { return files::Status::readOnly(from); }
        files::Status remove(const QString &path) override { return files::Status::readOnly(path); }
        files::Status syncFolder(const QString &) override { return files::Status::ok(); }

    private:
        static files::FileSystem &disk() { return files::FileSystem::posix(); }
    } media;
    test::TestCollection target(rows(1));
    test::TestCollection source(rows(2));
    source.document().releaseTable();
    const QByteArray before = readAll(source.tablePath());
    EXPECT_EQ(exchange::mergeCollection(target.document(), source.folder(), nullptr, &media).merged, 2);
    EXPECT_EQ(target.table().RecCount(), 3u);
    EXPECT_EQ(readAll(source.tablePath()), before);
}

TEST(MergeExtract, ASourceGrowingWhileItIsWalkedIsMergedToItsStartingCount)
{
    test::TestCollection target(rows(2));
    test::TestCollection source(rows(3));
    // Read shared, while another table appends to it at every step.
    xbase::TApolloTable from;
    from.DatabaseName = source.folder();
    from.TableName = store::sermonTableName();
    from.ReadOnly = true;
    from.Open();
    int appended = 0;
    test::RecordedProgress progress([&](const Progress::Report &) {
        if (appended++ >= 10)
            return;
        source.table().Append();
        source.table().PutString(store::fTITLE1, QByteArrayLiteral("late"));
        source.table().Post();
    });
    const auto outcome =
        exchange::mergeRecords(target.document(), from, store::CollectionPaths(source.folder()), &progress);
    EXPECT_EQ(outcome.merged, 3);
    EXPECT_EQ(target.table().RecCount(), 5u);
}

TEST(MergeExtract, ManuscriptsInFoldersWithADotLandWhereTheirRecordsPoint)
{
    test::TestCollection source({{"1999.01.01", "x", "d0\\x.y\\c"}, {"1999.01.02", "z", "d0\\z.w\\c"}});
    source.writeFile(QStringLiteral("data/d0/x.y/c"), "first");
    source.writeFile(QStringLiteral("text/d0/x.y/c.txt"), "first text");
    source.writeFile(QStringLiteral("data/d0/z.w/c"), "second");
    source.writeFile(QStringLiteral("text/d0/z.w/c.txt"), "second text");
    source.document().releaseTable();
    test::TestCollection target(rows(10));
    EXPECT_EQ(exchange::mergeCollection(target.document(), source.folder()).merged, 2);
    const store::CollectionPaths &paths = target.document().paths();
    xbase::TApolloTable &t = target.table();
    t.SetOrder(0);
    EXPECT_EQ(contextOf(t, 11), QByteArray("d0\\sul10"));
    EXPECT_EQ(contextOf(t, 12), QByteArray("d0\\sul11"));
    const std::pair<const char *, const char *> files[] = {{"first", "first text"}, {"second", "second text"}};
    for (uint32_t i = 0; i < 2; ++i) {
        const QString context = QString::fromLatin1(contextOf(t, 11 + i));
        EXPECT_EQ(readAll(paths.manuscript(context)), QByteArray(files[i].first)) << i;
        EXPECT_EQ(readAll(paths.textCopy(context)), QByteArray(files[i].second)) << i;
    }
}

// A source whose header does not end its field list is refused before
// anything is merged; one cut short gives its whole records and says how
// many of how many are missing.
TEST(MergeExtract, ADamagedSourceIsRefusedAndOneCutShortSaysWhatIsMissing)
{
    test::TestCollection target(rows(2));
    test::TestCollection source(rows(4));
    source.document().releaseTable();
    const QByteArray whole = readAll(source.tablePath());
    const int header = 706, record = 1085;

    QByteArray shifted = whole;
    shifted[8] = char((header + record) & 0xFF);
    shifted[9] = char((header + record) >> 8);
    ASSERT_TRUE(test::writeAll(source.tablePath(), shifted));
    try {
        exchange::mergeCollection(target.document(), source.folder());
        ADD_FAILURE() << "a shifted source was merged";
    } catch (const EUserError &e) {
        EXPECT_EQ(e.text(), xbase::texts::unableToOpen(source.tablePath())
                                + QStringLiteral("\r파일 머리에 적힌 머리 길이(1791바이트)가 필드 목록(705바이트)과 맞지 않아, "
                                                 "자료를 바르게 읽을 수 없습니다."));
    }
    EXPECT_EQ(target.table().RecCount(), 2u);
    EXPECT_EQ(readAll(source.tablePath()), shifted);

    const QByteArray cut = whole.left(header + 2 * record + 100);
    ASSERT_TRUE(test::writeAll(source.tablePath(), cut));
    const auto outcome = exchange::mergeCollection(target.document(), source.folder());
    EXPECT_EQ(outcome.merged, 2);
    EXPECT_FALSE(outcome.complete());
    EXPECT_EQ(outcome.message(), QStringLiteral("설교집 합치기를 완료하였습니다.\r파일이 잘려 있어, 설교집에 적힌 설교 4편 중 "
                                                "2편이 파일에 없습니다."));
    EXPECT_EQ(target.table().RecCount(), 4u);
    EXPECT_EQ(readAll(source.tablePath()), cut); // never mended by the merge
}

TEST(MergeExtract, NewCollectionNamesFollowTheRules)
{
    test::TestCollection c;
    const QString program = c.programFolder();
    const QString first = QStringLiteral("설교집 이름의 첫문자로 ( _ )를 사용하지 마십시오.\r설교집 이름을 다시 입력해주십시오.");
    const QString bad = QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.");
    const QString exists = QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오.");
    EXPECT_EQ(exchange::refusedCollectionName(QStringLiteral("_temp"), program), first);
    for (const char *name : {"a.b", "x:y", "a/b", "q?", "p|", "s;t", "<a>", "st*r", "b\\s", "\"q\""})
        EXPECT_EQ(exchange::refusedCollectionName(QString::fromUtf8(name), program), bad) << name;
    EXPECT_EQ(exchange::refusedCollectionName(QString(), program), exists);
    EXPECT_EQ(exchange::refusedCollectionName(QStringLiteral("grace"), program), exists);
    EXPECT_EQ(exchange::refusedCollectionName(QStringLiteral("2004 설교"), program), QString());
}

TEST(MergeExtract, AGatheringOfFiveIsExtractedWithItsFiles)
{
    std::vector<test::SermonRow> sermons;
    static const char *contexts[] = {"d0\\sul0.RTF", "d0\\sul1.HWP", "", "d0\\sul3.RTF", "d0\\sul4.RTF",
                                     "d0\\sul5.RTF", "d0\\sul6.RTF"};
    for (const char *ctx : contexts)
        sermons.push_back({"2002.02.02", "t", ctx});
    test::TestCollection c(sermons);
    for (int i : {0, 1, 3, 5, 6}) {
        c.writeFile(QStringLiteral("data/d0/sul%1.%2").arg(i).arg(i == 1 ? QStringLiteral("HWP") : QStringLiteral("RTF")),
                    QByteArray::number(i));
        c.writeFile(QStringLiteral("text/d0/sul%1.txt").arg(i), "text " + QByteArray::number(i));
    }
    c.writeFile(QStringLiteral("text/d0/sul4.txt"), "text without manuscript");
    c.table().Query(QByteArray());
    for (uint32_t recno : {1u, 2u, 3u, 5u, 6u})
        c.table().SetQueryBit(recno, true);
    const QString target = c.programFolder() + QStringLiteral("/2004 설교");
    exchange::extractCollection(c.document(), target);

    xbase::TApolloTable t;
    t.DatabaseName = target;
    t.TableName = store::sermonTableName();
    t.Open();
    EXPECT_EQ(t.RecCount(), 5u);
    QList<QByteArray> contextsFound;
    for (uint32_t r = 1; r <= 5; ++r)
        contextsFound << contextOf(t, r);
    EXPECT_EQ(contextsFound, (QList<QByteArray>{"d0\\sul0.RTF", "d0\\sul1.HWP", "", "d0\\sul4.RTF", "d0\\sul5.RTF"}));
    EXPECT_EQ(t.TagCount(), 4);
    t.Close();
    EXPECT_EQ(readAll(target + QStringLiteral("/data/d0/sul1.HWP")), QByteArray("1"));
    EXPECT_EQ(readAll(target + QStringLiteral("/text/d0/sul5.txt")), QByteArray("text 5"));
    // A missing manuscript takes its text copy with it.
    EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("/text/d0/sul4.txt")));
    EXPECT_EQ(QDir(target + QStringLiteral("/data/d0")).entryList(QDir::Files).size(), 3);

    QProcess cli;
    cli.start(QStringLiteral(VERBANA_CLI), {QStringLiteral("check"), target + QStringLiteral("/sul2file.dbf")});
    ASSERT_TRUE(cli.waitForFinished(60000));
    EXPECT_EQ(cli.exitCode(), 0) << cli.readAllStandardOutput().toStdString();

    // An existing folder is never touched.
    EXPECT_THROW(exchange::extractCollection(c.document(), target), EUserError);
    EXPECT_TRUE(QFileInfo::exists(target + QStringLiteral("/sul2file.dbf")));
}

TEST(MergeExtract, AFailedTableCopyLeavesNothing)
{
    test::TestCollection c(rows(2));
    const QString target = c.programFolder() + QStringLiteral("/new");
    c.table().Close(); // the copy cannot run
    EXPECT_THROW(exchange::extractCollection(c.document(), target), EUserError);
    EXPECT_FALSE(QFileInfo::exists(target));
}
