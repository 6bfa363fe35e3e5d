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

// How a table's file holds what its header describes (TApolloTable::fit):
// what a reader of a table made elsewhere must know before it takes the
// records, and what a checking tool reports.
struct TableFit {
    // After the field list's terminator the header holds padding only (or
    // Visual FoxPro's backlink); anything else, or a length past it, means
    // the header length is wrong and every field would be read shifted.
    uint32_t headerLength = 0;
    uint32_t fieldListEnd = 0; // the byte after the terminator
    bool headerFits = true;
    // Records whose deletion flag is neither live nor deleted.
    uint32_t badFlags = 0;
    uint32_t firstBadFlag = 0;
    // The count in the header, and the records wholly in the file.
    uint32_t headerCount = 0;
    uint32_t records = 0;

    // The records can be read as the header describes them.
    bool sound() const { return headerFits && badFlags == 0; }
    // Records the header counts that the file does not hold (cut short).
    uint32_t missing() const { return headerCount > records ? headerCount - records : 0; }
};

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
