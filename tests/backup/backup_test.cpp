// SPDX-License-Identifier: GPL-3.0-or-later
// The writer, checked against an independent reading of the layout.
#include "archive_bytes.h"

#include "backup/backup_file.h"
#include "backup/bck_format.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using verbana::test::parseArchive;

namespace {

const QDateTime kSourceTime(QDate(2021, 6, 7), QTime(8, 9, 10), Qt::LocalTime);

QByteArray noiseBytes(qsizetype size)
{
    QByteArray b(size, Qt::Uninitialized);
    QRandomGenerator gen(11);
    for (char &c : b)
        c = char(gen.bounded(256));
    return b;
}

class Backup : public ::testing::Test {
protected:
    void SetUp() override { QDir().mkpath(source()); }
    QString source() const { return dir.filePath(QStringLiteral("src")); }
    QString archive() const { return dir.filePath(QStringLiteral("out.bck")); }
    QString pattern() const { return source() + QStringLiteral("\\*.* /s"); }
    void put(const QString &relative, const QByteArray &data)
    {
        const QString path = source() + QLatin1Char('/') + relative;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        f.flush();
        f.setFileTime(kSourceTime, QFileDevice::FileModificationTime);
    }
    QByteArray stored(const QString &relative) const { return *bck::storedName(source() + QLatin1Char('/') + relative); }
    test::ParsedArchive parsed() const { return parseArchive({test::readAll(archive())}); }

    QTemporaryDir dir;
    TBackupFile file;
};

TEST_F(Backup, EmptyFileArchiveByteByByte)
{
    put(QStringLiteral("e.txt"), {});
    file.setBackupTitle("\xbc\xb3\xb1\xb3");
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    test::ArchiveBytes expected;
    expected.header("\xbc\xb3\xb1\xb3", 0, 1).entry(stored(QStringLiteral("e.txt")), bck::toDosTime(kSourceTime));
    expected.segmentStart().segmentEnd().end();
    EXPECT_EQ(test::readAll(archive()), expected.bytes());
}

TEST_F(Backup, StoredNamesAreLowerCaseDrivePathsInCp949)
{
    put(QStringLiteral("설교/DATA/Sul17.RTF"), "x");
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    const test::ParsedArchive a = parsed();
    ASSERT_EQ(a.entries.size(), 1u);
    QByteArray path = source().toUtf8().toLower();
    path.replace('/', '\\');
    EXPECT_EQ(a.entries[0].name, "c:" + path + "\\\xbc\xb3\xb1\xb3\\data\\sul17.rtf");
}

TEST_F(Backup, PiecesOfAtMost16384Bytes)
{
    const QByteArray noise = noiseBytes(16385);
    put(QStringLiteral("a16384"), QByteArray(16384, 'a'));
    put(QStringLiteral("b16385"), QByteArray(16385, 'b'));
    put(QStringLiteral("c-noise"), noise);
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    const test::ParsedArchive a = parsed();
    ASSERT_TRUE(a.ended) << a.problem.toStdString();
    ASSERT_EQ(a.entries.size(), 3u);
    EXPECT_EQ(a.total, 16384 + 16385 + 16385);
    EXPECT_EQ(a.count, 3);
    const auto &one = a.entries[0].segments.at(0).chunks;
    ASSERT_EQ(one.size(), 1u);
    EXPECT_GT(one[0].length, 0);
    const auto &two = a.entries[1].segments.at(0).chunks;
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[1].data, QByteArray(1, 'b'));
    const auto &noisy = a.entries[2].segments.at(0).chunks;
    ASSERT_EQ(noisy.size(), 2u);
    EXPECT_EQ(noisy[0].length, -16384); // does not compress: stored as it is
    EXPECT_EQ(a.entries[2].data(), noise);
    EXPECT_EQ(a.entries[0].date, bck::toDosTime(kSourceTime));
}

TEST_F(Backup, SubfoldersFirstAndProgressCountsListedFiles)
{
    put(QStringLiteral("z.txt"), "1");
    put(QStringLiteral("a/b/deep.txt"), "2");
    put(QStringLiteral("a/mid.txt"), "3");
    QStringList events;
    file.OnProgress = [&](TBackupFile *, const QString &name, int percent, bool &) {
        events << (name.startsWith(QLatin1Char('%')) || name.isEmpty() ? name : QFileInfo(name).fileName())
                      + QLatin1Char(':') + QString::number(percent);
    };
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(events, QStringList({QStringLiteral("%1:0"), QStringLiteral("%2:0"), QStringLiteral("%3:0"),
                                   QStringLiteral(":0"), QStringLiteral("deep.txt:33"), QStringLiteral("mid.txt:66"),
                                   QStringLiteral("z.txt:100"), QStringLiteral(":100")}));
    QStringList names;
    for (const auto &e : parsed().entries)
        names << QString::fromLatin1(e.name.mid(e.name.lastIndexOf('\\') + 1));
    EXPECT_EQ(names, QStringList({QStringLiteral("deep.txt"), QStringLiteral("mid.txt"), QStringLiteral("z.txt")}));
}

