// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/ui/tfmgather.h"

#include "platform/cp949.h"
#include "platform/help.h"
#include "platform/described.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QValidator>
#include <QVBoxLayout>

namespace verbana::search::ui {

namespace {

// Refuses what CP949 cannot hold and, with a limit, typing past that many
// bytes.
class WordValidator : public QValidator {
public:
    WordValidator(qsizetype maxBytes, QObject *parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString &input, int &) const override
    {
        const cp949::Encoded encoded = cp949::encode(input);
        if (!encoded.ok() || (maxBytes_ > 0 && encoded.bytes.size() > maxBytes_))
            return Invalid;
        return Acceptable;
    }

private:
    qsizetype maxBytes_;
};

// Enter in a word box moves the focus to the next control.
class EnterMovesOn : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                if (auto *w = qobject_cast<QWidget *>(watched)) {
                    QWidget *next = w->nextInFocusChain();
                    while (next != w && !((next->focusPolicy() & Qt::TabFocus) && next->isVisible() && next->isEnabled()))
                        next = next->nextInFocusChain();
                    next->setFocus(Qt::TabFocusReason);
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

QLineEdit *wordBox(const QString &name, const QString &label, qsizetype maxBytes, QObject *enter, QWidget *parent)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setValidator(new WordValidator(maxBytes, box));
    box->installEventFilter(enter);
    box->setAttribute(Qt::WA_InputMethodEnabled);
    describe(box, label);
    return box;
}

QRadioButton *radio(const QString &name, const QString &caption, QWidget *parent)
{
    auto *r = new QRadioButton(caption, parent);
    r->setObjectName(name);
    describe(r, caption);
    return r;
}

QPushButton *button(const QString &name, const QString &caption, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    describe(b, caption);
    return b;
}

QLabel *label(const QString &text, QWidget *parent, const QString &hint = QString())
{
    auto *l = new QLabel(text, parent);
    if (!hint.isEmpty())
        describe(l, text, hint);
    return l;
}

// The line "위에 입력한 문자들이..." over the AND and OR buttons; AND chosen.
QRadioButton *andOr(QVBoxLayout *column, const QString &suffix, QWidget *page)
{
    column->addWidget(label(QStringLiteral("위에 입력한 문자들이..."), page));
    auto *group = new QButtonGroup(page);
    QRadioButton *rbAnd = radio(QStringLiteral("rbAnd") + suffix, QStringLiteral("모두 있는 것만 찾는다. (AND)"), page);
    QRadioButton *rbOr = radio(QStringLiteral("rbOr") + suffix, QStringLiteral("하나라도 있는 것은 다 찾는다. (OR) "), page);
    group->addButton(rbAnd);
    group->addButton(rbOr);
    rbAnd->setChecked(true);
    column->addWidget(rbAnd);
    column->addWidget(rbOr);
    return rbAnd;
}

// The buttons 찾기 and 닫기 at the right; returns 찾기. 닫기 rejects.
QPushButton *findAndClose(QVBoxLayout *column, const QString &suffix, QDialog *dialog, QWidget *page)
{
    auto *buttons = new QHBoxLayout;
    QPushButton *find = button(QStringLiteral("btnFind") + suffix, QStringLiteral("찾기"), page);
    QPushButton *close = button(QStringLiteral("btnClose") + suffix, QStringLiteral("닫기"), page);
    buttons->addStretch(1);
    buttons->addWidget(find);
    buttons->addWidget(close);
    column->addLayout(buttons);
    QObject::connect(close, &QPushButton::clicked, dialog, &QDialog::reject);
    return find;
}

} // namespace

const std::vector<std::pair<const char16_t *, int>> &Tfmgather::fieldItems()
{
    static const std::vector<std::pair<const char16_t *, int>> items{
        {u"제목", 2}, {u"부제목", 3}, {u"주제", 4}, {u"성경", 5}, {u"참고구절", 7}, {u"설교형식", 9},
        {u"설교방향", 10}, {u"예배종류", 11}, {u"비고", 12}, {u"요약", 13},
        // 그 외..
        {u"작성일", 1}, {u"참고서적", 8}, {u"설교일", 15}, {u"설교장소", 16}, {u"설교시간", 17},
        {u"설교횟수", 18}, {u"청중반응", 19}, {u"자기평가", 20}, {u"개선점", 21}};
    return items;
}

Tfmgather::Tfmgather(Page page, GatherFields fields, GatherManuscripts manuscripts, QWidget *parent)
    : QDialog(parent), gatherFields_(std::move(fields)), gatherManuscripts_(std::move(manuscripts))
{
    setObjectName(QStringLiteral("fmgather"));
    setProperty(kHelpTopicProperty, 2320);
    setWindowTitle(QStringLiteral("찾아모으기"));
    setModal(true);
    auto *column = new QVBoxLayout(this);
    pages_ = new QTabWidget(this);
    pages_->setObjectName(QStringLiteral("pcGather"));
    pages_->addTab(buildFieldPage(), QStringLiteral("개요/평가 항목에서"));
    pages_->addTab(buildManuscriptPage(), QStringLiteral("설교원고에서"));
    column->addWidget(pages_);
    pages_->setCurrentIndex(page);
    (page == pgFields ? words_ : texts_)[0]->setFocus();
    setFixedSize(sizeHint());
}

QWidget *Tfmgather::buildFieldPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsFields"));
    auto *enter = new EnterMovesOn(page);
    auto *column = new QVBoxLayout(page);
    auto *grid = new QGridLayout;
    grid->addWidget(label(QStringLiteral("찾을 항목\n(클릭)"), page), 0, 0, Qt::AlignCenter);
    grid->addWidget(label(QStringLiteral("찾을 문자\n(입력)"), page), 0, 1, Qt::AlignCenter);
    const auto &items = fieldItems();
    for (int row = 0; row < 4; ++row) {
        QPushButton *chooser = button(QStringLiteral("btnField%1").arg(row + 1), QStringLiteral("제목"), page);
        describe(chooser, QStringLiteral("제목"), QStringLiteral("검색할 대상 항목"));
        auto *menu = new QMenu(chooser);
        QMenu *more = nullptr;
        for (int i = 0; i < int(items.size()); ++i) {
            if (i == kMainItems)
                more = menu->addMenu(QStringLiteral("그 외.."));
            const QString caption = QString::fromUtf16(items[size_t(i)].first);
            const int field = items[size_t(i)].second;
            QAction *a = (more ? more : menu)->addAction(caption);
            a->setObjectName(QStringLiteral("mnField%1_%2").arg(row + 1).arg(field));
            connect(a, &QAction::triggered, this, [this, row, caption, field] { choose(row, caption, field); });
        }
        chooser->setMenu(menu);
        choosers_[size_t(row)] = chooser;
        words_[size_t(row)] = wordBox(QStringLiteral("eWord%1").arg(row + 1), QStringLiteral("찾을 문자"), 0, enter, page);
        grid->addWidget(chooser, row + 1, 0);
        grid->addWidget(words_[size_t(row)], row + 1, 1);
    }
    column->addLayout(grid);
    auto *legend = new QHBoxLayout;
    legend->addWidget(label(QStringLiteral("특수검색:"), page));
    legend->addWidget(label(QStringLiteral("="), page, QStringLiteral("공란 검색")));
    legend->addWidget(label(QStringLiteral("#"), page, QStringLiteral("공란 아닌 것 검색")));
    legend->addWidget(label(QStringLiteral("~"), page, QStringLiteral("포함하지 않는 것 검색")));
    legend->addStretch(1);
    column->addLayout(legend);
    rbAnd_ = andOr(column, QString(), page);
    connect(findAndClose(column, QString(), this, page), &QPushButton::clicked, this, &Tfmgather::btnFindClick);
    return page;
}

