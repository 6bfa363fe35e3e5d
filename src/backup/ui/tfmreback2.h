// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace verbana::backup::ui {

// "백업파일 재생 위치": where a BCK archive is restored, over an existing
// collection or as a new one. Accepted, targetName() is the collection.
class Tfmreback2 : public QDialog {
    Q_OBJECT
public:
    explicit Tfmreback2(QWidget *parent = nullptr);

    QString targetName() const { return target_; }

    QRadioButton *RadioButton1; // 기존 파일에 덮어쓰기
    QListWidget *ListBox1;
    QRadioButton *RadioButton2; // 새 파일로 재생하기
    QLineEdit *Edit1;
    QPushButton *btnOK;
    QPushButton *btnCancel;

private:
    void optionChanged();
    void btnOKClick();

    QString target_;
};

} // namespace verbana::backup::ui
