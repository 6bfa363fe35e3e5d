// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/result.h"

#include <QByteArray>
#include <QByteArrayView>

namespace verbana::hwp {

// Most bytes any one inflated stream may grow to. Real documents stay far
// below; a hostile stream that expands beyond it is refused rather than
// allowed to exhaust memory.
inline constexpr qsizetype kMaxInflated = qsizetype(128) * 1024 * 1024;

struct Inflated {
    QByteArray data;
    qsizetype consumed = 0; // input bytes up to the end of the deflate stream
};

// Inflates one raw deflate stream (no zlib or gzip header) from the start
// of `input`, stopping at its end. Input that ends before the stream does,
// corrupt data and output above `limit` are faults.
Result<Inflated> inflateRaw(QByteArrayView input, qsizetype limit = kMaxInflated);

} // namespace verbana::hwp
