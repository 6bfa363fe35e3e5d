// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/batch_scope.h"
#include "store/xbase/table_types.h"

namespace verbana::exchange {

// The main window's reactions that a bulk addition detaches: moving,
// inserting and posting.
constexpr unsigned kBulkEvents = unsigned(xbase::TableEvent::AfterScroll) | unsigned(xbase::TableEvent::AfterInsert)
                                 | unsigned(xbase::TableEvent::AfterPost);

// How a bulk addition keeps the table while many records are added to it
// (a store::BatchScope): the bound controls frozen, the handlers of
// `events` detached and the busy cursor shown. On every way out a record
// still being added is cancelled, so the table is left browsing; when the
// run fails the sermon current before it is current again, otherwise the
// table stays on the last sermon added.
inline store::BatchScope::Options bulkAddition(unsigned events = kBulkEvents)
{
    return {.detach = events,
            .position = store::BatchScope::Position::KeepOnFailure,
            .busyCursor = true,
            .cancelPending = true};
}

} // namespace verbana::exchange
