// SPDX-License-Identifier: GPL-3.0-or-later
// ZIP backups of a collection: the layout other archive tools read, the
// Windows form (CP949 names, backslashes), the check before a restore,
// hostile archives that must write nothing outside their target, and a
// restore over a collection, which leaves the old collection or the new
// one whatever stands in its way and wherever the run is killed.
#include "backup/zip_archive.h"

#include "../store/program_folder.h"
#include "../store/store_helpers.h"
#include "backup/collection_restore.h"
#include "platform/cp949.h"
#include "store/collection_document.h"
#include "support/recorded_progress.h"
#include "support/scripted_prompter.h"
#include "support/zip_bytes.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/wait.h>
#include <unistd.h>

namespace verbana::backup {
namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Every file, folder and link below a folder, relative: a file's bytes, a
// folder as "<folder>", a link as "<link> " and where it leads.
QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = info.filePath().mid(folder.size() + 1);
        if (info.isSymLink())
            out.insert(relative, "<link> " + QFile::encodeName(info.symLinkTarget()));
        else
            out.insert(relative, info.isDir() ? QByteArray("<folder>") : readAll(info.filePath()));
    }
    return out;
}

// Every file below a folder, relative, sorted.
QStringList tree(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(folder.size() + 1);
    out.sort();
    return out;
}

class ZipTest : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        makeCollection(QStringLiteral("주일설교"));
        writeFile(pf(QStringLiteral("주일설교/data/d0/sul1.rtf")), "{\\rtf1 first}");
        writeFile(pf(QStringLiteral("주일설교/text/d0/sul1.txt")), cp949::encode(QStringLiteral("첫 설교")).bytes);
        writeFile(pf(QStringLiteral("주일설교/text/d0/은혜 설교.txt")), QByteArray(70000, 'x'));
        QDir().mkpath(pf(QStringLiteral("주일설교/data/d1")));
    }

    QString writeArchive(const QString &name, const std::vector<test::ZipBytesEntry> &entries)
    {
        writeFile(tmp_.path() + QLatin1Char('/') + name, test::zipBytes(entries));
        return tmp_.path() + QLatin1Char('/') + name;
    }

    // What the program folder and the temporary folder hold, outside trash.
    QStringList everything() const
    {
        return tree(tmp_.path()).filter(QRegularExpression(QStringLiteral("^(?!xdg/|hostile)")));
    }
};

