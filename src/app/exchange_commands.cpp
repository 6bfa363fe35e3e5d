// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/exchange_commands.h"

#include "exchange/batch_import.h"
#include "exchange/foreign_tables.h"
#include "exchange/merge_extract.h"
#include "exchange/ui/tfmfnote.h"
#include "exchange/ui/tfmextract.h"
#include "exchange/ui/tfmhwp.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "platform/progress_bar.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/xbase/apollo_table.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"
#include "store/ui/tfmopen.h"

#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>

namespace verbana {

namespace {

// The main window's progress line for a bulk run: moving while the run
// goes, back at the start when it ends however it ends. What the user
// types meanwhile waits.
class LineProgress : public BarProgress {
public:
    explicit LineProgress(QProgressBar *bar) : BarProgress(bar, QEventLoop::ExcludeUserInputEvents), bar_(bar)
    {
        bar_->setValue(0);
        bar_->show();
    }
    ~LineProgress() override { bar_->setValue(0); }

private:
    QProgressBar *bar_;
};

// The end of a bulk command: its message, as an error when an error ended
// it or records were missing.
void tell(bool complete, const QString &message)
{
    if (complete)
        showInformation(message);
    else
        showError(message);
}

} // namespace

using store::ui::CommandHost;

ExchangeCommands::ExchangeCommands(CommandHost &host)
    : QObject(host.mainWindow()), host_(host), document_(host.document())
{
    // Between 자료입력 and 찾아모으기.
    mnBatch_ = host.addMenu(QStringLiteral("  일괄입력  "), QStringLiteral("mnBatch"),
                            host.menuNamed(QStringLiteral("mnGather")));
    auto add = [this](const QString &caption, const char *name, void (ExchangeCommands::*slot)()) {
        return CommandHost::addCommand(mnBatch_, caption, QLatin1String(name), [this, slot] { (this->*slot)(); });
    };
    add(QStringLiteral("HWP 파일들 불러넣기"), "mnBatchHWP", &ExchangeCommands::mnBatchHWPClick);
    add(QStringLiteral("TXT, RTF 파일들 불러넣기"), "mnBatchTXT", &ExchangeCommands::mnBatchTXTClick);
    mnBatch_->addSeparator();
    add(QStringLiteral("\"Biblora\"의 Verbana파일에서"), "mnBiblora", &ExchangeCommands::mnBibloraClick);
    add(QStringLiteral("\"Notavia\" 파일에서"), "N37", &ExchangeCommands::N37Click);
    QMenu *file = host.fileMenu();
    QAction *exit = host.exitAction();
    auto addFile = [&](const QString &caption, const char *name, void (ExchangeCommands::*slot)()) {
        CommandHost::addCommand(file, caption, QLatin1String(name), [this, slot] { (this->*slot)(); }, {}, exit);
    };
    addFile(QStringLiteral("새 설교집으로 뽑아내기"), "N54", &ExchangeCommands::N54Click);
    addFile(QStringLiteral("다른 설교집 불러와서 합치기"), "N55", &ExchangeCommands::N55Click);
    file->insertSeparator(exit);
    mnBatch_->setEnabled(document_.isOpen());
    connect(&document_, &store::CollectionDocument::collectionStateChanged, mnBatch_, &QMenu::setEnabled);
}

bool ExchangeCommands::mayImport()
{
    if (!document_.isOpen())
        return false;
    if (document_.changing()) {
        showInformation(QStringLiteral("자료 수정/추가 중입니다."));
        return false;
    }
    if (document_.refuseReadOnly())
        return false;
    document_.releaseGathering();
    host_.RefreshManuscriptView();
    return true;
}

void ExchangeCommands::mnBatchHWPClick()
{
    if (const QString refusal = exchange::hwpImportRefusal(); !refusal.isEmpty()) {
        showInformation(refusal);
        return;
    }
    if (!mayImport())
        return;
    exchange::ui::Tfmhwp dialog(document_, host_.mainWindow());
    dialog.setAfterRun([this] { host_.RefreshManuscriptView(); });
    runModal(&dialog);
}

void ExchangeCommands::mnBatchTXTClick()
{
    if (!mayImport())
        return;
    exchange::ui::TfmRTF dialog(document_, host_.mainWindow());
    dialog.setAfterRun([this] { host_.RefreshManuscriptView(); });
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
        exchange::openBibloraTable(Table2, file);
    } catch (const EUserError &e) {
        showInformation(e.text());
        return;
    }
    exchange::CopyOutcome outcome;
    {
        LineProgress line(host_.progressLine());
        outcome = exchange::importBiblora(document_, Table2, &line);
    }
    host_.RefreshManuscriptView();
    tell(outcome.complete(), outcome.message());
}

void ExchangeCommands::N37Click()
{
    if (!mayImport())
        return;
    exchange::ui::Tfmfnote dialog(document_, host_.mainWindow());
    dialog.setAfterRun([this] { host_.RefreshManuscriptView(); });
    runModal(&dialog);
}

static QString noCollectionText() { return QStringLiteral("열려 있는 설교집이 없습니다.\r먼저 설교집을 여십시오."); }

bool ExchangeCommands::mayMove(bool changes)
{
    if (document_.refuseWhileEditing())
        return false;
    if (!document_.isOpen()) {
        showInformation(noCollectionText());
        return false;
    }
    return !changes || !document_.refuseReadOnly();
}

void ExchangeCommands::N54Click()
{
    if (!mayMove(false))
        return;
    QString created;
    {
        // Centred over the main window, as a dialog is by default.
        exchange::ui::TfmExtract dialog(document_, paths::programFolder(), host_.mainWindow());
        if (runModal(&dialog) != QDialog::Accepted || !dialog.openRequested())
            return;
        created = dialog.createdTable();
    }
    document_.OpenCollection(created);
}

void ExchangeCommands::N55Click()
{
    if (!mayMove(true))
        return;
    QString name;
    {
        store::ui::Tfmopen chooser(document_.openLabel(), host_.dialogAnchor(), host_.mainWindow());
        if (runModal(&chooser) != QDialog::Accepted)
            return;
        name = chooser.selectedName();
    }
    if (name.isEmpty())
        return;
    exchange::MergeOutcome outcome;
    {
        LineProgress line(host_.progressLine());
        outcome = exchange::mergeCollection(document_, paths::resolve(paths::programFolder(), name), &line);
    }
    host_.RefreshManuscriptView();
    tell(outcome.complete(), outcome.message());
}

} // namespace verbana
