// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's pages: the record boxes of the outline and
// self-evaluation pages, the manuscript view, the general font handed to
// the boxes, and the widths that follow the window.
#include "editing/form_parts.h"
#include "editing/record_boxes.h"
#include "editing/tfmverbdesk.h"
#include "editing/manuscript_view.h"
#include "editing/spell_marks.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "store/sermon_record.h"

#include <QAbstractItemView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QVBoxLayout>

namespace verbana::editing {

using namespace store;

namespace {

// A box's accessible name: its label without the blanks that space it out.
QString boxName(QString caption)
{
    caption.remove(QLatin1Char(' '));
    return caption;
}

QPushButton *calendarButton(const QString &name, QWidget *page)
{
    QPushButton *b = makeButton(QStringLiteral("..."), QString(), name, page);
    describe(b, QStringLiteral("달력"));
    b->setFocusPolicy(Qt::NoFocus);
    b->setFixedWidth(28);
    return b;
}

const QString kDateHint = QStringLiteral("ex) 1997.05.05 |오른쪽 단추를 클릭하면 편리하게 날짜를 입력할 수 있다.");

} // namespace

TDBEdit *Tfmverbdesk::addEdit(int field, BoxKind kind)
{
    const SermonField &f = sermonFields()[size_t(field - 1)];
    auto *box = new TDBEdit(field, f.width, kind);
    box->setObjectName(QLatin1String(f.name));
    if (kind == BoxKind::Date)
        box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("0000.00.00")) + 16);
    edits_.push_back(box);
    box->installEventFilter(this);
    connect(box, &QLineEdit::textEdited, this,
            [this, field](const QString &text) { runCommand([&] { boxEdited(field, text); }); });
    return box;
}

TDBComboBox *Tfmverbdesk::addCombo(int field)
{
    const SermonField &f = sermonFields()[size_t(field - 1)];
    auto *box = new TDBComboBox(field, f.width);
    box->setObjectName(QLatin1String(f.name));
    box->setMinimumContentsLength(f.width * 2 / 3);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combos_.push_back(box);
    box->installEventFilter(this);
    box->lineEdit()->installEventFilter(this);
    box->view()->installEventFilter(this);
    const auto edited = [this, field](const QString &text) { runCommand([&] { boxEdited(field, text); }); };
    connect(box->lineEdit(), &QLineEdit::textEdited, this, edited);
    connect(box, &QComboBox::textActivated, this, edited);
    return box;
}

TDBMemo *Tfmverbdesk::addMemo(int field)
{
    const SermonField &f = sermonFields()[size_t(field - 1)];
    // The box takes one byte less than the field.
    auto *box = new TDBMemo(field, f.width - 1);
    box->setObjectName(QLatin1String(f.name));
    box->setMinimumHeight(box->fontMetrics().lineSpacing() * 2 + 8);
    memos_.push_back(box);
    connect(box, &TDBMemo::textTyped, this,
            [this, box, field] { runCommand([&] { boxEdited(field, box->storedText()); }); });
    if (!speller_) {
        speller_ = spelling::SpellChecker::shared();
        ignoredWords_ = new spelling::IgnoredWords(this);
    }
    auto *marks = new SpellMarks(box, speller_, ignoredWords_);
    marks->setReplacer([box](QTextCursor &word, const QString &text) { box->typeOver(word, text); });
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, box, [box, marks](const QPoint &at) {
        QMenu *menu = box->createStandardContextMenu(at);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        marks->addMenuItems(menu, at);
        menu->popup(box->viewport()->mapToGlobal(at));
    });
    return box;
}

// The last row of a form page: a memo box under its label, taking the rest
// of the page.
static void memoRow(QGridLayout *grid, std::vector<QLabel *> &labels, int row, const QString &caption, TDBMemo *memo)
{
    QLabel *l = makeLabel(caption, grid->parentWidget());
    l->setBuddy(memo);
    labels.push_back(l);
    grid->addWidget(l, row, 0, Qt::AlignTop);
    grid->addWidget(memo, row, 1);
    grid->setRowStretch(row, 1);
    grid->setColumnStretch(1, 1);
    describe(memo, boxName(caption));
}

