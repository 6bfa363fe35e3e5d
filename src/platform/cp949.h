// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

#include <cstdint>

// Code page 949 text. Conversion goes through two tables built once per
// process from the C library's converter (iconv "CP949"), so a field costs
// no converter call. Everything the program stores is CP949; domain code
// keeps it as bytes and converts only where text meets a widget or a file
// name. Every byte operation here works on whole characters: a byte
// 0x81..0xFE starts a two-byte character whose second byte may look like an
// ASCII letter, so folding, cutting and searching must never look at a
// second byte on its own.
namespace verbana::cp949 {

// True when b starts a two-byte character.
constexpr bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

// Length in bytes (1 or 2) of the character starting at byte i. A lead byte
// at the very end of the text counts as one byte.
inline qsizetype charLength(QByteArrayView text, qsizetype i)
{
    return (isLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) ? 2 : 1;
}

// Decodes CP949 bytes. A byte that is no CP949 character, or a lead byte
// with the byte after it, becomes U+FFFD.
QString decode(QByteArrayView bytes);
// The same, appended to `out`.
void decodeAppend(QByteArrayView bytes, QString &out);

// The Unicode character of a CP949 pair, or 0 when the pair is no CP949
// character.
char16_t decodePair(unsigned char lead, unsigned char trail);

// The CP949 bytes of a BMP character: 0 when CP949 has no such character,
// the byte itself below 0x80, otherwise lead << 8 | trail.
std::uint16_t encodeChar(char16_t c);

struct Encoded {
    QByteArray bytes;
    // The characters CP949 cannot hold, each once, in order of appearance.
    // Empty when the whole text was encoded.
    QString unmappable;
    bool ok() const { return unmappable.isEmpty(); }
};

// Encodes text to CP949. Characters that CP949 cannot hold are reported in
// `unmappable` and left out of `bytes`; callers must refuse to store such a
// result (ok() false) rather than keep the shortened bytes.
Encoded encode(QStringView text);

// Encodes text that is known to be CP949-safe (literals, ASCII). Characters
// CP949 cannot hold become '?'.
QByteArray encodeLossy(QStringView text);

// Number of bytes the text takes in CP949 (unmappable characters count as 2).
qsizetype byteLength(QStringView text);

// The longest prefix of at most maxBytes bytes that ends on a character
// boundary.
QByteArray cut(QByteArrayView bytes, qsizetype maxBytes);

// Turns a..z into A..Z, leaving both bytes of every two-byte character alone.
QByteArray upperAscii(QByteArrayView bytes);
QByteArray lowerAscii(QByteArrayView bytes);

// Position of the first occurrence of needle in haystack at or after `from`
// that starts on a character boundary, or -1. An empty needle is found at 0.
qsizetype indexOf(QByteArrayView haystack, QByteArrayView needle, qsizetype from = 0);

inline bool contains(QByteArrayView haystack, QByteArrayView needle)
{
    return indexOf(haystack, needle) >= 0;
}

// Removes trailing blanks (0x20).
QByteArray trimRight(QByteArrayView bytes);

// Converts Johab (the old Hangul encoding of HWP 3 titles) to CP949.
// Unconvertible characters become '?'.
QByteArray johabToCp949(QByteArrayView bytes);

} // namespace verbana::cp949
