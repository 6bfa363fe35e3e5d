// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/result.h"

#include <QByteArrayView>
#include <QString>

namespace verbana::hwp {

// The 30 bytes every 한글 3.0/96/97 document starts with.
inline constexpr QByteArrayView kHwp3Signature{"HWP Document File V3.00 \x1A\x01\x02\x03\x04\x05", 30};

// Deepest nesting of paragraph lists (tables in text boxes in footnotes…)
// the reader follows; deeper data is treated as damage.
inline constexpr int kMaxListDepth = 32;

// The text of an HWP 3.0 document: the body in document order, one
// paragraph per line ('\n' ends each), the lists nested in a paragraph
// (table cells, captions, text boxes, headers and footers, footnotes,
// hidden comments) on the lines after it.
Result<QString> readHwp3Text(QByteArrayView file);

// The same from the (inflated) area after the header: font names, styles,
// then the body's paragraph list.
Result<QString> readHwp3Body(QByteArrayView body);

} // namespace verbana::hwp
