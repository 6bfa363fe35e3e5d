// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backup/zip_archive.h"

#include <QElapsedTimer>

namespace verbana::backup {

// Hands the two percentages of a ZIP run on when the whole run's percent
// moves, and otherwise at most every 40 ms: thousands of small files must
// not each wait for a window to redraw.
class ProgressThrottle {
public:
    explicit ProgressThrottle(const ZipProgress &progress) : progress_(progress) { clock_.start(); }

    void report(int filePercent, int wholePercent)
    {
        if (!progress_ || (filePercent == lastFile_ && wholePercent == lastWhole_))
            return;
        if (wholePercent == lastWhole_ && clock_.elapsed() < 40)
            return;
        lastFile_ = filePercent;
        lastWhole_ = wholePercent;
        clock_.restart();
        progress_(filePercent, wholePercent);
    }

private:
    const ZipProgress &progress_;
    QElapsedTimer clock_;
    int lastFile_ = -1;
    int lastWhole_ = -1;
};

} // namespace verbana::backup
