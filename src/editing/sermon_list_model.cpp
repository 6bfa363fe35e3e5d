// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/sermon_list_model.h"

#include "platform/commands.h"
#include "platform/cp949.h"
#include "store/batch_scope.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"

#include <algorithm>

namespace verbana::editing {

using xbase::TableEvent;
using xbase::TableState;

namespace {
constexpr int kCachedRecords = 512;
} // namespace

SermonListModel::SermonListModel(QObject *parent) : QAbstractTableModel(parent), cache_(kCachedRecords) {}

SermonListModel::~SermonListModel() = default;

void SermonListModel::setTable(xbase::TApolloTable *table)
{
    deletedHere_.clear();
    recordCount_ = 0;
    disconnect(changed_);
    disconnect(thawed_);
    disconnect(destroyed_);
    table_ = table;
    if (table_) {
        // Reading the table again can fail (a damaged or vanished file):
        // the error goes to the command whose change the list follows,
        // never through the table's notification.
        changed_ = connect(table_, &xbase::TApolloTable::dataChanged, this,
                           [this](const xbase::TableNotification &n) { runCommand([&] { onDataChanged(n); }); });
        thawed_ = connect(table_, &xbase::TApolloTable::controlsThawed, this, asCommand([this] {
                              if (!walking_)
                                  refresh();
                          }));
        destroyed_ = connect(table_, &QObject::destroyed, this, [this] {
            table_ = nullptr;
            refresh();
        });
    }
    refresh();
}

int SermonListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

int SermonListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(store::listColumnOrder().size());
}

int SermonListModel::fieldOfColumn(int column)
{
    const auto &order = store::listColumnOrder();
    return column >= 0 && column < int(order.size()) ? order[size_t(column)] : 0;
}

const QByteArray *SermonListModel::record(uint32_t recno) const
{
    if (!table_ || !table_->Active())
        return nullptr;
    // The record being changed shows what has been typed so far.
    if (recno == table_->RecNo() && table_->State() != TableState::Browse)
        return &table_->recordBuffer();
    if (const QByteArray *cached = cache_.object(recno))
        return cached;
    auto rec = std::make_unique<QByteArray>();
    if (!table_->dbf()->readRecord(recno, *rec).isOk())
        return nullptr;
    ++reads_;
    if (!rec->isEmpty() && rec->at(0) == '*' && xbase::TApolloEnv::instance().Deleted) {
        // A deleted record listed from the index: it leaves the list as soon
        // as the view is done asking.
        deleted_.push_back(recno);
        if (!pruneQueued_) {
            pruneQueued_ = true;
            QMetaObject::invokeMethod(const_cast<SermonListModel *>(this), &SermonListModel::pruneDeleted,
                                      Qt::QueuedConnection);
        }
        return nullptr;
    }
    const QByteArray *kept = rec.get();
    cache_.insert(recno, rec.release());
    return kept;
}

QVariant SermonListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(rows_.size()))
        return {};
    const int field = fieldOfColumn(index.column());
    const QByteArray *rec = record(rows_[size_t(index.row())]);
    if (!rec || field < 1 || field > table_->FieldCount())
        return {};
    const auto &f = table_->fields()[size_t(field - 1)];
    if (f.offset + f.length > rec->size())
        return {};
    return cp949::decode(cp949::trimRight(QByteArrayView(*rec).sliced(f.offset, f.length)));
}

QVariant SermonListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const int field = fieldOfColumn(section);
    return field ? store::sermonFields()[size_t(field - 1)].labelText() : QVariant();
}

int SermonListModel::rowOf(uint32_t recno) const
{
    const auto it = std::find(rows_.begin(), rows_.end(), recno);
    return it == rows_.end() ? -1 : int(it - rows_.begin());
}

uint32_t SermonListModel::recnoAt(int row) const
{
    return row >= 0 && row < int(rows_.size()) ? rows_[size_t(row)] : 0;
}

