// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/dbf_format.h"
#include "store/xbase/file.h"
#include "store/xbase/table_types.h"

#include <QByteArray>

#include <functional>
#include <memory>

// The table file itself: header, records, the end-of-file marker and the
// locks that let several programs share it.
//
// Records: those whose bytes lie wholly in the file. The header's count
// decides up to where it agrees with the file; beyond it (a program killed
// between writing a record and the header) records go on while their
// deletion flag is live or deleted; what follows (the end marker, padding,
// a record cut short) is the tail, never taken for records. The same rule
// holds in every opening mode.
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

    // How long a writer waits for a lock held by another program. A program
    // holds the append lock while it waits for the index lock, so waiting
    // for the append lock takes longer than any index-lock wait.
    static constexpr int kRecordLockWaitMs = 1000;
    static constexpr int kIndexLockWaitMs = 2000;
    static constexpr int kAppendLockWaitMs = 2 * kIndexLockWaitMs;
    static_assert(kAppendLockWaitMs > kIndexLockWaitMs);

    // Opens an existing table. `exclusive` false shares it with others;
    // `readOnly` makes every write fail. Read-only and shared, the file is
    // opened for reading only; read-only and exclusive, it is opened for
    // writing too, because only a writable descriptor can hold the
    // exclusive lock.
    static Result<std::unique_ptr<DbfFile>> open(FileSystem &fs, const QString &path, bool exclusive,
                                                 bool readOnly = false);
    // Writes a new empty table (no memo fields) with the given fields.
    static Status create(FileSystem &fs, const QString &path, std::vector<dbf::Field> fields);

    const dbf::Header &header() const { return header_; }
    const std::vector<dbf::Field> &fields() const { return header_.fields; }
    int recordLength() const { return header_.recordLength; }
    bool exclusive() const { return exclusive_; }
    bool readOnly() const { return readOnly_; }
    File &file() { return *file_; }
    const QString &path() const { return path_; }

    // Records in the file. Shared, it is taken from the file size each time
    // refresh() is called, because another program may have appended.
    uint32_t recordCount() const { return count_; }
    Status refresh();

    // How the header and the file agree: the count in the header, the
    // records by the rule above, and the bytes after the last record
    // besides one end marker.
    struct Extent {
        uint32_t headerCount = 0;
        uint32_t records = 0;
        uint64_t tailBytes = 0;
        bool agrees() const { return headerCount == records && tailBytes == 0; }
    };
    Result<Extent> extent();
    // The tail's bytes (see Extent), to be kept before anything replaces it.
    Result<QByteArray> tail();
    // Makes the header count the records. Shared, only when the append
    // lock can be had at once (nobody is appending).
    Status mendHeaderCount();
    // Keeps the tail in a new file beside the table (<table>.tail-<time>),
    // made durable, before anything writes over it or leaves it out;
    // returns its name, empty when there is no tail.
    Result<QString> keepTail();
    QString tailKeptAs() const { return tailKeptAs_; }
    // How the file holds what the header describes: the header's length
    // against the field list, the deletion flags, the count (TableFit).
    Result<TableFit> fit();
    // Faults that make the table unfit to be rewritten, each in words: a
    // header whose length does not fit its field list, records whose
    // deletion flag is neither live nor deleted (the fields would be read
    // shifted). Empty when the structure is sound.
    Result<QStringList> structuralFaults();
    static bool validFlag(char flag) { return flag == dbf::kLive || flag == dbf::kDeleted; }
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
    // Cuts the table back to its first `count` records (an append that
    // could not be completed): the end marker follows them and the header
    // counts them. Exclusive, or holding the append lock.
    Status truncateTo(uint32_t count);
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
    Status waitLock(uint64_t offset, uint64_t length, int ms);
    Status requireWritable() const;
    Result<uint32_t> headerCountNow();
    Result<uint32_t> wholeRecordsFrom(uint32_t from, uint32_t bySize);
    Status writeHeaderPrefix();
    void mapRecords();
    bool mapped(uint64_t end) const { return end <= mappedLength_; }

    std::unique_ptr<File> file_;
    FileSystem *fs_ = nullptr;
    QString path_;
    QByteArray headerBytes_; // as read at opening
    QString tailKeptAs_;
    size_t fieldsEnd_ = 0; // offset of the field list's terminator
    dbf::Header header_;
    bool exclusive_ = false;
    bool readOnly_ = false;
    uint32_t count_ = 0;
    std::pair<uint32_t, uint32_t> countedFor_{0xFFFFFFFFu, 0xFFFFFFFFu}; // header count and whole records
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
