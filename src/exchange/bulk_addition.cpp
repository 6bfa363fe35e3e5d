// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/bulk_addition.h"

#include "store/xbase/apollo_table.h"

#include <QCursor>
#include <QGuiApplication>

namespace verbana::exchange {

BulkAddition::BulkAddition(xbase::TApolloTable &table, unsigned events, bool busyCursor)
    : table_(table), events_(events), busyCursor_(busyCursor && qobject_cast<QGuiApplication *>(qApp))
{
    table_.DisableControls();
    table_.DetachHandlers(events_);
    if (busyCursor_)
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

BulkAddition::~BulkAddition()
{
    try {
        if (table_.Active() && table_.State() != xbase::TableState::Browse)
            table_.Cancel();
    } catch (...) {
        // Cancelling only drops the record buffer; nothing to report here.
    }
    if (busyCursor_)
        QGuiApplication::restoreOverrideCursor();
    table_.AttachHandlers(events_);
    table_.EnableControls();
}

} // namespace verbana::exchange
