// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/user_error.h"
#include "store/batch_scope.h"
#include "store/xbase/apollo_table.h"
#include "store/xbase/table_types.h"

#include <QString>

namespace verbana::exchange {

// The main window's reactions that a bulk addition detaches: moving,
// inserting and posting.
constexpr unsigned kBulkEvents = unsigned(xbase::TableEvent::AfterScroll) | unsigned(xbase::TableEvent::AfterInsert)
                                 | unsigned(xbase::TableEvent::AfterPost);

// Many sermons added to the open table as one run (the imports, the
// merge): the table is held still for exactly the life of the object (a
// store::BatchScope: the bound controls frozen, the handlers of `events`
// detached, the busy cursor shown), and each sermon is added by add(). An
// error meant for the user while adding one cancels the record in hand,
// ends the run and is kept for the run's message; the sermons added before
// it stay. On every way out a record still being added is cancelled, so the
// table is left browsing; when the run failed the sermon current before it
// is current again, otherwise the table stays on the last sermon added.
class BulkAddition {
public:
    explicit BulkAddition(xbase::TApolloTable &table, unsigned events = kBulkEvents)
        : table_(table),
          scope_(table, {.detach = events,
                         .position = store::BatchScope::Position::KeepOnFailure,
                         .busyCursor = true,
                         .cancelPending = true})
    {
    }

    // Runs `add` for one sermon; false when it failed (error() says why)
    // and the run must end.
    template <typename Add> bool add(Add add)
    {
        try {
            add();
            return true;
        } catch (const EUserError &e) {
            if (table_.Active() && table_.State() != xbase::TableState::Browse)
                table_.Cancel();
            error_ = e.text();
            scope_.failed();
            return false;
        }
    }
    // The error that ended the run; empty while none did.
    const QString &error() const { return error_; }

private:
    xbase::TApolloTable &table_;
    store::BatchScope scope_;
    QString error_;
};

} // namespace verbana::exchange