TEST_F(ZipTest, ABackupOfARestoresAsBAndOtherToolsReadIt)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    test::RecordedProgress packing([](const Progress::Report &r) {
        EXPECT_TRUE(r.itemPercent >= 0 && r.itemPercent <= 100) << r.itemPercent;
    });
    const Outcome<void> packed = packCollection(pf(QStringLiteral("주일설교")), archive, &packing);
    ASSERT_TRUE(packed.ok()) << packed.reason().toStdString();
    const std::vector<uint64_t> done = packing.done();
    EXPECT_GT(done.size(), 3u);
    EXPECT_TRUE(std::is_sorted(done.begin(), done.end()));
    EXPECT_EQ(packing.steps.back().first, packing.steps.back().second);

    const Outcome<ZipDirectory> read = readCollectionArchive(archive);
    ASSERT_TRUE(read.ok()) << read.reason().toStdString();
    const ZipDirectory &dir = read.value();
    EXPECT_EQ(dir.root, QStringLiteral("주일설교"));
    QStringList names;
    for (const ZipEntry &e : dir.entries)
        names << e.relative + (e.folder ? QStringLiteral("/") : QString());
    EXPECT_EQ(names, (QStringList{QStringLiteral("sul2file.cdx"), QStringLiteral("sul2file.dbf"),
                                  QStringLiteral("data/d0/sul1.rtf"), QStringLiteral("text/d0/sul1.txt"),
                                  QStringLiteral("text/d0/은혜 설교.txt"), QStringLiteral("data/d1/")}));

    ASSERT_TRUE(unpackCollection(archive, dir, QStringLiteral("새 설교집")).ok());
    EXPECT_EQ(tree(pf(QStringLiteral("새 설교집"))), tree(pf(QStringLiteral("주일설교"))));
    for (const QString &file : tree(pf(QStringLiteral("주일설교"))))
        EXPECT_EQ(readAll(pf(QStringLiteral("새 설교집/")) + file), readAll(pf(QStringLiteral("주일설교/")) + file));
    EXPECT_TRUE(QDir(pf(QStringLiteral("새 설교집/data/d1"))).exists());
    EXPECT_FALSE(QFile::exists(unzipFolder()));

    // Info-ZIP lists the Korean names as they are and extracts the same bytes.
    if (QStandardPaths::findExecutable(QStringLiteral("unzip")).isEmpty())
        GTEST_SKIP() << "unzip is not installed";
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-Z1"), archive});
    ASSERT_TRUE(unzip.waitForFinished());
    EXPECT_TRUE(QString::fromUtf8(unzip.readAllStandardOutput()).split(QLatin1Char('\n')).contains(
        QStringLiteral("주일설교/text/d0/은혜 설교.txt")));
    const QString out = tmp_.path() + QStringLiteral("/unzipped");
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-q"), archive, QStringLiteral("-d"), out});
    ASSERT_TRUE(unzip.waitForFinished());
    EXPECT_EQ(unzip.exitCode(), 0) << unzip.readAllStandardError().toStdString();
    EXPECT_EQ(readAll(out + QStringLiteral("/주일설교/text/d0/은혜 설교.txt")), QByteArray(70000, 'x'));

    // So does Python's zipfile, which honours the language-encoding flag.
    if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    QProcess python;
    python.start(QStringLiteral("python3"),
                 {QStringLiteral("-c"), QStringLiteral("import sys, zipfile\n"
                                                       "z = zipfile.ZipFile(sys.argv[1])\n"
                                                       "assert z.testzip() is None\n"
                                                       "print(z.read('주일설교/text/d0/sul1.txt').decode('cp949'))\n"
                                                       "print('\\n'.join(z.namelist()))"),
                  archive});
    ASSERT_TRUE(python.waitForFinished());
    const QStringList lines = QString::fromUtf8(python.readAllStandardOutput()).split(QLatin1Char('\n'));
    EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0], QStringLiteral("첫 설교"));
    EXPECT_EQ(lines[1], QStringLiteral("주일설교/sul2file.cdx"));
}

TEST_F(ZipTest, RestoringOverACollectionReplacesItsFilesAndKeepsTheOthers)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), archive).ok());
    makeCollection(QStringLiteral("수요설교"));
    QDir(pf(QStringLiteral("수요설교/text"))).removeRecursively();
    writeFile(pf(QStringLiteral("수요설교/TEXT/D0/SUL1.TXT")), "old copy");
    writeFile(pf(QStringLiteral("수요설교/data/d0/sul9.rtf")), "kept");
    ASSERT_TRUE(unpackCollection(archive, readCollectionArchive(archive).value(), QStringLiteral("수요설교")).ok());
    // An existing name in another letter case is the one replaced.
    EXPECT_EQ(readAll(pf(QStringLiteral("수요설교/TEXT/D0/SUL1.TXT"))), cp949::encode(QStringLiteral("첫 설교")).bytes);
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("수요설교/text"))));
    EXPECT_EQ(readAll(pf(QStringLiteral("수요설교/data/d0/sul9.rtf"))), QByteArray("kept"));
    EXPECT_EQ(readAll(pf(QStringLiteral("수요설교/data/d0/sul1.rtf"))), QByteArray("{\\rtf1 first}"));
    EXPECT_FALSE(QFile::exists(unzipFolder()));
}

// A damaged entry is found while unpacking into the working folder: the
// collection keeps every file as it was.
TEST_F(ZipTest, ADamagedArchiveLeavesTheCollectionAsItWas)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), archive).ok());
    QByteArray bytes = readAll(archive);
    const qsizetype big = bytes.indexOf(QStringLiteral("은혜 설교.txt").toUtf8());
    ASSERT_GT(big, 0);
    for (qsizetype i = big + 40; i < big + 60; ++i)
        bytes[i] = char(bytes[i] ^ 0x5a);
    writeFile(archive, bytes);
    makeCollection(QStringLiteral("수요설교"));
    writeFile(pf(QStringLiteral("수요설교/text/d0/sul1.txt")), "old copy");
    const QStringList before = tree(pf(QStringLiteral("수요설교")));
    const Outcome<ZipDirectory> dir = readCollectionArchive(archive);
    ASSERT_TRUE(dir.ok());
    const Outcome<void> unpacked = unpackCollection(archive, dir.value(), QStringLiteral("수요설교"));
    EXPECT_EQ(unpacked.fault(), Fault::Io);
    EXPECT_FALSE(unpacked.reason().isEmpty());
    EXPECT_EQ(tree(pf(QStringLiteral("수요설교"))), before);
    EXPECT_EQ(readAll(pf(QStringLiteral("수요설교/text/d0/sul1.txt"))), QByteArray("old copy"));
    EXPECT_FALSE(QFile::exists(unzipFolder()));
}

