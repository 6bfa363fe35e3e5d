// SPDX-License-Identifier: GPL-3.0-or-later
// Where a table's records end, how its header and file agree, and whether
// its structure is sound enough to be rewritten.
#include "store/xbase/dbf_file.h"

#include <QDateTime>
#include <QFileInfo>

namespace verbana::xbase {

Result<uint32_t> DbfFile::headerCountNow()
{
    if (view_)
        return dbf::decodeRecordCount(view_);
    char prefix[8];
    XB_TRY(file_->readAt(0, prefix));
    return dbf::decodeRecordCount(prefix);
}

// Records from `from` + 1 up to `bySize` (those wholly in the file) count
// while their deletion flag is live or deleted.
Result<uint32_t> DbfFile::wholeRecordsFrom(uint32_t from, uint32_t bySize)
{
    const uint32_t rl = header_.recordLength;
    const uint32_t perBlock = std::max<uint32_t>(1, (64u * 1024u) / rl);
    QByteArray block;
    for (uint32_t first = from + 1; first <= bySize;) {
        const uint32_t n = std::min<uint32_t>(perBlock, bySize - first + 1);
        block.resize(qsizetype(n) * rl);
        XB_TRY(file_->readAt(header_.recordOffset(first), std::span<char>(block.data(), size_t(block.size()))));
        for (uint32_t i = 0; i < n; ++i)
            if (!validFlag(block[qsizetype(i) * rl]))
                return first + i - 1;
        first += n;
    }
    return std::max(from, bySize);
}

Result<DbfFile::Extent> DbfFile::extent()
{
    XB_TRY(refresh());
    Extent e;
    auto header = headerCountNow();
    if (!header)
        return header.status();
    e.headerCount = *header;
    e.records = count_;
    auto size = file_->size();
    if (!size)
        return size.status();
    const uint64_t end = header_.recordOffset(count_ + 1);
    if (*size > end) {
        e.tailBytes = *size - end;
        char marker = 0;
        if (e.tailBytes == 1 && file_->readAt(end, std::span<char>(&marker, 1)).isOk() && marker == dbf::kEofMarker)
            e.tailBytes = 0;
    }
    return e;
}

Result<QByteArray> DbfFile::tail()
{
    auto e = extent();
    if (!e)
        return e.status();
    QByteArray bytes(qsizetype(e->tailBytes), Qt::Uninitialized);
    XB_TRY(file_->readAt(header_.recordOffset(count_ + 1), std::span<char>(bytes.data(), size_t(bytes.size()))));
    return bytes;
}

Status DbfFile::mendHeaderCount()
{
    XB_TRY(requireWritable());
    if (header_.recordCount == count_)
        return Status::ok();
    if (!exclusive_ && !file_->tryLock(kLockBase, 1, LockMode::Exclusive).isOk())
        return Status::ok(); // someone is appending: the header is about to move anyway
    auto e = extent();
    Status s = e ? Status::ok() : e.status();
    if (s && e->headerCount != e->records) {
        header_.recordCount = count_;
        durable_ = false;
        s = writeHeaderPrefix();
        seenHeaderCount_ = count_;
    }
    if (!exclusive_)
        (void)file_->unlock(kLockBase, 1);
    return s;
}

Result<QString> DbfFile::keepTail()
{
    auto bytes = tail();
    if (!bytes)
        return bytes.status();
    if (bytes->isEmpty())
        return QString();
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString keptAs = path_ + QStringLiteral(".tail-") + stamp;
    for (int i = 2; fs_->exists(keptAs) || fs_->isRegularFile(keptAs); ++i)
        keptAs = path_ + QStringLiteral(".tail-") + stamp + QLatin1Char('-') + QString::number(i);
    auto kept = fs_->open(keptAs, OpenMode::CreateNew);
    if (!kept)
        return kept.status();
    XB_TRY((*kept)->writeAt(0, std::span<const char>(bytes->constData(), size_t(bytes->size()))));
    XB_TRY((*kept)->sync());
    XB_TRY(fs_->syncFolder(QFileInfo(path_).path()));
    tailKeptAs_ = keptAs;
    return keptAs;
}

Status DbfFile::truncateTo(uint32_t count)
{
    XB_TRY(requireWritable());
    durable_ = false;
    const uint64_t end = header_.recordOffset(count + 1);
    XB_TRY(file_->truncate(end));
    const char marker = dbf::kEofMarker;
    XB_TRY(file_->writeAt(end, std::span<const char>(&marker, 1)));
    count_ = count;
    header_.recordCount = count;
    XB_TRY(writeHeaderPrefix());
    seenHeaderCount_ = count;
    return Status::ok();
}

Result<TableFit> DbfFile::fit()
{
    auto e = extent();
    if (!e)
        return e.status();
    TableFit fit;
    fit.headerCount = e->headerCount;
    fit.records = e->records;
    fit.headerLength = header_.headerLength;
    // After the field list's terminator a table holds NUL padding (one
    // byte where most programs write it), or Visual FoxPro's 263-byte
    // database link.
    fit.fieldListEnd = uint32_t(fieldsEnd_ + 1);
    if (header_.isVisualFoxPro()) {
        fit.headerFits = header_.headerLength == fit.fieldListEnd + dbf::kVfpBacklinkSize;
    } else {
        for (qsizetype i = qsizetype(fit.fieldListEnd); i < headerBytes_.size(); ++i)
            fit.headerFits = fit.headerFits && headerBytes_[i] == '\0';
    }
    XB_TRY(scan(1, count_, [&](uint32_t recno, QByteArrayView rec) {
        if (!validFlag(rec[0]) && fit.badFlags++ == 0)
            fit.firstBadFlag = recno;
        return true;
    }));
    return fit;
}

Result<QStringList> DbfFile::structuralFaults()
{
    auto f = fit();
    if (!f)
        return f.status();
    QStringList faults;
    if (!f->headerFits)
        faults << QStringLiteral("the header length %1 does not fit the field list, which ends at byte %2")
                      .arg(f->headerLength)
                      .arg(f->fieldListEnd);
    if (f->badFlags)
        faults << QStringLiteral("%1 records have an invalid deletion flag, the first is record %2")
                      .arg(f->badFlags)
                      .arg(f->firstBadFlag);
    return faults;
}

} // namespace verbana::xbase
