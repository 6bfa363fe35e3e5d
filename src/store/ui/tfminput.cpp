// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ui/tfminput.h"

#include "platform/help.h"

#include "store/ui/refused_keys.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::store::ui {

Tfminput::Tfminput(const QPoint &anchor, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fminput"));
    setWindowTitle(QStringLiteral("입력 대화상자"));
    setProperty(kHelpTopicProperty, 10);

    lbText = new QLabel(QStringLiteral("아래에 입력하십시오."), this);
    lbText->setObjectName(QStringLiteral("lbText"));
    lbText->setWordWrap(true);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    lbText->setBuddy(Edit1);
    btnOK = new QPushButton(QStringLiteral("확인"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("취소"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lbText);
    layout->addWidget(Edit1);
    layout->addLayout(buttons);

    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    Edit1->setFocus();
    setMinimumWidth(300);
    placeAt(this, anchor);
}

void Tfminput::setText(const QString &text) { lbText->setText(text); }

QString Tfminput::text() const { return Edit1->text(); }

void Tfminput::setValue(const QString &value) { Edit1->setText(value); }

void Tfminput::setFileNameOnly(bool on)
{
    if (on && !refuser_) {
        refuser_ = new RefusedKeys(QStringLiteral("\"*,./:<>?\\|"), this);
        Edit1->installEventFilter(refuser_);
    } else if (!on && refuser_) {
        Edit1->removeEventFilter(refuser_);
        delete refuser_;
        refuser_ = nullptr;
    }
}

} // namespace verbana::store::ui