QWidget *Tfmverbdesk::buildOutlinePage()
{
    auto *page = new QWidget;
    auto *grid = formGrid(page);
    const auto row = [&](int r, const QString &caption, QWidget *box, const QString &hint = QString(),
                         QWidget *extra = nullptr) {
        describe(box, boxName(caption), hint);
        return formRow(grid, outlineLabels_, r, caption, box, extra);
    };
    TDBEdit *date1 = addEdit(fDATE1, BoxKind::Date);
    btnCallCal_ = calendarButton(QStringLiteral("btnCallCal"), page);
    connect(btnCallCal_, &QPushButton::clicked, this, asCommand([this, date1] { pickDateFor(date1); }));
    row(0, QStringLiteral("작 성 일"), date1, kDateHint, btnCallCal_);
    row(1, QStringLiteral("제    목"), addEdit(fTITLE1));
    row(2, QStringLiteral("부 제 목"), addEdit(fTITLE2));
    row(3, QStringLiteral("주    제"), addEdit(fSUBJECT));

    // The Bible text, then its example, its key label and key box: beside
    // it where the page is wide enough, under it otherwise (LayoutBoxes).
    TDBEdit *bible1 = addEdit(fBIBLE1);
    bibleLine_ = row(4, QStringLiteral("성경본문"), bible1,
                     QStringLiteral("< F3 >사용,  ex)  창21:6-9 | F3을 누르면 성경본문의 책 지정을 할 수 있다.   ex) "
                                    "창12:1-12 과 같이 입력."));
    QLabel *bibleLabel = outlineLabels_.back();
    grid->setAlignment(bibleLabel, Qt::AlignTop | Qt::AlignLeft);
    bibleTrail_ = new QWidget(page);
    auto *trail = new QHBoxLayout(bibleTrail_);
    trail->setContentsMargins(0, 0, 0, 0);
    trail->setSpacing(4);
    auto *example = makeLabel(QStringLiteral("(창1:2-3, 창세기1:2~3)"), bibleTrail_);
    example->setStyleSheet(QStringLiteral("color: blue"));
    TDBEdit *bibleNo = addEdit(fBIBLENO);
    describe(bibleNo, QStringLiteral("구절NO"), QStringLiteral("자동생성되는 것이므로\r\n입력하지 마십시오."));
    bibleNo->setFocusPolicy(Qt::ClickFocus);
    QPalette grey = bibleNo->palette();
    grey.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    bibleNo->setPalette(grey);
    bibleNo->setFixedWidth(bibleNo->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 10);
    QLabel *keyLabel = makeLabel(QStringLiteral("구절NO"), bibleTrail_);
    keyLabel->setBuddy(bibleNo);
    trail->addWidget(example);
    trail->addWidget(keyLabel);
    trail->addWidget(bibleNo);
    bibleLine_->insertWidget(1, bibleTrail_);
    bibleLine_->setAlignment(bible1, Qt::AlignLeft);
    bibleLine_->setAlignment(bibleTrail_, Qt::AlignLeft);

    row(5, QStringLiteral("참고구절"), addEdit(fBIBLE2));
    row(6, QStringLiteral("참고자료"), addEdit(fBOOK));
    row(7, QStringLiteral("설교형식"), addCombo(fSTYPE));
    row(8, QStringLiteral("설교방향"), addCombo(fAIM));
    // 재설정 opens the settings window on its lists (wired by the program).
    auto *reset = makeButton(QStringLiteral("재설정"), QStringLiteral("형식/방향/분류 의 \r\n예정단어 다시 지정"),
                             QStringLiteral("btnReset"), page);
    row(9, QStringLiteral("예배종류"), addCombo(fSACRE), QString(), reset);
    row(10, QStringLiteral("비    고"), addEdit(fETCS),
        QStringLiteral("기타 사항|후에 검색, 관리하기에 필요한 단어들을 입력해두면 편리함.  ex) 주제단어, 분류번호, 자/타..."));
    memoRow(grid, outlineLabels_, 11, QStringLiteral("설교요약"), addMemo(fBRIEF));
    return page;
}

