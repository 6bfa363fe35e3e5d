// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ui/gather_commands.h"

#include "platform/busy_cursor.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/described.h"
#include "platform/progress_bar.h"
#include "platform/prompts.h"
#include "search/ui/tfmgather.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"

#include <QAbstractButton>
#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>

namespace verbana::search::ui {

using store::ui::CommandHost;

namespace {

// Runs a batch deletion, then shows the current sermon again, also when
// the deletion failed part-way.
template <typename Work> void refreshAfter(CommandHost &host, Work work)
{
    try {
        work();
    } catch (...) {
        handingOver([&] { host.RefreshManuscriptView(); });
        throw;
    }
    host.RefreshManuscriptView();
}

} // namespace

GatherCommands::GatherCommands(CommandHost &host) : QObject(host.mainWindow()), host_(host)
{
    mnGather_ = host.addMenu(QStringLiteral("  찾아모으기  "), QStringLiteral("mnGather"));
    CommandHost::addCommand(mnGather_, QStringLiteral("개요/평가에서 찾아모으기"), QStringLiteral("mnGatherFields"),
                            [this] { mnGatherFieldsClick(); }, QKeySequence(Qt::CTRL | Qt::Key_F));
    CommandHost::addCommand(mnGather_, QStringLiteral("설교원고에서 찾아모으기"), QStringLiteral("mnGatherText"),
                            [this] { mnGatherTextClick(); }, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F));
    CommandHost::addCommand(mnGather_, QStringLiteral("현재 자료 갯수"), QStringLiteral("mnCount"),
                            [this] { CountSermons(); });
    mnGather_->addSeparator();
    CommandHost::addCommand(mnGather_, QStringLiteral("찾아모으기 해제"), QStringLiteral("mnRelease"),
                            [this] { ReleaseGathering(); }, QKeySequence(Qt::ALT | Qt::Key_Z));
    mnGather_->addSeparator();
    QMenu *batch = mnGather_->addMenu(QStringLiteral("일괄 삭제"));
    batch->setObjectName(QStringLiteral("mnBatchDelete"));
    CommandHost::addCommand(batch, QStringLiteral("찾아모은 자료들 모두 삭제"), QStringLiteral("mnDeleteGathered"),
                            [this] { DeleteGathered(); });
    CommandHost::addCommand(batch, QStringLiteral("찾아모은 자료만 제외하고 모두 삭제"),
                            QStringLiteral("mnDeleteNotGathered"), [this] { DeleteNotGathered(); });

    // Just before 종료, at the right end of the commands.
    const int at = host.toolbarIndexOf(QStringLiteral("btnExit"));
    btnGather_ = new QPushButton(QStringLiteral("찾아모으기"), host.toolbar());
    btnGather_->setObjectName(QStringLiteral("btnGather"));
    describe(btnGather_, QStringLiteral("찾아모으기"), QStringLiteral("찾아 모으기"));
    btnGather_->setFocusPolicy(Qt::NoFocus);
    btnGather_->setAutoDefault(false);
    host.insertToolbarControl(at, btnGather_);
    CommandHost::onClick(btnGather_, [this] { mnGatherFieldsClick(); });
    btnRelease_ = host.insertPictureButton(at + 1, host.mainWindow()->style()->standardIcon(QStyle::SP_DialogResetButton),
                                           QStringLiteral("찾아모으기 해제"), QStringLiteral("찾아모으기 해제"),
                                           QStringLiteral("btnRelease"));
    CommandHost::onClick(btnRelease_, [this] { ReleaseGathering(); });

    store::CollectionDocument &document = host.document();
    mnGather_->setEnabled(document.isOpen());
    connect(&document, &store::CollectionDocument::collectionStateChanged, mnGather_, &QMenu::setEnabled);
}

bool GatherCommands::collectionOpen() const { return host_.document().isOpen(); }

void GatherCommands::mnGatherFieldsClick() { openGatherDialog(Tfmgather::pgFields); }

