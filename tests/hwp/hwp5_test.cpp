// SPDX-License-Identifier: GPL-3.0-or-later
// The HWP 5 record walker, the view-section decryption and the summary
// information, on streams built here.
#include "hwp/hwp5.h"
#include "platform/cp949.h"
#include "support/fixtures.h"
#include "le_bytes.h"

#include <QFile>
#include <QtEndian>

#include <gtest/gtest.h>

using namespace verbana::hwp;

namespace {

using verbana::test::u16;
using verbana::test::u32;

QByteArray record(quint32 tag, quint32 level, const QByteArray &payload)
{
    const quint32 size = static_cast<quint32>(payload.size());
    if (size >= 0xFFF)
        return u32(tag | level << 10 | 0xFFFu << 20) + u32(size) + payload;
    return u32(tag | level << 10 | size << 20) + payload;
}

QByteArray units(QStringView text)
{
    QByteArray out;
    for (QChar c : text)
        out += u16(c.unicode());
    return out;
}

// An eight-unit control: code, six data units, code.
QByteArray control(quint16 code, const char id[4] = "    ")
{
    return u16(code) + QByteArray(id, 4) + QByteArray(8, '\0') + u16(code);
}

QByteArray paragraph(quint32 level, const QByteArray &text)
{
    return record(66, level, QByteArray(24, '\0')) + (text.isEmpty() ? QByteArray() : record(67, level + 1, text + u16(13)));
}

QString sectionText(const QByteArray &records)
{
    QString out;
    auto r = appendSectionText(records, out);
    EXPECT_TRUE(r.ok()) << r.reason().toStdString();
    return out;
}

} // namespace

TEST(Hwp5Records, ControlCharactersGiveTheirText)
{
    const QByteArray text = units(u"a") + control(9) + units(u"b") + u16(10) + units(u"c") + u16(30) + units(u"d") + u16(31)
                            + units(u"e") + u16(24) + units(u"f") + control(11, " lbt") + control(3, "klh%") + units(u"link")
                            + control(4) + control(18, "onta") + control(21, "dhgp") + units(u"g");
    EXPECT_EQ(sectionText(paragraph(0, text)), QStringLiteral("a\tb\nc d e-flinkg\n"));
}

TEST(Hwp5Records, NestedParagraphsFollowTheirHolder)
{
    // "표" + table + "표끝": the cells' paragraphs are records after it at
    // deeper levels; a paragraph without a text record is an empty line.
    const QByteArray section = paragraph(0, units(u"표") + control(11, " lbt") + units(u"표끝")) + record(71, 1, QByteArray("tbl ")) + record(77, 2, QByteArray(30, '\0'))
                               + record(72, 2, QByteArray(8, '\0')) + paragraph(2, units(u"A0")) + record(72, 2, QByteArray(8, '\0'))
                               + paragraph(2, units(u"B0")) + paragraph(0, {}) + paragraph(0, units(u"끝"));
    EXPECT_EQ(sectionText(section), QStringLiteral("표표끝\nA0\nB0\n\n끝\n"));
}

TEST(Hwp5Records, TextRecordsOnlyCountRightBelowTheirParagraph)
{
    // A text record at the wrong level or a second one is not the paragraph's text.
    const QByteArray section = record(66, 0, QByteArray(22, '\0')) + record(67, 3, units(u"stray")) + record(67, 1, units(u"own") + u16(13))
                               + record(67, 1, units(u"second") + u16(13));
    EXPECT_EQ(sectionText(section), QStringLiteral("own\n"));
}

TEST(Hwp5Records, SurrogatePairsAreKeptAndLoneHalvesReplaced)
{
    EXPECT_EQ(sectionText(paragraph(0, units(u"x😀y") + u16(0xD800) + units(u"z") + u16(0xDC00))), QStringLiteral("x😀y?z?\n"));
}

TEST(Hwp5Records, LongRecordsUseTheExtendedSize)
{
    const QString longText(3000, u'가');
    EXPECT_EQ(sectionText(paragraph(0, units(longText))), longText + u'\n');
}

TEST(Hwp5Records, ARecordPastTheEndIsDamage)
{
    const QByteArray section = paragraph(0, units(u"text"));
    const qsizetype headerEnd = 4 + 24; // a cut after the header record is a whole stream
    for (qsizetype n = 1; n < section.size(); ++n) {
        if (n == headerEnd)
            continue;
        QString out;
        EXPECT_EQ(appendSectionText(QByteArrayView(section).first(n), out).fault(), Fault::Damaged) << "cut at " << n;
    }
    QString out;
    EXPECT_EQ(appendSectionText(u32(66 | 0xFFFu << 20) + u32(0xFFFFFFF0u), out).fault(), Fault::Damaged);
}

