// SPDX-License-Identifier: GPL-3.0-or-later
// Runs the built Hwp2txt the way the program does and checks the file it
// leaves, its exit status and its one-line reason on failure.
#include "platform/cp949.h"
#include "support/fixtures.h"
#include "support/hwpx_package.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ConverterRun {
    int exitCode = -1;
    QByteArray stdErr;
};

ConverterRun convert(const QStringList &args, const QString &workDir = {})
{
    QProcess p;
    if (!workDir.isEmpty())
        p.setWorkingDirectory(workDir);
    p.start(QString::fromUtf8(HWP2TXT_PATH), args);
    EXPECT_TRUE(p.waitForFinished(20000)) << "Hwp2txt did not finish";
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit) << "Hwp2txt crashed";
    return {p.exitCode(), p.readAllStandardError()};
}

QString hwpFixtures() { return verbana::test::sharedFixtures() + QStringLiteral("/hwp"); }

// The expected texts are UTF-8 with LF line ends and keep characters that
// CP949 cannot hold. The converter writes CP949 with CR LF and puts '?' for
// those characters, so the expectation is turned into exactly that; every
// line, empty ones and trailing spaces included, must then match byte for
// byte.
QByteArray expectedBytes(const QString &expectedPath)
{
    QString text = QString::fromUtf8(verbana::test::readAll(expectedPath));
    const verbana::cp949::Encoded first = verbana::cp949::encode(text);
    const QString missing = first.unmappable;
    for (qsizetype i = 0; i < missing.size();) {
        const qsizetype n = missing[i].isHighSurrogate() ? 2 : 1;
        text.replace(missing.mid(i, n), QStringLiteral("?"));
        i += n;
    }
    const verbana::cp949::Encoded safe = verbana::cp949::encode(text);
    EXPECT_TRUE(safe.ok());
    QByteArray bytes = safe.bytes;
    bytes.replace("\n", "\r\n");
    return bytes;
}

