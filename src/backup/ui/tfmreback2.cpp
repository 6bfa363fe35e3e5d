// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/tfmreback2.h"

#include "backup/collection_restore.h"
#include "backup/ui/backup_controls.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "store/collection_lifecycle.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace verbana::backup::ui {

Tfmreback2::Tfmreback2(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmreback2"));
    setWindowTitle(QStringLiteral("백업파일 재생 위치"));
    setProperty("helpTopic", 2600);

    RadioButton1 = new QRadioButton(QStringLiteral("기존 파일에 덮어쓰기"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    describe(ListBox1, QStringLiteral("설교집 목록"));
    RadioButton2 = new QRadioButton(QStringLiteral("새 파일로 재생하기"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    auto *label = new QLabel(QStringLiteral("새 파일명:"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    label->setBuddy(Edit1);
    describe(Edit1, QStringLiteral("새 파일명:"));
    dropCharacters(Edit1, refusedNameCharacters());
    btnOK = new QPushButton(QStringLiteral("확인"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("취소"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(RadioButton1, 0, 0, 1, 2);
    grid->addWidget(ListBox1, 1, 0, 1, 2);
    grid->addWidget(RadioButton2, 2, 0, 1, 2);
    grid->addWidget(label, 3, 0);
    grid->addWidget(Edit1, 3, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    grid->addLayout(buttons, 4, 0, 1, 2);

    fillCollectionList(ListBox1);
    optionChanged();
    connect(RadioButton1, &QRadioButton::toggled, this, &Tfmreback2::optionChanged);
    connect(btnOK, &QPushButton::clicked, this, asCommand([this] { btnOKClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(300, 320);
}

void Tfmreback2::optionChanged()
{
    ListBox1->setEnabled(RadioButton1->isChecked());
    Edit1->setEnabled(RadioButton2->isChecked());
}

void Tfmreback2::btnOKClick()
{
    if (RadioButton2->isChecked()) {
        target_ = checkedNewName(Edit1, refusedNameCharacters(), QStringLiteral("새 파일명을 입력하십시오."),
                                 QStringLiteral("이미 존재하는 파일명입니다.\r새로운 파일명을 입력하십시오."));
        if (target_.isEmpty())
            return;
    } else {
        const QString name = currentCollection(ListBox1);
        if (name.isEmpty()) {
            RadioButton2->setChecked(true);
            showInformation(QStringLiteral("새로운 파일명을 입력해주십시오."));
            Edit1->setFocus();
            return;
        }
        target_ = name;
    }
    accept();
}

} // namespace verbana::backup::ui
