// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/fault_file.h"
#include "store/xbase/file.h"

namespace verbana::xbase {

using files::FaultFileSystem;

} // namespace verbana::xbase
