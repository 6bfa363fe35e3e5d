// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/memory_file.h"
#include "store/xbase/file.h"

namespace verbana::xbase {

using files::MemoryFileSystem;

} // namespace verbana::xbase