QWidget *Tfmverbdesk::buildManuscriptPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->setContentsMargins(4, 4, 4, 4);
    auto *bar = new QHBoxLayout;
    btnMEdit_ = makeButton(QStringLiteral("원고 입력"), QStringLiteral("설교문 작성/수정"), QStringLiteral("btnMEdit"), page);
    connect(btnMEdit_, &QPushButton::clicked, this, asCommand([this] { btnMEditClick(); }));
    pmManuscript_ = new QMenu(btnMEdit_);
    pmManuscript_->setObjectName(QStringLiteral("pmManuscript"));
    pmManuscript_->addAction(QStringLiteral("자체편집기"), this, asCommand([this] { mnSelfEditorClick(); }))
        ->setObjectName(QStringLiteral("mnSelfEditor"));
    pmManuscript_->addAction(QStringLiteral("아래아 한글"), this, asCommand([this] { mnHwpFileClick(); }))
        ->setObjectName(QStringLiteral("mnHwpFile"));
    auto *kind = makeLabel(QStringLiteral("원고형태:"), page);
    kind->setStyleSheet(QStringLiteral("color: blue"));
    lblManuType_ = makeLabel(QStringLiteral("  "), page);
    lblManuType_->setObjectName(QStringLiteral("lblManuType"));
    describe(lblManuType_, QStringLiteral("원고형태"));
    btnMRefresh_ = makeButton(QString(), QString(), QStringLiteral("btnMRefresh"), page);
    btnMRefresh_->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    describe(btnMRefresh_, QStringLiteral("새로 고침"), QStringLiteral("원본 파일과 TXT 사본이\r\n맞지 않을 때,\r\n    새로 고침"));
    connect(btnMRefresh_, &QPushButton::clicked, this, asCommand([this] { btnMRefreshClick(); }));
    bar->addWidget(btnMEdit_);
    bar->addSpacing(8);
    bar->addWidget(kind);
    bar->addWidget(lblManuType_);
    bar->addSpacing(8);
    bar->addWidget(btnMRefresh_);
    bar->addStretch(1);
    reManuscript_ = new ManuscriptView(page);
    reManuscript_->setObjectName(QStringLiteral("reManuscript"));
    describe(reManuscript_, QStringLiteral("설교원고"));
    reManuscript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reManuscript_->setContextMenuPolicy(Qt::CustomContextMenu);
    auto *pmView = new QMenu(reManuscript_);
    pmView->setObjectName(QStringLiteral("pmView"));
    pmView->addAction(QStringLiteral("블록 복사"), reManuscript_, &QPlainTextEdit::copy)
        ->setObjectName(QStringLiteral("mnCopyBlock"));
    pmView->addAction(QStringLiteral("전체 복사"), reManuscript_, &ManuscriptView::copyAll)->setObjectName(QStringLiteral("mnCopyAll"));
    connect(reManuscript_, &QWidget::customContextMenuRequested, this,
            [this, pmView](const QPoint &at) { pmView->popup(reManuscript_->viewport()->mapToGlobal(at)); });
    column->addLayout(bar);
    column->addWidget(reManuscript_, 1);
    return page;
}

