// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"
#include "store/xbase/status.h"

// The engine reads and writes its files through the program's file seam
// (platform/file.h).
namespace verbana::xbase {

using files::createTemporary;
using files::discardTemporary;
using files::File;
using files::FileSystem;
using files::LockMode;
using files::OpenMode;
using files::replaceWithTemporary;

} // namespace verbana::xbase
