// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"
#include "exchange/batch_import.h"
#include "richtext/richtext.h"
#include "platform/clock.h"
#include "platform/cp949.h"
#include "store/convert_hwp.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "support/hwpx_package.h"
#include "support/recorded_progress.h"

#include <QTextDocument>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using exchange::briefFromBytes;
using exchange::ShortenSourcePath;
using test::cp;
using test::readAll;

namespace {

QString fixture(const char *relative) { return test::sharedFixtures() + QLatin1Char('/') + QLatin1String(relative); }

// The fields of a record, by field number.
QByteArray field(xbase::TApolloTable &t, int number) { return t.GetString(number); }

struct Sources {
    QTemporaryDir dir;
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(test::writeAll(path, bytes));
        return path;
    }
};

} // namespace

TEST(BatchImport, BriefIsWholeLinesPastByte199CutOnACharacter)
{
    EXPECT_EQ(briefFromBytes(""), QByteArray("\r\n"));
    EXPECT_EQ(briefFromBytes("abc"), QByteArray("abc\r\n"));
    EXPECT_EQ(briefFromBytes("a\nb\r\nc\rd\r\n"), QByteArray("a\r\nb\r\nc\r\nd\r\n"));
    EXPECT_EQ(briefFromBytes("a\r\n\r\nb"), QByteArray("a\r\n\r\nb\r\n"));
    // Lines are taken until more than 199 bytes are gathered; the last may
    // run past 200 and is cut there.
    const QByteArray line(150, 'x');
    EXPECT_EQ(briefFromBytes(line + "\r\n" + line + "\r\n" + line), (line + "\r\n" + line).left(200));
    EXPECT_EQ(briefFromBytes(QByteArray(198, 'y') + "\r\nzz"), QByteArray(198, 'y') + "\r\n");
    EXPECT_EQ(briefFromBytes(QByteArray(197, 'y') + "\r\nzz\r\nqq"), QByteArray(197, 'y') + "\r\nz");
    // A Hangul syllable on byte 200 is not split.
    const QByteArray hangul = QByteArray(199, 'h') + cp("가나");
    EXPECT_EQ(briefFromBytes(hangul), QByteArray(199, 'h'));
}

TEST(BatchImport, SourcePathFitsSixtyBytesFromItsLastFolders)
{
    const QByteArray shortPath = "/home/pastor/sermons/1998/a.hwp";
    EXPECT_EQ(ShortenSourcePath(QByteArrayView(shortPath)), shortPath);
    EXPECT_EQ(ShortenSourcePath(QByteArrayView("/home/My Documents/Sermons/Archive 1998/Spring/Sunday morning service 01.hwp")),
              QByteArray("..Sermons/Archive 1998/Spring/Sunday morning service 01.hwp"));
    // A name longer than 58 bytes keeps "..", the name, cut to 60 bytes on a
    // character boundary.
    const QByteArray longName = QByteArray(57, 'n') + cp("가나다");
    EXPECT_EQ(ShortenSourcePath(QByteArrayView(QByteArray("/a/b/") + longName)), QByteArray("..") + QByteArray(57, 'n'));
    EXPECT_EQ(ShortenSourcePath(QStringLiteral("/설교/") + QString(40, QLatin1Char('s'))),
              cp("/설교/") + QByteArray(40, 's'));
}

TEST(BatchImport, FileDateIsTheLastWriteTimeAlsoForReadOnlyFiles)
{
    Sources src;
    const QString path = src.write(QStringLiteral("old.txt"), "x");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    ASSERT_TRUE(f.setFileTime(QDateTime(QDate(1998, 3, 1), QTime(10, 0)), QFileDevice::FileModificationTime));
    f.close();
    ASSERT_TRUE(f.setPermissions(QFileDevice::ReadOwner));
    EXPECT_EQ(exchange::FileDate(path), QByteArray("1998.03.01"));
    clock::setFixedNow(QDateTime(QDate(2001, 12, 31), QTime(9, 0)));
    EXPECT_EQ(exchange::FileDate(src.dir.path() + QStringLiteral("/missing.txt")), QByteArray("2001.12.31"));
    clock::setFixedNow({});
}

