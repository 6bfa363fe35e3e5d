// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/zip_bytes.h"

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

// Raw deflate, as ZIP stores it.
QByteArray deflateRaw(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(qsizetype(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

} // namespace

QByteArray zipBytes(const std::vector<ZipBytesEntry> &entries)
{
    QByteArray out, central;
    for (const ZipBytesEntry &e : entries) {
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(e.data.constData()), uInt(e.data.size())));
        const quint32 flags = e.utf8Flag ? 0x0800 : 0;
        const QByteArray stored = e.deflated ? deflateRaw(e.data) : e.data;
        const quint32 method = e.deflated ? 8 : 0;
        const quint64 declared = e.declaredSize.value_or(quint64(e.data.size()));
        const quint32 size = declared > 0xffffffffu ? 0xffffffffu : quint32(declared);
        QByteArray extra; // ZIP64: the size that does not fit
        if (declared > 0xffffffffu) {
            u16(extra, 0x0001);
            u16(extra, 8);
            u32(extra, quint32(declared));
            u32(extra, quint32(declared >> 32));
        }
        const quint32 offset = quint32(out.size());
        u32(out, 0x04034b50);
        u16(out, 20);
        u16(out, flags);
        u16(out, method);
        u16(out, 0x6000); // 12:00
        u16(out, 0x5a21); // 2025-01-01
        u32(out, crc);
        u32(out, quint32(stored.size()));
        u32(out, size);
        u16(out, quint32(e.name.size()));
        u16(out, quint32(extra.size()));
        out += e.name;
        out += extra;
        out += stored;

        u32(central, 0x02014b50);
        u16(central, e.unixMode ? (3u << 8) | 20 : 20); // made by
        u16(central, 20);
        u16(central, flags);
        u16(central, method);
        u16(central, 0x6000);
        u16(central, 0x5a21);
        u32(central, crc);
        u32(central, quint32(stored.size()));
        u32(central, size);
        u16(central, quint32(e.name.size()));
        u16(central, quint32(extra.size()));
        u16(central, 0);
        u16(central, 0);
        u16(central, 0);
        u32(central, e.unixMode << 16);
        u32(central, offset);
        central += e.name;
        central += extra;
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
