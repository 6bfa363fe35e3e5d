// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/inflate.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace verbana::hwp {

Result<Inflated> inflateRaw(QByteArrayView input, qsizetype limit)
{
    z_stream zs{};
    if (inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        return Result<Inflated>::failure(Fault::Io, QStringLiteral("cannot start the decompressor"));
    const std::unique_ptr<z_stream, int (*)(z_stream *)> guard(&zs, inflateEnd);

    Inflated out;
    out.data.resize(std::min<qsizetype>(limit, std::clamp<qsizetype>(input.size() * 4, qsizetype(64) * 1024, qsizetype(16) * 1024 * 1024)));
    qsizetype produced = 0;
    qsizetype fed = 0;
    int rc = Z_OK;
    while (rc != Z_STREAM_END) {
        if (zs.avail_in == 0) {
            if (fed >= input.size())
                return Result<Inflated>::failure(Fault::Damaged, QStringLiteral("compressed data ends early"));
            const qsizetype chunk = std::min<qsizetype>(input.size() - fed, qsizetype(1) << 30);
            zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(input.data() + fed));
            zs.avail_in = static_cast<uInt>(chunk);
            fed += chunk;
        }
        if (produced == out.data.size()) {
            if (produced >= limit)
                return Result<Inflated>::failure(Fault::TooLarge, QStringLiteral("compressed data expands beyond %1 MB")
                                                                        .arg(limit / (1024 * 1024)));
            out.data.resize(std::min<qsizetype>(limit, out.data.size() * 2));
        }
        const qsizetype room = std::min<qsizetype>(out.data.size() - produced, qsizetype(1) << 30);
        zs.next_out = reinterpret_cast<Bytef *>(out.data.data() + produced);
        zs.avail_out = static_cast<uInt>(room);
        rc = inflate(&zs, Z_NO_FLUSH);
        produced += room - static_cast<qsizetype>(zs.avail_out);
        if (rc == Z_NEED_DICT || rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR)
            return Result<Inflated>::failure(Fault::Damaged, QStringLiteral("compressed data is corrupt"));
        // Z_BUF_ERROR only says no progress was possible: more input or
        // more room follows on the next turn.
    }
    out.data.resize(produced);
    out.consumed = fed - static_cast<qsizetype>(zs.avail_in);
    return out;
}

} // namespace verbana::hwp
