// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/file.h"

#include <cstdint>

// The small types around the table object: its kinds, states and
// notifications, the engine environment and the index lock.
namespace verbana::xbase {

// The index lock of FoxPro-style engines: readers share it, writers take it
// alone while they change any page.
constexpr uint64_t kIndexLock = 0x7FFFFFFEull;

// Waits a little for a one-byte lock held by another program.
Status waitForLock(File &file, uint64_t offset, LockMode mode);

enum TTableType { ttSXNTX = 1, ttSXFOX = 2, ttSXNSX = 3 };

enum class TableState { Browse, Inserting, Editing };

// What a notification announces. The values are bits so that handlers can be
// detached by kind.
enum class TableEvent : unsigned {
    AfterScroll = 1,
    AfterEdit = 2,
    AfterInsert = 4,
    AfterPost = 8,
    AfterCancel = 16,
    AfterDelete = 32,
    AfterRefresh = 64, // order, query, marks, pack: everything in view may have changed
};

// Every kind at once.
constexpr unsigned kAllTableEvents = 127;

struct TableNotification {
    TableEvent event;
    int field = 0; // AfterEdit of one field: its number from 1; 0 = whole record
};

// Settings every table follows (the engine environment): deleted records
// hidden, four-digit years, ANSI dates, epoch 1980, inexact comparison.
struct TApolloEnv {
    bool Deleted = true; // hide deleted records
    bool Century = true;
    int Epoch = 1980;
    bool Exact = false;
    static TApolloEnv &instance();
};

} // namespace verbana::xbase
