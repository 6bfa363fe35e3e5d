// SPDX-License-Identifier: GPL-3.0-or-later
// The table object's writes through the index: the index lock for reading
// and writing, posts, and appends of many records as one.
#include "store/xbase/apollo_table.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"

namespace verbana::xbase {

void TApolloTable::lockIndexForWrite()
{
    if (!cdx_)
        return;
    if (!dbf_->exclusive()) {
        for (;;) {
            check(waitForLock(*cdxFile_, kIndexLock, LockMode::Exclusive), texts::lockFailure());
            auto counter = cdx_->readChangeCounter();
            const bool changed = !counter || *counter != changeCounter_;
            if (!changed && !(RepairIndex && cdx_->updateMarkedNow()))
                break;
            // Another program changed the index since we last looked, or
            // died half-way through a change and left its mark: read the
            // index again, which rebuilds an interrupted one.
            (void)cdxFile_->unlock(kIndexLock, 1);
            reopenIndexFile();
            if (!cdx_)
                return;
        }
        // Appends happen under this lock: the record count is now the one
        // the index will cover.
        Status s = dbf_->refresh();
        if (!s) {
            (void)cdxFile_->unlock(kIndexLock, 1);
            raise(s);
        }
    }
    check(cdx_->beginUpdate());
}

void TApolloTable::beginIndexRead(bool distrustCache)
{
    // An append batch holds the index lock for writing all along.
    if (!cdx_ || dbf_->exclusive() || batchBase_)
        return;
    check(waitForLock(*cdxFile_, kIndexLock, LockMode::Shared), texts::lockFailure());
    auto counter = cdx_->readChangeCounter();
    if (!counter || *counter != changeCounter_) {
        (void)cdxFile_->unlock(kIndexLock, 1);
        reopenIndexFile();
        cursorRecno_ = 0;
        // A program that changed the index may have appended records
        // before it updated the table's header.
        check(dbf_->refresh());
        if (cdx_)
            check(waitForLock(*cdxFile_, kIndexLock, LockMode::Shared), texts::lockFailure());
    } else if (distrustCache) {
        cursor_.reset();
        cursorRecno_ = 0;
        Status s = cdx_->dropCache();
        if (!s) {
            (void)cdxFile_->unlock(kIndexLock, 1);
            raise(s);
        }
    }
}

void TApolloTable::endIndexRead()
{
    if (cdx_ && !dbf_->exclusive() && !batchBase_)
        (void)cdxFile_->unlock(kIndexLock, 1);
}

void TApolloTable::unlockIndexForWrite()
{
    if (!cdx_)
        return;
    writeIndexedCount(*cdxFile_, dbf_->recordCount());
    Status s = cdx_->endUpdate();
    auto counter = cdx_->readChangeCounter();
    if (counter)
        changeCounter_ = *counter;
    if (!dbf_->exclusive())
        (void)cdxFile_->unlock(kIndexLock, 1);
    check(s);
}

// A post that failed half-way may have left changed pages in the cache and
// the interrupted-update mark in the file: forget the cache and open the
// index again, which rebuilds it from the table when it can.
void TApolloTable::recoverIndexAfterFailure()
{
    if (!cdxFile_)
        return;
    if (!dbf_->exclusive())
        (void)cdxFile_->unlock(kIndexLock, 1);
    try {
        reopenIndexFile();
    } catch (const EApolloError &) {
        cursor_.reset();
        cdx_.reset();
        cdxFile_.reset();
        tagDefs_.clear();
    }
    cursorRecno_ = 0;
}

void TApolloTable::requireComputableTags() const
{
    // A tag whose key this engine cannot compute could not be kept in step:
    // refuse the post rather than let that tag go silently wrong.
    for (int t = 1; t <= int(tagDefs_.size()); ++t)
        if (!tagDefs_[size_t(t - 1)].usable)
            throw EApolloError(QStringLiteral("The index tag %1 (key %2) cannot be kept up to date by this program")
                                   .arg(QString::fromLatin1(TagName(t)), QString::fromLatin1(TagKey(t))),
                               QString(), StatusKind::InvalidArgument);
}

void TApolloTable::appendCurrent()
{
    auto recno = dbf_->append(buffer_);
    if (!recno)
        raise(recno.status());
    for (int t = 1; t <= int(tagDefs_.size()); ++t)
        check(cdx_->insert(t, keyOf(t, buffer_), *recno));
    recno_ = *recno;
}

void TApolloTable::Post()
{
    requireActive();
    if (state_ == TableState::Browse)
        return;
    requireWritable();
    requireComputableTags();
    if (state_ == TableState::Inserting && batchBase_) {
        try {
            appendCurrent();
        } catch (...) {
            RollbackAppendBatch();
            throw;
        }
    } else if (state_ == TableState::Inserting) {
        check(dbf_->lockAppend(), texts::lockFailure());
        try {
            lockIndexForWrite();
            appendCurrent();
            unlockIndexForWrite();
        } catch (...) {
            recoverIndexAfterFailure();
            (void)dbf_->unlockAppend();
            throw;
        }
        (void)dbf_->unlockAppend();
    } else {
        try {
            lockIndexForWrite();
            check(dbf_->writeRecord(recno_, buffer_));
            for (int t = 1; t <= int(tagDefs_.size()); ++t) {
                const QByteArray oldKey = keyOf(t, saved_), newKey = keyOf(t, buffer_);
                if (oldKey != newKey) {
                    check(cdx_->remove(t, oldKey, recno_));
                    check(cdx_->insert(t, newKey, recno_));
                }
            }
            unlockIndexForWrite();
        } catch (...) {
            recoverIndexAfterFailure();
            throw;
        }
        (void)dbf_->unlockRecord(recno_);
    }
    state_ = TableState::Browse;
    bof_ = eof_ = false;
    cursorRecno_ = 0;
    announce(TableEvent::AfterPost);
}

void TApolloTable::BeginAppendBatch()
{
    requireBrowse("append");
    requireWritable();
    if (batchBase_)
        throw EApolloError(QStringLiteral("An append batch is under way already"), QString(),
                           StatusKind::InvalidArgument);
    requireComputableTags();
    batchLeft_ = 0;
    check(dbf_->lockAppend(), texts::lockFailure());
    try {
        lockIndexForWrite();
        check(dbf_->refresh());
    } catch (...) {
        recoverIndexAfterFailure();
        (void)dbf_->unlockAppend();
        throw;
    }
    batchBase_ = dbf_->recordCount() + 1;
}

void TApolloTable::CommitAppendBatch()
{
    requireBrowse("commit");
    if (!batchBase_)
        return;
    try {
        unlockIndexForWrite();
    } catch (...) {
        RollbackAppendBatch();
        throw;
    }
    batchBase_ = 0;
    (void)dbf_->unlockAppend();
}

void TApolloTable::RollbackAppendBatch()
{
    if (!batchBase_)
        return;
    const uint32_t base = batchBase_ - 1;
    batchBase_ = 0;
    if (state_ != TableState::Browse)
        Cancel();
    // The index is marked as under update since the batch began: opened
    // again, it is rebuilt for the records that are left.
    const uint32_t reached = dbf_->recordCount();
    const Status cut = dbf_->truncateTo(base);
    batchLeft_ = cut ? 0 : reached - base;
    recoverIndexAfterFailure();
    (void)dbf_->unlockAppend();
    if (recno_ > base)
        setEmpty();
    check(cut);
}

} // namespace verbana::xbase
