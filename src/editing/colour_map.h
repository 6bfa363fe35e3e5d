// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/colours.h"

#include <QColor>

namespace verbana::editing {

// A stored colour on screen: the system colours take the matching role of
// the application's palette; clNone is transparent.
QColor toQColor(colours::TColor colour);

} // namespace verbana::editing
