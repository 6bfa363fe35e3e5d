// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/hchar.h"

#include "platform/cp949.h"

namespace verbana::hwp {
namespace {

// Indices of the Johab fields; -1 where a value is unused or a filler.
int initialIndex(int v) { return (v >= 2 && v <= 20) ? v - 2 : -1; }
int medialIndex(int v)
{
    if (v >= 3 && v <= 7)
        return v - 3;
    if (v >= 10 && v <= 15)
        return v - 5;
    if (v >= 18 && v <= 23)
        return v - 7;
    if (v >= 26 && v <= 29)
        return v - 9;
    return -1;
}
int finalIndex(int v)
{
    if (v >= 1 && v <= 17)
        return v - 1;
    if (v >= 19 && v <= 29)
        return v - 2;
    return -1;
}

// One KS X 1001 character given as its two CP949 bytes.
QString fromKs(int row, int column)
{
    if (row < 0xA1 || row > 0xFE || column < 0xA1 || column > 0xFE)
        return {};
    const char bytes[2] = {static_cast<char>(row), static_cast<char>(column)};
    const QString s = cp949::decode(QByteArrayView(bytes, 2));
    if (s.size() != 1 || s[0] == QChar::ReplacementCharacter)
        return {};
    return s;
}

constexpr char16_t kQuotes[4] = {u'\u201C', u'\u201D', u'\u2018', u'\u2019'};
// 한글's own symbols 0x37C0..0x37C5 spell the maker's name.
constexpr char16_t kMakerName[6] = {u'한', u'글', u'과', u'컴', u'퓨', u'터'};

} // namespace

char16_t johabSyllable(char16_t code)
{
    if (!(code & 0x8000))
        return 0;
    const int i = initialIndex((code >> 10) & 0x1F);
    const int m = medialIndex((code >> 5) & 0x1F);
    const int f = finalIndex(code & 0x1F);
    if (i < 0 || m < 0 || f < 0)
        return 0;
    return static_cast<char16_t>(0xAC00 + (i * 21 + m) * 28 + f);
}

void HcharConverter::append(QString &out, char16_t code)
{
    if (code >= 0x20 && code < 0x80) {
        out.append(QChar(code));
        return;
    }
    if (const char16_t s = johabSyllable(code)) {
        out.append(QChar(s));
        return;
    }
    auto it = cache_.constFind(code);
    if (it == cache_.cend())
        it = cache_.insert(code, convertSlow(code));
    out.append(*it);
}

QString HcharConverter::convertSlow(char16_t code) const
{
    QString s;
    if (code >= 0x81 && code <= 0x84) {
        s = QChar(kQuotes[code - 0x81]);
    } else if (code >= 0x1F00 && code <= 0x1FBF) {
        const int low = code & 0xFF;
        s = low < 0x60 ? fromKs(0xAA, low + 0xA0) : fromKs(0xAB, low - 0x60 + 0xA0);
    } else if (code >= 0x3400 && code <= 0x37BF) {
        const int i = code - 0x3400;
        int row = i / 0x60 + 0xA1;
        if (row == 0xAA)
            row = 0xAC;
        s = fromKs(row, i % 0x60 + 0xA0);
    } else if (code >= 0x37C0 && code <= 0x37C5) {
        s = QChar(kMakerName[code - 0x37C0]);
    } else if (code >= 0x4000 && code <= 0x7FFF) {
        const int i = code - 0x4000;
        if (i < 4888)
            s = fromKs(i / 94 + 0xCA, i % 94 + 0xA1);
    } else if (code & 0x8000) {
        // Johab codes that are not modern syllables: single jamo and the
        // like, which the system's Johab table knows.
        const char bytes[2] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        const QByteArray ks = cp949::johabToCp949(QByteArrayView(bytes, 2));
        if (!ks.contains('?'))
            s = cp949::decode(ks);
        if (s.size() != 1 || s[0] == QChar::ReplacementCharacter)
            s.clear();
    }
    return s.isEmpty() ? QStringLiteral("?") : s;
}

} // namespace verbana::hwp
