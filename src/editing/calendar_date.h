// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QString>

// The moves and texts of the calendar window. A move to a month without the
// selected day lowers the day to that month's last day (31 March back a
// month is 28 or 29 February).
namespace verbana::editing {

enum class CalendarMove { PreviousMonth, NextMonth, PreviousYear, NextYear };

QDate moveDate(const QDate &date, CalendarMove move);

// The heading: "1997년 5월 5일".
QString calendarHeading(const QDate &date);

// The window's result for a confirmed date: "1997.05.05" (four-digit year,
// padded with zeros).
QString dateResultText(const QDate &date);

// The result while nothing is confirmed.
inline QString calendarCancelled() { return QStringLiteral("취소"); }

} // namespace verbana::editing