// Made on Windows: CP949 names without the language-encoding flag, "\"
// between folders.
TEST_F(ZipTest, WindowsNamesInCp949WithBackslashesComeBackInKorean)
{
    auto cp = [](const char *utf8) { return cp949::encode(QString::fromUtf8(utf8)).bytes; };
    const QString archive = writeArchive(QStringLiteral("windows.zip"),
                                         {{cp("옛설교\\SUL2FILE.DBF"), "table"},
                                          {cp("옛설교\\text\\d0\\주일 낮.txt"), cp("본문")},
                                          {cp("옛설교\\data\\"), ""}});
    const Outcome<ZipDirectory> dir = readCollectionArchive(archive);
    ASSERT_TRUE(dir.ok()) << dir.reason().toStdString();
    EXPECT_EQ(dir.value().root, QStringLiteral("옛설교"));
    ASSERT_TRUE(unpackCollection(archive, dir.value(), QStringLiteral("옛 설교집")).ok());
    EXPECT_EQ(tree(pf(QStringLiteral("옛 설교집"))),
              (QStringList{QStringLiteral("SUL2FILE.DBF"), QStringLiteral("text/d0/주일 낮.txt")}));
    EXPECT_EQ(readAll(pf(QStringLiteral("옛 설교집/text/d0/주일 낮.txt"))), cp("본문"));
    EXPECT_TRUE(QDir(pf(QStringLiteral("옛 설교집/data"))).exists());
}

TEST_F(ZipTest, ArchivesThatAreNoCollectionBackupAreRefused)
{
    // Entries at the top level, even with a sermon table.
    const QString flat = writeArchive(QStringLiteral("flat.zip"), {{"sul2file.dbf", "t"}, {"a.txt", "a"}});
    // No sermon table at all.
    const QString other = writeArchive(QStringLiteral("other.zip"), {{"photos/a.jpg", "a"}});
    for (const QString &archive : {flat, other}) {
        const Outcome<ZipDirectory> dir = readCollectionArchive(archive);
        EXPECT_EQ(dir.fault(), Fault::WrongKind);
        EXPECT_EQ(dir.reason(), QStringLiteral("Verbana 용 압축파일이 아닌 것 같습니다."));
    }
    const Outcome<ZipDirectory> broken = readCollectionArchive(pf(QStringLiteral("주일설교/sul2file.dbf")));
    EXPECT_EQ(broken.fault(), Fault::Io);
    EXPECT_FALSE(broken.reason().isEmpty());
}

// Zip slip, absolute names, drive letters, names outside the root and
// symbolic links: the whole archive is refused before anything is written.
TEST_F(ZipTest, HostileArchivesWriteNothingOutsideTheTarget)
{
    const QByteArray outside = QFile::encodeName(tmp_.path() + QStringLiteral("/abs.txt"));
    const std::vector<std::vector<test::ZipBytesEntry>> hostile = {
        {{"A/sul2file.dbf", "t"}, {"A/../../slip.txt", "x"}},
        {{"A/sul2file.dbf", "t"}, {"A\\..\\..\\slip.txt", "x"}},
        {{"A/sul2file.dbf", "t"}, {outside, "x"}},
        {{"A/sul2file.dbf", "t"}, {"C:\\slip.txt", "x"}},
        {{"A/sul2file.dbf", "t"}, {"B/slip.txt", "x"}},
        {{"A/sul2file.dbf", "t"}, {"A/data", QFile::encodeName(tmp_.path()), false, 0120777}, {"A/data/slip.txt", "x"}},
    };
    const QStringList before = everything();
    int n = 0;
    for (const auto &entries : hostile) {
        const QString archive = writeArchive(QStringLiteral("hostile%1.zip").arg(++n), entries);
        const Outcome<ZipDirectory> dir = readCollectionArchive(archive);
        // An absolute name has no folder: no collection backup at all.
        EXPECT_EQ(dir.fault(), n == 3 ? Fault::WrongKind : Fault::Unsafe) << n;
        EXPECT_TRUE(dir.value().entries.empty());
        if (n == 1) {
            EXPECT_EQ(dir.reason(), QStringLiteral("압축파일에 설교집 폴더 밖을 가리키는 이름이 있어 풀지 않았습니다.\r"
                                                   "A/../../slip.txt"));
        }
        if (n == 6) {
            EXPECT_EQ(dir.reason(), QStringLiteral("압축파일에 링크가 들어 있어 풀지 않았습니다.\rA/data"));
        }
    }
    EXPECT_EQ(everything(), before);
}

