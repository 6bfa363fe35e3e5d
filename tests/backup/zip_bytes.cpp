// SPDX-License-Identifier: GPL-3.0-or-later
#include "zip_bytes.h"

#include <QtEndian>

#include <zlib.h>

namespace verbana::test {

namespace {

void u16(QByteArray &out, quint32 v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}
void u32(QByteArray &out, quint32 v)
{
    u16(out, v & 0xffff);
    u16(out, v >> 16);
}

} // namespace

QByteArray zipBytes(const std::vector<ZipBytesEntry> &entries)
{
    QByteArray out, central;
    for (const ZipBytesEntry &e : entries) {
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(e.data.constData()), uInt(e.data.size())));
        const quint32 flags = e.utf8Flag ? 0x0800 : 0;
        const quint32 offset = quint32(out.size());
        u32(out, 0x04034b50);
        u16(out, 20);
        u16(out, flags);
        u16(out, 0); // stored
        u16(out, 0x6000); // 12:00
        u16(out, 0x5a21); // 2025-01-01
        u32(out, crc);
        u32(out, quint32(e.data.size()));
        u32(out, quint32(e.data.size()));
        u16(out, quint32(e.name.size()));
        u16(out, 0);
        out += e.name;
        out += e.data;

        u32(central, 0x02014b50);
        u16(central, e.unixMode ? (3u << 8) | 20 : 20); // made by
        u16(central, 20);
        u16(central, flags);
        u16(central, 0);
        u16(central, 0x6000);
        u16(central, 0x5a21);
        u32(central, crc);
        u32(central, quint32(e.data.size()));
        u32(central, quint32(e.data.size()));
        u16(central, quint32(e.name.size()));
        u16(central, 0);
        u16(central, 0);
        u16(central, 0);
        u16(central, 0);
        u32(central, e.unixMode << 16);
        u32(central, offset);
        central += e.name;
    }
    const quint32 centralOffset = quint32(out.size());
    out += central;
    u32(out, 0x06054b50);
    u16(out, 0);
    u16(out, 0);
    u16(out, quint32(entries.size()));
    u16(out, quint32(entries.size()));
    u32(out, quint32(central.size()));
    u32(out, centralOffset);
    u16(out, 0);
    return out;
}

} // namespace verbana::test