QWidget *Tfmgather::buildManuscriptPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsManuscripts"));
    auto *enter = new EnterMovesOn(page);
    auto *column = new QVBoxLayout(page);
    column->addWidget(label(QStringLiteral("설교원고 본문에서 찾을 문자"), page));
    auto *grid = new QGridLayout;
    for (int row = 0; row < 4; ++row) {
        const QString caption = QStringLiteral("%1:").arg(row + 1);
        texts_[size_t(row)] = wordBox(QStringLiteral("eText%1").arg(row + 1), caption, kManuscriptWordBytes, enter, page);
        grid->addWidget(label(caption, page), row, 0);
        grid->addWidget(texts_[size_t(row)], row, 1);
    }
    column->addLayout(grid);
    rbTextAnd_ = andOr(column, QStringLiteral("Text"), page);
    QPushButton *find = findAndClose(column, QStringLiteral("Text"), this, page);
    pbScan_ = new QProgressBar(page);
    pbScan_->setObjectName(QStringLiteral("pbScan"));
    pbScan_->setFixedHeight(6);
    pbScan_->setTextVisible(false);
    pbScan_->setValue(0);
    column->addWidget(pbScan_);
    connect(find, &QPushButton::clicked, this, &Tfmgather::btnFindTextClick);
    return page;
}

void Tfmgather::choose(int row, const QString &caption, int field)
{
    chosen_[size_t(row)] = field;
    choosers_[size_t(row)]->setText(caption);
    describe(choosers_[size_t(row)], caption, QStringLiteral("검색할 대상 항목"));
    words_[size_t(row)]->setFocus();
}

void Tfmgather::btnFindClick()
{
    std::vector<std::pair<int, QByteArray>> rows;
    for (int row = 0; row < 4; ++row)
        rows.emplace_back(chosen_[size_t(row)], cp949::encode(words_[size_t(row)]->text()).bytes);
    if (gatherFields_ && gatherFields_(rows, rbAnd_->isChecked()))
        accept();
}

void Tfmgather::btnFindTextClick()
{
    ManuscriptQuery query;
    for (int row = 0; row < 4; ++row)
        query.words[size_t(row)] = cp949::encode(texts_[size_t(row)]->text()).bytes;
    query.useAnd = rbTextAnd_->isChecked();
    if (gatherManuscripts_ && gatherManuscripts_(query, pbScan_))
        accept();
}

} // namespace verbana::search::ui
