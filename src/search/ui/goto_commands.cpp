// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ui/goto_commands.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/progress.h"
#include "platform/prompts.h"
#include "search/goto_search.h"
#include "store/batch_scope.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"
#include "store/xbase/apollo_table.h"

#include <QAction>
#include <QButtonGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <functional>

namespace verbana::search::ui {

using store::ui::CommandHost;

namespace {

const QString kItemHint = QStringLiteral("찾아가기 대상 항목(클릭)");

// Enter in the word box searches when the box holds text; the key goes no
// further then. With an empty box it is left alone.
class EnterSearches final : public QObject {
public:
    EnterSearches(QLineEdit *box, std::function<void()> search) : QObject(box), box_(box), search_(std::move(search)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == box_ && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !box_->text().isEmpty()) {
                search_();
                return true;
            }
        }
        return false;
    }

private:
    QLineEdit *box_;
    std::function<void()> search_;
};

QToolButton *directionButton(Qt::ArrowType arrow, const QString &name, const QString &hint, const QString &objectName,
                             QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setArrowType(arrow);
    b->setCheckable(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedSize(16, 22);
    describe(b, name, hint);
    return b;
}

} // namespace

GoToCommands::GoToCommands(CommandHost &host) : QObject(host.mainWindow()), host_(host)
{
    QWidget *strip = host.toolbar();
    btnFindGo_ = new QToolButton(strip);
    btnFindGo_->setObjectName(QStringLiteral("btnFindGo"));
    btnFindGo_->setPopupMode(QToolButton::InstantPopup);
    btnFindGo_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnFindGo_->setFocusPolicy(Qt::NoFocus);
    auto *menu = new QMenu(btnFindGo_);
    menu->setObjectName(QStringLiteral("pmFindGo"));
    QMenu *further = nullptr;
    for (const GoToItem &item : goToItems()) {
        const QString caption = QString::fromUtf16(item.caption);
        if (item.further && !further) {
            further = menu->addMenu(QStringLiteral("그 외.."));
            further->setObjectName(QStringLiteral("pmFindGoFurther"));
        }
        QAction *a = (item.further ? further : menu)->addAction(caption);
        a->setObjectName(QStringLiteral("mnFindGo%1").arg(item.number));
        a->setData(item.number);
        connect(a, &QAction::triggered, this,
                asCommand([this, caption, number = item.number] { chooseGoToItem(caption, number); }));
    }
    btnFindGo_->setMenu(menu);

    eFindGo_ = new QLineEdit(strip);
    eFindGo_->setObjectName(QStringLiteral("eFindGo"));
    // The box gives way first when the window is narrow.
    eFindGo_->setMinimumWidth(40);
    eFindGo_->setMaximumWidth(110);
    describe(eFindGo_, QStringLiteral("찾아가기 단어"), QStringLiteral("찾아가기 단어 (직접입력)"));
    eFindGo_->installEventFilter(new EnterSearches(eFindGo_, [this] { runCommand([this] { GoToNext(); }); }));

    btnLetGo_ = new QPushButton(QStringLiteral("찾기"), strip);
    btnLetGo_->setObjectName(QStringLiteral("btnLetGo"));
    btnLetGo_->setFocusPolicy(Qt::NoFocus);
    btnLetGo_->setAutoDefault(false);
    btnLetGo_->setMaximumWidth(btnLetGo_->fontMetrics().horizontalAdvance(QStringLiteral("찾기")) + 16);
    describe(btnLetGo_, QStringLiteral("찾기"), QStringLiteral("  찾기..\r\n 다음 찾기\r\n(입력후 클릭)"));
    connect(btnLetGo_, &QPushButton::clicked, this, asCommand([this] { GoToNext(); }));

    btnUp_ = directionButton(Qt::UpArrow, QStringLiteral("위로 찾기"), QStringLiteral("[검색방향]\r\n 위로 찾기"),
                             QStringLiteral("btnUp"), strip);
    btnDown_ = directionButton(Qt::DownArrow, QStringLiteral("아래로 찾기"),
                               QStringLiteral("[검색방향]\r\n아래로 찾기"), QStringLiteral("btnDown"), strip);
    auto *directions = new QButtonGroup(strip);
    directions->setExclusive(true);
    directions->addButton(btnUp_);
    directions->addButton(btnDown_);
    btnDown_->setChecked(true);

    // After 삭제: before the gathering's buttons when they are there, else
    // before 종료.
    int at = host.toolbarIndexOf(QStringLiteral("btnGather"));
    if (at < 0)
        at = host.toolbarIndexOf(QStringLiteral("btnExit"));
    for (QWidget *w : std::initializer_list<QWidget *>{btnFindGo_, eFindGo_, btnLetGo_, btnUp_, btnDown_})
        host.insertToolbarControl(at++, w);
    btnFindGo_->setText(QStringLiteral("제목"));
    describe(btnFindGo_, QStringLiteral("제목"), kItemHint);
    // A longer caption takes room the toolbar has to spare; it never
    // pushes the buttons after it out of a narrow window.
    btnFindGo_->setMinimumWidth(btnFindGo_->sizeHint().width());
    btnFindGo_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void GoToCommands::chooseGoToItem(const QString &caption, int number)
{
    goToItem_ = number;
    btnFindGo_->setText(caption);
    describe(btnFindGo_, caption, kItemHint);
    eFindGo_->setFocus(Qt::OtherFocusReason);
}

void GoToCommands::GoToNext()
{
    // With no collection open there is nothing to walk.
    const store::CollectionDocument &document = host_.document();
    if (!document.isOpen() || document.changing())
        return;
    if (eFindGo_->text().trimmed().isEmpty()) {
        showInformation(QStringLiteral("먼저 왼쪽의 검색단어 입력란에\r찾을 단어를 입력하신 후, [찾기]단추를 클릭하십시오."));
        return;
    }
    // Each 예 to "search the other way" presses the other direction's
    // button and searches again.
    while (goToOnce()) {
        QToolButton *other = btnDown_->isChecked() ? btnUp_ : btnDown_;
        other->setChecked(true);
    }
}

bool GoToCommands::goToOnce()
{
    xbase::TApolloTable &t = host_.document().table();
    const bool down = btnDown_->isChecked();
    if (down && t.Eof())
        return confirm(QStringLiteral("파일의 아래쪽 끝입니다.\r\r위쪽 방향으로 찾을까요?"));
    if (!down && t.Bof())
        return confirm(QStringLiteral("파일의 윗쪽 끝입니다.\r\r아래쪽 방향으로 찾을까요?"));

    GoToQuery query;
    query.item = goToItem_;
    query.word = searchWord(eFindGo_->text());
    query.paths = host_.document().paths();
    query.direction = down ? Direction::Down : Direction::Up;
    bool found = false;
    bool ranOff = false;
    {
        // Only the moves are kept from the window; the list and the boxes
        // wait for the end.
        // A search that fails leaves the table on the sermon it started from.
        const store::BatchScope quiet(t, {.detach = unsigned(xbase::TableEvent::AfterScroll),
                                          .position = store::BatchScope::Position::KeepOnFailure});
        Progress alive([](const Progress::Report &) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        });
        found = findNext(t, query, &alive);
        ranOff = down ? t.Eof() : t.Bof();
    }
    // The list, brought up to date as the table thaws, puts the table back
    // on its record and so clears the end flag the scan set; the next
    // search asks by that flag whether to turn back, so a step past the
    // same end sets it again.
    if (ranOff) {
        const store::BatchScope quiet(t, {.detach = unsigned(xbase::TableEvent::AfterScroll),
                                          .position = store::BatchScope::Position::Leave,
                                          .busyCursor = false,
                                          .freeze = false});
        t.Skip(down ? 1 : -1);
    }
    host_.RefreshManuscriptView();
    if (!found)
        return confirm(down ? QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r위쪽 방향으로 찾을까요?")
                            : QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r아래쪽 방향으로 찾을까요?"));
    if (query.item == kManuscriptItem)
        host_.showManuscriptHit(eFindGo_->text());
    return false;
}

} // namespace verbana::search::ui