void SermonListModel::refresh()
{
    beginResetModel();
    rows_.clear();
    cache_.clear();
    deleted_.clear();
    if (table_ && table_->Active() && table_->State() == TableState::Browse) {
        // Everything bound to the table is kept out of the look-up, and the
        // current record stays current.
        walking_ = true;
        try {
            store::BatchScope quiet(*table_, {.busyCursor = false});
            if (!rowsFromIndex())
                rowsFromWalk();
        } catch (...) {
            // An empty list until the table can be read again: once more
            // when the events run, then at its next change.
            walking_ = false;
            rows_.clear();
            endResetModel();
            if (!retryQueued_) {
                retryQueued_ = true;
                QMetaObject::invokeMethod(this, &SermonListModel::retry, Qt::QueuedConnection);
            }
            throw;
        }
        walking_ = false;
    }
    endResetModel();
}

void SermonListModel::retry()
{
    // The failure was reported when it happened; a second one in a row
    // leaves the list empty until the table changes.
    try {
        refresh();
    } catch (...) {
    }
    retryQueued_ = false;
}

bool SermonListModel::rowsFromIndex()
{
    // The rows come from the index (or the record numbers) whatever is in
    // view: marked records need no record read, a query is evaluated in
    // one sequential read of the file, then the order's tag lists them.
    const bool marked = table_->marksInView();
    std::vector<bool> inView;
    if (!marked && !table_->DBFilter().isEmpty())
        inView = table_->VisibleRecords();
    const bool queried = !inView.empty();
    const uint32_t count = table_->RecCount();
    if (count < recordCount_)
        deletedHere_.clear(); // packed: the numbers are new
    recordCount_ = count;
    std::sort(deletedHere_.begin(), deletedHere_.end());
    const auto listed = [this, marked, queried, &inView](uint32_t recno) {
        if (marked && !table_->isMarked(recno))
            return false;
        if (queried && (recno >= inView.size() || !inView[recno]))
            return false;
        return !std::binary_search(deletedHere_.begin(), deletedHere_.end(), recno);
    };
    const int order = table_->IndexOrd();
    if (order == 0) {
        rows_.reserve(count);
        for (uint32_t recno = 1; recno <= count; ++recno)
            if (listed(recno))
                rows_.push_back(recno);
        return true;
    }
    // Going to the top brings the table's index up to date with what other
    // programs wrote; then the tag alone gives the rows.
    table_->GoTop();
    xbase::CdxIndex *index = table_->index();
    auto cursor = index ? index->cursor(order) : nullptr;
    if (!cursor || !cursor->first().isOk())
        return false;
    while (cursor->valid()) {
        if (listed(cursor->recno()))
            rows_.push_back(cursor->recno());
        if (!cursor->next().isOk()) {
            rows_.clear();
            return false;
        }
    }
    return true;
}

void SermonListModel::rowsFromWalk() { rows_ = store::recordsInView(*table_); }

void SermonListModel::pruneDeleted()
{
    pruneQueued_ = false;
    std::vector<uint32_t> gone;
    gone.swap(deleted_);
    for (uint32_t recno : gone) {
        const int row = rowOf(recno);
        if (row < 0)
            continue;
        beginRemoveRows(QModelIndex(), row, row);
        rows_.erase(rows_.begin() + row);
        cache_.remove(recno);
        endRemoveRows();
    }
}

void SermonListModel::onDataChanged(const xbase::TableNotification &n)
{
    if (walking_)
        return;
    switch (n.event) {
    case TableEvent::AfterScroll:
    case TableEvent::AfterInsert:
        break;
    case TableEvent::AfterEdit:
    case TableEvent::AfterCancel: {
        const int row = rowOf(table_->RecNo());
        cache_.remove(table_->RecNo());
        if (row >= 0)
            Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        break;
    }
    case TableEvent::AfterDelete: {
        deletedHere_.push_back(table_->RecNo());
        const int row = rowOf(table_->RecNo());
        if (row >= 0) {
            beginRemoveRows(QModelIndex(), row, row);
            rows_.erase(rows_.begin() + row);
            cache_.remove(table_->RecNo());
            endRemoveRows();
        }
        break;
    }
    case TableEvent::AfterPost:
    case TableEvent::AfterRefresh:
        refresh();
        break;
    }
}

} // namespace verbana::editing
