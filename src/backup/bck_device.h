// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <memory>

class QIODevice;

namespace verbana::bck {

// A device (the stream an archive component is given instead of a file)
// as a File of the seam, read or written from front to back. The device
// stays open and is not owned.
std::unique_ptr<files::File> deviceFile(QIODevice &device);

} // namespace verbana::bck