TEST(BatchImport, TextFilesBecomeSermonsWithTheirFilesUnchanged)
{
    VERBANA_REQUIRE_FIXTURES();
    test::TestCollection c({{"2001.01.01", "one"}, {"2001.01.02", "two"}});
    Sources src;
    const QByteArray txt = cp("첫 줄\n둘째 줄\r\n");
    const QString txtPath = src.write(QStringLiteral("note.TXT"), txt);
    const QString capPath = src.write(QStringLiteral("old.cap"), "cap text");
    const QString rtfPath = fixture("rtf/nebulas-101-01-ko.rtf");
    const QString missing = src.dir.path() + QStringLiteral("/gone.txt");
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Text, c.document(),
                                                  {txtPath, missing, capPath, rtfPath});
    EXPECT_EQ(outcome.imported, 3);
    EXPECT_EQ(outcome.failed, QStringList{QStringLiteral("gone.txt")});
    EXPECT_EQ(outcome.message(), QStringLiteral("3개 파일을 불러 넣었습니다."));
    EXPECT_EQ(c.table().State(), xbase::TableState::Browse);
    EXPECT_EQ(c.table().RecCount(), 5u);

    c.table().SetOrder(0);
    c.table().Go(3);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul2.RTF"));
    EXPECT_EQ(field(c.table(), store::fDATE1), exchange::FileDate(txtPath));
    EXPECT_EQ(field(c.table(), store::fETCS), ShortenSourcePath(txtPath));
    EXPECT_EQ(field(c.table(), store::fBRIEF), cp("첫 줄\r\n둘째 줄\r\n"));
    for (int f : {store::fTITLE1, store::fTITLE2, store::fBIBLE1, store::fBIBLENO, store::fDATE2, store::fWHERE})
        EXPECT_EQ(field(c.table(), f), QByteArray()) << f;
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul2.RTF")), txt);
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul2.txt")), cp("첫 줄\r\n둘째 줄\r\n"));

    c.table().Go(4);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul3.RTF"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul3.RTF")), QByteArray("cap text"));

    c.table().Go(5);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul4.RTF"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul4.RTF")), readAll(rtfPath));
    QByteArray expected = cp949::encode(QString::fromUtf8(readAll(fixture("rtf/nebulas-101-01-ko.expected.txt")))).bytes;
    expected.replace("\n", "\r\n");
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul4.txt")), expected);
    EXPECT_EQ(field(c.table(), store::fBRIEF), briefFromBytes(expected));
    // The sources are as they were.
    EXPECT_EQ(readAll(txtPath), txt);
}

// UTF-8 files (with a byte-order mark, or simply no CP949) become sermons
// in the collection's code page: the manuscript an RTF document keeping
// what CP949 cannot hold, the text copy and summary CP949 with "?" for it.
TEST(BatchImport, Utf8TextFilesAreStoredInTheCollectionsCodePage)
{
    test::TestCollection c;
    Sources src;
    const QString withMark = src.write(QStringLiteral("bom.txt"), "\xEF\xBB\xBF" + QStringLiteral("은혜 🙏\n둘째").toUtf8());
    const QString plain = src.write(QStringLiteral("plain.txt"), QStringLiteral("평안").toUtf8());
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Text, c.document(), {withMark, plain});
    EXPECT_EQ(outcome.imported, 2);
    c.table().SetOrder(0);
    c.table().Go(1);
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul0.txt")), cp("은혜 ?\r\n둘째\r\n"));
    EXPECT_EQ(field(c.table(), store::fBRIEF), cp("은혜 ?\r\n둘째\r\n"));
    QTextDocument back;
    richtext::readRtf(readAll(c.folder() + QStringLiteral("/data/d0/sul0.RTF")), back);
    EXPECT_EQ(back.toPlainText(), QStringLiteral("은혜 🙏\n둘째"));
    c.table().Go(2);
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul1.txt")), cp("평안\r\n"));
}