TEST_F(Backup, MaskAndFolderWithoutSubfolders)
{
    put(QStringLiteral("keep.RTF"), "1");
    put(QStringLiteral("skip.txt"), "2");
    put(QStringLiteral("sub/inner.rtf"), "3");
    ASSERT_TRUE(file.Backup({source() + QStringLiteral("/*.rtf")}, archive()));
    const test::ParsedArchive a = parsed();
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_TRUE(a.entries[0].name.endsWith("\\keep.rtf"));
}

TEST_F(Backup, ArchiveInsideTheFolderDoesNotContainItself)
{
    put(QStringLiteral("a.txt"), "a");
    put(QStringLiteral("self.bck"), "an older archive of the same name");
    const QString inside = source() + QStringLiteral("/self.bck");
    ASSERT_TRUE(file.Backup({pattern()}, inside));
    const test::ParsedArchive a = parseArchive({test::readAll(inside)});
    ASSERT_TRUE(a.ended);
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_TRUE(a.entries[0].name.endsWith("\\a.txt"));
    EXPECT_EQ(a.count, 1);
}

TEST_F(Backup, VanishedFileIsLeftOutButStillCounted)
{
    put(QStringLiteral("a.txt"), "a");
    put(QStringLiteral("b.txt"), "b");
    file.OnProgress = [&](TBackupFile *, const QString &name, int, bool &) {
        if (name.endsWith(QStringLiteral("a.txt")))
            QFile::remove(source() + QStringLiteral("/b.txt"));
    };
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    const test::ParsedArchive a = parsed();
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.total, 2);
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(file.FileCount(), 1);
}

TEST_F(Backup, FloppyVolumesStayBelowTheLimit)
{
    const QByteArray big = noiseBytes(3200000);
    put(QStringLiteral("big.bin"), big);
    put(QStringLiteral("small.txt"), "after");
    file.setMaxSize(1400000);
    test::ScriptedPrompter prompts;
    prompts.okOrCancel(true).okOrCancel(true);
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(prompts.texts(), QStringList({QStringLiteral(" 2 번 디스켓을 넣고 [ OK ]를 클릭하십시오."),
                                            QStringLiteral(" 3 번 디스켓을 넣고 [ OK ]를 클릭하십시오.")}));
    EXPECT_EQ(prompts.shown()[0].kind, PromptKind::InformationCancel); // 확인 and 취소
    const QByteArray v1 = test::readAll(archive());
    const QByteArray v2 = test::readAll(dir.filePath(QStringLiteral("out.002")));
    const QByteArray v3 = test::readAll(dir.filePath(QStringLiteral("out.003")));
    for (int i = 0; i < 2; ++i) {
        const QByteArray &v = i == 0 ? v1 : v2;
        EXPECT_LT(v.size(), 1400000);
        // The last piece was begun below 1400000 - 16484 bytes: what follows
        // it is at most one chunk, the segment's 0 and the marker.
        EXPECT_GE(v.size(), 1400000 - 16484);
        EXPECT_LE(v.size(), 1400000 - 16484 + 4 + 16384 + 4 + 4 + 12);
        EXPECT_TRUE(v.endsWith(QByteArray("\0\0\0\0\x0c\0\0\0NEXT:DISK", 17) + (i == 0 ? "002" : "003")));
    }
    EXPECT_TRUE(v2.startsWith(QByteArray("EC2\0", 4)));
    const test::ParsedArchive a = parseArchive({v1, v2, v3});
    ASSERT_TRUE(a.ended) << a.problem.toStdString();
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].segments.size(), 3u);
    EXPECT_EQ(a.entries[0].data(), big);
    EXPECT_EQ(a.entries[1].data(), QByteArray("after"));
}

TEST_F(Backup, RefusedDiskStopsSilently)
{
    put(QStringLiteral("big.bin"), noiseBytes(100000));
    file.setMaxSize(40000);
    QList<quint16> disks;
    file.OnNeedDisk = [&](TBackupFile *, quint16 disk, bool &go) {
        disks << disk;
        go = false;
    };
    test::ScriptedPrompter prompts; // no error box
    EXPECT_FALSE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(disks, QList<quint16>{2});
    EXPECT_EQ(file.ErrorCode(), 0);
    EXPECT_TRUE(test::readAll(archive()).endsWith("NEXT:DISK002"));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.002"))));
}

TEST_F(Backup, TinyVolumeLimitStillMakesProgress)
{
    const QByteArray data = noiseBytes(50000);
    put(QStringLiteral("f"), data);
    file.setMaxSize(100);
    file.OnNeedDisk = [](TBackupFile *, quint16, bool &) {};
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    std::vector<QByteArray> volumes{test::readAll(archive())};
    for (int n = 2; n <= 5; ++n)
        volumes.push_back(test::readAll(bck::volumeName(archive(), n)));
    const test::ParsedArchive a = parseArchive(volumes);
    ASSERT_TRUE(a.ended) << a.problem.toStdString();
    EXPECT_EQ(a.entries.at(0).data(), data);
}

