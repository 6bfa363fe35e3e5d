// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// HWPX packages made in memory, of parts that may lie about their size.
#include "support/zip_bytes.h"

#include <QByteArray>

#include <vector>

namespace verbana::test {

// An HWPX package: the mimetype stored, then the given parts deflated, with
// names in UTF-8.
inline QByteArray hwpxPackage(std::vector<ZipBytesEntry> parts, const QByteArray &mimeType = "application/hwp+zip")
{
    for (ZipBytesEntry &part : parts) {
        part.utf8Flag = true;
        part.deflated = true;
    }
    parts.insert(parts.begin(), ZipBytesEntry{.name = "mimetype", .data = mimeType});
    return zipBytes(parts);
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
