// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/tfmzip.h"

#include "backup/ui/taddform.h"
#include "backup/ui/textract.h"
#include "backup/zip_archive.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace verbana::backup::ui {

namespace {

QProgressBar *bar(const char *name, const QString &label, QWidget *parent)
{
    auto *b = new QProgressBar(parent);
    b->setObjectName(QLatin1String(name));
    b->setRange(1, 100);
    b->setValue(1);
    describe(b, label);
    return b;
}

} // namespace

TfmZip::TfmZip(QWidget *parent)
    : QDialog(parent), progress_([this](const Progress::Report &report) { showProgress(report); })
{
    setObjectName(QStringLiteral("fmZip"));
    setWindowTitle(QStringLiteral("백업 저장/해제"));
    btnBackup = new QPushButton(QStringLiteral("백업 저장"), this);
    btnBackup->setObjectName(QStringLiteral("btnBackup"));
    btnRestore = new QPushButton(QStringLiteral("백업 되살리기"), this);
    btnRestore->setObjectName(QStringLiteral("btnRestore"));
    btnClose = new QPushButton(QStringLiteral("닫기"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    for (QPushButton *b : {btnBackup, btnRestore, btnClose})
        b->setAutoDefault(false);
    ProgressBar1 = bar("ProgressBar1", QStringLiteral("파일 진행률"), this);
    ProgressBar2 = bar("ProgressBar2", QStringLiteral("전체 진행률"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnBackup);
    buttons->addWidget(btnRestore);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(ProgressBar1);
    layout->addWidget(ProgressBar2);
    connect(btnBackup, &QPushButton::clicked, this, asCommand([this] { btnBackupClick(); }));
    connect(btnRestore, &QPushButton::clicked, this, asCommand([this] { btnRestoreClick(); }));
    connect(btnClose, &QPushButton::clicked, this, &TfmZip::reject);
    resize(360, 120);
}

void TfmZip::showProgress(const Progress::Report &report)
{
    ProgressBar1->setValue(qBound(1, report.itemPercent, 100));
    ProgressBar2->setValue(qMax(1, report.total == 0 ? 100 : report.percent()));
    QCoreApplication::processEvents();
}

void TfmZip::setRunning(bool on)
{
    running_ = on;
    for (QPushButton *b : {btnBackup, btnRestore})
        b->setEnabled(!on);
}

bool TfmZip::succeeded(const Outcome<void> &run)
{
    if (!run.ok() && run.fault() != Fault::Stopped)
        showError(run.reason());
    return run.ok();
}

void TfmZip::reject()
{
    if (running_) {
        progress_.requestStop();
        return;
    }
    QDialog::reject();
}

void TfmZip::closeEvent(QCloseEvent *event)
{
    if (running_) {
        progress_.requestStop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfmZip::btnBackupClick()
{
    QString collection, archive;
    {
        TAddForm source(this);
        if (runModal(&source) != QDialog::Accepted)
            return;
        collection = source.collection();
        archive = source.archive();
    }
    const QString folder = paths::resolve(paths::programFolder(), collection);
    progress_.clearStopRequest();
    setRunning(true);
    const Outcome<void> packed = packCollection(folder, archive, &progress_);
    setRunning(false);
    if (succeeded(packed))
        accept();
}

void TfmZip::btnRestoreClick()
{
    const QString archive = chooseOpenFile(QStringLiteral("압축 파일 풀기"), paths::programFolder(),
                                           QStringLiteral("압축파일(ZIP) (*.zip)"));
    if (archive.isEmpty())
        return;
    QString name;
    {
        TExtract target(this);
        if (runModal(&target) != QDialog::Accepted)
            return;
        name = target.target();
    }
    const Outcome<ZipDirectory> directory = readCollectionArchive(archive);
    if (!directory.ok()) {
        showError(directory.reason());
        return;
    }
    progress_.clearStopRequest();
    setRunning(true);
    const Outcome<void> unpacked = unpackCollection(archive, directory.value(), name, &progress_);
    setRunning(false);
    if (succeeded(unpacked))
        accept();
}

} // namespace verbana::backup::ui
