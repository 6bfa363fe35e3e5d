// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "richtext/richtext.h"

class QIODevice;

// Helpers shared by the readers and writers of this folder.
namespace verbana::richtext {

// Reads what the device holds; a file's read error becomes the status.
Status readAllFrom(QIODevice &device, QByteArray &data);

// Writes all of `data`; a short or failed write becomes the status.
Status writeAllTo(QIODevice &device, QByteArrayView data);

} // namespace verbana::richtext
