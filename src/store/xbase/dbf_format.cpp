// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xbase/dbf_format.h"

#include <QDate>

#include <cstring>

namespace verbana::xbase::dbf {
namespace {

uint16_t le16(const char *p)
{
    return uint16_t(uint8_t(p[0]) | (uint8_t(p[1]) << 8));
}

uint32_t le32(const char *p)
{
    return uint32_t(uint8_t(p[0])) | (uint32_t(uint8_t(p[1])) << 8) | (uint32_t(uint8_t(p[2])) << 16)
        | (uint32_t(uint8_t(p[3])) << 24);
}

void put16(char *p, uint16_t v)
{
    p[0] = char(v & 0xFF);
    p[1] = char(v >> 8);
}

void put32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = char((v >> (8 * i)) & 0xFF);
}

bool knownVersion(uint8_t v)
{
    switch (v) {
    case 0x03: case 0x07: case 0x30: case 0x31: case 0x32: case 0x83: case 0x87: case 0x8B:
    case 0xE5: case 0xF5: case 0x06: case 0x86: case 0xE6: case 0xF6: case 0x04: case 0x02:
        return true;
    default:
        return false;
    }
}

} // namespace

MemoKind Header::memoKind() const
{
    switch (version) {
    case 0x83: case 0x86: case 0x87: case 0x8B:
        return MemoKind::Dbt;
    case 0xF5: case 0xF6:
        return MemoKind::Fpt;
    case 0x30: case 0x31: case 0x32:
        return (flags & kFlagVfpMemo) ? MemoKind::Fpt : MemoKind::None;
    case 0xE5: case 0xE6:
        return MemoKind::Smt;
    default:
        return MemoKind::None;
    }
}

uint32_t decodeRecordCount(const char *prefix) { return le32(prefix + 4); }

Status decodePrefix(std::span<const char> bytes, Header &out)
{
    if (bytes.size() < size_t(kPrefixSize))
        return Status::corruption(QStringLiteral("table header is truncated"));
    const char *p = bytes.data();
    out.version = uint8_t(p[0]);
    if (!knownVersion(out.version))
        return Status::corruption(QStringLiteral("not a table: unknown first byte 0x%1").arg(out.version, 2, 16, QLatin1Char('0')));
    out.year = uint8_t(p[1]);
    out.month = uint8_t(p[2]);
    out.day = uint8_t(p[3]);
    out.recordCount = le32(p + 4);
    out.headerLength = le16(p + 8);
    out.recordLength = le16(p + 10);
    out.flags = uint8_t(p[28]);
    out.codePage = uint8_t(p[29]);
    if (out.headerLength < kPrefixSize + kDescriptorSize + 1)
        return Status::corruption(QStringLiteral("table header length %1 is too small").arg(out.headerLength));
    if (out.recordLength < 2)
        return Status::corruption(QStringLiteral("record length %1 is too small").arg(out.recordLength));
    return Status::ok();
}

Status decodeFields(std::span<const char> bytes, Header &h)
{
    if (bytes.size() < h.headerLength)
        return Status::corruption(QStringLiteral("table header is truncated"));
    h.fields.clear();
    int offset = 1;
    size_t pos = kPrefixSize;
    for (;;) {
        if (pos >= h.headerLength)
            return Status::corruption(QStringLiteral("field list has no terminator"));
        if (bytes[pos] == kTerminator)
            break;
        if (pos + kDescriptorSize > h.headerLength)
            return Status::corruption(QStringLiteral("field descriptor runs past the header"));
        if (h.fields.size() >= size_t(kMaxFields))
            return Status::corruption(QStringLiteral("too many fields"));
        const char *d = bytes.data() + pos;
        Field f;
        const char *nul = static_cast<const char *>(std::memchr(d, 0, 11));
        f.name = QByteArray(d, nul ? int(nul - d) : 11);
        if (f.name.isEmpty())
            return Status::corruption(QStringLiteral("field %1 has no name").arg(h.fields.size() + 1));
        for (char c : f.name)
            if (uint8_t(c) < 0x20 || uint8_t(c) >= 0x7F)
                return Status::corruption(QStringLiteral("field %1 has an invalid name").arg(h.fields.size() + 1));
        f.type = char(std::toupper(uint8_t(d[11])));
        f.length = uint8_t(d[16]);
        f.decimals = uint8_t(d[17]);
        // Character fields longer than 255 keep the high byte in the
        // decimals byte (Clipper's convention).
        if (f.type == 'C' && !h.isVisualFoxPro()) {
            f.length += f.decimals * 256;
            f.decimals = 0;
        }
        if (f.length == 0)
            return Status::corruption(QStringLiteral("field %1 has length 0").arg(QString::fromLatin1(f.name)));
        f.offset = offset;
        offset += f.length;
        if (offset > h.recordLength)
            return Status::corruption(QStringLiteral("fields are longer than the record length %1").arg(h.recordLength));
        h.fields.push_back(f);
        pos += kDescriptorSize;
    }
    if (h.fields.empty())
        return Status::corruption(QStringLiteral("table has no fields"));
    if (offset != h.recordLength)
        return Status::corruption(QStringLiteral("fields (%1 bytes) do not fill the record length %2").arg(offset).arg(h.recordLength));
    return Status::ok();
}

void stampToday(Header &h)
{
    const QDate d = QDate::currentDate();
    h.year = uint8_t(d.year() - 1900);
    h.month = uint8_t(d.month());
    h.day = uint8_t(d.day());
}

void encodePrefix(const Header &h, char *p)
{
    p[0] = char(h.version);
    p[1] = char(h.year);
    p[2] = char(h.month);
    p[3] = char(h.day);
    put32(p + 4, h.recordCount);
    put16(p + 8, h.headerLength);
    put16(p + 10, h.recordLength);
    p[28] = char(h.flags);
    p[29] = char(h.codePage);
}

QByteArray encodeHeader(Header &h)
{
    int offset = 1;
    for (Field &f : h.fields) {
        f.offset = offset;
        offset += f.length;
    }
    h.recordLength = uint16_t(offset);
    h.headerLength = uint16_t(kPrefixSize + kDescriptorSize * h.fields.size() + 2);
    QByteArray out(h.headerLength, '\0');
    encodePrefix(h, out.data());
    char *d = out.data() + kPrefixSize;
    for (const Field &f : h.fields) {
        std::memcpy(d, f.name.constData(), size_t(std::min<qsizetype>(f.name.size(), 10)));
        d[11] = f.type;
        if (f.type == 'C' && f.length > 255) {
            d[16] = char(f.length & 0xFF);
            d[17] = char(f.length >> 8);
        } else {
            d[16] = char(f.length);
            d[17] = char(f.decimals);
        }
        d += kDescriptorSize;
    }
    *d = kTerminator;
    return out;
}

} // namespace verbana::xbase::dbf
