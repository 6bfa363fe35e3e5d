// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <vector>

namespace verbana::test {

// One entry of a ZIP archive written byte by byte, stored uncompressed
// unless `deflated`.
struct ZipBytesEntry {
    QByteArray name; // as stored: any encoding, any separator
    QByteArray data;
    bool utf8Flag = false; // the language-encoding flag (bit 11)
    quint32 unixMode = 0; // made on Unix with this st_mode when not 0, else on FAT
    bool deflated = false;
    // The uncompressed size the headers give, when not data's; beyond 32 bits
    // in a ZIP64 extra field.
    std::optional<quint64> declaredSize;
};

// A whole archive: local headers, the central directory and its end.
QByteArray zipBytes(const std::vector<ZipBytesEntry> &entries);

} // namespace verbana::test
