// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ui/tfmextract.h"
#include "platform/progress_bar.h"

#include "exchange/ui/batch_import_window.h"

#include "exchange/merge_extract.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/sermon_record.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::exchange::ui {

TfmExtract::TfmExtract(store::CollectionDocument &document, const QString &programFolder,
                       QWidget *parent)
    : QDialog(parent), document_(document), programFolder_(programFolder)
{
    setObjectName(QStringLiteral("fmExtract"));
    setWindowTitle(QStringLiteral("새 설교집으로 뽑아내기"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    auto *intro = new QLabel(QStringLiteral("현재 설교목록에 나타난(검색되어진) 설교문들을\r\n새로운 설교집으로 다시 묶어 냅니다.")
                                 .replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                             this);
    auto *caption = new QLabel(QStringLiteral("새 설교집 이름:"), this);
    eFname = new QLineEdit(this);
    eFname->setObjectName(QStringLiteral("eFname"));
    describe(eFname, QStringLiteral("새 설교집 이름"));
    caption->setBuddy(eFname);
    Gauge1 = progressLine(this, 4, QStringLiteral("blue"));
    Gauge1->hide();
    btnCreate = new QPushButton(QStringLiteral("시작"), this);
    btnCreate->setObjectName(QStringLiteral("btnCreate"));
    btnCreate->setDefault(true);
    describe(btnCreate, QStringLiteral("시작"));
    btnCancel = new QPushButton(QStringLiteral("취소"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    describe(btnCancel, QStringLiteral("취소"));

    auto *nameRow = new QHBoxLayout;
    nameRow->addWidget(caption);
    nameRow->addWidget(eFname, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnCreate);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(nameRow);
    layout->addWidget(Gauge1);
    layout->addLayout(buttons);

    connect(btnCreate, &QPushButton::clicked, this, asCommand([this] { btnCreateClick(); }));
    connect(btnCancel, &QPushButton::clicked, this, &TfmExtract::reject);
    eFname->setFocus();
}

void TfmExtract::btnCreateClick()
{
    const QString name = eFname->text().trimmed();
    const QString refusal = refusedCollectionName(name, programFolder_);
    if (!refusal.isEmpty()) {
        showInformation(refusal);
        eFname->setFocus();
        return;
    }
    const QString folder = programFolder_ + QLatin1Char('/') + name;
    btnCreate->setEnabled(false);
    Gauge1->setValue(0);
    Gauge1->show();
    try {
        BarProgress progress(Gauge1, QEventLoop::ExcludeUserInputEvents);
        extractCollection(document_, folder, &progress);
    } catch (const EUserError &e) {
        Gauge1->hide();
        showError(e.text());
        reject();
        return;
    }
    Gauge1->hide();
    created_ = folder + QLatin1Char('/') + store::sermonTableName();
    open_ = confirm(openExtractedQuestion());
    accept();
}

} // namespace verbana::exchange::ui
