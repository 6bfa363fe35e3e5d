// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/clock.h"

namespace verbana::clock {
namespace {
QDateTime &fixed()
{
    static QDateTime f;
    return f;
}
} // namespace

QDateTime now() { return fixed().isValid() ? fixed() : QDateTime::currentDateTime(); }
QDate today() { return now().date(); }
void setFixedNow(const QDateTime &when) { fixed() = when; }

} // namespace verbana::clock
