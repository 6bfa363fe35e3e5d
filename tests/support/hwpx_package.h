// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// ZIP packages made in memory, with entries that may lie about their size,
// and the HWPX packages made of them.
#include <QByteArray>

#include <zlib.h>

#include <vector>

namespace verbana::test {

struct ZipEntry {
    QByteArray name;
    QByteArray data;
    bool deflate = true;
    qint64 declaredSize = -1; // the size written in the headers; -1 the true one
};

inline QByteArray rawDeflate(const QByteArray &data)
{
    z_stream z{};
    deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY);
    QByteArray out(int(deflateBound(&z, uLong(data.size()))), Qt::Uninitialized);
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.constData()));
    z.avail_in = uInt(data.size());
    z.next_out = reinterpret_cast<Bytef *>(out.data());
    z.avail_out = uInt(out.size());
    deflate(&z, Z_FINISH);
    out.resize(qsizetype(z.total_out));
    deflateEnd(&z);
    return out;
}

inline QByteArray zipPackage(const std::vector<ZipEntry> &entries)
{
    auto u16 = [](QByteArray &b, quint16 v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
    auto u32 = [&](QByteArray &b, quint32 v) {
        u16(b, quint16(v & 0xFFFF));
        u16(b, quint16(v >> 16));
    };
    QByteArray out, central;
    for (const ZipEntry &e : entries) {
        const QByteArray body = e.deflate ? rawDeflate(e.data) : e.data;
        const quint32 crc = quint32(crc32(0, reinterpret_cast<const Bytef *>(e.data.constData()), uInt(e.data.size())));
        const quint32 size = quint32(e.declaredSize < 0 ? e.data.size() : e.declaredSize);
        const quint32 at = quint32(out.size());
        auto common = [&](QByteArray &b) {
            u16(b, 20); // version needed
            u16(b, 0x0800); // names in UTF-8
            u16(b, e.deflate ? 8 : 0);
            u32(b, 0); // time and date
            u32(b, crc);
            u32(b, quint32(body.size()));
            u32(b, size);
            u16(b, quint16(e.name.size()));
            u16(b, 0); // extra field
        };
        u32(out, 0x04034b50);
        common(out);
        out += e.name;
        out += body;
        u32(central, 0x02014b50);
        u16(central, 20); // made by
        common(central);
        u16(central, 0); // comment
        u16(central, 0); // disk
        u16(central, 0); // internal attributes
        u32(central, 0); // external attributes
        u32(central, at);
        central += e.name;
    }
    const quint32 centralAt = quint32(out.size());
    out += central;
    u32(out, 0x06054b50);
    u16(out, 0);
    u16(out, 0);
    u16(out, quint16(entries.size()));
    u16(out, quint16(entries.size()));
    u32(out, quint32(central.size()));
    u32(out, centralAt);
    u16(out, 0);
    return out;
}

// An HWPX package: the mimetype, then the given parts.
inline QByteArray hwpxPackage(std::vector<ZipEntry> parts, const QByteArray &mimeType = "application/hwp+zip")
{
    parts.insert(parts.begin(), ZipEntry{"mimetype", mimeType, false});
    return zipPackage(parts);
}

// A section part whose body is `paragraphs` (hp:p elements).
inline QByteArray hwpxSection(const QByteArray &paragraphs)
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>)"
                      R"(<hs:sec xmlns:hs="http://www.hancom.co.kr/hwpml/2011/section" )"
                      R"(xmlns:hp="http://www.hancom.co.kr/hwpml/2011/paragraph">)")
           + paragraphs + "</hs:sec>";
}

} // namespace verbana::test
