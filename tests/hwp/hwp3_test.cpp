// SPDX-License-Identifier: GPL-3.0-or-later
// The HWP 3.0 reader on documents built here piece by piece, so that each
// special character, nesting rule and lying length can be aimed at.
#include "hwp/hwp3.h"
#include "hwp/inflate.h"
#include "le_bytes.h"

#include <QtEndian>

#include <gtest/gtest.h>
#include <zlib.h>

using namespace verbana::hwp;

namespace {

using verbana::test::u16;
using verbana::test::u32;

// Characters of a paragraph with the weight they add to its length.
struct Chars {
    QByteArray bytes;
    int weight = 0;
    Chars &text(const char *ascii)
    {
        for (const char *p = ascii; *p; ++p) {
            bytes += u16(static_cast<unsigned char>(*p));
            ++weight;
        }
        return *this;
    }
    Chars &unit(quint16 code)
    {
        bytes += u16(code);
        ++weight;
        return *this;
    }
    // A special character "with id" (8 bytes, weight 4) and what follows it.
    Chars &control(quint16 code, const QByteArray &after = {})
    {
        bytes += u16(code) + u32(0) + u16(code) + after;
        weight += 4;
        return *this;
    }
    Chars &fixed(quint16 code, int size, int w)
    {
        bytes += u16(code) + QByteArray(size - 4, '\0') + u16(code);
        weight += w;
        return *this;
    }
};

QByteArray paragraph(Chars c, int lengthAdjust = 0)
{
    c.unit(13);
    QByteArray info(43, '\0');
    info[0] = 0; // a paragraph shape follows
    qToLittleEndian<quint16>(static_cast<quint16>(c.weight + lengthAdjust), info.data() + 1);
    return info + QByteArray(187, '\0') + c.bytes;
}

QByteArray endOfList() { return QByteArray(43, '\0'); }

QByteArray list(std::initializer_list<const char *> lines)
{
    QByteArray out;
    for (const char *l : lines)
        out += paragraph(Chars().text(l));
    return out + endOfList();
}

// Font lists and styles (all empty), then the body list.
QByteArray body(const QByteArray &paragraphs)
{
    QByteArray out;
    for (int i = 0; i < 8; ++i)
        out += u16(0);
    return out + paragraphs;
}

QByteArray rawDeflate(const QByteArray &in)
{
    z_stream zs{};
    deflateInit2(&zs, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&zs, static_cast<uLong>(in.size()))), '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in.data()));
    zs.avail_in = static_cast<uInt>(in.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    deflate(&zs, Z_FINISH);
    out.resize(static_cast<qsizetype>(zs.total_out));
    deflateEnd(&zs);
    return out;
}

QByteArray document(const QByteArray &bodyBytes, bool compressed = false)
{
    QByteArray head = kHwp3Signature.toByteArray() + QByteArray(1166 - 30, '\0');
    head[154] = compressed ? 1 : 0;
    head[155] = 1;
    if (!compressed)
        return head + bodyBytes;
    return head + rawDeflate(bodyBytes) + u32(0) + u32(static_cast<quint32>(bodyBytes.size())) + QByteArray("tail");
}

QString textOf(const QByteArray &doc)
{
    auto r = readHwp3Text(doc);
    EXPECT_TRUE(r.ok()) << r.reason().toStdString();
    return r.value();
}

Fault faultOf(const QByteArray &doc) { return readHwp3Text(doc).fault(); }

// A table of two cells ("A", "B") and its caption.
QByteArray table()
{
    QByteArray box(84, '\0');
    qToLittleEndian<quint16>(2, box.data() + 80);
    return box + QByteArray(2 * 27, '\0') + list({"A"}) + list({"B"}) + list({"caption"});
}

} // namespace

TEST(Hwp3Reader, ReadsParagraphsAndConvertsCharacters)
{
    const QByteArray doc = document(body(paragraph(Chars().text("Hi ").unit(0xD065).unit(0x4388).unit(0x0081))
                                         + paragraph(Chars()) + paragraph(Chars().text("x").control(9).text("y"))
                                         + endOfList()));
    EXPECT_EQ(textOf(doc), QStringLiteral("Hi 한代“\n\nx\ty\n"));
}

TEST(Hwp3Reader, CompressedAndPlainDocumentsGiveTheSameText)
{
    const QByteArray b = body(paragraph(Chars().text("compressed")) + endOfList());
    EXPECT_EQ(textOf(document(b, true)), QStringLiteral("compressed\n"));
    EXPECT_EQ(textOf(document(b, false)), QStringLiteral("compressed\n"));
}

TEST(Hwp3Reader, SpecialCharactersGiveTheirTextAndWeight)
{
    Chars c;
    c.text("a").fixed(30, 4, 2).text("b").fixed(31, 4, 2).text("c").fixed(24, 6, 3).text("d");
    c.fixed(7, 84, 42).fixed(8, 96, 48).fixed(22, 24, 12).fixed(23, 10, 5).fixed(25, 6, 3).fixed(26, 246, 123).fixed(28, 64, 32);
    c.control(18).control(19).control(20).control(21).control(14, QByteArray(84, '\0'));
    c.bytes += u16(5) + u32(3) + u16(5) + QByteArray("xyz"); // a field in the reserved form
    c.weight += 4;
    c.text("e");
    EXPECT_EQ(textOf(document(body(paragraph(c) + endOfList()))), QStringLiteral("a b c-de\n"));
}

