// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/busy_cursor.h"

namespace verbana {

namespace {

int &count()
{
    static int n = 0;
    return n;
}

std::function<void(bool)> &display()
{
    static std::function<void(bool)> d;
    return d;
}

void show(bool busy) noexcept
{
    try {
        if (display())
            display()(busy);
    } catch (...) {
        // A cursor that cannot be shown changes nothing of the work.
    }
}

} // namespace

BusyCursor::BusyCursor()
{
    if (count()++ == 0)
        show(true);
}

BusyCursor::~BusyCursor()
{
    if (--count() == 0)
        show(false);
}

int BusyCursor::depth() { return count(); }

void setBusyCursorDisplay(std::function<void(bool busy)> d) { display() = std::move(d); }

} // namespace verbana