void GatherCommands::mnGatherTextClick() { openGatherDialog(Tfmgather::pgManuscripts); }

void GatherCommands::openGatherDialog(int page)
{
    if (!collectionOpen() || host_.document().refuseWhileEditing())
        return;
    // The dialog's commands report their own errors and keep it open.
    Tfmgather dialog(
        Tfmgather::Page(page),
        [this](const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd) {
            bool done = false;
            runCommand([&] { done = GatherFields(rows, useAnd); });
            return done;
        },
        [this](const ManuscriptQuery &query, QProgressBar *progress) {
            bool done = false;
            runCommand([&] { done = GatherManuscripts(query, progress); });
            return done;
        },
        host_.mainWindow());
    dialog.move(host_.dialogAnchor());
    runModal(&dialog);
    // The keys come back to the window, whatever the scan's events did to
    // the activation.
    host_.mainWindow()->activateWindow();
}

bool GatherCommands::GatherFields(const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd)
{
    if (!collectionOpen())
        return true;
    xbase::TApolloTable &table = host_.document().table();
    std::vector<FieldCondition> conditions;
    for (const auto &[field, word] : rows)
        conditions.push_back({cp949::upperAscii(table.FieldName(field)), word});
    if (!gatherFields(host_.document(), conditions, useAnd))
        return false;
    host_.RefreshManuscriptView();
    return true;
}

bool GatherCommands::GatherManuscripts(const ManuscriptQuery &query, QProgressBar *progress)
{
    if (!collectionOpen())
        return true;
    uint32_t found = 0;
    {
        // The scan lets events run so that the bar moves; what the user
        // types meanwhile waits.
        BarProgress scan(progress, QEventLoop::ExcludeUserInputEvents);
        if (progress)
            progress->show();
        struct HideBar {
            QProgressBar *bar;
            ~HideBar()
            {
                if (bar)
                    bar->hide();
            }
        } hide{progress};
        found = gatherManuscripts(host_.document(), query, &scan);
    }
    if (found == 0)
        showInformation(QStringLiteral("찾는 단어가 설교원고 내용중에 없습니다."));
    host_.RefreshManuscriptView();
    return true;
}

void GatherCommands::ReleaseGathering()
{
    if (!collectionOpen() || host_.document().refuseWhileEditing())
        return;
    host_.document().releaseGathering();
    host_.RefreshManuscriptView();
}

void GatherCommands::CountSermons()
{
    if (!collectionOpen())
        return;
    uint32_t count = 0;
    {
        const BusyCursor busy;
        count = host_.document().table().Count();
    }
    showInformation(countMessage(count, isGathered(host_.document().table())));
}

void GatherCommands::DeleteGathered()
{
    store::CollectionDocument &document = host_.document();
    if (!collectionOpen() || document.refuseWhileEditing() || document.refuseReadOnly())
        return;
    if (!confirm(isGathered(document.table())
                     ? QStringLiteral("현재 파일에서 찾아모아진 자료들은\r모두 삭제 됩니다.\r\r계속 하시겠습니까?")
                     : QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다.\r계속 진행하면 현재 파일의 모든 "
                                      "자료가 삭제됩니다.\r계속 하시겠습니까?")))
        return;
    refreshAfter(host_, [&] { deleteGathered(document); });
}

void GatherCommands::DeleteNotGathered()
{
    store::CollectionDocument &document = host_.document();
    if (!collectionOpen() || document.refuseWhileEditing() || document.refuseReadOnly())
        return;
    if (!isGathered(document.table())) {
        showInformation(QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다."));
        return;
    }
    if (!confirm(QStringLiteral("현재 파일에서 찾아모아진 자료 외의 자료들은\r모두 삭제 됩니다.\r\r계속 하시겠습니까?")))
        return;
    refreshAfter(host_, [&] { deleteNotGathered(document); });
}

} // namespace verbana::search::ui
