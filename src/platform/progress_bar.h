// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"

#include <QEventLoop>

class QProgressBar;

namespace verbana {

// Progress shown on a progress bar (which may be gone by the time the work
// ends): at each report the bar moves and the events run, with `flags`, so
// that the window repaints and a stop button can be pressed.
class BarProgress : public Progress {
public:
    explicit BarProgress(QProgressBar *bar, QEventLoop::ProcessEventsFlags flags = QEventLoop::AllEvents);
};

} // namespace verbana
