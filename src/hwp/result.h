// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/result.h"

// The readers give the platform's result: a value, or a fault with a
// one-line reason (Fault::WrongKind for a file that is no HWP document).
namespace verbana::hwp {

using verbana::Fault;
template <typename T>
using Result = verbana::Outcome<T>;

} // namespace verbana::hwp
