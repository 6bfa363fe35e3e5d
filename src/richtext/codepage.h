// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

// Code pages met inside RTF documents. CP949, the program's own text, goes
// through the tables of platform/cp949.h; the other code pages that a font
// charset can name go through iconv directly.
namespace verbana::richtext::codepage {

constexpr int Cp949 = 949;

// The code page of a font charset (\fcharset), or `fallback` for the
// default charset and unknown values.
int fromCharset(int charset, int fallback);

// Decodes bytes of any code page `fromCharset` can give.
void decode(int codePage, QByteArrayView bytes, QString &out);

} // namespace verbana::richtext::codepage
