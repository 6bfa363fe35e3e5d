// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's gathering (찾아모으기): the menu and its toolbar
// buttons, the dialog's two 찾기, release, count and the batch deletions.
#include "editing/form_parts.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "search/gathering.h"
#include "search/ui/tfmgather.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTableView>

namespace verbana::editing {

namespace {

constexpr unsigned kAllEvents = 127;

class BusyCursor {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// Runs a batch deletion and then releases the gathering, also when the
// deletion fails part-way.
template <typename Release> void deleteThenRelease(const std::function<void()> &deletion, Release release)
{
    try {
        BusyCursor busy;
        deletion();
    } catch (...) {
        release();
        throw;
    }
    release();
}

} // namespace

void Tfmverbdesk::buildGatherMenu()
{
    mnGather_ = menuBar()->addMenu(QStringLiteral("  찾아모으기  "));
    mnGather_->setObjectName(QStringLiteral("mnGather"));
    auto add = [this](QMenu *menu, const QString &caption, const QKeySequence &key, const QString &name,
                      void (Tfmverbdesk::*slot)()) {
        QAction *a = menu->addAction(caption);
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setObjectName(name);
        return a;
    };
    add(mnGather_, QStringLiteral("개요/평가에서 찾아모으기"), QKeySequence(Qt::CTRL | Qt::Key_F),
        QStringLiteral("mnGatherFields"), &Tfmverbdesk::mnGatherFieldsClick);
    add(mnGather_, QStringLiteral("설교원고에서 찾아모으기"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F),
        QStringLiteral("mnGatherText"), &Tfmverbdesk::mnGatherTextClick);
    add(mnGather_, QStringLiteral("현재 자료 갯수"), {}, QStringLiteral("mnCount"), &Tfmverbdesk::CountSermons);
    mnGather_->addSeparator();
    add(mnGather_, QStringLiteral("찾아모으기 해제"), QKeySequence(Qt::ALT | Qt::Key_Z), QStringLiteral("mnRelease"),
        &Tfmverbdesk::ReleaseGathering);
    mnGather_->addSeparator();
    QMenu *batch = mnGather_->addMenu(QStringLiteral("일괄 삭제"));
    batch->setObjectName(QStringLiteral("mnBatchDelete"));
    add(batch, QStringLiteral("찾아모은 자료들 모두 삭제"), {}, QStringLiteral("mnDeleteGathered"),
        &Tfmverbdesk::DeleteGathered);
    add(batch, QStringLiteral("찾아모은 자료만 제외하고 모두 삭제"), {}, QStringLiteral("mnDeleteNotGathered"),
        &Tfmverbdesk::DeleteNotGathered);
}

void Tfmverbdesk::buildGatherButtons()
{
    // Just before 종료, at the right end of the commands.
    const int at = toolbarRow_->indexOf(btnExit_);
    btnGather_ = makeButton(QStringLiteral("찾아모으기"), QStringLiteral("찾아 모으기"), QStringLiteral("btnGather"),
                            pnlToolbar_);
    btnGather_->setFocusPolicy(Qt::NoFocus);
    btnGather_->setAutoDefault(false);
    toolbarRow_->insertWidget(at, btnGather_);
    connect(btnGather_, &QPushButton::clicked, this, asCommand([this] { mnGatherFieldsClick(); }));
    btnRelease_ = insertPictureButton(at + 1, style()->standardIcon(QStyle::SP_DialogResetButton),
                                      QStringLiteral("찾아모으기 해제"), QStringLiteral("찾아모으기 해제"),
                                      QStringLiteral("btnRelease"));
    connect(btnRelease_, &QAbstractButton::clicked, this, asCommand([this] { ReleaseGathering(); }));
}

void Tfmverbdesk::mnGatherFieldsClick() { openGatherDialog(search::ui::Tfmgather::pgFields); }

void Tfmverbdesk::mnGatherTextClick() { openGatherDialog(search::ui::Tfmgather::pgManuscripts); }

void Tfmverbdesk::openGatherDialog(int page)
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active() || RefuseWhileEditing())
        return;
    // The dialog's commands report their own errors and keep it open.
    search::ui::Tfmgather dialog(
        search::ui::Tfmgather::Page(page),
        [this](const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd) {
            bool done = false;
            runCommand([&] { done = GatherFields(rows, useAnd); });
            return done;
        },
        [this](const search::ManuscriptQuery &query, QProgressBar *progress) {
            bool done = false;
            runCommand([&] { done = GatherManuscripts(query, progress); });
            return done;
        },
        this);
    dialog.move(dialogAnchor());
    runModal(&dialog);
    // The keys come back to the window, whatever the scan's events did to
    // the activation.
    activateWindow();
}

