// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace verbana::exchange {

// The document title stored in an HWP file, as CP949 text; empty when
// there is none.
//
// HWP 3.0: the 56 16-bit units of the summary's title field at offset 158,
// each written high byte first with zero bytes left out, up to the first
// zero unit (a title of all 56 units has none and ends at the field's end,
// before the subject); when that gives nothing, the annotation bytes at offset 102 (at
// most 18, up to the first zero byte). The bytes are Johab and are converted
// with UDF_HanPConvt. A file shorter than 382 bytes has no title.
//
// HWP 5.x (a compound file): those offsets lie in the container's own
// tables, so the title comes from the document's summary information
// instead; empty when it has none or cannot be read.
//
// HWPX (a ZIP package): the title in the metadata of Contents/content.hpf;
// empty when it has none or the package is refused.
QByteArray hwpTitleOf(QByteArrayView file);

// Reads the whole device and takes its title. Fault::Io when the device
// or file cannot be read, Fault::TooLarge beyond what an HWP reader takes.
Outcome<QByteArray> ReadHwpTitle(QIODevice &device);
Outcome<QByteArray> ReadHwpTitle(const QString &path);

// Converts a title in Johab (the two-byte Hangul code of 한글 3.0) into
// CP949. ASCII bytes stay as they are (a backslash stays a backslash); a
// Hangul code the conversion does not know becomes '?'.
QByteArray UDF_HanPConvt(QByteArrayView johab);

} // namespace verbana::exchange
