// SPDX-License-Identifier: GPL-3.0-or-later
// Whole generated collections through single archives and volume chains.
#include "backup/backup_file.h"
#include "backup/bck_format.h"
#include "support/fixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>

using namespace verbana;

namespace {

struct Generated {
    std::map<QString, QByteArray> files; // path relative to the collection folder
    std::map<QString, QDateTime> dates;
};

QByteArray koreanText(QRandomGenerator &gen, qsizetype size)
{
    QByteArray b;
    b.reserve(size);
    while (b.size() + 2 <= size) {
        if (gen.bounded(8) == 0) {
            b += gen.bounded(4) == 0 ? "\r\n" : " ";
            continue;
        }
        b += char(0xB0 + gen.bounded(0x19)); // KS X 1001 Hangul syllables
        b += char(0xA1 + gen.bounded(0x5E));
    }
    return b.leftJustified(size, ' ');
}

Generated makeCollection(const QString &root, int sermons, quint32 seed)
{
    QRandomGenerator gen(seed);
    Generated g;
    const QStringList extras{QStringLiteral("자료/사진"), QStringLiteral("자료/문서/옛 설교"), QStringLiteral("empty")};
    for (int i = 1; i <= sermons; ++i) {
        const QByteArray text = koreanText(gen, gen.bounded(0, 12000));
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg949 ";
        for (char c : text)
            rtf += (uchar(c) >= 0x80) ? "\\'" + QByteArray::number(uchar(c), 16) : QByteArray(1, c);
        rtf += "}";
        g.files[QStringLiteral("data/sul%1.rtf").arg(i)] = rtf;
        g.files[QStringLiteral("text/sul%1.txt").arg(i)] = text;
        if (i % 50 == 0) {
            QByteArray noise(gen.bounded(0, 40000), Qt::Uninitialized);
            for (char &c : noise)
                c = char(gen.bounded(256));
            g.files[extras[i / 50 % 2] + QStringLiteral("/그림 %1.jpg").arg(i)] = noise;
        }
    }
    g.files[QStringLiteral("sul2file.dbf")] = QByteArray(32 + 1000, '\x03');
    g.files[QStringLiteral("empty/nothing")] = QByteArray();
    for (const auto &[rel, data] : g.files) {
        const QString path = root + QLatin1Char('/') + rel;
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
        const QDateTime when(QDate(1995, 1, 1).addDays(gen.bounded(10000)),
                             QTime(gen.bounded(24), gen.bounded(60), 2 * gen.bounded(30)), Qt::LocalTime);
        f.flush();
        f.setFileTime(when, QFileDevice::FileModificationTime);
        g.dates[rel] = f.fileTime(QFileDevice::FileModificationTime);
    }
    return g;
}

// Where a file of the collection lands under the restore target: its full
// path less the leading "/", ASCII letters in lower case.
QString restoredPath(const QString &target, const QString &collection, const QString &rel)
{
    QString full = collection + QLatin1Char('/') + rel;
    for (QChar &c : full)
        if (c.unicode() < 0x80)
            c = c.toLower();
    return target + full;
}

void expectSame(const Generated &g, const QString &target, const QString &collection)
{
    int found = 0;
    QDirIterator it(target, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        ++found;
    }
    EXPECT_EQ(found, int(g.files.size()));
    for (const auto &[rel, data] : g.files) {
        const QString path = restoredPath(target, collection, rel);
        ASSERT_EQ(test::readAll(path), data) << path.toStdString();
        ASSERT_EQ(QFileInfo(path).lastModified(), g.dates.at(rel)) << path.toStdString();
    }
}

class RoundTrip : public ::testing::Test {
protected:
    void SetUp() override
    {
        collection = dir.filePath(QStringLiteral("home/목사/verbana/주일 설교"));
        generated = makeCollection(collection, 1000, 2024);
    }
    QTemporaryDir dir;
    QString collection;
    Generated generated;
};

TEST_F(RoundTrip, SingleArchive)
{
    TBackupFile backup;
    backup.setBackupTitle("\xbc\xb3\xb1\xb3");
    const QString archive = dir.filePath(QStringLiteral("all.bck"));
    ASSERT_TRUE(backup.Backup({collection + QStringLiteral("/*.* /s")}, archive));
    EXPECT_EQ(backup.FileCount(), int(generated.files.size()));

    TBackupFile restore;
    const QString target = dir.filePath(QStringLiteral("restored"));
    ASSERT_TRUE(restore.Restore(archive, target));
    EXPECT_EQ(restore.ArchiveFileCount(), int(generated.files.size()));
    EXPECT_EQ(restore.Processed(), backup.Total());
    expectSame(generated, target, collection);
}

TEST_F(RoundTrip, VolumeChain)
{
    TBackupFile backup;
    backup.setMaxSize(500000);
    int disks = 0;
    backup.OnNeedDisk = [&](TBackupFile *, quint16 disk, bool &) { EXPECT_EQ(disk, ++disks + 1); };
    const QString archive = dir.filePath(QStringLiteral("chain.bck"));
    ASSERT_TRUE(backup.Backup({collection + QStringLiteral("\\*.* /S")}, archive));
    ASSERT_GT(disks, 5);
    for (int n = 2; n <= disks + 1; ++n)
        EXPECT_LT(QFileInfo(bck::volumeName(archive, n)).size(), 500000);

    TBackupFile restore;
    int asked = 0;
    restore.OnNeedDisk = [&](TBackupFile *, quint16, bool &) { ++asked; };
    const QString target = dir.filePath(QStringLiteral("restored"));
    ASSERT_TRUE(restore.Restore(archive, target));
    EXPECT_EQ(asked, disks);
    expectSame(generated, target, collection);
}

} // namespace