bool Tfmverbdesk::GatherFields(const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd)
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active())
        return true;
    std::vector<search::FieldCondition> conditions;
    for (const auto &[field, word] : rows)
        conditions.push_back({cp949::upperAscii(t->FieldName(field)), word});
    const QByteArray expression = search::gatherExpression(conditions, useAnd);
    if (expression.size() < 2)
        return false;
    // The table checks the expression before it replaces the gathering in
    // force; a refusal leaves everything as it was.
    const QString before = highlightTerms_;
    highlightTerms_.clear();
    try {
        t->Query(expression);
    } catch (...) {
        highlightTerms_ = before;
        throw;
    }
    t->GoTop();
    RefreshManuscriptView();
    return true;
}

bool Tfmverbdesk::GatherManuscripts(const search::ManuscriptQuery &query, QProgressBar *progress)
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active())
        return true;
    highlightTerms_.clear();
    std::vector<uint32_t> found;
    {
        BusyCursor busy;
        t->DetachHandlers(kAllEvents);
        t->DisableControls();
        viewRefreshOff_ = true;
        const auto restore = [&] {
            viewRefreshOff_ = false;
            if (progress)
                progress->hide();
            t->EnableControls();
            t->AttachHandlers(kAllEvents);
        };
        try {
            t->Query(QByteArray());
            const uint32_t total = t->Count();
            const uint32_t step = std::max<uint32_t>(1, total / 200);
            if (progress) {
                progress->setRange(0, int(std::max<uint32_t>(total, 1)));
                progress->setValue(0);
                progress->show();
            }
            found = search::scanManuscripts(*t, CollectionFolder(), query, [&](uint32_t scanned) {
                if (progress && (scanned % step == 0 || scanned == total)) {
                    progress->setValue(int(scanned));
                    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
                }
            });
            if (!found.empty())
                search::markGathered(*t, found);
            else
                t->GoTop();
        } catch (...) {
            restore();
            throw;
        }
        restore(); // the list is read again once, now
    }
    if (found.empty()) {
        showInformation(QStringLiteral("찾는 단어가 설교원고 내용중에 없습니다."));
    } else {
        highlightTerms_ = search::highlightTerms(query);
    }
    RefreshManuscriptView();
    return true;
}

void Tfmverbdesk::ReleaseGathering()
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active() || RefuseWhileEditing())
        return;
    highlightTerms_.clear();
    t->Query(QByteArray());
    RefreshManuscriptView();
}

void Tfmverbdesk::CountSermons()
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active())
        return;
    uint32_t count = 0;
    {
        BusyCursor busy;
        count = t->Count();
    }
    showInformation(search::countMessage(count, search::isGathered(*t)));
}

void Tfmverbdesk::DeleteGathered()
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active() || RefuseWhileEditing() || refuseReadOnly())
        return;
    if (!confirm(search::isGathered(*t)
                     ? QStringLiteral("현재 파일에서 찾아모아진 자료들은\r모두 삭제 됩니다.\r\r계속 하시겠습니까?")
                     : QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다.\r계속 진행하면 현재 파일의 모든 "
                                      "자료가 삭제됩니다.\r계속 하시겠습니까?")))
        return;
    const auto deleted = [this](uint32_t recno) { model_->noteDeleted(recno); };
    deleteThenRelease([&] { search::deleteGathered(*t, CollectionFolder(), deleted); }, [this] { ReleaseGathering(); });
}

void Tfmverbdesk::DeleteNotGathered()
{
    xbase::TApolloTable *t = table();
    if (!t || !t->Active() || RefuseWhileEditing() || refuseReadOnly())
        return;
    if (!search::isGathered(*t)) {
        showInformation(QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다."));
        return;
    }
    if (!confirm(QStringLiteral("현재 파일에서 찾아모아진 자료 외의 자료들은\r모두 삭제 됩니다.\r\r계속 하시겠습니까?")))
        return;
    const auto deleted = [this](uint32_t recno) { model_->noteDeleted(recno); };
    deleteThenRelease([&] { search::deleteNotGathered(*t, CollectionFolder(), deleted); },
                      [this] { ReleaseGathering(); });
}

} // namespace verbana::editing
