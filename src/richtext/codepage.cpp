// SPDX-License-Identifier: GPL-3.0-or-later
#include "richtext/codepage.h"

#include "platform/cp949.h"
#include "platform/iconv_converter.h"

namespace verbana::richtext::codepage {
namespace {

const char *iconvName(int codePage)
{
    switch (codePage) {
    case 1361: return "JOHAB";
    case 10000: return "MACINTOSH";
    case 932: return "CP932";
    case 936: return "CP936";
    case 950: return "CP950";
    case 874: return "CP874";
    case 437: return "CP437";
    case 850: return "CP850";
    case 1250: return "CP1250";
    case 1251: return "CP1251";
    case 1253: return "CP1253";
    case 1254: return "CP1254";
    case 1255: return "CP1255";
    case 1256: return "CP1256";
    case 1257: return "CP1257";
    case 1258: return "CP1258";
    default: return "CP1252";
    }
}

} // namespace

int fromCharset(int charset, int fallback)
{
    switch (charset) {
    case 0: return 1252;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    default: return fallback;
    }
}

void decode(int codePage, QByteArrayView bytes, QString &out)
{
    if (codePage == Cp949) {
        cp949::decodeAppend(bytes, out);
        return;
    }
    bool ascii = true;
    for (char c : bytes)
        ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    if (ascii) {
        out.append(QLatin1String(bytes.data(), bytes.size()));
        return;
    }
    if (codePage == 65001) {
        out.append(QString::fromUtf8(bytes));
        return;
    }
    // Converted byte by byte run: a failing byte becomes U+FFFD and the rest
    // goes on.
    IconvConverter cv("UTF-16LE", iconvName(codePage));
    std::string buffer;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        // Try two bytes for double-byte code pages, then one.
        bool done = false;
        for (qsizetype len = 2; len >= 1 && !done; --len) {
            if (pos + len > bytes.size() || !cv.valid())
                continue;
            if (cv.convert(bytes.data() + pos, static_cast<size_t>(len), buffer) == static_cast<size_t>(len)
                && !buffer.empty()) {
                for (size_t i = 0; i + 1 < buffer.size(); i += 2)
                    out.append(QChar(static_cast<char16_t>(static_cast<unsigned char>(buffer[i])
                                                           | static_cast<unsigned char>(buffer[i + 1]) << 8)));
                pos += len;
                done = true;
            }
        }
        if (!done) {
            out.append(QChar(QChar::ReplacementCharacter));
            ++pos;
        }
    }
}

} // namespace verbana::richtext::codepage
