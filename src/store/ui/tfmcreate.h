// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace verbana::store {
class CollectionDocument;
}

namespace verbana::store::ui {

// "새 설교집 만들기": asks for the name of a new collection, makes its
// folders and its empty sermon table, and offers to open it. Placed at
// `anchor` (global coordinates) when it is not null. The caller runs
// RefuseWhileEditing before showing it.
class Tfmcreate : public QDialog {
    Q_OBJECT
public:
    Tfmcreate(CollectionDocument &document, const QPoint &anchor, QWidget *parent = nullptr);

    // 새 설교집 만들기 after the caller's RefuseWhileEditing: shows the
    // dialog modally; errors are reported inside. Returns createResult().
    static int Execute(CollectionDocument &document, const QPoint &anchor, QWidget *parent = nullptr);

    // CreateSermonTable's result once a table was attempted (1, -1, -2,
    // -3); 0 while none was.
    int createResult() const { return result_; }

    QLabel *Label1;
    QLineEdit *eName;
    QPushButton *btnCreate;
    QPushButton *btnCancel;

private:
    void btnCreateClick();

    CollectionDocument &document_;
    int result_ = 0;
};

} // namespace verbana::store::ui
