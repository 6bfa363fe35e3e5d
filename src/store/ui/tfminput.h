// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace verbana::store::ui {

class RefusedKeys;

// The one-line input dialog "입력 대화상자": a text above one box and the
// buttons 확인 (default) and 취소. Placed at `anchor` (global coordinates)
// when it is not null.
class Tfminput : public QDialog {
    Q_OBJECT
public:
    explicit Tfminput(const QPoint &anchor, QWidget *parent = nullptr);

    void setText(const QString &text); // replaces "아래에 입력하십시오."
    QString text() const; // what the box holds, as typed
    void setValue(const QString &value);
    // When set, the box takes none of " * , . / : < > ? \ |.
    void setFileNameOnly(bool on);

    QLabel *lbText;
    QLineEdit *Edit1;
    QPushButton *btnOK;
    QPushButton *btnCancel;

private:
    RefusedKeys *refuser_ = nullptr;
};

} // namespace verbana::store::ui
