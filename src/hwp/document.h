// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QIODevice;

namespace verbana::hwp {

enum class Format { Unknown, Hwp3, Hwp5, Hwpx };

// Tells the formats apart by their first bytes (any ZIP file is taken for
// HWPX; its reader says when it is not).
Format detectFormat(QByteArrayView head);

// Largest document read into memory.
inline constexpr qint64 kMaxDocument = qint64(1) << 30;

// The text of an HWP 3.0, 5.x or HWPX document, one paragraph per line,
// each line ended by '\n'.
Result<QString> readHwpText(QByteArrayView file);
Result<QString> readHwpText(QIODevice &device);

// CP949 bytes of text; every character CP949 cannot hold becomes '?'.
QByteArray toCp949Lossy(QStringView text);

// The converter's output: CP949, every line ended by CR LF.
QByteArray toTextFile(QStringView text);

} // namespace verbana::hwp