TEST(BatchImport, HwpFilesAreConvertedAndTheDamagedOnesListed)
{
    VERBANA_REQUIRE_FIXTURES();
    store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH));
    test::TestCollection c;
    const QString good = fixture("hwp/hwp3/hangul97-3.0.hwp");
    const QString damaged = fixture("hwp/hwp3/damaged/cslist-1.hwp");
    const QString five = fixture("hwp/hwp5/example.hwp");
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Hwp, c.document(),
                                                  {good, damaged, five});
    store::setHwp2txtPath(QString());
    EXPECT_EQ(outcome.imported, 2);
    EXPECT_EQ(outcome.failed, QStringList{QStringLiteral("cslist-1.hwp")});
    EXPECT_TRUE(outcome.error.isEmpty());
    c.table().SetOrder(0);
    c.table().Go(1);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul0.HWP"));
    EXPECT_EQ(field(c.table(), store::fTITLE1), QByteArray("Hello OpenOffice"));
    EXPECT_EQ(field(c.table(), store::fDATE1), exchange::FileDate(good));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul0.HWP")), readAll(good));
    const QByteArray text = readAll(c.folder() + QStringLiteral("/text/d0/sul0.txt"));
    EXPECT_TRUE(text.startsWith("Hello OpenOffice.org!\r\n")) << text.toStdString();
    EXPECT_EQ(field(c.table(), store::fBRIEF), briefFromBytes(text));
    c.table().Go(2);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul1.HWP"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul1.HWP")), readAll(five));
    // The conversion's work files are gone; nothing of the damaged file stays.
    EXPECT_FALSE(QFileInfo::exists(c.programFolder() + QStringLiteral("/convhwp.hwp")));
    EXPECT_FALSE(QFileInfo::exists(c.programFolder() + QStringLiteral("/convhwp.txt")));
    EXPECT_EQ(QDir(c.folder() + QStringLiteral("/data/d0")).entryList(QDir::Files).size(), 2);
}

TEST(BatchImport, HwpxFilesKeepTheirExtensionAndGiveTheirTitle)
{
    store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH));
    test::TestCollection c;
    Sources sources;
    const QByteArray hpf = "<opf:package xmlns:opf=\"http://www.idpf.org/2007/opf/\"><opf:metadata>"
                           "<opf:title>감사의 제목</opf:title></opf:metadata></opf:package>";
    const QByteArray body = test::hwpxSection("<hp:p><hp:run><hp:t>본문</hp:t></hp:run></hp:p>");
    const QString titled = sources.write(
        QStringLiteral("titled.HWPX"),
        test::hwpxPackage({{"Contents/content.hpf", hpf}, {"Contents/section0.xml", body}}));
    const QString refused = sources.write(
        QStringLiteral("refused.hwpx"),
        test::hwpxPackage({{"Contents/section0.xml", "<!DOCTYPE x [<!ENTITY a \"b\">]><x/>"}}));
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Hwp, c.document(), {refused, titled});
    store::setHwp2txtPath(QString());
    EXPECT_EQ(outcome.imported, 1);
    EXPECT_EQ(outcome.failed, QStringList{QStringLiteral("refused.hwpx")});
    c.table().SetOrder(0);
    c.table().Go(1);
    EXPECT_EQ(field(c.table(), store::fCONTEXT), QByteArray("d0\\sul0.HWPX"));
    EXPECT_EQ(field(c.table(), store::fTITLE1), cp("감사의 제목"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul0.HWPX")), readAll(titled));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul0.txt")), cp("본문\r\n"));
    EXPECT_FALSE(QFileInfo::exists(c.programFolder() + QStringLiteral("/convhwp.hwpx")));
    EXPECT_EQ(QDir(c.folder() + QStringLiteral("/data/d0")).entryList(QDir::Files).size(), 1);
}

TEST(BatchImport, AnErrorEndsTheRunAndKeepsWhatWasImported)
{
    test::TestCollection c;
    Sources src;
    const QStringList paths{src.write(QStringLiteral("a.txt"), "a"), src.write(QStringLiteral("b.txt"), "b"),
                            src.write(QStringLiteral("c.txt"), "c")};
    // After the first file a plain file takes the place of text/, so the
    // second sermon's folders cannot be made.
    test::RecordedProgress progress([&](const Progress::Report &r) {
        if (r.done == 1) {
            QDir(c.folder() + QStringLiteral("/text")).removeRecursively();
            test::writeAll(c.folder() + QStringLiteral("/text"), "x");
        }
    });
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Text, c.document(), paths, &progress);
    EXPECT_EQ(outcome.imported, 1);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(outcome.message().endsWith(QStringLiteral("\r1개 파일을 불러 넣었습니다."))) << outcome.message().toStdString();
    EXPECT_EQ(c.table().RecCount(), 1u);
    EXPECT_EQ(c.table().State(), xbase::TableState::Browse);
    EXPECT_FALSE(c.table().ControlsDisabled());
    EXPECT_FALSE(QFileInfo::exists(c.folder() + QStringLiteral("/data/d0/sul1.RTF")));
}
