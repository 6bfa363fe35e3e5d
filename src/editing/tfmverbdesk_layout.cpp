// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window: menus, toolbar, list panel, pages, settings.
#include "editing/colour_map.h"
#include "editing/record_boxes.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "settings/profile.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"

#include <QAction>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QVBoxLayout>

namespace verbana::editing {

using namespace store;

namespace {

const QColor kLightYellow(0xFF, 0xFF, 0xE0);

QString iniPath() { return paths::programFolder() + QStringLiteral("/verbdesk.ini"); }

QLabel *label(const QString &text, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return l;
}

// The grid of a form page: labels in column 0, boxes in column 1.
QGridLayout *formGrid(QWidget *page)
{
    auto *grid = new QGridLayout(page);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(3);
    return grid;
}

// One row of a form page: its label (kept in `labels` for the font) and
// the box with an optional control beside it.
QHBoxLayout *formRow(QGridLayout *grid, std::vector<QLabel *> &labels, int r, const QString &caption, QWidget *w,
                     QWidget *extra)
{
    QLabel *l = label(caption, grid->parentWidget());
    labels.push_back(l);
    grid->addWidget(l, r, 0);
    auto *line = new QHBoxLayout;
    line->setSpacing(4);
    line->addWidget(w);
    if (extra)
        line->addWidget(extra);
    line->addStretch(1);
    grid->addLayout(line, r, 1);
    return line;
}

QPushButton *button(const QString &caption, const QString &hint, const QString &name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    b->setToolTip(hint);
    return b;
}

} // namespace

void Tfmverbdesk::buildMenus()
{
    mnFile_ = menuBar()->addMenu(QStringLiteral("  파일  "));
    mnFile_->setObjectName(QStringLiteral("mnFile"));
    mnExit_ = mnFile_->addAction(QStringLiteral("종료"), this, &QWidget::close);
    mnExit_->setObjectName(QStringLiteral("mnExit"));

    mnData_ = menuBar()->addMenu(QStringLiteral("  자료입력  "));
    mnData_->setObjectName(QStringLiteral("mnData"));
    auto add = [this](const QString &caption, const QKeySequence &key, const QString &name,
                      void (Tfmverbdesk::*slot)()) {
        QAction *a = mnData_->addAction(caption);
        connect(a, &QAction::triggered, this, asCommand([this, slot] { (this->*slot)(); }));
        a->setShortcut(key);
        a->setShortcutContext(Qt::WindowShortcut);
        a->setObjectName(name);
        return a;
    };
    mnAppend_ = add(QStringLiteral("새 설교 1편 추가"), QKeySequence(Qt::Key_F10), QStringLiteral("mnAppend"),
                    &Tfmverbdesk::mnAppendClick);
    mnEdit_ = add(QStringLiteral("현재 설교 수정"), QKeySequence(Qt::Key_F11), QStringLiteral("mnEdit"),
                  &Tfmverbdesk::mnEditClick);
    mnData_->addSeparator();
    mnSave_ = add(QStringLiteral("추가/수정후 저장"), QKeySequence(Qt::Key_F12), QStringLiteral("mnSave"),
                  &Tfmverbdesk::mnSaveClick);
    mnCancel_ = add(QStringLiteral("추가/수정 작업 취소"), QKeySequence(Qt::SHIFT | Qt::Key_F12),
                    QStringLiteral("mnCancel"), &Tfmverbdesk::mnCancelClick);
    mnData_->addSeparator();
    mnDelete_ = add(QStringLiteral("현재 설교 1편 삭제"), QKeySequence(Qt::Key_F8), QStringLiteral("mnDelete"),
                    &Tfmverbdesk::mnDeleteClick);
}

void Tfmverbdesk::buildToolbar(QWidget *strip)
{
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(2, 2, 2, 2);
    btnAppend_ = button(QStringLiteral("새 설교"), QStringLiteral("새로운 데이타 추가\r\n F10"),
                        QStringLiteral("btnAppend"), strip);
    btnEdit_ = button(QStringLiteral("수정"), QStringLiteral("현재 데이타 수정\r\n F11"), QStringLiteral("btnEdit"), strip);
    btnDelete_ = button(QStringLiteral("삭제"), QStringLiteral("현재 데이타 삭제"), QStringLiteral("btnDelete"), strip);
    btnExit_ = button(QStringLiteral("종료"), QStringLiteral("Verbana 종료"), QStringLiteral("btnExit"), strip);
    for (QPushButton *b : {btnAppend_, btnEdit_, btnDelete_, btnExit_}) {
        b->setFocusPolicy(Qt::NoFocus);
        row->addWidget(b);
    }
    row->addStretch(1);
    connect(btnAppend_, &QPushButton::clicked, this, asCommand([this] { mnAppendClick(); }));
    connect(btnEdit_, &QPushButton::clicked, this, asCommand([this] { mnEditClick(); }));
    connect(btnDelete_, &QPushButton::clicked, this, asCommand([this] { mnDeleteClick(); }));
    connect(btnExit_, &QPushButton::clicked, this, &QWidget::close);
}

QWidget *Tfmverbdesk::buildListPanel()
{
    pnlGrid_ = new QWidget;
    pnlGrid_->setObjectName(QStringLiteral("pnlGrid"));
    pnlGrid_->setAutoFillBackground(true);
    QPalette pal = pnlGrid_->palette();
    pal.setColor(QPalette::Window, kLightYellow);
    pnlGrid_->setPalette(pal);
    auto *column = new QVBoxLayout(pnlGrid_);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    pnlSave_ = new QWidget(pnlGrid_);
    pnlSave_->setObjectName(QStringLiteral("pnlSave"));
    auto *saveRow = new QHBoxLayout(pnlSave_);
    saveRow->addWidget(label(QStringLiteral("추가 혹은 수정 후 저장? 취소?"), pnlSave_), 1);
    btnSave_ = button(QStringLiteral("저장"), QStringLiteral("입력된 데이타 저장\r\n F12"), QStringLiteral("btnSave"), pnlSave_);
    btnCancel_ = button(QStringLiteral("취소"), QStringLiteral("입력된 데이타 저장않고 버림\r\n Shift + F12"),
                        QStringLiteral("btnCancel"), pnlSave_);
    btnSave_->setFocusPolicy(Qt::NoFocus);
    btnCancel_->setFocusPolicy(Qt::NoFocus);
    saveRow->addWidget(btnSave_);
    saveRow->addWidget(btnCancel_);
    pnlSave_->hide();
    connect(btnSave_, &QPushButton::clicked, this, asCommand([this] { mnSaveClick(); }));
    connect(btnCancel_, &QPushButton::clicked, this, asCommand([this] { mnCancelClick(); }));

    model_ = new SermonListModel(this);
    DBGrid1_ = new QTableView(pnlGrid_);
    DBGrid1_->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1_->setModel(model_);
    DBGrid1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1_->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1_->setShowGrid(true);
    DBGrid1_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1_->verticalHeader()->setDefaultSectionSize(DBGrid1_->fontMetrics().height() + 4);
    DBGrid1_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int charWidth = DBGrid1_->fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (int c = 0; c < model_->columnCount(); ++c) {
        const SermonField &f = sermonFields()[size_t(SermonListModel::fieldOfColumn(c) - 1)];
        DBGrid1_->setColumnWidth(c, f.listWidth * charWidth + 6);
    }
    DBGrid1_->installEventFilter(this);
    connect(DBGrid1_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) { runCommand([&] { listRowChosen(current.row()); }); });

