// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/batch_scope.h"

#include "platform/busy_cursor.h"
#include "platform/commands.h"
#include "store/xbase/apollo_table.h"

#include <exception>

namespace verbana::store {

namespace {

// Putting the table back is tried twice: a read that fails once (a busy
// network share, a passing disk error) must not leave the user on another
// sermon. What fails twice goes to the command.
template <typename Step> void twice(Step step) noexcept
{
    try {
        step();
        return;
    } catch (...) {
    }
    handingOver(step);
}

} // namespace

BatchScope::BatchScope(xbase::TApolloTable &table) : BatchScope(table, Options{}) {}

BatchScope::BatchScope(xbase::TApolloTable &table, Options options)
    : table_(table), options_(options), unwinding_(std::uncaught_exceptions())
{
    if (table_.Active()) {
        record_ = table_.RecNo();
        order_ = table_.IndexOrd();
    }
    table_.DetachHandlers(options_.detach);
    if (options_.freeze)
        table_.DisableControls();
    if (options_.busyCursor)
        busy_ = std::make_unique<BusyCursor>();
}

BatchScope::~BatchScope() { end(); }

void BatchScope::end() noexcept
{
    if (ended_)
        return;
    ended_ = true;
    // The handlers that wake with the controls react to this batch: what
    // they fail at belongs to the command that ran it.
    const DeferErrors reactions;
    handingOver([this] {
        if (options_.cancelPending && table_.Active() && table_.State() != xbase::TableState::Browse)
            table_.Cancel();
    });
    if (std::uncaught_exceptions() > unwinding_)
        failed_ = true;
    if (options_.position == Position::Keep || (options_.position == Position::KeepOnFailure && failed_)) {
        twice([this] {
            if (table_.Active() && table_.State() == xbase::TableState::Browse && table_.IndexOrd() != order_)
                table_.SetOrder(order_);
        });
        twice([this] {
            if (table_.Active() && table_.State() == xbase::TableState::Browse && record_ != 0)
                table_.Go(record_);
        });
    }
    if (options_.freeze)
        handingOver([this] { table_.EnableControls(); });
    table_.AttachHandlers(options_.detach);
    busy_.reset();
}

} // namespace verbana::store
