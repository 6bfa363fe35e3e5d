// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/progress.h"

namespace verbana {

Progress::Progress(Display display, int intervalMs) : display_(std::move(display)), interval_(intervalMs) {}

void Progress::start(uint64_t total)
{
    report_ = Report{};
    report_.total = total;
    // The first report comes when there is something to show.
    clock_.start();
}

void Progress::advanceTo(uint64_t done)
{
    report_.done = done;
    maybeReport(report_.total != 0 && done >= report_.total);
}

void Progress::setItem(const QString &item, int percent)
{
    report_.item = item;
    report_.itemPercent = percent;
    maybeReport(false);
}

void Progress::setItemPercent(int percent)
{
    report_.itemPercent = percent;
    maybeReport(false);
}

void Progress::flush() { maybeReport(true); }

void Progress::maybeReport(bool force)
{
    if (!display_)
        return;
    if (!force && clock_.isValid() && clock_.elapsed() < interval_)
        return;
    clock_.start();
    ++reports_;
    display_(report_);
}

} // namespace verbana