// A stop asked through the Progress ends either run at once and changes
// nothing: the older archive of that name stays, and so does the
// collection restored over.
TEST_F(ZipTest, AStoppedRunChangesNothing)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), archive).ok());
    const QByteArray older = readAll(archive);
    writeFile(pf(QStringLiteral("주일설교/text/d0/sul2.txt")), QByteArray(70000, 'y'));
    test::RecordedProgress stopping;
    stopping.requestStop();
    Outcome<void> run = packCollection(pf(QStringLiteral("주일설교")), archive, &stopping);
    EXPECT_EQ(run.fault(), Fault::Stopped);
    EXPECT_EQ(readAll(archive), older);
    EXPECT_EQ(tree(tmp_.path()).filter(QStringLiteral(".zip")), QStringList{QStringLiteral("backup.zip")});

    makeCollection(QStringLiteral("수요설교"));
    writeFile(pf(QStringLiteral("수요설교/text/d0/sul1.txt")), "old copy");
    const QStringList before = tree(pf(QStringLiteral("수요설교")));
    run = unpackCollection(archive, readCollectionArchive(archive).value(), QStringLiteral("수요설교"), &stopping);
    EXPECT_EQ(run.fault(), Fault::Stopped);
    EXPECT_EQ(tree(pf(QStringLiteral("수요설교"))), before);
    EXPECT_EQ(readAll(pf(QStringLiteral("수요설교/text/d0/sul1.txt"))), QByteArray("old copy"));
    EXPECT_FALSE(QFile::exists(unzipFolder()));
}


