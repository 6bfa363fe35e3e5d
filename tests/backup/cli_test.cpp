// SPDX-License-Identifier: GPL-3.0-or-later
// The bck-* commands of verbana-cli, run as a script would run them.
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int code = -1;
    QString out, err;
};

CliRun cli(const QStringList &args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice()); // no terminal to ask
    p.start(QStringLiteral(VERBANA_CLI), args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

class BckCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(dir.filePath(QStringLiteral("col/설교/data")));
        QFile a(dir.filePath(QStringLiteral("col/설교/data/sul1.rtf")));
        ASSERT_TRUE(a.open(QIODevice::WriteOnly));
        QByteArray noise(60000, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) ^ (i >> 5));
        a.write(noise);
    }
    QString path(const char *name) const { return dir.filePath(QString::fromUtf8(name)); }
    QTemporaryDir dir;
};

TEST_F(BckCli, BackupListRestoreAcrossVolumes)
{
    const CliRun b = cli({QStringLiteral("bck-backup"), path("col"), path("x.bck"), QStringLiteral("--volume-size"),
                       QStringLiteral("30000"), QStringLiteral("--title"), QStringLiteral("주일")});
    ASSERT_EQ(b.code, 0) << b.err.toStdString();
    EXPECT_TRUE(QFileInfo::exists(path("x.002")));

    const CliRun l = cli({QStringLiteral("bck-list"), path("x.bck")});
    ASSERT_EQ(l.code, 0) << l.err.toStdString();
    EXPECT_TRUE(l.out.startsWith(QStringLiteral("title: 주일\ntotal: 60000 bytes\nfiles: 1\n"))) << l.out.toStdString();
    EXPECT_TRUE(l.out.contains(QStringLiteral("60000 c:\\"))) << l.out.toStdString();
    EXPECT_TRUE(l.out.contains(QStringLiteral("\\설교\\data\\sul1.rtf\n")));

    const CliRun r = cli({QStringLiteral("bck-restore"), path("x.bck"), path("out")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    QString restored = path("col/설교/data/sul1.rtf").mid(1);
    for (QChar &c : restored)
        if (c.unicode() < 0x80)
            c = c.toLower();
    EXPECT_EQ(verbana::test::readAll(path("out/") + restored), verbana::test::readAll(path("col/설교/data/sul1.rtf")));
}

TEST_F(BckCli, MissingVolumeAndMissingArchiveFail)
{
    ASSERT_EQ(cli({QStringLiteral("bck-backup"), path("col"), path("x.bck"), QStringLiteral("--volume-size"),
                   QStringLiteral("30000")})
                  .code,
              0);
    ASSERT_TRUE(QFile::remove(path("x.002")));
    const CliRun r = cli({QStringLiteral("bck-restore"), path("x.bck"), path("out")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("volume 2 not found"))) << r.err.toStdString();

    EXPECT_EQ(cli({QStringLiteral("bck-list"), path("none.bck")}).code, 1);
    EXPECT_EQ(cli({QStringLiteral("bck-restore"), path("none.bck"), path("out")}).code, 1);
    EXPECT_EQ(cli({QStringLiteral("bck-backup"), path("col")}).code, 2);
}

TEST_F(BckCli, DamagedArchiveFails)
{
    QFile f(path("bad.bck"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("\xff\xff\xff\xff");
    f.close();
    const CliRun r = cli({QStringLiteral("bck-restore"), path("bad.bck"), path("out")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("읽을 수 없는 압축파일")));
}

} // namespace
