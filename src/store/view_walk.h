// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace verbana {
class Progress;
}
namespace verbana::xbase {
class TApolloTable;
}

// The one walk over the sermons in view: first to last in the order in
// force, each in turn the current record, a gathering in force seen as the
// table shows it. The caller keeps the table quiet around it (BatchScope).
namespace verbana::store {

class ViewWalk {
public:
    // Goes to the first sermon in view.
    explicit ViewWalk(xbase::TApolloTable &table);
    // True once every sermon in view has been passed (at once for none).
    bool done() const;
    // The current sermon's record number.
    uint32_t record() const;
    // On to the next sermon in view.
    void next();

private:
    xbase::TApolloTable &table_;
};

// Walks the sermons in view, calling `visit` with each as the current
// record. With `progress`, it is started with the number in view and
// ticked after each sermon, and a stop asked for there ends the walk after
// the sermon at hand. Returns the number of sermons visited.
uint32_t forEachInView(xbase::TApolloTable &table, Progress *progress, const std::function<void()> &visit);

// The record numbers of the sermons in view, in the order in force.
std::vector<uint32_t> recordsInView(xbase::TApolloTable &table);

} // namespace verbana::store