TEST(Hwp5Distribution, AViewSectionNeedsItsKeyRecord)
{
    EXPECT_EQ(decryptViewSection(QByteArray(100, '\0')).fault(), Fault::Damaged);
    EXPECT_EQ(decryptViewSection(record(27, 0, QByteArray(256, '\0')) + QByteArray(32, '\0')).fault(), Fault::Damaged);
    EXPECT_EQ(decryptViewSection(record(28, 0, QByteArray(255, '\0'))).fault(), Fault::Damaged);
    auto empty = decryptViewSection(record(28, 0, QByteArray(256, '\x11')) + QByteArray(40, '\0'));
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value().size(), 32); // whole blocks only
}

namespace {

// A property set with one section holding the given (id, value) pairs.
QByteArray propertySet(const QList<QPair<quint32, QByteArray>> &properties, quint32 claimedCount = 0)
{
    QByteArray values;
    QByteArray index;
    const quint32 indexSize = 8 + 8 * static_cast<quint32>(properties.size());
    for (const auto &[id, value] : properties) {
        index += u32(id) + u32(indexSize + static_cast<quint32>(values.size()));
        values += value;
    }
    const QByteArray section = u32(indexSize + static_cast<quint32>(values.size()))
                               + u32(claimedCount ? claimedCount : static_cast<quint32>(properties.size())) + index + values;
    return u16(0xFFFE) + u16(0) + u32(0) + QByteArray(16, '\0') + u32(1)
           + verbana::test::fromHex("60b6a29f6110d411b4c6006097c09d8c") + u32(48) + section;
}

QByteArray lpwstr(QStringView s)
{
    QByteArray v = u32(0x1F) + u32(static_cast<quint32>(s.size() + 1)) + units(s) + u16(0);
    return v + QByteArray((4 - v.size() % 4) % 4, '\0');
}

} // namespace

TEST(Hwp5Summary, TakesTheTitleProperty)
{
    auto t = propertySetTitle(propertySet({{4, lpwstr(u"author")}, {2, lpwstr(u"제목입니다.")}}));
    ASSERT_TRUE(t.ok());
    EXPECT_EQ(t.value(), QStringLiteral("제목입니다."));

    const QByteArray cp949 = verbana::cp949::encode(u"한글").bytes + '\0';
    t = propertySetTitle(propertySet({{2, u32(0x1E) + u32(static_cast<quint32>(cp949.size())) + cp949}}));
    EXPECT_EQ(t.value(), QStringLiteral("한글"));

    EXPECT_EQ(propertySetTitle(propertySet({{2, lpwstr(u"")}})).value(), QString());
    EXPECT_EQ(propertySetTitle(propertySet({{3, lpwstr(u"subject")}})).value(), QString());
    EXPECT_EQ(propertySetTitle(propertySet({{2, u32(3) + u32(7)}})).value(), QString()); // not a string
}

TEST(Hwp5Summary, RefusesLyingCountsAndOffsets)
{
    EXPECT_EQ(propertySetTitle(propertySet({{2, lpwstr(u"t")}}, 100000)).fault(), Fault::Damaged);
    EXPECT_EQ(propertySetTitle(propertySet({{2, u32(0x1F) + u32(0x40000000) + units(u"t")}})).fault(), Fault::Damaged);
    QByteArray wrongOffset = propertySet({{2, lpwstr(u"t")}});
    qToLittleEndian<quint32>(0x7FFFFFFF, wrongOffset.data() + 48 + 12);
    EXPECT_EQ(propertySetTitle(wrongOffset).fault(), Fault::Damaged);
    EXPECT_EQ(propertySetTitle(QByteArray(20, '\xff')).fault(), Fault::Damaged);
    QByteArray sectionOutside = propertySet({{2, lpwstr(u"t")}});
    qToLittleEndian<quint32>(0xFFFFFF, sectionOutside.data() + 44);
    EXPECT_EQ(propertySetTitle(sectionOutside).fault(), Fault::Damaged);
}

TEST(Hwp5Header, FlagsOfTheFixtures)
{
    VERBANA_REQUIRE_FIXTURES();
    struct Case {
        const char *file;
        bool compressed, password, distribution;
    };
    for (const Case &c : {Case{"example", true, false, false}, Case{"finding-control", false, false, false},
                          Case{"password-12345", true, true, false}, Case{"viewtext", true, false, true}}) {
        SCOPED_TRACE(c.file);
        const QByteArray bytes = verbana::test::readAll(verbana::test::sharedFixtures() + QStringLiteral("/hwp/hwp5/")
                                                        + QLatin1String(c.file) + QStringLiteral(".hwp"));
        auto cfb = CompoundFile::open(bytes);
        ASSERT_TRUE(cfb.ok());
        auto h = readHwp5Header(cfb.value());
        ASSERT_TRUE(h.ok());
        EXPECT_EQ(h.value().compressed(), c.compressed);
        EXPECT_EQ(h.value().password(), c.password);
        EXPECT_EQ(h.value().distribution(), c.distribution);
        EXPECT_FALSE(h.value().drm());
    }
}
