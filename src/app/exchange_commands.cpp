// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exchange_commands.h"

#include "editing/tfmverbdesk.h"
#include "exchange/foreign_tables.h"
#include "exchange/merge_extract.h"
#include "exchange/ui/tfmfnote.h"
#include "exchange/ui/tfmextract.h"
#include "exchange/ui/tfmhwp.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/xbase/apollo_table.h"
#include "store/collection_session.h"
#include "store/ui/tfmopen.h"

#include <QCoreApplication>
#include <QProgressBar>

#include <QMenu>
#include <QMenuBar>

namespace verbana {

namespace {

// Moves the main window's progress line to `done`, letting events run
// every 64 records so that it is drawn.
void moveLine(QProgressBar *bar, int done)
{
    bar->setValue(done);
    if (done % 64 == 0)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

// The end of a bulk command: its message, as an error when one ended it.
void tell(const QString &error, const QString &message)
{
    if (error.isEmpty())
        showInformation(message);
    else
        showError(message);
}

} // namespace

ExchangeCommands::ExchangeCommands(editing::Tfmverbdesk &window, store::CollectionSession &session)
    : QObject(&window), window_(window), session_(session)
{
    mnBatch_ = new QMenu(QStringLiteral("  일괄입력  "), &window);
    mnBatch_->setObjectName(QStringLiteral("mnBatch"));
    // Between 자료입력 and 찾아모으기.
    auto *gather = window.findChild<QMenu *>(QStringLiteral("mnGather"));
    window.menuBar()->insertMenu(gather ? gather->menuAction() : nullptr, mnBatch_);
    auto add = [this](const QString &caption, const char *name, void (ExchangeCommands::*slot)()) {
        QAction *a = mnBatch_->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        return a;
    };
    add(QStringLiteral("HWP 파일들 불러넣기"), "mnBatchHWP", &ExchangeCommands::mnBatchHWPClick);
    add(QStringLiteral("TXT, RTF 파일들 불러넣기"), "mnBatchTXT", &ExchangeCommands::mnBatchTXTClick);
    mnBatch_->addSeparator();
    add(QStringLiteral("\"Biblora\"의 Verbana파일에서"), "mnBiblora", &ExchangeCommands::mnBibloraClick);
    add(QStringLiteral("\"Notavia\" 파일에서"), "N37", &ExchangeCommands::N37Click);
    QMenu *file = window.fileMenu();
    QAction *exit = window.exitAction();
    auto addFile = [&](const QString &caption, const char *name, void (ExchangeCommands::*slot)()) {
        auto *a = new QAction(caption, file);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        file->insertAction(exit, a);
    };
    addFile(QStringLiteral("새 설교집으로 뽑아내기"), "N54", &ExchangeCommands::N54Click);
    addFile(QStringLiteral("다른 설교집 불러와서 합치기"), "N55", &ExchangeCommands::N55Click);
    file->insertSeparator(exit);
    mnBatch_->setEnabled(session.isOpen());
    connect(&session, &store::CollectionSession::collectionStateChanged, mnBatch_, &QMenu::setEnabled);
}

bool ExchangeCommands::mayImport()
{
    xbase::TApolloTable *table = window_.table();
    if (!table || !table->Active())
        return false;
    if (window_.changing()) {
        showInformation(QStringLiteral("자료 수정/추가 중입니다."));
        return false;
    }
    if (window_.refuseReadOnly())
        return false;
    window_.ReleaseGathering();
    return true;
}

void ExchangeCommands::mnBatchHWPClick()
{
    // The conversion writes its work files into the program's folder.
    if (!files::isFixedLocalFolder(paths::programFolder())) {
        showInformation(QStringLiteral("하드디스크에서만 실행 가능합니다."));
        return;
    }
    if (!mayImport())
        return;
    exchange::ui::Tfmhwp dialog(*window_.table(), window_.CollectionFolder(), &window_);
    dialog.setAfterRun([this] { window_.RefreshManuscriptView(); });
    runModal(&dialog);
}

void ExchangeCommands::mnBatchTXTClick()
{
    if (!mayImport())
        return;
    exchange::ui::TfmRTF dialog(*window_.table(), window_.CollectionFolder(), &window_);
    dialog.setAfterRun([this] { window_.RefreshManuscriptView(); });
    runModal(&dialog);
}

void ExchangeCommands::mnBibloraClick()
{
    if (!mayImport())
        return;
    const QString file = chooseOpenFile(QStringLiteral("Biblora, Verbana용 파일 열기"), QString(),
                                        QStringLiteral("Biblora,Verbana (*.dbf *.DBF)"));
    if (file.trimmed().isEmpty())
        return;
    xbase::TApolloTable Table2;
    try {
        exchange::openForeign(Table2, file);
    } catch (const EUserError &) {
        showInformation(QStringLiteral("Biblora의 Verbana 파일이 맞습니까?\r파일을 열 수 없습니다."));
        return;
    }
    if (!exchange::isBibloraTable(Table2)) {
        showInformation(QStringLiteral("Biblora의 Verbana 파일이 아닙니다."));
        return;
    }
    QProgressBar *bar = window_.progressLine();
    bar->setRange(0, int(std::max<uint32_t>(Table2.Count(), 1)));
    bar->setValue(0);
    const exchange::CopyOutcome outcome =
        exchange::importBiblora(*window_.table(), window_.CollectionFolder(), Table2,
                                [bar](int done) { moveLine(bar, done); });
    bar->setValue(0);
    window_.RefreshManuscriptView();
    tell(outcome.error, outcome.message());
}

void ExchangeCommands::N37Click()
{
    if (!mayImport())
        return;
    exchange::ui::Tfmfnote dialog(*window_.table(), window_.CollectionFolder(), &window_);
    dialog.setAfterRun([this] { window_.RefreshManuscriptView(); });
    runModal(&dialog);
}

static QString noCollectionText() { return QStringLiteral("열려 있는 설교집이 없습니다.\r먼저 설교집을 여십시오."); }

bool ExchangeCommands::mayMove(bool changes)
{
    if (window_.RefuseWhileEditing())
        return false;
    xbase::TApolloTable *table = window_.table();
    if (!table || !table->Active()) {
        showInformation(noCollectionText());
        return false;
    }
    return !changes || !window_.refuseReadOnly();
}

void ExchangeCommands::N54Click()
{
    if (!mayMove(false))
        return;
    QString created;
    {
        exchange::ui::TfmExtract dialog(*window_.table(), window_.CollectionFolder(), paths::programFolder(), &window_);
        dialog.move(window_.dialogAnchor());
        if (runModal(&dialog) != QDialog::Accepted || !dialog.openRequested())
            return;
        created = dialog.createdTable();
    }
    session_.OpenCollection(created);
}

void ExchangeCommands::N55Click()
{
    if (!mayMove(true))
        return;
    QString name;
    {
        store::ui::Tfmopen chooser(session_.openLabel(), window_.dialogAnchor(), &window_);
        if (runModal(&chooser) != QDialog::Accepted)
            return;
        name = chooser.selectedName();
    }
    if (name.isEmpty())
        return;
    QProgressBar *bar = window_.progressLine();
    bar->setValue(0);
    bar->show();
    exchange::MergeOutcome outcome;
    try {
        outcome = exchange::mergeCollection(*window_.table(), window_.CollectionFolder(),
                                            paths::resolve(paths::programFolder(), name), [bar](int done, int total) {
                                                bar->setRange(0, std::max(total, 1));
                                                moveLine(bar, done);
                                            });
    } catch (...) {
        bar->setValue(0);
        throw;
    }
    bar->setValue(0);
    window_.RefreshManuscriptView();
    tell(outcome.error, outcome.message());
}

} // namespace verbana
