// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIcon>
#include <QSize>

namespace verbana {

// The animated picture at the right end of the main window's toolbar: a
// verbena flower turning slowly beside "홈페이지", a light passing over it.
inline constexpr QSize kHomeAnimationSize(129, 22);
inline constexpr int kHomeAnimationFrames = 24;

// One frame, drawn for the screen's pixel density.
QIcon homeAnimationFrame(int frame, qreal devicePixelRatio);

} // namespace verbana
