// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QPoint>

class QPushButton;
class QTableWidget;

namespace verbana::store {
class CollectionDocument;
}

namespace verbana::store::ui {

// "설교파일 열기": lists the collections of the program folder except the
// open one, counts a collection's sermons when its row is clicked, renames
// (through Tfminput) and deletes collections. 열기 and a double click
// accept the dialog; the caller then opens selectedName() with
// CollectionDocument::openNamedCollection. Placed at `anchor` (global
// coordinates) when it is not null; the input dialog uses the same anchor.
class Tfmopen : public QDialog {
    Q_OBJECT
public:
    // `openLabel`: CollectionLabel of the open collection's folder, empty
    // when none is open.
    Tfmopen(const QString &openLabel, const QPoint &anchor, QWidget *parent = nullptr);

    // 설교집 열기 after the caller's RefuseWhileEditing: shows the dialog
    // modally and, after 열기, opens the chosen collection. True when a
    // collection was opened. Engine errors of the opening are raised.
    static bool Execute(CollectionDocument &document, const QPoint &anchor, QWidget *parent = nullptr);

    // The name in the current row when the dialog was accepted ("" for the
    // empty row of an empty list).
    QString selectedName() const { return chosen_; }
    // The name in a row ("" for the empty row).
    QString nameAt(int row) const;
    QString countAt(int row) const;

    QTableWidget *StringGrid1;
    QPushButton *btnOpen;
    QPushButton *btnCancel;
    QPushButton *btnRename;
    QPushButton *btnDelete;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fill(const QString &openLabel);
    void countRow(int row);
    void btnOpenClick();
    void btnRenameClick();
    void btnDeleteClick();
    void setBusy(bool busy);
    QString currentName() const;

    QPoint anchor_;
    QString chosen_;
    bool busy_ = false;
};

} // namespace verbana::store::ui