TEST(Hwp3Reader, NestedListsFollowTheParagraphThatHoldsThem)
{
    QByteArray picture(348, '\0');
    qToLittleEndian<quint32>(5, picture.data());
    const QByteArray p = paragraph(Chars()
                                       .text("T")
                                       .control(10, table())
                                       .text("U")
                                       .control(11, picture + QByteArray("12345") + list({"figure"}))
                                       .control(17, QByteArray(14, '\0') + list({"note 1", "note 2"}))
                                       .control(16, QByteArray(10, '\0') + list({"header"}))
                                       .control(15, QByteArray(8, '\0') + list({"hidden"}))
                                       .text("V"));
    EXPECT_EQ(textOf(document(body(p + paragraph(Chars().text("next")) + endOfList()))),
              QStringLiteral("TUV\nA\nB\ncaption\nfigure\nnote 1\nnote 2\nheader\nhidden\nnext\n"));
}

TEST(Hwp3Reader, RefusesLyingLengthsAndCodes)
{
    const QByteArray good = paragraph(Chars().text("ok"));
    // A length beyond the paragraph end, and one that ends inside a tab.
    EXPECT_EQ(faultOf(document(body(paragraph(Chars().text("abc"), 1) + endOfList()))), Fault::Damaged);
    EXPECT_EQ(faultOf(document(body(paragraph(Chars().text("ab").control(9), -2) + endOfList()))), Fault::Damaged);
    // Code 0, and a special character that does not end with its code.
    EXPECT_EQ(faultOf(document(body(paragraph(Chars().unit(0)) + endOfList()))), Fault::Damaged);
    Chars skewed;
    skewed.bytes = u16(9) + u16(0) + u16(0) + u16(8);
    skewed.weight = 4;
    EXPECT_EQ(faultOf(document(body(paragraph(skewed) + endOfList()))), Fault::Damaged);
    // A table claiming more cells than there are lists, and a picture with
    // extra data past the end.
    QByteArray box(84, '\0');
    qToLittleEndian<quint16>(60000, box.data() + 80);
    EXPECT_EQ(faultOf(document(body(paragraph(Chars().control(10, box)) + endOfList()))), Fault::Damaged);
    QByteArray picture(348, '\0');
    qToLittleEndian<quint32>(0xFFFFFFF0u, picture.data());
    EXPECT_EQ(faultOf(document(body(paragraph(Chars().control(11, picture)) + good + endOfList()))), Fault::Damaged);
    // A font list longer than the data.
    EXPECT_EQ(faultOf(document(u16(0xFFFF) + good)), Fault::Damaged);
}

TEST(Hwp3Reader, EveryTruncationIsDamageNotACrash)
{
    const QByteArray full = body(paragraph(Chars().text("T").control(10, table()).control(17, QByteArray(14, '\0') + list({"n"})))
                                 + endOfList());
    ASSERT_TRUE(readHwp3Body(full).ok());
    for (qsizetype n = 0; n < full.size(); ++n)
        ASSERT_EQ(readHwp3Body(QByteArrayView(full).first(n)).fault(), Fault::Damaged) << "cut at " << n;
}

TEST(Hwp3Reader, DeepNestingIsRefusedWithoutExhaustingTheStack)
{
    // Footnotes inside footnotes, far deeper than any document goes.
    QByteArray inner = list({"deepest"});
    for (int i = 0; i < 200; ++i)
        inner = paragraph(Chars().control(17, QByteArray(14, '\0') + inner)) + endOfList();
    auto r = readHwp3Body(body(inner));
    EXPECT_EQ(r.fault(), Fault::Damaged);
    EXPECT_TRUE(r.reason().contains(QLatin1String("nest too deeply"))) << r.reason().toStdString();

    QByteArray shallow = list({"kept"});
    for (int i = 0; i < kMaxListDepth - 1; ++i)
        shallow = paragraph(Chars().control(17, QByteArray(14, '\0') + shallow)) + endOfList();
    EXPECT_TRUE(readHwp3Body(body(shallow)).ok());
}

TEST(Hwp3Reader, HeaderFaults)
{
    const QByteArray b = body(paragraph(Chars().text("x")) + endOfList());
    QByteArray doc = document(b);
    doc[126] = 1; // password
    EXPECT_EQ(faultOf(doc), Fault::Protected);

    doc = document(b);
    qToLittleEndian<quint16>(static_cast<quint16>(b.size() + 1), doc.data() + 156); // information block past the end
    EXPECT_EQ(faultOf(doc), Fault::Damaged);

    EXPECT_EQ(faultOf(document(b).first(1000)), Fault::Damaged);
    EXPECT_EQ(faultOf(QByteArray("HWP Document File V2.00 ") + QByteArray(2000, '\0')), Fault::WrongKind);

    // A compressed body whose deflate stream is cut off.
    QByteArray cut = document(b, true);
    cut.truncate(1166 + 6);
    EXPECT_EQ(faultOf(cut), Fault::Damaged);
}

TEST(Inflate, StopsAtTheLimitAndAtCorruptData)
{
    const QByteArray zeros(1 << 20, '\0');
    const QByteArray packed = rawDeflate(zeros);
    auto all = inflateRaw(packed + QByteArray("after"));
    ASSERT_TRUE(all.ok());
    EXPECT_EQ(all.value().data, zeros);
    EXPECT_EQ(all.value().consumed, packed.size());

    EXPECT_EQ(inflateRaw(packed, 4096).fault(), Fault::TooLarge);
    EXPECT_EQ(inflateRaw(QByteArray("\xff\xff\xff\xff", 4)).fault(), Fault::Damaged);
    EXPECT_EQ(inflateRaw(QByteArrayView(packed).first(packed.size() / 2)).fault(), Fault::Damaged);
}
