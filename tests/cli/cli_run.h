// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Runs verbana-cli for the command-line tests, and the collection they start
// from: three sermons loaded into a new collection.
namespace verbana::test {

struct CliRun {
    int code = -1;
    QString out, err;
};

inline CliRun cli(const QStringList &args, const QByteArray &input = QByteArray())
{
    QProcess p;
    p.start(QStringLiteral(VERBANA_CLI), args);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// Every folder and file below `root` by relative path: a file with its
// bytes, a folder with "/".
inline QMap<QString, QByteArray> tree(const QString &root)
{
    QMap<QString, QByteArray> t;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f = it.nextFileInfo();
        QFile file(f.filePath());
        t.insert(f.filePath().mid(root.size()),
                 f.isDir() ? QByteArrayLiteral("/") : (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("?")));
    }
    return t;
}

inline const QByteArray kCsv = QByteArrayLiteral(
    "date1,title1,bible1,bibleno,date2\n"
    "1997.05.04,믿음의 능력,창12:1-12,01012001,1997.05.11\n"
    "1998.01.01,\"agape, 사랑\",요3:16,43003016,\n"
    "1996.03.03,똠방각하에게 배우는 겸손,,,1996.03.10\n");

class CliTable : public ::testing::Test {
protected:
    // Each call makes another collection (tests that try many shapes start
    // afresh for each).
    void SetUp() override
    {
        // Collections replaced go to a trash of the test's own.
        qputenv("XDG_DATA_HOME", (tmp.path() + QStringLiteral("/xdg")).toUtf8());
        dir = tmp.path() + QStringLiteral("/설교집") + (made++ ? QString::number(made) : QString());
        table = dir + QStringLiteral("/sul2file.dbf");
        ASSERT_EQ(cli({QStringLiteral("create"), dir}).code, 0);
        const CliRun r = cli({QStringLiteral("load"), table}, kCsv);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("appended 3 records\n"));
    }
    QTemporaryDir tmp;
    QString dir, table;
    int made = 0;
};

} // namespace verbana::test
