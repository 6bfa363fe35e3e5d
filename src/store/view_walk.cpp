// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/view_walk.h"

#include "platform/progress.h"
#include "store/xbase/apollo_table.h"

namespace verbana::store {

ViewWalk::ViewWalk(xbase::TApolloTable &table) : table_(table) { table_.GoTop(); }

bool ViewWalk::done() const { return table_.Eof() || table_.RecNo() == 0; }

uint32_t ViewWalk::record() const { return table_.RecNo(); }

void ViewWalk::next() { table_.Skip(1); }

uint32_t forEachInView(xbase::TApolloTable &table, Progress *progress, const std::function<void()> &visit)
{
    if (progress)
        progress->start(table.Count());
    uint32_t visited = 0;
    for (ViewWalk walk(table); !walk.done(); walk.next()) {
        visit();
        ++visited;
        if (progress) {
            progress->tick();
            if (progress->stopRequested())
                break;
        }
    }
    return visited;
}

std::vector<uint32_t> recordsInView(xbase::TApolloTable &table)
{
    std::vector<uint32_t> records;
    for (ViewWalk walk(table); !walk.done(); walk.next())
        records.push_back(walk.record());
    return records;
}

} // namespace verbana::store
