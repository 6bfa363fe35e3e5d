// SPDX-License-Identifier: GPL-3.0-or-later
// A power cut at any sync of a post, a pack or an index rebuild, and a sync
// that fails there, leave the table as it was before or after: every record
// intact and an index in step with them (rebuilt by the opening when it
// finds it interrupted or out of step).
#include "store_helpers.h"

#include "store/sermon_record.h"
#include "store/xbase/fault_file.h"
#include "store/xbase/memory_file.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace verbana;
using namespace verbana::test;
using xbase::EApolloError;
using xbase::TApolloTable;

namespace {

const QString kFolder = QStringLiteral("/mem");

struct Operation {
    const char *name;
    bool exclusive;
    bool durable; // done for good once it returns
    void (*run)(TApolloTable &);
};

const Operation kOperations[] = {
    {"append", false, false, [](TApolloTable &t) { appendSermons(t, {{"2005", "바"}}); }},
    {"edit", false, false,
     [](TApolloTable &t) {
         t.Go(4);
         t.Edit();
         t.PutString("DATE1", "1990");
         t.Post();
     }},
    {"pack", true, true, [](TApolloTable &t) { t.Pack(); }},
    {"index tag", true, true, [](TApolloTable &t) { t.IndexTag({}, "subject", "SUBJECT", 0, false, {}); }},
};

// What a reopened table holds: every record's bytes and the tag names.
struct State {
    std::vector<QByteArray> records;
    std::vector<QByteArray> tags;
    bool operator==(const State &) const = default;
};

std::unique_ptr<TApolloTable> open(xbase::FileSystem &fs, bool exclusive)
{
    auto t = std::make_unique<TApolloTable>();
    t->setFileSystem(&fs);
    t->DatabaseName = kFolder;
    t->TableName = QStringLiteral("sul2file.dbf");
    t->Exclusive = exclusive;
    t->Open();
    return t;
}

// The state of the table in `fs`, checking on the way that its index is in
// step with its records.
State reopened(xbase::FileSystem &fs, const std::string &context)
{
    auto t = open(fs, false);
    State s;
    for (uint32_t r = 1; r <= t->RecCount(); ++r) {
        t->Go(r);
        s.records.push_back(t->recordBuffer());
    }
    for (int tag = 1; tag <= t->TagCount(); ++tag)
        s.tags.push_back(t->TagName(tag));
    EXPECT_EQ(indexFault(*t), "") << context;
    return s;
}

class PowerCut : public ::testing::Test {
protected:
    // Five sermons, the third deleted, all on the disk.
    static void SetUpTestSuite()
    {
        xbase::MemoryFileSystem fs;
        TApolloTable creator;
        creator.setFileSystem(&fs);
        ASSERT_EQ(store::createSermonTableFile(creator, kMemoryTable), 1);
        auto t = open(fs, true);
        store::createSermonTags(*t);
        appendSermons(*t, {{"2003", "다"}, {"2001", "가"}, {"2002", "나"}, {"2004", "라"}, {"2000", "마"}});
        t->Go(3);
        t->Delete();
        t.reset();
        base_ = {fs.get(kMemoryTable), fs.get(kMemoryIndex)};
    }

    // A memory disk holding the base table, seen through a fault layer.
    struct Disk {
        xbase::MemoryFileSystem memory;
        xbase::FaultFileSystem faults{memory};
        Disk()
        {
            memory.put(kMemoryTable, base_.first);
            memory.put(kMemoryIndex, base_.second);
        }
    };

    // Edits a record, which nothing makes durable, then runs `op` unless
    // it is null. Returns false when an error stopped them.
    static bool runAfterAnEdit(xbase::FileSystem &fs, const Operation *op, bool exclusive)
    {
        try {
            auto t = open(fs, exclusive);
            t->Go(2);
            t->Edit();
            t->PutString("TITLE1", k("고침"));
            t->Post();
            if (op)
                op->run(*t);
            return true;
        } catch (const EApolloError &) {
            return false;
        }
    }

    // The states a cut may leave: the base, after the edit, after `op`.
    static std::vector<State> statesOf(const Operation &op, int *syncs)
    {
        Disk base, edited, done;
        EXPECT_TRUE(runAfterAnEdit(edited.faults, nullptr, op.exclusive));
        EXPECT_TRUE(runAfterAnEdit(done.faults, &op, op.exclusive));
        *syncs = done.faults.syncCount();
        return {reopened(base.memory, "base"), reopened(edited.memory, "edited"), reopened(done.memory, "done")};
    }

    static inline std::pair<QByteArray, QByteArray> base_;
};

TEST_F(PowerCut, EveryOperationLeavesTheOldOrTheNewStateAtEverySync)
{
    for (const Operation &op : kOperations) {
        int syncs = 0;
        const std::vector<State> states = statesOf(op, &syncs);
        ASSERT_NE(states[1], states[2]) << op.name;
        EXPECT_EQ(syncs > 0, op.durable) << op.name; // posts are left to the system's write-back
        // A cut as each sync begins, and after the operation returned (the
        // last round); each keeping every prefix of the changes not yet
        // durable.
        for (int at = 1; at <= syncs + 1; ++at) {
            for (int keep = 0, pending = 0; keep <= pending; ++keep) {
                const std::string context = std::string(op.name) + ", power cut at sync " + std::to_string(at)
                    + " keeping " + std::to_string(keep) + " changes";
                Disk d;
                if (at <= syncs)
                    d.faults.cutPowerAtSync(at);
                EXPECT_TRUE(runAfterAnEdit(d.faults, &op, op.exclusive)) << context;
                pending = d.faults.pendingChanges();
                ASSERT_TRUE(d.faults.powerCut(keep).isOk());
                const State s = reopened(d.faults, context);
                if (at > syncs && op.durable)
                    EXPECT_EQ(s, states[2]) << context;
                else
                    EXPECT_NE(std::find(states.begin(), states.end(), s), states.end()) << context;
            }
        }
        // A sync that fails stops the operation with an error; the table
        // holds the edit or the operation's result, and so does the disk
        // after a cut that follows.
        for (int at = 1; at <= syncs; ++at) {
            const std::string context = std::string(op.name) + ", failed sync " + std::to_string(at);
            Disk d;
            d.faults.failSyncAt(at);
            EXPECT_FALSE(runAfterAnEdit(d.faults, &op, op.exclusive)) << context;
            const State s = reopened(d.faults, context);
            EXPECT_TRUE(s == states[1] || s == states[2]) << context;
            ASSERT_TRUE(d.faults.powerCut(d.faults.pendingChanges()).isOk());
            const State afterCut = reopened(d.faults, context + " and a power cut");
            EXPECT_NE(std::find(states.begin(), states.end(), afterCut), states.end()) << context;
        }
    }
}

} // namespace
