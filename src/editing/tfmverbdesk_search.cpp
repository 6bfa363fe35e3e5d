// SPDX-License-Identifier: GPL-3.0-or-later
// The toolbar's search group: the item chooser with its menu, the word box,
// the search button and the direction buttons, and the go-to search they
// run over the sermons in view.
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"
#include "search/goto_search.h"
#include "search/highlight_terms.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>
#include <QToolButton>

namespace verbana::editing {

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

// Holds the table's bound controls frozen, its after-scroll handlers
// detached and the busy cursor up while a scan runs; everything comes back
// on every way out.
class ScanQuiet {
public:
    explicit ScanQuiet(xbase::TApolloTable &table) : table_(table)
    {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        table_.DisableControls();
        table_.DetachHandlers(unsigned(xbase::TableEvent::AfterScroll));
    }
    ~ScanQuiet()
    {
        table_.AttachHandlers(unsigned(xbase::TableEvent::AfterScroll));
        table_.EnableControls();
        QApplication::restoreOverrideCursor();
    }
    ScanQuiet(const ScanQuiet &) = delete;
    ScanQuiet &operator=(const ScanQuiet &) = delete;

private:
    xbase::TApolloTable &table_;
};

// Keeps the window's reactions to moves away for one step.
class HandlersDetached {
public:
    explicit HandlersDetached(xbase::TApolloTable &table) : table_(table)
    {
        table_.DetachHandlers(unsigned(xbase::TableEvent::AfterScroll));
    }
    ~HandlersDetached() { table_.AttachHandlers(unsigned(xbase::TableEvent::AfterScroll)); }
    HandlersDetached(const HandlersDetached &) = delete;
    HandlersDetached &operator=(const HandlersDetached &) = delete;

private:
    xbase::TApolloTable &table_;
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

void Tfmverbdesk::buildSearchGroup(QHBoxLayout *row, QWidget *strip)
{
    btnFindGo_ = new QToolButton(strip);
    btnFindGo_->setObjectName(QStringLiteral("btnFindGo"));
    btnFindGo_->setPopupMode(QToolButton::InstantPopup);
    btnFindGo_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    btnFindGo_->setFocusPolicy(Qt::NoFocus);
    auto *menu = new QMenu(btnFindGo_);
    menu->setObjectName(QStringLiteral("pmFindGo"));
    QMenu *further = nullptr;
    for (const search::GoToItem &item : search::goToItems()) {
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

    for (QWidget *w : std::initializer_list<QWidget *>{btnFindGo_, eFindGo_, btnLetGo_, btnUp_, btnDown_})
        row->addWidget(w);
    btnFindGo_->setText(QStringLiteral("제목"));
    describe(btnFindGo_, QStringLiteral("제목"), kItemHint);
    // A longer caption takes room the toolbar has to spare; it never
    // pushes the buttons after it out of a narrow window.
    btnFindGo_->setMinimumWidth(btnFindGo_->sizeHint().width());
    btnFindGo_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void Tfmverbdesk::chooseGoToItem(const QString &caption, int number)
{
    goToItem_ = number;
    btnFindGo_->setText(caption);
    describe(btnFindGo_, caption, kItemHint);
    eFindGo_->setFocus(Qt::OtherFocusReason);
}

void Tfmverbdesk::GoToNext()
{
    // With no collection open there is nothing to walk.
    xbase::TApolloTable *t = editing_.table();
    if (!t || !t->Active() || editing_.changing())
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

bool Tfmverbdesk::goToOnce()
{
    xbase::TApolloTable &t = *editing_.table();
    const bool down = btnDown_->isChecked();
    if (down && t.Eof())
        return confirm(QStringLiteral("파일의 아래쪽 끝입니다.\r\r위쪽 방향으로 찾을까요?"));
    if (!down && t.Bof())
        return confirm(QStringLiteral("파일의 윗쪽 끝입니다.\r\r아래쪽 방향으로 찾을까요?"));

    search::GoToQuery query;
    query.item = goToItem_;
    query.word = search::searchWord(eFindGo_->text());
    query.collectionFolder = editing_.collectionFolder();
    query.direction = down ? search::Direction::Down : search::Direction::Up;
    bool found = false;
    bool ranOff = false;
    {
        const ScanQuiet quiet(t);
        found = search::findNext(t, query, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
        ranOff = down ? t.Eof() : t.Bof();
    }
    // The list, brought up to date as the table thaws, puts the table back
    // on its record and so clears the end flag the scan set; the next
    // search asks by that flag whether to turn back, so a step past the
    // same end sets it again.
    if (ranOff) {
        const HandlersDetached quiet(t);
        t.Skip(down ? 1 : -1);
    }
    RefreshManuscriptView();
    if (!found)
        return confirm(down ? QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r위쪽 방향으로 찾을까요?")
                            : QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r아래쪽 방향으로 찾을까요?"));
    if (query.item == search::kManuscriptItem)
        showManuscriptHit(eFindGo_->text());
    return false;
}

void Tfmverbdesk::showManuscriptHit(const QString &word)
{
    PageControl1_->setCurrentWidget(tsManuscript_);
    search::HighlightTerms(reManuscript_->document(), word + QStringLiteral("//"));
    QTextCursor start(reManuscript_->document());
    start.movePosition(QTextCursor::Start);
    reManuscript_->setTextCursor(start);
    reManuscript_->ensureCursorVisible();
    reManuscript_->setFocus(Qt::OtherFocusReason);
}

} // namespace verbana::editing
