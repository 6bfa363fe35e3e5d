// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xbase/dbf_file.h"

#include <QFileInfo>

#include <chrono>
#include <cstring>
#include <thread>

namespace verbana::xbase {

Result<std::unique_ptr<DbfFile>> DbfFile::open(FileSystem &fs, const QString &path, bool exclusive, bool readOnly)
{
    auto file = fs.open(path, readOnly && !exclusive ? OpenMode::ReadOnly : OpenMode::ReadWrite);
    if (!file)
        return file.status();
    std::unique_ptr<DbfFile> t(new DbfFile);
    t->file_ = std::move(file.value());
    t->fs_ = &fs;
    t->path_ = path;
    t->readOnly_ = readOnly;
    t->exclusive_ = exclusive;

    Status lock = t->file_->tryLock(kOpenLock, 1, t->exclusive_ ? LockMode::Exclusive : LockMode::Shared);
    if (!lock)
        return lock;

    char prefix[dbf::kPrefixSize];
    XB_TRY(t->file_->readAt(0, prefix));
    XB_TRY(dbf::decodePrefix(prefix, t->header_));
    QByteArray whole(t->header_.headerLength, Qt::Uninitialized);
    XB_TRY(t->file_->readAt(0, std::span<char>(whole.data(), size_t(whole.size()))));
    XB_TRY(dbf::decodeFields(std::span<const char>(whole.constData(), size_t(whole.size())), t->header_));
    t->headerBytes_ = whole;
    t->fieldsEnd_ = size_t(dbf::kPrefixSize) + size_t(dbf::kDescriptorSize) * t->header_.fields.size();
    XB_TRY(t->refresh());
    return t;
}

Status DbfFile::requireWritable() const
{
    if (readOnly_)
        return Status::readOnly(QStringLiteral("%1 is open for reading only").arg(path_));
    return Status::ok();
}

Status DbfFile::create(FileSystem &fs, const QString &path, std::vector<dbf::Field> fields)
{
    dbf::Header h;
    h.version = 0x03;
    h.fields = std::move(fields);
    dbf::stampToday(h);
    QByteArray bytes = dbf::encodeHeader(h);
    bytes.append(dbf::kEofMarker);
    auto file = fs.open(path, OpenMode::Create);
    if (!file)
        return file.status();
    XB_TRY((*file)->writeAt(0, std::span<const char>(bytes.constData(), size_t(bytes.size()))));
    XB_TRY((*file)->sync());
    return fs.syncFolder(QFileInfo(path).path());
}

// Maps the header and the records counted, with room to grow so that
// appends seldom need a new mapping. Only a table that is being walked is
// mapped: making a mapping, faulting its pages in and dropping it costs more
// than the reads of a table that is opened for a look or visited here and
// there.
void DbfFile::mapRecords()
{
    const uint64_t end = header_.recordOffset(count_ + 1);
    if (steps_ < kStepsBeforeMapping || (view_ && end <= mappedLength_))
        return;
    const uint64_t length = end + std::max<uint64_t>(end / 4, 4u << 20);
    view_ = file_->map(length);
    mappedLength_ = view_ ? length : 0;
}

void DbfFile::noteWalkStep()
{
    if (!view_ && ++steps_ == kStepsBeforeMapping)
        mapRecords();
}

bool DbfFile::countMayHaveMoved() const { return !view_ || dbf::decodeRecordCount(view_) != seenHeaderCount_; }

Status DbfFile::refresh()
{
    // The header's count is taken before the size: an append that comes in
    // between moves it again and is noticed at the next check.
    if (view_)
        seenHeaderCount_ = dbf::decodeRecordCount(view_);
    auto size = file_->size();
    if (!size)
        return size.status();
    const uint64_t body = *size > header_.headerLength ? *size - header_.headerLength : 0;
    const uint32_t bySize = uint32_t(std::min<uint64_t>(body / header_.recordLength, 0xFFFFFFFFu));
    if (!exclusive_ && bySize != header_.recordCount) {
        // Another program may have appended, before or after updating the
        // header: read the header's count again.
        auto fresh = headerCountNow();
        if (!fresh)
            return fresh.status();
        header_.recordCount = *fresh;
    }
    // Records beyond the header's count are looked at once for each
    // header count and size: only an append changes them.
    if (header_.recordCount != countedFor_.first || bySize != countedFor_.second) {
        auto whole = wholeRecordsFrom(std::min(header_.recordCount, bySize), bySize);
        if (!whole)
            return whole.status();
        count_ = *whole;
        countedFor_ = {header_.recordCount, bySize};
    }
    mapRecords();
    return Status::ok();
}

Status DbfFile::readRecord(uint32_t recno, QByteArray &out)
{
    if (recno < 1 || recno > count_)
        return Status::invalidArgument(QStringLiteral("record %1 does not exist").arg(recno));
    out.resize(header_.recordLength);
    const uint64_t offset = header_.recordOffset(recno);
    if (view_ && offset + header_.recordLength <= mappedLength_) {
        std::memcpy(out.data(), view_ + offset, header_.recordLength);
        return Status::ok();
    }
    return file_->readAt(offset, std::span<char>(out.data(), size_t(out.size())));
}

Status DbfFile::sync()
{
    XB_TRY(file_->sync());
    durable_ = true;
    return Status::ok();
}

Status DbfFile::writeRecord(uint32_t recno, const QByteArray &record)
{
    XB_TRY(requireWritable());
    if (recno < 1 || recno > count_ || record.size() != header_.recordLength)
        return Status::invalidArgument(QStringLiteral("record %1 cannot be written").arg(recno));
    durable_ = false;
    return file_->writeAt(header_.recordOffset(recno), std::span<const char>(record.constData(), size_t(record.size())));
}

Status DbfFile::writeDeletionFlag(uint32_t recno, char flag)
{
    XB_TRY(requireWritable());
    if (recno < 1 || recno > count_)
        return Status::invalidArgument(QStringLiteral("record %1 does not exist").arg(recno));
    durable_ = false;
    return file_->writeAt(header_.recordOffset(recno), std::span<const char>(&flag, 1));
}

Result<uint32_t> DbfFile::append(const QByteArray &record)
{
    XB_TRY(requireWritable());
    if (record.size() != header_.recordLength)
        return Status::invalidArgument(QStringLiteral("record has the wrong length"));
    XB_TRY(refresh());
    if (count_ == 0xFFFFFFFFu)
        return Status::invalidArgument(QStringLiteral("table is full"));
    auto size = file_->size();
    if (size && *size > header_.recordOffset(count_ + 1) + 1) {
        // More than an end marker follows the records: keep it before the
        // new record writes over it.
        auto kept = keepTail();
        if (!kept)
            return kept.status();
        XB_TRY(file_->truncate(header_.recordOffset(count_ + 1)));
    }
    const uint32_t recno = count_ + 1;
    durable_ = false;
    // Record and end marker in one write, then the header: a process killed
    // in between leaves a record the header does not count yet, which a
    // shared opening finds by the file size.
    QByteArray bytes = record;
    bytes.append(dbf::kEofMarker);
    XB_TRY(file_->writeAt(header_.recordOffset(recno), std::span<const char>(bytes.constData(), size_t(bytes.size()))));
    count_ = recno;
    header_.recordCount = recno;
    XB_TRY(writeHeaderPrefix());
    seenHeaderCount_ = recno;
    mapRecords();
    return recno;
}

Status DbfFile::writeHeaderPrefix()
{
    dbf::stampToday(header_);
    char prefix[dbf::kPrefixSize];
    XB_TRY(file_->readAt(0, prefix));
    dbf::encodePrefix(header_, prefix);
    return file_->writeAt(0, prefix);
}

Status DbfFile::setStructuralIndexFlag(bool on)
{
    const uint8_t flags = on ? (header_.flags | dbf::kFlagStructuralIndex) : (header_.flags & ~dbf::kFlagStructuralIndex);
    if (flags == header_.flags)
        return Status::ok();
    XB_TRY(requireWritable());
    header_.flags = flags;
    durable_ = false;
    const char byte = char(flags);
    return file_->writeAt(28, std::span<const char>(&byte, 1));
}

Status DbfFile::scan(uint32_t from, uint32_t to, const std::function<bool(uint32_t, QByteArrayView)> &visit)
{
    if (from < 1)
        from = 1;
    to = std::min(to, count_);
    if (from > to)
        return Status::ok();
    // Large reads even where the file is mapped: a pass over the whole file
    // would otherwise fault its pages in one by one and keep them mapped.
    const uint32_t rl = header_.recordLength;
    const uint32_t perBlock = std::max<uint32_t>(1, (256u * 1024u) / rl);
    QByteArray block;
    for (uint32_t first = from; first <= to && first >= from;) {
        const uint32_t n = std::min<uint32_t>(perBlock, to - first + 1);
        block.resize(qsizetype(n) * rl);
        XB_TRY(file_->readAt(header_.recordOffset(first), std::span<char>(block.data(), size_t(block.size()))));
        for (uint32_t i = 0; i < n; ++i)
            if (!visit(first + i, QByteArrayView(block.constData() + qsizetype(i) * rl, rl)))
                return Status::ok();
        if (first + n - 1 == to)
            break;
        first += n;
    }
    return Status::ok();
}

Status DbfFile::waitLock(uint64_t offset, uint64_t length, int ms)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(ms);
    for (;;) {
        Status s = file_->tryLock(offset, length, LockMode::Exclusive);
        if (s.isOk() || s.kind() != StatusKind::Locked || steady_clock::now() >= deadline)
            return s;
        std::this_thread::sleep_for(milliseconds(2));
    }
}

Status DbfFile::lockRecord(uint32_t recno)
{
    XB_TRY(requireWritable());
    return exclusive_ ? Status::ok() : waitLock(kLockBase + recno, 1, kRecordLockWaitMs);
}
Status DbfFile::unlockRecord(uint32_t recno) { return exclusive_ ? Status::ok() : file_->unlock(kLockBase + recno, 1); }
Status DbfFile::lockAppend()
{
    XB_TRY(requireWritable());
    return exclusive_ ? Status::ok() : waitLock(kLockBase, 1, kAppendLockWaitMs);
}
Status DbfFile::unlockAppend() { return exclusive_ ? Status::ok() : file_->unlock(kLockBase, 1); }

} // namespace verbana::xbase
