// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// Code pages met inside RTF documents. CP949 is the program's own text and
// the hot path of every RTF reader, so it goes through two lookup tables
// built once from the C library's converter; the other code pages that a
// font charset can name go through iconv directly.
namespace verbana::richtext::codepage {

constexpr int Cp949 = 949;

// The code page of a font charset (\fcharset), or `fallback` for the
// default charset and unknown values.
int fromCharset(int charset, int fallback);

// The Unicode character of a CP949 pair, or 0 when the pair is no CP949
// character.
char16_t decodePair(unsigned char lead, unsigned char trail);

// The CP949 bytes of a BMP character: 0 when CP949 has no such character,
// the byte itself below 0x80, otherwise lead << 8 | trail.
std::uint16_t encodeChar(char16_t c);

// Decodes CP949 bytes. A byte or byte pair that is no CP949 character
// becomes U+FFFD; a lead byte always takes the byte after it along, so the
// result matches what a CP949 text reader shows.
void decode949(QByteArrayView bytes, QString &out);

// Decodes bytes of any code page `fromCharset` can give.
void decode(int codePage, QByteArrayView bytes, QString &out);

} // namespace verbana::richtext::codepage
