// SPDX-License-Identifier: GPL-3.0-or-later
// The table object's view: which records are visible (deleted mark, query,
// marks), moving through them in record or tag order, counting, and the
// operations that change which records exist: delete, pack and copy.
#include "store/xbase/apollo_table.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/expression.h"
#include "store/xbase/memo_file.h"

#include <QFileInfo>

#include <atomic>

namespace verbana::xbase {

QByteArray TApolloTable::markedFilterText() { return QByteArrayLiteral(".MARKED."); }

void TApolloTable::SetShowDeleted(bool show)
{
    hideDeleted_ = !show;
    cursorRecno_ = 0;
}

bool TApolloTable::visible(uint32_t recno, QByteArrayView record) const
{
    if (hideDeleted_ && record[0] == dbf::kDeleted)
        return false;
    if (marksActive_)
        return recno < marks_.size() && marks_[recno];
    if (query_)
        return query_->matches(record);
    return true;
}

void TApolloTable::syncShared()
{
    if (!dbf_->exclusive())
        check(dbf_->refresh());
}

// Between moves only what may have changed is looked at again: the record
// count when the header's count moved.
void TApolloTable::syncSharedBetweenMoves()
{
    if (!dbf_->exclusive() && dbf_->countMayHaveMoved())
        check(dbf_->refresh());
}

void TApolloTable::setCurrent(uint32_t recno)
{
    recno_ = recno;
    bof_ = eof_ = false;
}

void TApolloTable::setEmpty()
{
    recno_ = 0;
    bof_ = eof_ = true;
    buffer_ = QByteArray(dbf_->recordLength(), ' ');
    cursorRecno_ = 0;
}

bool TApolloTable::loadIfVisible(uint32_t recno)
{
    // Read into the spare buffer and swap: a walk allocates nothing.
    check(dbf_->readRecord(recno, spare_));
    if (!visible(recno, spare_))
        return false;
    buffer_.swap(spare_);
    return true;
}

// Moves one visible record forward (+1) or back (-1) in record order from
// `recno_` (0 with direction +1 = from the top; count+1 with -1 = from the
// bottom). Returns false at the end, leaving the position unchanged.
bool TApolloTable::stepRecordOrder(int direction)
{
    uint32_t count = dbf_->recordCount();
    if (direction > 0) {
        bool found = false;
        uint32_t from = recno_ + 1;
        if (from > count && !dbf_->exclusive()) {
            // At the end: another program may have appended without
            // updating the header yet.
            check(dbf_->refresh());
            count = dbf_->recordCount();
        }
        if (from > count)
            return false;
        // The next record is usually visible: read a few one by one before
        // reading ahead in large blocks.
        for (const uint32_t stop = std::min(count, from + 15); from <= stop; ++from) {
            if (loadIfVisible(from)) {
                recno_ = from;
                return true;
            }
        }
        if (from > count)
            return false;
        check(dbf_->scan(from, count, [&](uint32_t r, QByteArrayView rec) {
            if (!visible(r, rec))
                return true;
            buffer_ = rec.toByteArray();
            recno_ = r;
            found = true;
            return false;
        }));
        return found;
    }
    for (uint32_t r = std::min(recno_, count + 1); r-- > 1;) {
        if (loadIfVisible(r)) {
            recno_ = r;
            return true;
        }
    }
    return false;
}

// Puts the cursor on the current record's entry, or where it would be.
// Returns true when it stands exactly on it.
bool TApolloTable::seekCursorToCurrent()
{
    if (!cursor_)
        cursor_ = cdx_->cursor(order_);
    check(cursor_->seek(keyOf(order_, buffer_), recno_));
    cursorRecno_ = recno_;
    return cursor_->valid() && cursor_->recno() == recno_;
}

// The index's header is mapped, shows the change counter we know and no
// writer at work.
bool TApolloTable::indexQuiet()
{
    // Whatever was read before is read before the header is looked at.
    std::atomic_thread_fence(std::memory_order_seq_cst);
    if (!cdx_->headerMapped() || cdx_->updateMarkedNow())
        return false;
    auto counter = cdx_->readChangeCounter();
    return counter && *counter == changeCounter_;
}

// A shared table moves in index order without the index lock while the
// index is quiet, and checks that it still is after the move: the cursor
// then only used pages that no writer touched. A move that overlapped a
// writer is made again under the lock. Records are read through the
// table's mapping, so a change another program made to a record shows at
// the next move whether it touched the index or not.
bool TApolloTable::stepIndexOrder(int direction)
{
    if (!cdx_ || order_ > int(tagDefs_.size())) {
        order_ = 0;
        return stepRecordOrder(direction);
    }
    if (dbf_->exclusive())
        return stepCursor(direction);
    bool overlapped = false;
    if (indexQuiet()) {
        const uint32_t recno = recno_;
        const QByteArray buffer = buffer_;
        try {
            const bool found = stepCursor(direction);
            if (indexQuiet())
                return found;
        } catch (const EApolloError &) {
            if (indexQuiet())
                throw;
        }
        recno_ = recno;
        buffer_ = buffer;
        cursorRecno_ = 0;
        overlapped = true;
    }
    beginIndexRead(overlapped);
    struct EndRead {
        TApolloTable *t;
        ~EndRead() { t->endIndexRead(); }
    } end{this};
    if (!cdx_) {
        order_ = 0;
        return stepRecordOrder(direction);
    }
    return stepCursor(direction);
}

// One step of the index cursor to the next visible record.
bool TApolloTable::stepCursor(int direction)
{
    uint32_t count = dbf_->recordCount();
    bool onCurrent = true;
    if (recno_ == 0) {
        if (!cursor_)
            cursor_ = cdx_->cursor(order_);
        check(direction > 0 ? cursor_->first() : cursor_->last());
        onCurrent = false;
    } else if (cursorRecno_ != recno_ || !cursor_ || !cursor_->valid() || cursor_->recno() != recno_) {
        onCurrent = seekCursorToCurrent();
        // When the current entry is gone, the seek already stands on the
        // next one; going back starts from there too.
        if (!onCurrent && direction > 0 && cursor_->valid())
            onCurrent = false;
        else if (!onCurrent && direction < 0) {
            if (cursor_->valid())
                onCurrent = true; // step back from the entry after ours
            else {
                check(cursor_->last());
                onCurrent = false;
            }
        }
    }
    for (;;) {
        if (onCurrent)
            check(direction > 0 ? cursor_->next() : cursor_->prev());
        onCurrent = true;
        if (!cursor_->valid()) {
            cursorRecno_ = 0;
            return false;
        }
        const uint32_t r = cursor_->recno();
        if (r > count && !dbf_->exclusive()) {
            // Appended since the count was taken.
            check(dbf_->refresh());
            count = dbf_->recordCount();
        }
        if (r < 1 || r > count)
            continue; // an entry for a record this view does not have yet
        if (loadIfVisible(r)) {
            recno_ = r;
            cursorRecno_ = r;
            return true;
        }
    }
}

// A move that fails half-way (a read error) leaves the table on the record
// it stood on, with its flags and buffer.
class TApolloTable::KeepPosition {
public:
    explicit KeepPosition(TApolloTable &t) : t_(t), recno_(t.recno_), bof_(t.bof_), eof_(t.eof_), buffer_(t.buffer_) {}
    ~KeepPosition()
    {
        if (done_)
            return;
        t_.recno_ = recno_;
        t_.bof_ = bof_;
        t_.eof_ = eof_;
        t_.buffer_ = buffer_;
        t_.cursorRecno_ = 0;
    }
    void done() { done_ = true; }

private:
    TApolloTable &t_;
    uint32_t recno_;
    bool bof_, eof_;
    QByteArray buffer_;
    bool done_ = false;
};

void TApolloTable::GoTop()
{
    requireBrowse("go top");
    syncShared();
    KeepPosition keep(*this);
    recno_ = 0;
    cursorRecno_ = 0;
    const bool found = order_ ? stepIndexOrder(+1) : stepRecordOrder(+1);
    keep.done();
    if (!found)
        setEmpty();
    else {
        bof_ = true;
        eof_ = false;
    }
    announce(TableEvent::AfterScroll);
}

void TApolloTable::GoBottom()
{
    requireBrowse("go bottom");
    syncShared();
    KeepPosition keep(*this);
    recno_ = order_ ? 0 : dbf_->recordCount() + 1;
    cursorRecno_ = 0;
    const bool found = order_ ? stepIndexOrder(-1) : stepRecordOrder(-1);
    keep.done();
    if (!found)
        setEmpty();
    else {
        bof_ = false;
        eof_ = true;
    }
    announce(TableEvent::AfterScroll);
}

void TApolloTable::Skip(long count)
{
    requireBrowse("skip");
    syncSharedBetweenMoves();
    if (recno_ == 0) {
        setEmpty();
        return;
    }
    const int direction = count >= 0 ? 1 : -1;
    long steps = count >= 0 ? count : -count;
    if (steps == 0) {
        // Re-read the current record.
        QByteArray rec;
        check(dbf_->readRecord(recno_, rec));
        buffer_ = rec;
        return;
    }
    // A step that finds nothing leaves the position and the buffer as they
    // were.
    dbf_->noteWalkStep();
    KeepPosition keep(*this);
    bool moved = false;
    while (steps-- > 0) {
        const bool ok = order_ ? stepIndexOrder(direction) : stepRecordOrder(direction);
        if (!ok) {
            keep.done();
            cursorRecno_ = 0;
            if (direction > 0)
                eof_ = true;
            else
                bof_ = true;
            if (moved)
                (direction > 0 ? bof_ : eof_) = false;
            announce(TableEvent::AfterScroll);
            return;
        }
        moved = true;
    }
    keep.done();
    bof_ = eof_ = false;
    announce(TableEvent::AfterScroll);
}

void TApolloTable::Go(uint32_t recno)
{
    requireBrowse("go");
    syncShared();
    if (recno < 1 || recno > dbf_->recordCount()) {
        eof_ = true;
        return;
    }
    QByteArray rec;
    check(dbf_->readRecord(recno, rec));
    buffer_ = std::move(rec);
    setCurrent(recno);
    cursorRecno_ = 0;
    announce(TableEvent::AfterScroll);
}

void TApolloTable::SetOrder(int order)
{
    requireBrowse("set order");
    if (order < 0 || order > TagCount() || (order > 0 && !tagDefs_[size_t(order - 1)].usable))
        order = 0;
    order_ = order;
    cursor_.reset();
    cursorRecno_ = 0;
    announce(TableEvent::AfterRefresh);
}

uint32_t TApolloTable::Count()
{
    requireActive();
    syncShared();
    // The count does not depend on the order, so walk the file in record
    // order with large sequential reads.
    uint32_t n = 0;
    check(dbf_->scan(1, dbf_->recordCount(), [&](uint32_t r, QByteArrayView rec) {
        if (visible(r, rec))
            ++n;
        return true;
    }));
    return n;
}

std::vector<bool> TApolloTable::VisibleRecords()
{
    requireActive();
    syncShared();
    std::vector<bool> inView(size_t(dbf_->recordCount()) + 1, false);
    check(dbf_->scan(1, dbf_->recordCount(), [&](uint32_t r, QByteArrayView rec) {
        if (r < inView.size() && visible(r, rec))
            inView[r] = true;
        return true;
    }));
    return inView;
}

uint32_t TApolloTable::RecCount()
{
    requireActive();
    syncShared();
    return dbf_->recordCount();
}

void TApolloTable::Query(const QByteArray &expression)
{
    requireBrowse("query");
    if (expression.trimmed().isEmpty()) {
        query_.reset();
        marks_.clear();
        marksActive_ = false;
    } else {
        auto e = Expression::compile(expression, dbf_->fields());
        if (!e)
            throw EApolloError(texts::invalidQuery(), e.status().message(), StatusKind::InvalidArgument);
        query_ = std::make_unique<Expression>(std::move(e.value()));
        marks_.clear();
        marksActive_ = false;
    }
    cursorRecno_ = 0;
    announce(TableEvent::AfterRefresh);
}

QByteArray TApolloTable::DBFilter() const
{
    requireActive();
    if (marksActive_)
        return markedFilterText();
    return query_ ? query_->text() : QByteArray();
}

void TApolloTable::SetQueryBit(uint32_t recno, bool on)
{
    requireActive();
    if (!marksActive_) {
        // After a cleared query, marking starts a view of marked records
        // only.
        query_.reset();
        marks_.clear();
        marksActive_ = true;
    }
    if (recno >= marks_.size())
        marks_.resize(size_t(recno) + 1, false);
    marks_[recno] = on;
    cursorRecno_ = 0;
}

void TApolloTable::Delete()
{
    requireActive();
    if (state_ == TableState::Inserting) {
        Cancel();
        return;
    }
    if (state_ == TableState::Editing)
        Cancel();
    if (recno_ == 0)
        throw EApolloError(QStringLiteral("No record to delete"), QString(), StatusKind::InvalidArgument);
    requireWritable();
    check(dbf_->lockRecord(recno_), texts::lockFailure());
    Status s = dbf_->writeDeletionFlag(recno_, dbf::kDeleted);
    (void)dbf_->unlockRecord(recno_);
    check(s);
    buffer_[0] = dbf::kDeleted;
    announce(TableEvent::AfterDelete);
    // The record leaves the view: stand on the next one, or the one before
    // when it was the last.
    if (!hideDeleted_)
        return;
    const uint32_t gone = recno_;
    const QByteArray goneBuffer = buffer_;
    bool found = order_ ? stepIndexOrder(+1) : stepRecordOrder(+1);
    if (!found) {
        recno_ = gone;
        buffer_ = goneBuffer;
        cursorRecno_ = 0;
        found = order_ ? stepIndexOrder(-1) : stepRecordOrder(-1);
        if (found) {
            bof_ = false;
            eof_ = true;
        }
    } else {
        bof_ = eof_ = false;
    }
    if (!found)
        setEmpty();
    announce(TableEvent::AfterScroll);
}

} // namespace verbana::xbase
