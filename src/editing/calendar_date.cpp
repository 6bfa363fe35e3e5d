// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/calendar_date.h"

namespace verbana::editing {

QDate moveDate(const QDate &date, CalendarMove move)
{
    // QDate lowers the day to the target month's last day itself.
    switch (move) {
    case CalendarMove::PreviousMonth: return date.addMonths(-1);
    case CalendarMove::NextMonth: return date.addMonths(1);
    case CalendarMove::PreviousYear: return date.addYears(-1);
    case CalendarMove::NextYear: return date.addYears(1);
    }
    return date;
}

QString calendarHeading(const QDate &date)
{
    return QStringLiteral("%1년 %2월 %3일").arg(date.year()).arg(date.month()).arg(date.day());
}

QString dateResultText(const QDate &date)
{
    return QStringLiteral("%1.%2.%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

} // namespace verbana::editing