// Over a collection, the restored one is built whole beside it and takes
// its place by renaming whole folders: a folder, a link or a read-only
// file where the archive has a file stands in nobody's way. The
// collection's own files stay, its links are not carried over, and the
// old collection goes to the trash.
TEST_F(ZipTest, ThingsInTheWayOfTheArchiveNeverLeaveAMix)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), archive).ok());
    const QString outside = tmp_.path() + QStringLiteral("/outside.txt");
    writeFile(outside, "outside");
    makeCollection(QStringLiteral("수요설교"));
    writeFile(pf(QStringLiteral("수요설교/text/d0/sul1.txt/inner.txt")), "a folder where the archive has a file");
    writeFile(pf(QStringLiteral("수요설교/data/d0/sul9.rtf")), "kept");
    ASSERT_TRUE(QFile::link(outside, pf(QStringLiteral("수요설교/data/d0/sul1.rtf"))));
    ASSERT_TRUE(QFile::link(outside, pf(QStringLiteral("수요설교/text/mine.txt"))));
    const QString grace = pf(QStringLiteral("수요설교/text/d0/은혜 설교.txt"));
    writeFile(grace, "old grace");
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    ASSERT_TRUE(QFile::setPermissions(grace, readOnly));
    ASSERT_TRUE(QFile::setPermissions(pf(QStringLiteral("수요설교/data/d0")), readOnly | QFileDevice::ExeOwner));

    const Outcome<void> restored =
        unpackCollection(archive, readCollectionArchive(archive).value(), QStringLiteral("수요설교"));
    ASSERT_TRUE(restored.ok()) << restored.reason().toStdString();
    QMap<QString, QByteArray> expected = snapshot(pf(QStringLiteral("주일설교")));
    expected.insert(QStringLiteral("data/d0/sul9.rtf"), "kept");
    EXPECT_EQ(snapshot(pf(QStringLiteral("수요설교"))), expected);
    EXPECT_EQ(readAll(outside), QByteArray("outside"));
    EXPECT_EQ(QDir(pf()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              (QStringList{QStringLiteral("수요설교"), QStringLiteral("주일설교")}));
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("_delete")});
    QFile::setPermissions(tmp_.path() + QStringLiteral("/xdg/Trash/files/_delete/data/d0"),
                          readOnly | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The process is killed at each step of a restore over a collection (the
// hook ends a child process there); what the next start settles is the
// old collection or the restored one, and nothing else is left.
TEST_F(ZipTest, AKillAtAnyStepLeavesTheOldCollectionOrTheNew)
{
    const QString archive = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), archive).ok());
    const ZipDirectory dir = readCollectionArchive(archive).value();
    QMap<QString, QByteArray> restored = snapshot(pf(QStringLiteral("주일설교")));
    restored.insert(QStringLiteral("data/d0/sul9.rtf"), "kept");
    const QString target = QStringLiteral("수요설교");
    for (const RestoreStep step : {RestoreStep::Marked, RestoreStep::Unpacked, RestoreStep::SetAside,
                                   RestoreStep::Placed, RestoreStep::Trashed}) {
        SCOPED_TRACE(testing::Message() << "killed at step " << int(step));
        QDir(pf(target)).removeRecursively();
        makeCollection(target);
        writeFile(pf(QStringLiteral("수요설교/text/d0/sul1.txt")), "old copy");
        writeFile(pf(QStringLiteral("수요설교/data/d0/sul9.rtf")), "kept");
        const QMap<QString, QByteArray> old = snapshot(pf(target));
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            setRestoreStepHook([step](RestoreStep reached) {
                if (reached == step)
                    _exit(0);
            });
            (void)unpackCollection(archive, dir, target);
            _exit(1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;

        test::ScriptedPrompter prompts;
        if (step == RestoreStep::SetAside)
            prompts.ok();
        recoverInterruptedRestore();
        const bool done = step == RestoreStep::Placed || step == RestoreStep::Trashed;
        EXPECT_EQ(snapshot(pf(target)), done ? restored : old);
        EXPECT_EQ(prompts.texts(), step == RestoreStep::SetAside
                                       ? QStringList{QStringLiteral("지난번 설교집 되살리기가 끝나지 못했습니다.\r"
                                                                    "\"수요설교\" 설교집은 되살리기 전 그대로 두었습니다.")}
                                       : QStringList{});
        EXPECT_EQ(QDir(pf()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  (QStringList{target, QStringLiteral("주일설교")}));
    }
}

// A table restored without its index must not meet the index of the table
// it replaced: the next opening builds one, and the date order is right.
TEST_F(ZipTest, ATableRestoredWithoutItsIndexGetsItsOwnAtTheNextOpening)
{
    {
        auto old = test::openTable(makeCollection(QStringLiteral("수요설교")));
        test::appendSermons(*old, {{"2001.01.07", "a"}, {"2003.01.05", "b"}, {"2005.01.02", "c"}, {"2009.01.04", "d"}});
    }
    {
        auto table = test::openTable(makeCollection(QStringLiteral("새 표"), false));
        test::appendSermons(*table, {{"2009.05.03", "w"}, {"2001.05.06", "x"}, {"2005.05.01", "y"}, {"2003.05.04", "z"}});
    }
    const QString archive = tmp_.path() + QStringLiteral("/table.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("새 표")), archive).ok());
    ASSERT_TRUE(unpackCollection(archive, readCollectionArchive(archive).value(), QStringLiteral("수요설교")).ok());
    EXPECT_TRUE(QDir(pf(QStringLiteral("수요설교"))).entryList({QStringLiteral("*.cdx")}, QDir::Files).isEmpty());

    store::CollectionDocument document;
    ASSERT_TRUE(document.OpenCollection(pf(QStringLiteral("수요설교/sul2file.dbf"))));
    EXPECT_EQ(test::walk(document.table()), (std::vector<uint32_t>{2, 4, 3, 1}));
    EXPECT_EQ(test::indexFault(document.table()), "");
}

// An entry that inflates past its declared size, two names equal but for
// letter case, and an archive larger than the free space are refused with
// nothing written; folders whose names differ only in case are one folder.
TEST_F(ZipTest, ArchivesThatContradictThemselvesOrDoNotFitWriteNothing)
{
    makeCollection(QStringLiteral("수요설교"));
    const QString packed = tmp_.path() + QStringLiteral("/backup.zip");
    ASSERT_TRUE(packCollection(pf(QStringLiteral("주일설교")), packed).ok());
    test::ZipBytesEntry bomb{"A/text/big.txt", QByteArray(5 << 20, 'x')};
    bomb.deflated = true;
    bomb.declaredSize = 10;
    const QString inflating = writeArchive(QStringLiteral("inflating.zip"), {{"A/sul2file.dbf", "t"}, bomb});
    const QString twins =
        writeArchive(QStringLiteral("twins.zip"), {{"A/sul2file.dbf", "t"}, {"A/text/a.txt", "1"}, {"A/TEXT/A.TXT", "2"}});
    const QString fileAndFolder =
        writeArchive(QStringLiteral("clash.zip"), {{"A/sul2file.dbf", "t"}, {"A/text", "1"}, {"A/Text/a.txt", "2"}});
    const QStringList before = everything();

    const Outcome<void> inflated =
        unpackCollection(inflating, readCollectionArchive(inflating).value(), QStringLiteral("수요설교"));
    EXPECT_EQ(inflated.fault(), Fault::Damaged);
    EXPECT_EQ(inflated.reason(), QStringLiteral("압축파일이 손상되어 풀지 않았습니다 (크기가 맞지 않습니다).\rA/text/big.txt"));

    Outcome<ZipDirectory> read = readCollectionArchive(twins);
    EXPECT_EQ(read.fault(), Fault::Unsafe);
    EXPECT_EQ(read.reason(), QStringLiteral("압축파일에 대소문자를 빼면 같은 이름이 둘 있어 풀지 않았습니다.\r"
                                            "A/text/a.txt\rA/TEXT/A.TXT"));
    read = readCollectionArchive(fileAndFolder);
    EXPECT_EQ(read.fault(), Fault::Unsafe);
    EXPECT_EQ(read.reason(), QStringLiteral("압축파일에 같은 이름의 파일과 폴더가 있어 풀지 않았습니다.\rA/text\rA/Text/a.txt"));

    setFreeSpaceCheck([](const QString &) { return std::optional<uint64_t>(64 * 1024); });
    const Outcome<void> tooBig = unpackCollection(packed, readCollectionArchive(packed).value(), QStringLiteral("수요설교"));
    setFreeSpaceCheck({});
    EXPECT_EQ(tooBig.fault(), Fault::TooLarge);
    EXPECT_EQ(tooBig.reason().toStdString(), "디스크에 남은 공간이 모자라 압축을 풀지 않았습니다.\r"
                                             "필요한 공간: 96 KB, 남은 공간: 64 KB");
    EXPECT_EQ(everything(), before);
    // ZIP64 sizes: four of 2^62 bytes add up past 2^64 and still do not
    // fit; one of 2^63 or more is no size at all.
    std::vector<test::ZipBytesEntry> huge{{"A/sul2file.dbf", "t"}};
    for (const char *name : {"A/1", "A/2", "A/3", "A/4"})
        huge.push_back({name, "x", false, 0, false, quint64(1) << 62});
    const QString wrapping = writeArchive(QStringLiteral("wrapping.zip"), huge);
    const Outcome<void> wrapped =
        unpackCollection(wrapping, readCollectionArchive(wrapping).value(), QStringLiteral("수요설교"));
    EXPECT_EQ(wrapped.fault(), Fault::TooLarge);
    const QString negative = writeArchive(QStringLiteral("negative.zip"),
                                          {{"A/sul2file.dbf", "t"}, {"A/x", "x", false, 0, false, ~quint64(0) - 4000}});
    read = readCollectionArchive(negative);
    EXPECT_EQ(read.fault(), Fault::Damaged);
    EXPECT_EQ(read.reason(), QStringLiteral("압축파일이 손상되어 풀지 않았습니다 (크기가 맞지 않습니다).\rA/x"));

    const QString merged =
        writeArchive(QStringLiteral("merged.zip"), {{"A/sul2file.dbf", "t"}, {"A/text/a.txt", "1"}, {"A/TEXT/b.txt", "2"}});
    ASSERT_TRUE(unpackCollection(merged, readCollectionArchive(merged).value(), QStringLiteral("합친 설교집")).ok());
    EXPECT_EQ(tree(pf(QStringLiteral("합친 설교집"))),
              (QStringList{QStringLiteral("sul2file.dbf"), QStringLiteral("text/a.txt"), QStringLiteral("text/b.txt")}));
}

} // namespace
} // namespace verbana::backup
