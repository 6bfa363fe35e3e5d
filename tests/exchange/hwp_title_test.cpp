// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/hwp_title.h"
#include "platform/cp949.h"
#include "support/fixtures.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

using verbana::exchange::hwpTitleOf;
using verbana::exchange::ReadHwpTitle;
using verbana::exchange::UDF_HanPConvt;
using verbana::test::fromHex;

namespace {

QByteArray cp949(QStringView s) { return verbana::cp949::encode(s).bytes; }

QString hwp(const char *relative)
{
    return verbana::test::sharedFixtures() + QStringLiteral("/hwp/") + QLatin1String(relative);
}

// An HWP 3.0 header area of 1166 bytes with the given title units at 158
// and annotation bytes at 102.
QByteArray hwp3Header(const QList<quint16> &titleUnits, const QByteArray &annotation = {})
{
    QByteArray b = QByteArray("HWP Document File V3.00 \x1a\x01\x02\x03\x04\x05", 30) + QByteArray(1166 - 30, '\0');
    for (qsizetype i = 0; i < titleUnits.size(); ++i)
        qToLittleEndian(titleUnits[i], b.data() + 158 + 2 * i);
    b.replace(102, annotation.size(), annotation);
    return b;
}

} // namespace

TEST(HwpTitle, TitlesOfTheFixtures)
{
    VERBANA_REQUIRE_FIXTURES();
    struct Case {
        const char *file;
        QByteArray title;
    };
    const Case cases[] = {
        {"hwp3/hwp3-sample.hwp", "Creating Linux Virtual Servers"},
        {"hwp3/hwp3-sample5.hwp", QByteArray("The Linux System Administrators' Guide: ")
                                      + fromHex("b8ae b4aa bdba 20 bdc3 bdba c5db 20 b0fc b8ae c0da 20 b0a1 c0cc b5e5")},
        {"hwp3/hangul97-3.0.hwp", "Hello OpenOffice"},
        {"hwp3/hangul97-3.0-uncompressed.hwp", "Hello OpenOffice"},
        // Damaged bodies behind a sound header still have their title.
        {"hwp3/damaged/cslist-1.hwp", "Hello OpenOffice"},
        {"hwp3/damaged/skipblock-1.hwp", "Hello OpenOffice"},
        // HWP 5: from the summary information, never the container's bytes.
        {"hwp5/sample-5017.hwp", cp949(u"제목입니다.")},
        {"hwp5/headerfooter.hwp", ""},
        {"hwp5/footnote-endnote.hwp", cp949(u"각주참조")},
        {"hwp5/textbox.hwp", ""},
        {"hwp5/hwpSummaryInformation.hwp", cp949(u"문서요약 테스트 제목")},
        {"hwp5/lists.hwp", ""},
        {"hwp5/example.hwp", cp949(u"◆ 삼강오륜")},
        {"hwp5/table-caption.hwp", ""},
        {"hwp5/finding-control.hwp", ""},
        {"hwp5/viewtext.hwp", cp949(u"pyhwp 배포 문서 예제")},
        {"hwp5/distribution.hwp", cp949(u"무궁화동산등")},
        {"hwp5/password-12345.hwp", cp949(u"암호로 보호되는 파일")},
        // HWPX: from the package's metadata.
        {"../hwpx/table.hwpx", cp949(u"제목")},
        {"../hwpx/parahead.hwpx", cp949(u"글머리1")},
        {"../hwpx/headerfooter.hwpx", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const verbana::Outcome<QByteArray> title = ReadHwpTitle(hwp(c.file));
        ASSERT_TRUE(title.ok()) << title.reason().toStdString();
        EXPECT_EQ(title.value(), c.title) << verbana::cp949::decode(title.value()).toStdString();
    }
}

TEST(HwpTitle, GarbageHeadersGiveSomeTitleWithoutFailing)
{
    VERBANA_REQUIRE_FIXTURES();
    for (const char *f : {"hwp3/damaged/ofz44990-1.hwp", "hwp3/damaged/ofz44992-1.hwp", "hwp3/damaged/ofz44997-1.hwp"})
        EXPECT_TRUE(ReadHwpTitle(hwp(f)).ok()) << f;
}

TEST(HwpTitle, JohabUnitsGoHighByteFirst)
{
    // The title of hwp3-sample4.hwp (not among the fixtures), unit by unit.
    const QByteArray h = hwp3Header({0x0031, 0x0020, 0xB7B1, 0xA541, 0x97A1, 0x9761, 0x0020, 0xAFA1, 0xAF61, 0xC951, 0xB781,
                                     0x0020, 0x8881, 0xB661});
    EXPECT_EQ(hwpTitleOf(h), fromHex("31 20 c0d3 baa3 b5f0 b5e5 20 bdc3 bdba c5db c0c7 20 b0b3 bfe4"));
    EXPECT_EQ(verbana::cp949::decode(hwpTitleOf(h)), QStringLiteral("1 임베디드 시스템의 개요"));
}

TEST(HwpTitle, AnEmptyTitleFieldFallsBackToTheAnnotation)
{
    // Up to 18 bytes, ending at the first zero byte.
    EXPECT_EQ(hwpTitleOf(hwp3Header({}, QByteArray("Creating Linux Virtual "))), QByteArray("Creating Linux Vir"));
    EXPECT_EQ(hwpTitleOf(hwp3Header({}, QByteArray("Short\0tail", 10))), QByteArray("Short"));
    EXPECT_EQ(hwpTitleOf(hwp3Header({}, fromHex("d065 8a82"))), cp949(u"한국"));
    EXPECT_EQ(hwpTitleOf(hwp3Header({})), QByteArray());
}

TEST(HwpTitle, AFullTitleFieldStopsBeforeTheSubject)
{
    QList<quint16> units(56, u'T');
    units += {u'S', u'u', u'b'};
    EXPECT_EQ(hwpTitleOf(hwp3Header(units)), QByteArray(56, 'T'));
}

TEST(HwpTitle, ShortFilesHaveNoTitle)
{
    EXPECT_EQ(hwpTitleOf(hwp3Header({u'A'}).first(381)), QByteArray());
    EXPECT_EQ(hwpTitleOf(hwp3Header({u'A'}).first(382)), QByteArray("A"));
    EXPECT_EQ(hwpTitleOf(QByteArray()), QByteArray());
}

TEST(HwpTitle, AnyFileIsReadAtTheSameOffsets)
{
    // The routine does not look for a signature: any file long enough has
    // its bytes at 158 taken as the title.
    QByteArray other(1000, '\0');
    other.replace(158, 4, QByteArray("O\0K\0", 4));
    EXPECT_EQ(hwpTitleOf(other), QByteArray("OK"));
}

TEST(HwpTitle, ACompoundFileWithoutSummaryHasNoTitle)
{
    // The compound-file signature followed by the 0xFF bytes an HWP 5 file
    // has at 158: never a title of 0xFF bytes.
    QByteArray cfb = QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(2000, '\xFF');
    EXPECT_EQ(hwpTitleOf(cfb), QByteArray());
}

TEST(HwpTitle, JohabConversionKeepsAscii)
{
    EXPECT_EQ(UDF_HanPConvt("a\\b"), QByteArray("a\\b"));
    // A Johab trail byte may look like ASCII ("e" in d0 65): it stays with its lead.
    EXPECT_EQ(UDF_HanPConvt(fromHex("d065 5c d065")), cp949(u"한") + '\\' + cp949(u"한"));
    // An extension-area syllable, and codes the table rejects.
    EXPECT_EQ(UDF_HanPConvt(fromHex("b161")), fromHex("9bc7"));
    EXPECT_EQ(UDF_HanPConvt(fromHex("ffff 41")), QByteArray("?A"));
}

TEST(HwpTitle, ReadsThroughADeviceAndReportsAnUnreadableFile)
{
    QByteArray bytes = hwp3Header({u'D', u'e', u'v'});
    QBuffer buffer(&bytes);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadHwpTitle(buffer).value(), QByteArray("Dev"));

    QTemporaryDir dir;
    for (const QString &unreadable : {dir.filePath(QStringLiteral("missing.hwp")), dir.path()}) {
        const verbana::Outcome<QByteArray> title = ReadHwpTitle(unreadable);
        EXPECT_EQ(title.fault(), verbana::Fault::Io) << unreadable.toStdString();
        EXPECT_TRUE(title.reason().startsWith(unreadable)) << title.reason().toStdString();
    }
}
