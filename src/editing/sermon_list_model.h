// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/apollo_table.h"

#include <QAbstractTableModel>
#include <QByteArray>
#include <QCache>

#include <vector>

// The sermon list: the records in view of the open sermon table, in the
// order in force, one row per record and the list columns of the sermon
// record. The model keeps only the record numbers of its rows; the records
// themselves are read when a row is shown and kept in a small cache, so a
// table of any size scrolls without being loaded.
//
// Without a query the rows come from the index tag of the order in force
// (or are the record numbers themselves in record order), so no record is
// read to list them. A record found deleted when its row is first shown
// leaves the list right after. With marked records in view the same rows
// are kept when marked; with a query, when the engine finds them in view in
// one sequential read of the file (no record is read per row).
//
// While the table's controls are frozen the model ignores it and refreshes
// once when they are thawed.
namespace verbana::editing {

class SermonListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SermonListModel(QObject *parent = nullptr);
    ~SermonListModel() override;

    // The table to show (not owned), or nullptr.
    void setTable(xbase::TApolloTable *table);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The row of a record, -1 when it is not in view.
    int rowOf(uint32_t recno) const;
    uint32_t recnoAt(int row) const;
    // True when the row's record can be shown (it is not a deleted record
    // waiting to leave the list).
    bool showsRow(int row) const { return row >= 0 && row < int(rows_.size()) && record(rows_[size_t(row)]); }
    // The field number shown in a column.
    static int fieldOfColumn(int column);

    // A record deleted while the table's controls were frozen: it stays out
    // of the rows from the refresh that the thaw brings.
    void noteDeleted(uint32_t recno) { deletedHere_.push_back(recno); }
    // Rebuilds the rows from the table (the order or the view changed). When
    // the table cannot be read the list is left empty, read once more when
    // the events run, and the error raised.
    void refresh();
    // Records read from the file since the model was made (for tests).
    quint64 recordReads() const { return reads_; }

private:
    void onDataChanged(const xbase::TableNotification &n);
    bool rowsFromIndex();
    void rowsFromWalk();
    void pruneDeleted();
    void retry();
    const QByteArray *record(uint32_t recno) const;

    xbase::TApolloTable *table_ = nullptr;
    std::vector<uint32_t> rows_;
    mutable QCache<uint32_t, QByteArray> cache_;
    mutable quint64 reads_ = 0;
    bool walking_ = false;
    bool retryQueued_ = false;
    mutable std::vector<uint32_t> deleted_; // found deleted when shown
    mutable bool pruneQueued_ = false;
    // Records deleted while the model watched, kept out of the rows until a
    // pack renumbers the file.
    std::vector<uint32_t> deletedHere_;
    uint32_t recordCount_ = 0;
    QMetaObject::Connection changed_, thawed_, destroyed_;
};

} // namespace verbana::editing
