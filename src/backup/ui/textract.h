// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace verbana::backup::ui {

// "압축 해제": the collection a ZIP backup is restored as, a new one by its
// name or an existing one. Accepted, target() is the collection's name.
class TExtract : public QDialog {
    Q_OBJECT
public:
    explicit TExtract(QWidget *parent = nullptr);

    QString target() const { return target_; }
    bool isNewCollection() const;

    QLineEdit *Edit1;
    QListWidget *ListBox1;
    QRadioButton *RadioButton1; // 새설교집을 만들어서 압축 해제
    QRadioButton *RadioButton2; // 기존 설교집에 덮어쓰기
    QPushButton *btnStart;
    QPushButton *btnCancel;

protected:
    void changeEvent(QEvent *event) override;

private:
    void btnStartClick();

    QString target_;
};

} // namespace verbana::backup::ui
