// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/tfmqhwp.h"

#include "editing/form_parts.h"
#include "platform/described.h"
#include "platform/help.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "settings/profile.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::editing {

TfmQhwp::TfmQhwp(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmQhwp"));
    setProperty(kHelpTopicProperty, 10);
    setWindowTitle(QStringLiteral("아래아 한글을 실행할까요?"));
    auto *column = new QVBoxLayout(this);
    auto *title = makeLabel(QStringLiteral("아래아 한글을 실행하시겠습니까?"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    title->setStyleSheet(QStringLiteral("color: blue; font-weight: bold"));
    auto *question = makeLabel(QStringLiteral("아래아 한글에서 \r\n현재 설교자료를 수정하시겠습니까?"), this);
    question->setObjectName(QStringLiteral("lblQuestion"));
    auto *note = makeLabel(QStringLiteral("아래아 한글을 실행하면\r\nVerbana가 보이지 않게 됩니다.\r\n"
                                          "하지만 아래아 한글에서 작업을 끝내고\r\n종료하면 다시 Verbana가 나타납니다."),
                           this);
    note->setObjectName(QStringLiteral("lblNote"));
    cbNoMore_ = new QCheckBox(QStringLiteral("이 메세지를 다음부터 보이지 않게 함."), this);
    cbNoMore_->setObjectName(QStringLiteral("cbNoMore"));
    describe(cbNoMore_, cbNoMore_->text());
    auto *run = makeButton(QStringLiteral("실행"), QString(), QStringLiteral("btnRun"), this);
    auto *cancel = makeButton(QStringLiteral("취소"), QString(), QStringLiteral("btnCancel"), this);
    run->setDefault(true);
    run->setAutoDefault(true);
    cancel->setAutoDefault(false);
    connect(run, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(run);
    buttons->addWidget(cancel);
    column->addWidget(title);
    column->addWidget(question);
    column->addWidget(note);
    column->addWidget(cbNoMore_);
    column->addLayout(buttons);
    run->setFocus();
}

bool TfmQhwp::dontAskAgain() const { return cbNoMore_->isChecked(); }

bool askToStartHwp(QWidget *parent)
{
    const settings::Profile ini(settings::iniPath());
    if (ini.readBool(QStringLiteral("하안글"), QStringLiteral("Q실행"), false))
        return true;
    TfmQhwp dialog(parent);
    const int result = runModal(&dialog);
    ini.writeBool(QStringLiteral("하안글"), QStringLiteral("Q실행"), dialog.dontAskAgain());
    return result == QDialog::Accepted;
}

} // namespace verbana::editing
