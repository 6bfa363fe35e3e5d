// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>

// "Today" for the program; tests fix it.
namespace verbana::clock {

QDate today();
QDateTime now();
// Fixes the clock at `when`; an invalid value returns to the system clock.
void setFixedNow(const QDateTime &when);

} // namespace verbana::clock
