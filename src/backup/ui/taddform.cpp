// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/taddform.h"

#include "backup/ui/backup_controls.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::backup::ui {

TAddForm::TAddForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddForm"));
    setWindowTitle(QStringLiteral("압축 저장"));
    auto *label = new QLabel(QStringLiteral("저장할 대상 파일 (선택)"), this);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    label->setBuddy(ListBox1);
    describe(ListBox1, QStringLiteral("저장할 대상 파일 (선택)"));
    QBoxLayout *buttons = startAndCancel(this, btnStart, btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(buttons);
    fillCollectionList(ListBox1);
    connect(btnStart, &QPushButton::clicked, this, asCommand([this] { btnStartClick(); }));
    resize(280, 300);
}

void TAddForm::btnStartClick()
{
    const QString name = currentCollection(ListBox1);
    if (name.isEmpty()) {
        showInformation(QStringLiteral("저장할 대상파일을 다시 선택하십시오."));
        return;
    }
    const QString chosen = chooseSaveFile(QStringLiteral("무슨 이름으로 저장할까요?"), paths::programFolder(),
                                          QStringLiteral("압축파일(zip) (*.zip)"));
    if (chosen.isEmpty())
        return;
    // The chooser asked about the name as typed; a name that only has its
    // extension added here is asked about here.
    const QString archive = withDefaultExtension(chosen, QStringLiteral("zip"));
    if (archive != chosen && QFileInfo::exists(archive)
        && !confirm(QStringLiteral("%1 파일이 이미 있습니다.\r바꾸시겠습니까?").arg(archive)))
        return;
    collection_ = name;
    archive_ = archive;
    accept();
}

} // namespace verbana::backup::ui
