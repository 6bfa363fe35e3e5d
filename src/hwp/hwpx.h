// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/result.h"

#include <QByteArrayView>
#include <QString>

// HWPX: the word processor's XML format, a ZIP package of XML parts
// (`mimetype` "application/hwp+zip", the body in Contents/section0.xml,
// section1.xml ..., the metadata in Contents/content.hpf).
namespace verbana::hwp {

inline constexpr QByteArrayView kZipSignature{"PK\x03\x04", 4};
inline constexpr QLatin1StringView kHwpxMimeType{"application/hwp+zip"};

// Deepest element nesting a part may have. Real documents stay far below
// (a table in a table adds six levels).
inline constexpr int kMaxHwpxDepth = 256;

// The text of an HWPX document, as readHwp5Text gives an HWP 5 document's:
// every section in the order of its number, one line per paragraph ('\n'
// ends each), tabs as '\t', line breaks as '\n'. Paragraphs inside a
// paragraph's objects (table cells, text boxes, headers, footers, notes)
// follow on the lines after the paragraph that holds them, in document
// order.
//
// A package is refused, with a one-line reason, when its `mimetype` is
// missing or wrong, it has no section, a part is not well-formed XML,
// declares a document type or entities (never expanded), nests deeper
// than kMaxHwpxDepth, or inflates past its declared size or past
// kMaxInflated for all parts read together.
Result<QString> readHwpxText(QByteArrayView file);

// The title in the metadata of Contents/content.hpf; empty when the part or
// the title is missing. The package is checked as for the text.
Result<QString> readHwpxTitle(QByteArrayView file);

// The text of one section part's XML, appended to `out`; `part` names it in
// the reason of a refusal.
Result<bool> appendHwpxSectionText(QByteArrayView xml, QString &out, const QString &part = QString());

} // namespace verbana::hwp
