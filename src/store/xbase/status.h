// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/status.h"

// The engine's error channel is the file seam's (platform/status.h): the
// byte readers, decoders, files and index code return a Status or a
// Result<T> and never throw; the table object turns them into the engine's
// error texts in one place.
namespace verbana::xbase {

using files::Status;
using files::StatusKind;
template <typename T>
using Result = files::Result<T>;

} // namespace verbana::xbase

#define XB_TRY(expr) VERBANA_TRY(expr)
