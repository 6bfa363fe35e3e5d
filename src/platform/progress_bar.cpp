// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/progress_bar.h"

#include <QCoreApplication>
#include <QPointer>
#include <QProgressBar>

#include <climits>

namespace verbana {

namespace {

void show(QProgressBar *bar, const Progress::Report &r)
{
    // A bar counts in int: large totals are shown in thousandths.
    const bool scaled = r.total > uint64_t(INT_MAX);
    const int maximum = scaled ? 1000 : int(std::max<uint64_t>(r.total, 1));
    const int value = scaled ? int(r.done * 1000 / r.total) : int(std::min<uint64_t>(r.done, uint64_t(maximum)));
    if (bar->maximum() != maximum || bar->minimum() != 0)
        bar->setRange(0, maximum);
    bar->setValue(value);
}

} // namespace

BarProgress::BarProgress(QProgressBar *bar, QEventLoop::ProcessEventsFlags flags)
    : Progress([bar = QPointer<QProgressBar>(bar), flags](const Report &r) {
          if (bar)
              show(bar, r);
          QCoreApplication::processEvents(flags);
      })
{
}

} // namespace verbana
