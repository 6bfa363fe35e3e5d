// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/table_types.h"

#include <cstdint>
#include <memory>

namespace verbana {
class BusyCursor;
}
namespace verbana::xbase {
class TApolloTable;
}

// Work on many records of a table at once: a walk, a count, a scan, a bulk
// addition, a batch deletion. For exactly the life of the scope the controls
// bound to the table are frozen (the list and the record boxes refresh once
// at the end instead of after every record), the window's handlers of the
// table's events are detached, and the busy cursor is up.
//
// Leaving the scope never throws, whatever happens on the way out: putting
// the record back, thawing the controls (the list reads the table again)
// and the handlers that wake can all fail on a damaged or vanished file.
// Such an error is handed to the command being run (platform/commands.h),
// which shows it once, after its own error if it has one; every other step
// of the way out is still taken.
namespace verbana::store {

class BatchScope {
public:
    enum class Position {
        Keep, // the record current before and the order in force come back
        // Left where the work leaves it, unless the work failed: the scope
        // ends by an error, or failed() was called.
        KeepOnFailure,
        Leave, // the work leaves the table where it wants it
    };
    struct Options {
        unsigned detach = xbase::kAllTableEvents;
        Position position = Position::Keep;
        bool busyCursor = true;
        // A record still being added or edited at the end is cancelled, so
        // that the table is left browsing (bulk additions).
        bool cancelPending = false;
        // Off for a single step that only keeps the handlers away: the
        // controls then follow the table as usual.
        bool freeze = true;
    };

    explicit BatchScope(xbase::TApolloTable &table);
    BatchScope(xbase::TApolloTable &table, Options options);
    ~BatchScope();
    BatchScope(const BatchScope &) = delete;
    BatchScope &operator=(const BatchScope &) = delete;

    // The work did not finish (it caught its error to report it itself).
    void failed() { failed_ = true; }
    // Ends the batch now, as leaving the scope does; later calls do nothing.
    void end() noexcept;

private:
    xbase::TApolloTable &table_;
    Options options_;
    uint32_t record_ = 0;
    int order_ = 0;
    std::unique_ptr<BusyCursor> busy_;
    int unwinding_ = 0; // exceptions in flight when the scope began
    bool failed_ = false;
    bool ended_ = false;
};

} // namespace verbana::store
