// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/dbf_format.h"
#include "store/xbase/file.h"

#include <QByteArray>

#include <functional>
#include <memory>

// The table file itself: header, records, the end-of-file marker and the
// locks that let several programs share it.
//
// Lock layout (byte ranges far beyond any real file, as xBase engines use):
// record n is locked at kLockBase + n; appends lock kLockBase itself; a
// whole-table lock covers kLockBase .. kLockBase + kLockSpan. Every opening
// holds kOpenLock: shared openers read-lock it, an exclusive opener
// write-locks it, so the two exclude each other.
namespace verbana::xbase {

class DbfFile {
public:
    static constexpr uint64_t kLockBase = 1000000000ull;
    static constexpr uint64_t kLockSpan = 1000000000ull;
    static constexpr uint64_t kOpenLock = 0x7FFFFFF0ull;

    // Opens an existing table. `exclusive` false shares it with others.
    static Result<std::unique_ptr<DbfFile>> open(FileSystem &fs, const QString &path, bool exclusive);
    // Writes a new empty table (no memo fields) with the given fields.
    static Status create(FileSystem &fs, const QString &path, std::vector<dbf::Field> fields);

    const dbf::Header &header() const { return header_; }
    const std::vector<dbf::Field> &fields() const { return header_.fields; }
    int recordLength() const { return header_.recordLength; }
    bool exclusive() const { return exclusive_; }
    File &file() { return *file_; }
    const QString &path() const { return path_; }

    // Records in the file. Shared, it is taken from the file size each time
    // refresh() is called, because another program may have appended.
    uint32_t recordCount() const { return count_; }
    Status refresh();
    // Shared: whether another program may have appended since refresh():
    // the record count in the header moved. A program that appends before
    // it updates the header is noticed by the index's change counter or at
    // the end of the records instead. Without a mapping of the file this
    // cannot be told cheaply, so it answers true.
    bool countMayHaveMoved() const;

    Status readRecord(uint32_t recno, QByteArray &out);
    // A walk (Skip) moves on: a table walked long enough is read through a
    // mapping from then on.
    void noteWalkStep();
    Status writeRecord(uint32_t recno, const QByteArray &record);
    Status writeDeletionFlag(uint32_t recno, char flag);
    // Writes `record` after the last one, moves the end marker and updates
    // the header; returns the new record's number. The caller holds the
    // append lock when shared.
    Result<uint32_t> append(const QByteArray &record);
    Status setStructuralIndexFlag(bool on);
    // Makes what was written durable. It is known to be so until the next
    // write through this object; after opening it is not known (an earlier
    // program may have left writes in the system's cache).
    Status sync();
    bool knownDurable() const { return durable_; }

    // Calls visit(recno, record) for records from..to (inclusive) in record
    // order, reading in large blocks. Stops early when visit returns false.
    Status scan(uint32_t from, uint32_t to, const std::function<bool(uint32_t, QByteArrayView)> &visit);

    // Locks; all no-ops on an exclusive table. Waits up to about a second.
    Status lockRecord(uint32_t recno);
    Status unlockRecord(uint32_t recno);
    Status lockAppend();
    Status unlockAppend();

private:
    DbfFile() = default;
    Status waitLock(uint64_t offset, uint64_t length);
    Status writeHeaderPrefix();
    void mapRecords();
    bool mapped(uint64_t end) const { return end <= mappedLength_; }

    std::unique_ptr<File> file_;
    QString path_;
    dbf::Header header_;
    bool exclusive_ = false;
    uint32_t count_ = 0;
    bool durable_ = false;
    // Once a table is walked, records are read through a shared mapping of
    // the file where it can be mapped: no system call per record, and other
    // programs' writes show at once. Reads touch the header and the records
    // counted, never bytes beyond the file's end. Only a program that cut
    // the file shorter while we hold it open could make such a read fault;
    // xBase programs shrink a table (pack, zap) only in exclusive use, which
    // the open lock refuses while we hold the table.
    static constexpr int kStepsBeforeMapping = 64;
    const char *view_ = nullptr;
    uint64_t mappedLength_ = 0;
    uint32_t seenHeaderCount_ = 0;
    int steps_ = 0;
};

} // namespace verbana::xbase
