// SPDX-License-Identifier: GPL-3.0-or-later
// Building the main window: menus, toolbar, list panel with the save panel
// over it, and the window's settings.
#include "editing/colour_map.h"
#include "editing/form_parts.h"
#include "editing/record_boxes.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmverbdesk.h"
#include "editing/manuscript_view.h"
#include "platform/commands.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "settings/profile.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace verbana::editing {

using namespace store;

namespace {

const QColor kLightYellow(0xFF, 0xFF, 0xE0);

using settings::iniPath;

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
        return addCommand(mnData_, caption, name, [this, slot] { (this->*slot)(); }, key);
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

QAbstractButton *Tfmverbdesk::insertPictureButton(int index, const QIcon &icon, const QString &name,
                                                  const QString &hint, const QString &objectName)
{
    auto *b = new QToolButton(pnlToolbar_);
    b->setObjectName(objectName);
    b->setIcon(icon);
    b->setIconSize(QSize(20, 20));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    describe(b, name, hint);
    toolbarRow_->insertWidget(index, b);
    return b;
}

void Tfmverbdesk::insertToolbarControl(int index, QWidget *control) { toolbarRow_->insertWidget(index, control); }

int Tfmverbdesk::toolbarIndexOf(const QString &objectName) const
{
    for (int i = 0; i < toolbarRow_->count(); ++i)
        if (QWidget *w = toolbarRow_->itemAt(i)->widget(); w && w->objectName() == objectName)
            return i;
    return -1;
}

QPoint Tfmverbdesk::dialogAnchor() const
{
    const QPoint below = progressLine_->mapToGlobal(QPoint(0, progressLine_->height()));
    return QPoint(mapToGlobal(QPoint(4, 0)).x(), below.y());
}

void Tfmverbdesk::buildToolbar(QWidget *strip)
{
    pnlToolbar_ = strip;
    auto *row = new QHBoxLayout(strip);
    toolbarRow_ = row;
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(3);
    btnAppend_ = makeButton(QStringLiteral("새 설교"), QStringLiteral("새로운 데이타 추가\r\n F10"),
                        QStringLiteral("btnAppend"), strip);
    btnEdit_ = makeButton(QStringLiteral("수정"), QStringLiteral("현재 데이타 수정\r\n F11"), QStringLiteral("btnEdit"), strip);
    btnDelete_ = makeButton(QStringLiteral("삭제"), QStringLiteral("현재 데이타 삭제"), QStringLiteral("btnDelete"), strip);
    btnExit_ = makeButton(QStringLiteral("종료"), QStringLiteral("Verbana 종료"), QStringLiteral("btnExit"), strip);
    for (QPushButton *b : {btnAppend_, btnEdit_, btnDelete_, btnExit_}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoDefault(false);
        row->addWidget(b);
    }
    row->addStretch(1);
    onClick(btnAppend_, [this] { mnAppendClick(); });
    onClick(btnEdit_, [this] { mnEditClick(); });
    onClick(btnDelete_, [this] { mnDeleteClick(); });
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

    // The save panel lies over the top of the list while a sermon is added
    // or edited; it is not part of the panel's layout, so the list keeps its
    // size and the panel its width (placeSavePanel).
    pnlSave_ = new QFrame(pnlGrid_);
    pnlSave_->setObjectName(QStringLiteral("pnlSave"));
    static_cast<QFrame *>(pnlSave_)->setFrameShape(QFrame::Panel);
    static_cast<QFrame *>(pnlSave_)->setFrameShadow(QFrame::Raised);
    pnlSave_->setAutoFillBackground(true);
    QPalette savePalette = pnlSave_->palette();
    savePalette.setColor(QPalette::Window, savePalette.color(QPalette::Button));
    pnlSave_->setPalette(savePalette);
    auto *saveColumn = new QVBoxLayout(pnlSave_);
    saveColumn->setContentsMargins(4, 3, 4, 3);
    saveColumn->setSpacing(2);
    QLabel *question = makeLabel(QStringLiteral("추가 혹은 수정 후 저장? 취소?"), pnlSave_);
    question->setWordWrap(true);
    saveColumn->addWidget(question);
    auto *saveRow = new QHBoxLayout;
    saveRow->addStretch(1);
    saveColumn->addLayout(saveRow);
    btnSave_ = makeButton(QStringLiteral("저장"), QStringLiteral("입력된 데이타 저장\r\n F12"), QStringLiteral("btnSave"), pnlSave_);
    btnCancel_ = makeButton(QStringLiteral("취소"), QStringLiteral("입력된 데이타 저장않고 버림\r\n Shift + F12"),
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
    describe(DBGrid1_, QStringLiteral("설교 목록"));
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

    lblNoCollection_ = makeLabel(QStringLiteral(" \r\n파일을 열려면\r\n[파일]메뉴의 [파일열기]를 선택하십시오."), pnlGrid_);
    lblNoCollection_->setObjectName(QStringLiteral("lblNoCollection"));
    lblNoCollection_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblNoCollection_->setWordWrap(true);

    column->addWidget(DBGrid1_, 1);
    column->addWidget(lblNoCollection_, 1);
    pnlGrid_->installEventFilter(this);
    return pnlGrid_;
}

void Tfmverbdesk::placeSavePanel()
{
    const int width = pnlGrid_->width();
    pnlSave_->setGeometry(0, 0, width, pnlSave_->heightForWidth(width));
    pnlSave_->raise();
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

    applyFontSettings();
    fillChoiceLists(profile);
}

void Tfmverbdesk::reloadChoiceLists() { fillChoiceLists(settings::Profile(iniPath())); }

// The fonts and colours of the manuscript view and of the sermon form, as
// the settings give them (a plain style), spread with ApplyGeneralFont.
void Tfmverbdesk::applyFontSettings()
{
    const settings::Profile profile(iniPath());
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
}

void Tfmverbdesk::writeSettings()
{
    const settings::Profile profile(iniPath());
    const QString screen = QStringLiteral("화면");
    profile.writeString(QStringLiteral("file"), QStringLiteral("last"), rememberedCollection_);
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


} // namespace verbana::editing
