// SPDX-License-Identifier: GPL-3.0-or-later
// A BCK backup and a BCK restore over a collection while the Nth write of
// the run fails, for every N until the run goes through: the failure is
// reported once, what the user had (an older archive of that name, the
// collection restored over) stays as it was, and nothing half written is
// left to pass for whole.
#include "archive_bytes.h"

#include "../store/program_folder.h"
#include "backup/backup_file.h"
#include "backup/collection_restore.h"
#include "support/fixtures.h"
#include "support/flaky_file_system.h"
#include "support/scripted_prompter.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>

#include <gtest/gtest.h>

namespace verbana::backup {
namespace {

class FaultTest : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        makeCollection(QStringLiteral("주일설교"));
        // Pieces that do not compress and several files: a run of some
        // dozen writes.
        QByteArray noise(150000, Qt::Uninitialized);
        QRandomGenerator gen(5);
        for (char &c : noise)
            c = char(gen.bounded(256));
        writeFile(pf(QStringLiteral("주일설교/data/d0/sul1.rtf")), noise);
        writeFile(pf(QStringLiteral("주일설교/text/d0/sul1.txt")), "first");
        writeFile(pf(QStringLiteral("주일설교/text/d0/sul2.txt")), QByteArray(70000, 'x'));
        file.setFileSystem(flaky);
        file.OnError = [this](TBackupFile *, int code, const QString &) { codes << code; };
    }
    QString pattern() const { return pf(QStringLiteral("주일설교")) + QStringLiteral("/*.* /s"); }
    // Every file below `folder` with its bytes.
    static QMap<QString, QByteArray> contents(const QString &folder)
    {
        QMap<QString, QByteArray> all;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            all.insert(path.mid(folder.size()), test::readAll(path));
        }
        return all;
    }

    // Runs `run` with the Nth write failing for N = 1, 2, ... and hands
    // each failed run's result to `check`, until a run meets no failure;
    // that run's result is given back. `runs` counts the failed ones.
    template <typename Run, typename Check>
    auto sweepWrites(Run run, Check check)
    {
        for (runs = 0;; ++runs) {
            codes.clear();
            flaky.failWriteAt(runs + 1);
            const auto result = run();
            if (!flaky.failed())
                return result;
            SCOPED_TRACE(testing::Message() << "write " << runs + 1 << " failed");
            check(result);
        }
    }

    test::FlakyFileSystem flaky;
    TBackupFile file;
    QList<int> codes;
    int runs = 0;
};

TEST_F(FaultTest, ABackupThatCannotWriteLeavesTheOlderArchive)
{
    const QString archive = pf(QStringLiteral("a.bck"));
    writeFile(archive, "an older archive");
    const bool done = sweepWrites([&] { return file.Backup({pattern()}, archive); },
                                  [&](bool failedRun) {
                                      EXPECT_FALSE(failedRun);
                                      EXPECT_EQ(codes, QList<int>{TBackupFile::errArchiveWrite});
                                      EXPECT_EQ(test::readAll(archive), QByteArray("an older archive"));
                                      EXPECT_FALSE(QFile::exists(archive + QStringLiteral(".new")));
                                  });
    EXPECT_GT(runs, 2);
    ASSERT_TRUE(done);
    EXPECT_TRUE(codes.isEmpty());
    const test::ParsedArchive written = test::parseArchive({test::readAll(archive)});
    EXPECT_TRUE(written.ended);
    EXPECT_EQ(written.entries.size(), 5u); // the table, its index and three files
}

TEST_F(FaultTest, ARestoreThatCannotWriteLeavesTheCollectionItWouldReplace)
{
    const QString archive = pf(QStringLiteral("a.bck"));
    {
        TBackupFile writer;
        ASSERT_TRUE(writer.Backup({pattern()}, archive));
    }
    makeCollection(QStringLiteral("수요설교"));
    writeFile(pf(QStringLiteral("수요설교/text/mine.txt")), "mine");
    const QMap<QString, QByteArray> before = contents(pf(QStringLiteral("수요설교")));
    test::ScriptedPrompter prompts; // no message box: errors go to OnError
    const BckRestore result =
        sweepWrites([&] { return restoreBckCollection(file, archive, QStringLiteral("수요설교"), {}); },
                    [&](BckRestore failedRun) {
                        EXPECT_EQ(failedRun, BckRestore::Failed);
                        EXPECT_EQ(codes, QList<int>{TBackupFile::errFileUnreadable});
                        EXPECT_EQ(contents(pf(QStringLiteral("수요설교"))), before);
                        EXPECT_FALSE(QFile::exists(rebackFolder()));
                        EXPECT_FALSE(QFile::exists(deleteFolder()));
                    });
    EXPECT_GT(runs, 2);
    ASSERT_EQ(result, BckRestore::Placed);
    EXPECT_TRUE(codes.isEmpty());
    EXPECT_EQ(contents(pf(QStringLiteral("수요설교"))), contents(pf(QStringLiteral("주일설교"))));
}

} // namespace
} // namespace verbana::backup
