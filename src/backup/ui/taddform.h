// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QListWidget;
class QPushButton;

namespace verbana::backup::ui {

// "압축 저장": which collection a ZIP backup takes and the archive it goes
// into. Accepted, collection() and archive() are the choice.
class TAddForm : public QDialog {
    Q_OBJECT
public:
    explicit TAddForm(QWidget *parent = nullptr);

    QString collection() const { return collection_; }
    QString archive() const { return archive_; }

    QListWidget *ListBox1;
    QPushButton *btnStart;
    QPushButton *btnCancel;

private:
    void btnStartClick();

    QString collection_;
    QString archive_;
};

} // namespace verbana::backup::ui
