// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/textract.h"

#include "backup/collection_restore.h"
#include "backup/ui/backup_controls.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "store/collection_lifecycle.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace verbana::backup::ui {

TExtract::TExtract(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Extract"));
    setWindowTitle(QStringLiteral("압축 해제"));
    auto *label = new QLabel(QStringLiteral("해제할 목적지"), this);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    label->setBuddy(Edit1);
    describe(Edit1, QStringLiteral("해제할 목적지"));
    dropCharacters(Edit1, refusedZipNameCharacters());
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    describe(ListBox1, QStringLiteral("설교집 목록"));
    RadioButton1 = new QRadioButton(QStringLiteral("새설교집을 만들어서 압축 해제"), this);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setChecked(true);
    RadioButton2 = new QRadioButton(QStringLiteral("기존 설교집에 덮어쓰기"), this);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    QBoxLayout *buttons = startAndCancel(this, btnStart, btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(Edit1);
    layout->addWidget(ListBox1, 1);
    layout->addWidget(RadioButton1);
    layout->addWidget(RadioButton2);
    layout->addLayout(buttons);
    fillCollectionList(ListBox1);
    connect(btnStart, &QPushButton::clicked, this, asCommand([this] { btnStartClick(); }));
    resize(300, 340);
}

bool TExtract::isNewCollection() const { return RadioButton1->isChecked(); }

void TExtract::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        const QString current = currentCollection(ListBox1);
        fillCollectionList(ListBox1);
        chooseCollection(ListBox1, current);
    }
}

void TExtract::btnStartClick()
{
    if (RadioButton1->isChecked()) {
        target_ = checkedNewName(Edit1, refusedZipNameCharacters(), QStringLiteral("새설교집의 이름을 입력하십시오."),
                                 QStringLiteral("이미 존재하는 설교집입니다."));
        if (target_.isEmpty())
            return;
    } else {
        const QString name = currentCollection(ListBox1);
        if (name.isEmpty()) {
            showInformation(QStringLiteral("기존설교집을 다시 선택하여 주십시오."));
            RadioButton1->setChecked(true);
            Edit1->setFocus();
            return;
        }
        target_ = name;
    }
    accept();
}

} // namespace verbana::backup::ui
