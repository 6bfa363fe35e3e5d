// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;
class QProgressBar;
class QPushButton;

namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class CollectionDocument;
}

namespace verbana::exchange::ui {

// "새 설교집으로 뽑아내기": binds the sermons in view of the open collection
// into a new collection beside it, under the name typed; a refused name
// keeps the window open for another try. After the extraction it asks
// whether to open the new collection; openRequested() tells the answer.
class TfmExtract : public QDialog {
    Q_OBJECT
public:
    TfmExtract(store::CollectionDocument &document, const QString &programFolder,
               QWidget *parent = nullptr);

    void btnCreateClick();
    // The new collection's table, once made.
    const QString &createdTable() const { return created_; }
    bool openRequested() const { return open_; }

    QLineEdit *eFname;
    QProgressBar *Gauge1;
    QPushButton *btnCreate, *btnCancel;

private:
    store::CollectionDocument &document_;
    QString programFolder_, created_;
    bool open_ = false;
};

} // namespace verbana::exchange::ui