    lblNoCollection_ = label(QStringLiteral(" \r\n파일을 열려면\r\n[파일]메뉴의 [파일열기]를 선택하십시오."), pnlGrid_);
    lblNoCollection_->setObjectName(QStringLiteral("lblNoCollection"));
    lblNoCollection_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblNoCollection_->setWordWrap(true);

    column->addWidget(pnlSave_);
    column->addWidget(DBGrid1_, 1);
    column->addWidget(lblNoCollection_, 1);
    return pnlGrid_;
}

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
    memos_.push_back(box);
    connect(box, &TDBMemo::textTyped, this, [this, box, field] { boxEdited(field, box->storedText()); });
    return box;
}

QWidget *Tfmverbdesk::buildOutlinePage()
{
    auto *page = new QWidget;
    auto *grid = formGrid(page);
    const auto row = [&](int r, const QString &caption, QWidget *w, QWidget *extra = nullptr) {
        return formRow(grid, outlineLabels_, r, caption, w, extra);
    };
    TDBEdit *date1 = addEdit(fDATE1, BoxKind::Date);
    date1->setToolTip(QStringLiteral("ex) 1997.05.05 "));
    btnCallCal_ = button(QStringLiteral("..."), QString(), QStringLiteral("btnCallCal"), page);
    btnCallCal_->setFocusPolicy(Qt::NoFocus);
    btnCallCal_->setFixedWidth(28);
    connect(btnCallCal_, &QPushButton::clicked, this, asCommand([this, date1] { pickDateFor(date1); }));
    row(0, QStringLiteral("작 성 일"), date1, btnCallCal_);
    row(1, QStringLiteral("제    목"), addEdit(fTITLE1));
    row(2, QStringLiteral("부 제 목"), addEdit(fTITLE2));
    row(3, QStringLiteral("주    제"), addEdit(fSUBJECT));
    TDBEdit *bible1 = addEdit(fBIBLE1);
    bible1->setToolTip(QStringLiteral("< F3 >사용,  ex)  창21:6-9 "));
    QHBoxLayout *bibleLine = row(4, QStringLiteral("성경본문"), bible1);
    auto *example = label(QStringLiteral("(창1:2-3, 창세기1:2~3)"), page);
    example->setStyleSheet(QStringLiteral("color: blue"));
    TDBEdit *bibleNo = addEdit(fBIBLENO);
    bibleNo->setToolTip(QStringLiteral("자동생성되는 것이므로\r\n입력하지 마십시오."));
    bibleNo->setFocusPolicy(Qt::ClickFocus);
    QPalette grey = bibleNo->palette();
    grey.setColor(QPalette::Base, QColor(0xC0, 0xC0, 0xC0));
    bibleNo->setPalette(grey);
    bibleNo->setFixedWidth(bibleNo->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 10);
    bibleLine->insertWidget(1, example);
    bibleLine->insertWidget(2, label(QStringLiteral("구절NO"), page));
    bibleLine->insertWidget(3, bibleNo);
    row(5, QStringLiteral("참고구절"), addEdit(fBIBLE2));
    row(6, QStringLiteral("참고자료"), addEdit(fBOOK));
    row(7, QStringLiteral("설교형식"), addCombo(fSTYPE));
    row(8, QStringLiteral("설교방향"), addCombo(fAIM));
    row(9, QStringLiteral("예배종류"), addCombo(fSACRE));
    row(10, QStringLiteral("비    고"), addEdit(fETCS))->itemAt(0)->widget()->setToolTip(QStringLiteral("기타 사항"));
    QLabel *briefLabel = label(QStringLiteral("설교요약"), page);
    outlineLabels_.push_back(briefLabel);
    grid->addWidget(briefLabel, 11, 0, Qt::AlignTop);
    grid->addWidget(addMemo(fBRIEF), 11, 1);
    grid->setRowStretch(11, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

QWidget *Tfmverbdesk::buildManuscriptPage()
{
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    auto *bar = new QHBoxLayout;
    auto *kind = label(QStringLiteral("원고형태:"), page);
    kind->setStyleSheet(QStringLiteral("color: blue"));
    lblManuType_ = label(QStringLiteral("  "), page);
    lblManuType_->setObjectName(QStringLiteral("lblManuType"));
    bar->addWidget(kind);
    bar->addWidget(lblManuType_);
    bar->addStretch(1);
    reManuscript_ = new QTextEdit(page);
    reManuscript_->setObjectName(QStringLiteral("reManuscript"));
    reManuscript_->setReadOnly(true);
    reManuscript_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    reManuscript_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    reManuscript_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(reManuscript_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        QMenu menu(reManuscript_);
        menu.addAction(QStringLiteral("블록 복사"), reManuscript_, &QTextEdit::copy);
        menu.addAction(QStringLiteral("전체 복사"), reManuscript_, [this] {
            reManuscript_->selectAll();
            reManuscript_->copy();
            QTextCursor start = reManuscript_->textCursor();
            start.movePosition(QTextCursor::Start);
            reManuscript_->setTextCursor(start);
        });
        menu.exec(reManuscript_->mapToGlobal(at));
    });
    column->addLayout(bar);
    column->addWidget(reManuscript_, 1);
    return page;
}

QWidget *Tfmverbdesk::buildSelfPage()
{
    auto *page = new QWidget;
    auto *grid = formGrid(page);
    const auto row = [&](int r, const QString &caption, QWidget *w, QWidget *extra = nullptr) {
        formRow(grid, selfLabels_, r, caption, w, extra);
    };
    TDBEdit *date2 = addEdit(fDATE2, BoxKind::Date);
    date2->setToolTip(QStringLiteral("ex) 1997.05.05 "));
    btnCallCal2_ = button(QStringLiteral("..."), QString(), QStringLiteral("btnCallCal2"), page);
    btnCallCal2_->setFocusPolicy(Qt::NoFocus);
    btnCallCal2_->setFixedWidth(28);
    connect(btnCallCal2_, &QPushButton::clicked, this, asCommand([this, date2] { pickDateFor(date2); }));
    row(0, QStringLiteral("설 교 일"), date2, btnCallCal2_);
    row(1, QStringLiteral("설교장소"), addCombo(fWHERE));
    TDBEdit *longBox = addEdit(fLONG);
    longBox->setToolTip(QStringLiteral("ex) 오전11:00 부터 30분간"));
    row(2, QStringLiteral("설교시간"), longBox);
    QLabel *times = label(QStringLiteral("회"), page);
    selfLabels_.push_back(times);
    row(3, QStringLiteral("설교횟수"), addEdit(fTIMES), times);
    row(4, QStringLiteral("청중반응"), addEdit(fREFLEX));
    row(5, QStringLiteral("자기평가"), addEdit(fSELFDIC));
    QLabel *betterLabel = label(QStringLiteral("개 선 점"), page);
    selfLabels_.push_back(betterLabel);
    grid->addWidget(betterLabel, 6, 0, Qt::AlignTop);
    grid->addWidget(addMemo(fBETTER), 6, 1);
    grid->setRowStretch(6, 1);
    grid->setColumnStretch(1, 1);
    return page;
}

void Tfmverbdesk::fillChoiceLists(const settings::Profile &profile)
{
    const std::pair<int, const char16_t *> lists[] = {
        {fSTYPE, u"설교형식"}, {fAIM, u"설교방향"}, {fSACRE, u"예배종류"}, {fWHERE, u"설교장소"}};
    for (const auto &[field, section] : lists)
        for (TDBComboBox *combo : combos_)
            if (combo->box.field == field) {
                const QSignalBlocker block(combo);
                combo->clear();
                combo->addItems(profile.readList(QString::fromUtf16(section)));
                combo->setCurrentIndex(-1);
            }
}

void Tfmverbdesk::readSettings()
{
    const settings::Profile profile(iniPath());
    const QString screen = QStringLiteral("화면");
    const int gridWidth = profile.readInteger(screen, QStringLiteral("gridpan"), 185);
    if (profile.readBool(screen, QStringLiteral("full"), false)) {
        setWindowState(Qt::WindowMaximized);
    } else {
        move(profile.readInteger(screen, QStringLiteral("left"), 10),
             profile.readInteger(screen, QStringLiteral("top"), 10));
        resize(profile.readInteger(screen, QStringLiteral("width"), 527),
               profile.readInteger(screen, QStringLiteral("height"), 430));
    }
    pnlGrid_->resize(gridWidth, pnlGrid_->height());
    splitter_->setSizes({gridWidth, std::max(0, width() - gridWidth - splitter_->handleWidth())});

    const QString fonts = QStringLiteral("글꼴");
    const QString defaultFont = QStringLiteral("굴림체");
    QFont manuscriptFont(profile.readString(fonts, QStringLiteral("원고명"), defaultFont));
    manuscriptFont.setPointSize(profile.readInteger(fonts, QStringLiteral("원고고"), 9));
    reManuscript_->setFont(manuscriptFont);
    QPalette view = reManuscript_->palette();
    const auto colour = [&](const char16_t *key, const char *defaultName) {
        return toQColor(profile.readColour(fonts, QString::fromUtf16(key), QLatin1String(defaultName)));
    };
    view.setColor(QPalette::Text, colour(u"원고색", "clWindowtext"));
    view.setColor(QPalette::Base, colour(u"원고바탕색", "clWindow"));
    reManuscript_->setPalette(view);

    // The general font is held by the DATE1 box and handed on to the others.
    QWidget *date1 = boxOf(fDATE1);
    QFont general(profile.readString(fonts, QStringLiteral("일반명"), defaultFont));
    general.setPointSize(profile.readInteger(fonts, QStringLiteral("일반고"), 9));
    date1->setFont(general);
    QPalette generalPalette = date1->palette();
    generalPalette.setColor(QPalette::Text, colour(u"일반색", "clWindowtext"));
    generalPalette.setColor(QPalette::Base, colour(u"일반바탕색", "clWindow"));
    date1->setPalette(generalPalette);
    ApplyGeneralFont();
    fillChoiceLists(profile);
}

void Tfmverbdesk::writeSettings()
{
    const settings::Profile profile(iniPath());
    const QString screen = QStringLiteral("화면");
    profile.writeString(QStringLiteral("file"), QStringLiteral("last"), CollectionLabel(CollectionFolder()));
    profile.writeInteger(screen, QStringLiteral("gridpan"), pnlGrid_->width());
    const bool full = isMaximized();
    profile.writeBool(screen, QStringLiteral("full"), full);
    if (!full) {
        profile.writeInteger(screen, QStringLiteral("top"), pos().y());
        profile.writeInteger(screen, QStringLiteral("left"), pos().x());
        profile.writeInteger(screen, QStringLiteral("height"), height());
        profile.writeInteger(screen, QStringLiteral("width"), width());
    }
}

QString Tfmverbdesk::lastCollection() const
{
    return settings::Profile(iniPath()).readString(QStringLiteral("file"), QStringLiteral("last"));
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
    LayoutBoxes();
}

int Tfmverbdesk::longBoxWidth(int pageWidth) { return pageWidth - 81 > 260 ? pageWidth - 87 : 253; }

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
        default:
            break;
        }
}

} // namespace verbana::editing
