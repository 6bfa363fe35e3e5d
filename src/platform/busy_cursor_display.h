// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace verbana {

// Shows every BusyCursor (platform/busy_cursor.h) as the application's
// override cursor, the hourglass over all of its windows.
void installBusyCursorDisplay();

} // namespace verbana
