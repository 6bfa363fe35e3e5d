// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// The busy cursor (the hourglass) of long work. Logic code marks its work
// with a BusyCursor; what that shows is up to the program, which installs
// the display (the window layer sets the application's override cursor),
// so that logic libraries need no widgets and tests can watch it.
namespace verbana {

class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

    // How many BusyCursors live now.
    static int depth();
};

// Called with true when the first BusyCursor is made and with false when
// the last one goes. Empty: nothing is shown.
void setBusyCursorDisplay(std::function<void(bool busy)> display);

} // namespace verbana
