// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/table_types.h"

namespace verbana::xbase {
class TApolloTable;
}

namespace verbana::exchange {

// The main window's reactions that a bulk addition detaches: moving,
// inserting and posting.
constexpr unsigned kBulkEvents = unsigned(xbase::TableEvent::AfterScroll) | unsigned(xbase::TableEvent::AfterInsert)
                                 | unsigned(xbase::TableEvent::AfterPost);

// Holds a table still while many records are added to it: its bound
// controls are frozen, the handlers of `events` detached and the busy
// cursor shown, for exactly the life of the guard. On every way out, errors
// included, a record still being added is cancelled, so the table is left
// browsing, and everything is restored in reverse order (the controls
// refresh once when thawed).
class BulkAddition {
public:
    explicit BulkAddition(xbase::TApolloTable &table, unsigned events = kBulkEvents, bool busyCursor = true);
    ~BulkAddition();
    BulkAddition(const BulkAddition &) = delete;
    BulkAddition &operator=(const BulkAddition &) = delete;

private:
    xbase::TApolloTable &table_;
    unsigned events_;
    bool busyCursor_;
};

} // namespace verbana::exchange