// With a tiny limit every file begins a volume of its own after the first
// (which holds only the header): 998 files fill x.bck to x.999 and make a
// whole archive; one file more stops with error 1 before a 1,000th volume,
// which would take the name of an earlier one.
TEST_F(Backup, NoVolumeAfter999)
{
    for (int i = 0; i < 998; ++i)
        put(QStringLiteral("f%1").arg(i, 4, 10, QLatin1Char('0')), "x");
    file.setMaxSize(1);
    int last = 1;
    file.OnNeedDisk = [&](TBackupFile *, quint16 disk, bool &) { last = disk; };
    QList<int> codes;
    file.OnError = [&](TBackupFile *, int code, const QString &) { codes << code; };
    auto volumes = [&] {
        std::vector<QByteArray> all{test::readAll(archive())};
        for (int n = 2; n <= bck::kMaxVolumes; ++n)
            all.push_back(test::readAll(bck::volumeName(archive(), n)));
        return parseArchive(all);
    };
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(last, 999);
    EXPECT_TRUE(volumes().ended);

    put(QStringLiteral("f0998"), "x");
    EXPECT_FALSE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(codes, QList<int>{1});
    EXPECT_EQ(last, 999);
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("out.000"))));
    const test::ParsedArchive a = volumes();
    EXPECT_FALSE(a.ended);
    EXPECT_EQ(a.entries.size(), 999u);
    EXPECT_EQ(a.count, 999);
}

TEST_F(Backup, StopEndsAfterTheCurrentPiece)
{
    put(QStringLiteral("f"), QByteArray(100000, 'f'));
    file.OnProgress = [](TBackupFile *sender, const QString &name, int, bool &) {
        if (!name.isEmpty() && !name.startsWith(QLatin1Char('%')))
            sender->Stop();
    };
    test::ScriptedPrompter prompts;
    EXPECT_FALSE(file.Backup({pattern()}, archive()));
    const test::ParsedArchive a = parsed();
    EXPECT_FALSE(a.ended);
    ASSERT_EQ(a.entries.size(), 1u);
    EXPECT_EQ(a.entries[0].segments.at(0).chunks.size(), 1u);
    EXPECT_FALSE(file.Busy());
}

TEST_F(Backup, IncrementalTakesEveryFileAndLeavesThemAlone)
{
    put(QStringLiteral("a"), "a");
    put(QStringLiteral("b"), "b");
    file.setBackupMode(bmIncremental);
    EXPECT_TRUE(file.SetArchiveFlag());
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(parsed().entries.size(), 2u);
    EXPECT_EQ(QFileInfo(source() + QStringLiteral("/a")).lastModified(), kSourceTime);
    EXPECT_EQ(test::readAll(source() + QStringLiteral("/a")), QByteArray("a"));
}

TEST_F(Backup, FileListFirstWhenAsked)
{
    put(QStringLiteral("a"), "abc");
    file.setSaveFileID(true);
    ASSERT_TRUE(file.Backup({pattern()}, archive()));
    const test::ParsedArchive a = parsed();
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].name, QByteArray("FILE:LIST"));
    const QByteArray line = stored(QStringLiteral("a")) + '\t' + QByteArray::number(bck::toDosTime(kSourceTime)) + "=3\r\n";
    EXPECT_EQ(a.entries[0].data(), line);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a.total, 3 + line.size());
}

TEST_F(Backup, ArchiveThatCannotBeCreated)
{
    put(QStringLiteral("a"), "a");
    test::ScriptedPrompter prompts;
    prompts.error();
    EXPECT_FALSE(file.Backup({pattern()}, dir.filePath(QStringLiteral("no/such/folder/x.bck"))));
    EXPECT_EQ(file.ErrorCode(), 4);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("압축파일에 추가 기록할 수 없슴")});
}

TEST_F(Backup, NameThatCp949CannotHoldIsAnError)
{
    put(QStringLiteral("ok.txt"), "1");
    put(QStringLiteral("emoji-\U0001F600.txt"), "2");
    QList<int> codes;
    file.OnError = [&](TBackupFile *, int code, const QString &) { codes << code; };
    EXPECT_FALSE(file.Backup({pattern()}, archive()));
    EXPECT_EQ(codes, QList<int>{1});
    EXPECT_TRUE(file.CurrentFile().contains(QStringLiteral("emoji")));
}

TEST_F(Backup, VersionIsFixed)
{
    file.setVersion(QStringLiteral("9.99"));
    EXPECT_EQ(file.Version(), QStringLiteral("5.00"));
    for (int code = 1; code <= 7; ++code)
        EXPECT_FALSE(TBackupFile::ErrorText(code).isEmpty());
    EXPECT_EQ(TBackupFile::ErrorText(2), QStringLiteral("덮어쓰기 실패"));
    EXPECT_EQ(TBackupFile::ErrorText(7), QStringLiteral("임시 파일 생성 실패"));
}

} // namespace