QStringList documentsWithExpectedText()
{
    QStringList out;
    QDirIterator it(hwpFixtures(), {QStringLiteral("*.expected.txt")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    out.sort();
    return out;
}

} // namespace

TEST(Hwp2txt, WritesTheExpectedTextOfEveryFixture)
{
    VERBANA_REQUIRE_FIXTURES();
    const QStringList expected = documentsWithExpectedText();
    ASSERT_GE(expected.size(), 15);
    QTemporaryDir dir;
    for (const QString &e : expected) {
        const QString hwp = e.chopped(int(qstrlen(".expected.txt"))) + QStringLiteral(".hwp");
        SCOPED_TRACE(hwp.toStdString());
        const QString out = dir.filePath(QFileInfo(hwp).completeBaseName() + QStringLiteral(".txt"));
        const ConverterRun r = convert({hwp, out, QStringLiteral("/ks")});
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_TRUE(r.stdErr.isEmpty()) << r.stdErr.constData();
        const QByteArray got = verbana::test::readAll(out);
        const QByteArray want = expectedBytes(e);
        if (got != want) {
            // Show the first differing line rather than two large blobs.
            const QList<QByteArray> g = got.split('\n');
            const QList<QByteArray> w = want.split('\n');
            for (qsizetype i = 0; i < std::max(g.size(), w.size()); ++i) {
                const QByteArray gl = i < g.size() ? g[i] : QByteArray("<missing>");
                const QByteArray wl = i < w.size() ? w[i] : QByteArray("<missing>");
                if (gl != wl) {
                    ADD_FAILURE() << "line " << i + 1 << ": got \"" << verbana::cp949::decode(gl).toStdString() << "\" want \""
                                  << verbana::cp949::decode(wl).toStdString() << "\"";
                    break;
                }
            }
        }
    }
}

TEST(Hwp2txt, RunsWithTheProgramsCommandLineInTheWorkingDirectory)
{
    VERBANA_REQUIRE_FIXTURES();
    QTemporaryDir dir;
    ASSERT_TRUE(QFile::copy(hwpFixtures() + QStringLiteral("/hwp3/hangul97-3.0.hwp"), dir.filePath(QStringLiteral("convhwp.hwp"))));
    const ConverterRun r = convert({QStringLiteral("convhwp.hwp"), QStringLiteral("convhwp.txt"), QStringLiteral("/ks")}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(verbana::test::readAll(dir.filePath(QStringLiteral("convhwp.txt"))),
              QByteArray("Hello OpenOffice.org!\r\n") + verbana::cp949::encode(QStringLiteral("안녕하세요 오픈오피스!\r\n")).bytes);
}

TEST(Hwp2txt, RefusesDocumentsItCannotReadWithoutLeavingAFile)
{
    VERBANA_REQUIRE_FIXTURES();
    struct Case {
        const char *file;
        const char *reason;
    };
    const Case cases[] = {
        {"hwp5/password-12345.hwp", "the document is protected by a password"},
        {"hwp3/damaged/ofz44990-1.hwp", "damaged HWP 3.0 document"},
        {"hwp3/damaged/ofz44992-1.hwp", "damaged HWP 3.0 document"},
        {"hwp3/damaged/ofz44997-1.hwp", "damaged HWP 3.0 document"},
        {"hwp3/damaged/cslist-1.hwp", "damaged HWP 3.0 document"},
        {"hwp3/damaged/skipblock-1.hwp", "damaged HWP 3.0 document"},
        {"README.md", "not an HWP document"},
    };
    QTemporaryDir dir;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString in = hwpFixtures() + QLatin1Char('/') + QLatin1String(c.file);
        const ConverterRun r = convert({in, dir.filePath(QStringLiteral("out.txt")), QStringLiteral("/ks")});
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.stdErr.startsWith("Hwp2txt: ")) << r.stdErr.constData();
        EXPECT_TRUE(r.stdErr.contains(c.reason)) << r.stdErr.constData();
        EXPECT_EQ(r.stdErr.count('\n'), 1);
        EXPECT_TRUE(r.stdErr.endsWith('\n'));
        // Neither the output nor a temporary file is left behind.
        EXPECT_TRUE(QDir(dir.path()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
    }
}

TEST(Hwp2txt, ConvertsHwpxAndLeavesNothingOfARefusedPackage)
{
    using verbana::test::hwpxPackage;
    using verbana::test::hwpxSection;
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("convhwp.hwpx"));
    const QByteArray body = hwpxSection("<hp:p><hp:run><hp:t>은혜 🙏</hp:t></hp:run></hp:p><hp:p/>");
    ASSERT_TRUE(verbana::test::writeAll(good, hwpxPackage({{"Contents/section0.xml", body}})));
    ConverterRun r =
        convert({QStringLiteral("convhwp.hwpx"), QStringLiteral("convhwp.txt"), QStringLiteral("/ks")}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(verbana::test::readAll(dir.filePath(QStringLiteral("convhwp.txt"))),
              verbana::cp949::encode(QStringLiteral("은혜 ?\r\n\r\n")).bytes);

    const QString bad = dir.filePath(QStringLiteral("bad.hwpx"));
    ASSERT_TRUE(verbana::test::writeAll(
        bad, hwpxPackage({{"Contents/section0.xml", "<!DOCTYPE x [<!ENTITY a \"b\">]><x>&a;</x>"}})));
    r = convert({bad, dir.filePath(QStringLiteral("bad.txt")), QStringLiteral("/ks")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.stdErr, "Hwp2txt: " + bad.toUtf8()
                            + ": damaged HWPX document: Contents/section0.xml declares a document type or entities, "
                              "which are refused\n");
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("bad.txt"))));
}

TEST(Hwp2txt, ReportsWrongUsageAndFileErrors)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.txt"));
    const QString missing = dir.filePath(QStringLiteral("missing.hwp"));

    ConverterRun r = convert({missing, out});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.stdErr, QByteArray("Hwp2txt: usage: Hwp2txt IN.hwp OUT.txt /ks\n"));
    r = convert({missing, out, QStringLiteral("/utf8")});
    EXPECT_EQ(r.exitCode, 2);

    r = convert({missing, out, QStringLiteral("/ks")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.stdErr.startsWith("Hwp2txt: " + missing.toUtf8())) << r.stdErr.constData();
    EXPECT_FALSE(QFile::exists(out));

    QFile empty(dir.filePath(QStringLiteral("empty.hwp")));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    r = convert({empty.fileName(), out, QStringLiteral("/KS")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_FALSE(QFile::exists(out));
}

TEST(Hwp2txt, ReportsAnOutputItCannotWrite)
{
    VERBANA_REQUIRE_FIXTURES();
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("no/such/folder/out.txt"));
    const ConverterRun r = convert({hwpFixtures() + QStringLiteral("/hwp3/hangul97-3.0.hwp"), out, QStringLiteral("/ks")});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.stdErr.startsWith("Hwp2txt: " + out.toUtf8())) << r.stdErr.constData();
}