QWidget *Tfmverbdesk::buildSelfPage()
{
    auto *page = new QWidget;
    auto *grid = formGrid(page);
    const auto row = [&](int r, const QString &caption, QWidget *box, const QString &hint = QString(),
                         QWidget *extra = nullptr) {
        describe(box, boxName(caption), hint);
        formRow(grid, selfLabels_, r, caption, box, extra);
    };
    TDBEdit *date2 = addEdit(fDATE2, BoxKind::Date);
    btnCallCal2_ = calendarButton(QStringLiteral("btnCallCal2"), page);
    connect(btnCallCal2_, &QPushButton::clicked, this, asCommand([this, date2] { pickDateFor(date2); }));
    row(0, QStringLiteral("설 교 일"), date2, kDateHint, btnCallCal2_);
    row(1, QStringLiteral("설교장소"), addCombo(fWHERE));
    row(2, QStringLiteral("설교시간"), addEdit(fLONG),
        QStringLiteral("ex) 오전11:00 부터 30분간| 설교시작시간과 순수 설교 시간을 자유로운 형식으로 입력."));
    QLabel *times = makeLabel(QStringLiteral("회"), page);
    selfLabels_.push_back(times);
    row(3, QStringLiteral("설교횟수"), addEdit(fTIMES), QString(), times);
    row(4, QStringLiteral("청중반응"), addEdit(fREFLEX));
    row(5, QStringLiteral("자기평가"), addEdit(fSELFDIC));
    memoRow(grid, selfLabels_, 6, QStringLiteral("개 선 점"), addMemo(fBETTER));
    return page;
}

void Tfmverbdesk::ApplyGeneralFont()
{
    QWidget *date1 = boxOf(fDATE1);
    const QFont font = date1->font();
    const QPalette palette = date1->palette();
    for (TDBEdit *e : edits_)
        if (e != date1 && e->box.field != fBIBLENO) {
            e->setFont(font);
            e->setPalette(palette);
        }
    for (QWidget *w : combos_) {
        w->setFont(font);
        w->setPalette(palette);
    }
    for (QWidget *w : memos_) {
        w->setFont(font);
        w->setPalette(palette);
    }
    QPalette labelPalette = palette;
    labelPalette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    for (auto *labels : {&outlineLabels_, &selfLabels_})
        for (QLabel *l : *labels) {
            l->setFont(font);
            l->setPalette(labelPalette);
        }
    const QFontMetrics metrics(font);
    const int outlineWidth = metrics.horizontalAdvance(QStringLiteral("성경본문")) + 9;
    const int selfWidth = metrics.horizontalAdvance(QStringLiteral("청중반응")) + 9;
    for (QLabel *l : outlineLabels_)
        l->setFixedWidth(outlineWidth);
    for (QLabel *l : selfLabels_)
        if (l->text() != QStringLiteral("회"))
            l->setFixedWidth(selfWidth);
    // The Bible text's label stays level with its box when the example
    // goes under it.
    if (QWidget *bible1 = boxOf(fBIBLE1))
        for (QLabel *l : outlineLabels_)
            if (l->buddy() == bible1)
                l->setFixedHeight(bible1->sizeHint().height());
    LayoutBoxes();
}

int Tfmverbdesk::longBoxWidth(int pageWidth) { return pageWidth - 81 > 260 ? pageWidth - 87 : 253; }

int Tfmverbdesk::bibleBoxWidth() const
{
    const QWidget *bible1 = boxOf(fBIBLE1);
    // Room for a reference of the field's 40 bytes (a Hangul syllable is
    // as wide as two digits in the window's fixed-pitch font).
    return bible1->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('0'))) + 12;
}

void Tfmverbdesk::LayoutBoxes()
{
    if (!PageControl1_)
        return;
    const int w = longBoxWidth(PageControl1_->width());
    for (TDBEdit *e : edits_)
        switch (e->box.field) {
        case fTITLE1: case fTITLE2: case fSUBJECT: case fBIBLE2: case fBOOK: case fETCS: case fREFLEX:
        case fSELFDIC:
            e->setFixedWidth(w);
            break;
        case fLONG:
            // Its 20 bytes shown whole ("오전11:00 부터 30분").
            e->setFixedWidth(std::min(w, e->fontMetrics().horizontalAdvance(QString(20, QLatin1Char('0'))) + 12));
            break;
        default:
            break;
        }
    const int bibleWidth = std::min(w, bibleBoxWidth());
    boxOf(fBIBLE1)->setFixedWidth(bibleWidth);
    const bool beside = bibleWidth + bibleLine_->spacing() + bibleTrail_->sizeHint().width() <= w;
    bibleLine_->setDirection(beside ? QBoxLayout::LeftToRight : QBoxLayout::TopToBottom);
}

} // namespace verbana::editing
