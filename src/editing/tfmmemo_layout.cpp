// SPDX-License-Identifier: GPL-3.0-or-later
// Building the document editor: menus, tool bar, ruler, text area, and the
// window's settings.
#include "editing/colour_map.h"
#include "editing/memo_controls.h"
#include "editing/spell_marks.h"
#include "editing/tfmmemo.h"
#include "platform/commands.h"
#include "platform/help.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "settings/profile.h"

#include <QAbstractItemView>
#include <QScreen>
#include <QButtonGroup>
#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrinter>
#include <QStyle>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace verbana::editing {

namespace {

using settings::iniPath;
const QString kEditorSection = QStringLiteral("문서편집기");
const QString kScreenSection = QStringLiteral("memo화면");

// The colour list: the sixteen standard colours.
struct NamedColour {
    const char *name;
    QRgb rgb;
};
constexpr NamedColour kColours[] = {
    {"Black", 0x000000}, {"Maroon", 0x800000}, {"Green", 0x008000}, {"Olive", 0x808000},
    {"Navy", 0x000080},  {"Purple", 0x800080}, {"Teal", 0x008080},  {"Gray", 0x808080},
    {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},   {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
    {"Blue", 0x0000FF},  {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF}, {"White", 0xFFFFFF},
};

QIcon swatch(QColor colour)
{
    QPixmap p(12, 12);
    p.fill(colour);
    QPainter painter(&p);
    painter.setPen(Qt::gray);
    painter.drawRect(0, 0, 11, 11);
    return QIcon(p);
}

} // namespace

Tfmmemo::Tfmmemo(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tfmmemo"));
    setProperty(kHelpTopicProperty, 5000);
    setWindowTitle(QStringLiteral("문서작성기"));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    RichEdit1_ = new QTextEdit(this);
    RichEdit1_->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1_->setLineWrapMode(QTextEdit::WidgetWidth);
    RichEdit1_->setTabChangesFocus(false);
    // The selection stays shown in its colours when the focus leaves.
    QPalette pal = RichEdit1_->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
                 pal.color(QPalette::Active, QPalette::HighlightedText));
    RichEdit1_->setPalette(pal);
    RichEdit1_->setFont(QFont(QStringLiteral("굴림체"), 10));
    RichEdit1_->document()->setDefaultFont(RichEdit1_->font());
    describe(RichEdit1_, QStringLiteral("원고"));
    speller_ = spelling::SpellChecker::shared();
    ignored_ = new spelling::IgnoredWords(this);
    marks_ = new SpellMarks(RichEdit1_, speller_, ignored_);

    Ruler_ = new MemoRuler(this);
    Ruler_->setObjectName(QStringLiteral("Ruler"));
    describe(Ruler_, QStringLiteral("눈금자"), QStringLiteral("첫자 들여쓰기\r\n문단 왼쪽 여백 조절자"));

    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setPageMargins(QMarginsF(1, 1, 1, 1), QPageLayout::Inch);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("MainMenu1"));
    column->setMenuBar(bar);
    buildMenus();
    buildToolBar();
    buildContextMenu();
    column->addWidget(ToolBar1_);
    column->addWidget(Ruler_);
    column->addWidget(RichEdit1_, 1);

    connect(RichEdit1_, &QTextEdit::cursorPositionChanged, this, &Tfmmemo::syncControls);
    connect(RichEdit1_, &QTextEdit::currentCharFormatChanged, this, &Tfmmemo::syncControls);
    connect(Ruler_, &MemoRuler::firstLineDragged, this, asCommand([this] {
                setIndents(memo::dragFirstLineMarker(currentIndents(), Ruler_->firstMarker(), Ruler_->leftMarker()));
            }));
    connect(Ruler_, &MemoRuler::leftDragged, this,
            asCommand([this] { setIndents(memo::dragLeftMarker(currentIndents(), Ruler_->leftMarker())); }));

    readSettings();
    RichEdit1_->document()->setModified(false);
    RichEdit1_->setFocus();
    syncControls();
}

Tfmmemo::~Tfmmemo() = default;

void Tfmmemo::buildMenus()
{
    auto *bar = static_cast<QMenuBar *>(layout()->menuBar());
    auto add = [this](QMenu *menu, const QString &caption, const QKeySequence &key, const char *name,
                      std::function<void()> command) {
        QAction *a = menu->addAction(caption);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
            addAction(a);
        }
        connect(a, &QAction::triggered, this, asCommand(std::move(command)));
        return a;
    };
    QMenu *file = bar->addMenu(QStringLiteral("파일"));
    file->setObjectName(QStringLiteral("mnFile"));
    add(file, QStringLiteral("새 글"), QKeySequence(Qt::CTRL | Qt::Key_N), "mnNew", [this] { mnNewClick(); });
    add(file, QStringLiteral("불러오기"), QKeySequence(Qt::CTRL | Qt::Key_O), "mnLoad", [this] { mnLoadClick(); });
    add(file, QStringLiteral("저장"), QKeySequence(Qt::CTRL | Qt::Key_S), "mnSave", [this] { mnSaveClick(); });
    add(file, QStringLiteral("파일로 추출"), {}, "mnExport", [this] { mnExportClick(); });
    file->addSeparator();
    add(file, QStringLiteral("인쇄"), QKeySequence(Qt::CTRL | Qt::Key_P), "mnPrint", [this] { mnPrintClick(); });
    add(file, QStringLiteral("인쇄 설정"), {}, "mnPrintSetup", [this] { mnPrintSetupClick(); });
    file->addSeparator();
    mnClose_ = add(file, QStringLiteral("닫기"), QKeySequence(Qt::CTRL | Qt::Key_F4), "mnClose", [this] { close(); });

    QMenu *edit = bar->addMenu(QStringLiteral("편집"));
    edit->setObjectName(QStringLiteral("mnEditMenu"));
    mnCopy_ = add(edit, QStringLiteral("복사"), QKeySequence(Qt::CTRL | Qt::Key_C), "mnCopy", [this] { RichEdit1_->copy(); });
    mnCut_ = add(edit, QStringLiteral("자르기"), QKeySequence(Qt::CTRL | Qt::Key_X), "mnCut", [this] { RichEdit1_->cut(); });
    mnPaste_ = add(edit, QStringLiteral("붙이기"), QKeySequence(Qt::CTRL | Qt::Key_V), "mnPaste", [this] { RichEdit1_->paste(); });
    edit->addSeparator();
    mnUndo_ = add(edit, QStringLiteral("실행취소"), QKeySequence(Qt::CTRL | Qt::Key_Z), "mnUndo", [this] { RichEdit1_->undo(); });
    edit->addSeparator();
    mnSelectAll_ = add(edit, QStringLiteral("전체 선택"), QKeySequence(Qt::CTRL | Qt::Key_A), "mnSelectAll",
                       [this] { RichEdit1_->selectAll(); });
    mnCopyAll_ = add(edit, QStringLiteral("전체 복사"), QKeySequence(Qt::Key_F5), "mnCopyAll", [this] { mnCopyAllClick(); });

    QMenu *format = bar->addMenu(QStringLiteral("글꼴/문장"));
    format->setObjectName(QStringLiteral("mnFormat"));
    add(format, QStringLiteral("블럭부분 글꼴"), {}, "mnBlockFont", [this] { mnBlockFontClick(); });
    format->addSeparator();
    add(format, QStringLiteral("왼쪽 정렬"), {}, "mnAlignLeft", [this] { setAlignment(Qt::AlignLeft); });
    add(format, QStringLiteral("가운데 정렬"), {}, "mnAlignCenter", [this] { setAlignment(Qt::AlignHCenter); });
    add(format, QStringLiteral("오른쪽 정렬"), {}, "mnAlignRight", [this] { setAlignment(Qt::AlignRight); });

    QMenu *setup = bar->addMenu(QStringLiteral("환경"));
    setup->setObjectName(QStringLiteral("mnSetup"));
    add(setup, QStringLiteral("바탕 화면색"), {}, "mnPageColour", [this] { mnPageColourClick(); });
    add(setup, QStringLiteral("눈금자 보이기/감추기"), {}, "mnRuler", [this] { mnRulerClick(); });
    mnSpelling_ = setup->addAction(QStringLiteral("맞춤법 검사"));
    mnSpelling_->setObjectName(QStringLiteral("mnSpelling"));
    mnSpelling_->setCheckable(true);
    setup->setToolTipsVisible(true);
    connect(mnSpelling_, &QAction::triggered, this, [this](bool on) { runCommand([&] { mnSpellingClick(on); }); });
}

void Tfmmemo::buildToolBar()
{
    ToolBar1_ = new QToolBar(this);
    ToolBar1_->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1_->setIconSize(QSize(18, 18));
    auto button = [this](const QString &name, const QString &hint, const char *objectName, const QIcon &icon,
                         const QString &text = QString()) {
        auto *b = new QToolButton(ToolBar1_);
        b->setObjectName(QLatin1String(objectName));
        b->setIcon(icon);
        b->setText(text.isEmpty() ? name : text);
        b->setAutoRaise(true);
        b->setFocusPolicy(Qt::NoFocus);
        describe(b, name, hint);
        ToolBar1_->addWidget(b);
        return b;
    };
    QStyle *s = style();
    auto *bNew = button(QStringLiteral("새 글"), QStringLiteral("새글"), "btnNew", s->standardIcon(QStyle::SP_FileIcon));
    auto *bLoad = button(QStringLiteral("불러오기"), QStringLiteral("문서편집기 - 파일불러오기"), "btnLoad",
                         s->standardIcon(QStyle::SP_DialogOpenButton));
    auto *bSave = button(QStringLiteral("저장"), QStringLiteral("파일로 저장"), "btnSave",
                         s->standardIcon(QStyle::SP_DialogSaveButton));
    auto *bPrint = button(QStringLiteral("인쇄"), QStringLiteral("인쇄"), "btnPrint", QIcon::fromTheme(QStringLiteral("document-print")));
    auto *bClose = button(QStringLiteral("닫기"), QStringLiteral("문서작성기 종료"), "btnClose",
                          s->standardIcon(QStyle::SP_DialogCloseButton));
    connect(bNew, &QToolButton::clicked, this, asCommand([this] { mnNewClick(); }));
    connect(bLoad, &QToolButton::clicked, this, asCommand([this] { mnLoadClick(); }));
    connect(bSave, &QToolButton::clicked, this, asCommand([this] { mnSaveClick(); }));
    connect(bPrint, &QToolButton::clicked, this, asCommand([this] { mnPrintClick(); }));
    connect(bClose, &QToolButton::clicked, this, &QWidget::close);
    ToolBar1_->addSeparator();

    cbFont_ = new QComboBox(ToolBar1_);
    cbFont_->setObjectName(QStringLiteral("cbFont"));
    cbFont_->setEditable(true);
    cbFont_->setInsertPolicy(QComboBox::NoInsert);
    QStringList families = QFontDatabase::families();
    families.sort();
    cbFont_->addItems(families);
    cbFont_->setMaxVisibleItems(16);
    cbFont_->setMinimumContentsLength(4);
    cbFont_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    // The list opens as wide as its longest name (within the screen), its
    // names whole; the box shows the start of the name chosen.
    int widest = 0;
    for (const QString &family : std::as_const(families))
        widest = std::max(widest, cbFont_->view()->fontMetrics().horizontalAdvance(family));
    const int screen = cbFont_->screen() ? cbFont_->screen()->availableGeometry().width() : widest + 64;
    cbFont_->view()->setTextElideMode(Qt::ElideNone);
    cbFont_->view()->setMinimumWidth(std::min(widest + 48, screen));
    describe(cbFont_, QStringLiteral("글꼴"), QStringLiteral("글꼴"));
    ToolBar1_->addWidget(cbFont_);
    auto applyFont = [this](const QString &family) {
        if (family.trimmed().isEmpty())
            return;
        QTextCharFormat f;
        f.setFontFamilies(QStringList{family.trimmed()});
        mergeFormat(f);
        cbFont_->lineEdit()->setCursorPosition(0);
        RichEdit1_->setFocus();
    };
    connect(cbFont_, &QComboBox::textActivated, this,
            [applyFont](const QString &family) { runCommand([&] { applyFont(family); }); });
    connect(cbFont_->lineEdit(), &QLineEdit::returnPressed, this,
            asCommand([this, applyFont] { applyFont(cbFont_->currentText()); }));

    eSize_ = new MemoSizeBox(ToolBar1_);
    eSize_->setObjectName(QStringLiteral("eSize"));
    describe(eSize_, QStringLiteral("문자 크기"), QStringLiteral("문자 크기"));
    ToolBar1_->addWidget(eSize_);
    connect(eSize_, &MemoSizeBox::sizeChosen, this, [this](int size) { runCommand([this, size] { applySize(size); }); });

    auto toggle = [&](const QString &name, const QString &hint, const char *objectName, const QString &text,
                      void (QFont::*style)(bool)) {
        QToolButton *b = button(name, hint, objectName, QIcon(), text);
        b->setCheckable(true);
        QFont f = b->font();
        (f.*style)(true);
        b->setFont(f);
        return b;
    };
    btnItalic_ = toggle(QStringLiteral("기울임"), QStringLiteral("문자 기울임"), "btnItalic", QStringLiteral("I"), &QFont::setItalic);
    btnBold_ = toggle(QStringLiteral("굵게"), QStringLiteral("문자 굵게"), "btnBold", QStringLiteral("B"), &QFont::setBold);
    btnUnderline_ = toggle(QStringLiteral("밑줄"), QStringLiteral("밑줄 문자"), "btnUnderline", QStringLiteral("U"),
                           &QFont::setUnderline);
    // clicked, not toggled: bringing the buttons into line changes nothing.
    connect(btnItalic_, &QToolButton::clicked, this, asCommand([this] {
                QTextCharFormat f;
                f.setFontItalic(btnItalic_->isChecked());
                mergeFormat(f);
            }));
    connect(btnBold_, &QToolButton::clicked, this, asCommand([this] {
                QTextCharFormat f;
                f.setFontWeight(btnBold_->isChecked() ? QFont::Bold : QFont::Normal);
                mergeFormat(f);
            }));
    connect(btnUnderline_, &QToolButton::clicked, this, asCommand([this] {
                QTextCharFormat f;
                f.setFontUnderline(btnUnderline_->isChecked());
                mergeFormat(f);
            }));

    cbColour_ = new QComboBox(ToolBar1_);
    cbColour_->setObjectName(QStringLiteral("cbColour"));
    // The swatch alone on the tool bar, so that the window's first-start
    // width holds every tool; the name is the swatch's tooltip and what a
    // screen reader reads.
    for (const NamedColour &c : kColours) {
        cbColour_->addItem(swatch(QColor(c.rgb)), QString(), QColor(c.rgb));
        cbColour_->setItemData(cbColour_->count() - 1, QLatin1String(c.name), Qt::ToolTipRole);
        cbColour_->setItemData(cbColour_->count() - 1, QLatin1String(c.name), Qt::AccessibleTextRole);
    }
    cbColour_->setMaxVisibleItems(16);
    cbColour_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    describe(cbColour_, QStringLiteral("문자색"), QStringLiteral("문자색"));
    ToolBar1_->addWidget(cbColour_);
    connect(cbColour_, &QComboBox::activated, this, asCommand([this] {
                QTextCharFormat f;
                f.setForeground(cbColour_->currentData().value<QColor>());
                mergeFormat(f);
                RichEdit1_->setFocus();
            }));
    ToolBar1_->addSeparator();

    alignGroup_ = new QButtonGroup(this);
    btnLeft_ = button(QStringLiteral("왼쪽 정렬"), QStringLiteral("문단 좌정렬"), "btnAlignLeft",
                      QIcon::fromTheme(QStringLiteral("format-justify-left")), QStringLiteral("좌"));
    btnCenter_ = button(QStringLiteral("가운데 정렬"), QStringLiteral("문단 가운데 정렬"), "btnAlignCenter",
                        QIcon::fromTheme(QStringLiteral("format-justify-center")), QStringLiteral("중"));
    btnRight_ = button(QStringLiteral("오른쪽 정렬"), QStringLiteral("문단 우정렬"), "btnAlignRight",
                       QIcon::fromTheme(QStringLiteral("format-justify-right")), QStringLiteral("우"));
    const std::pair<QToolButton *, Qt::Alignment> aligns[] = {
        {btnLeft_, Qt::AlignLeft}, {btnCenter_, Qt::AlignHCenter}, {btnRight_, Qt::AlignRight}};
    for (const auto &[b, alignment] : aligns) {
        b->setCheckable(true);
        alignGroup_->addButton(b);
        connect(b, &QToolButton::clicked, this, asCommand([this, alignment = alignment] { setAlignment(alignment); }));
    }
    btnLeft_->setChecked(true);
}

void Tfmmemo::buildContextMenu()
{
    popup_ = new QMenu(this);
    popup_->setObjectName(QStringLiteral("PopupMenu1"));
    popup_->addActions({mnCopy_, mnCut_, mnPaste_, mnUndo_});
    popup_->addSeparator();
    popup_->addActions({mnSelectAll_, mnCopyAll_});
    popup_->addSeparator();
    popup_->addAction(mnClose_);
    RichEdit1_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(RichEdit1_, &QWidget::customContextMenuRequested, this, [this](const QPoint &at) {
        // A misspelled word there puts its items above the menu's own.
        auto *spelling = new QMenu(this);
        spelling->setObjectName(QStringLiteral("PopupSpelling"));
        spelling->setAttribute(Qt::WA_DeleteOnClose);
        spelling->addActions(popup_->actions());
        QMenu *shown = marks_->addMenuItems(spelling, at) ? spelling : popup_;
        if (shown != spelling)
            delete spelling;
        shown->popup(RichEdit1_->viewport()->mapToGlobal(at));
    });
}

void Tfmmemo::mnSpellingClick(bool on)
{
    // The item shows what is stored: a setting that could not be written
    // leaves it as it was.
    mnSpelling_->setChecked(!on);
    speller_->setCheckingOn(on);
    mnSpelling_->setChecked(speller_->checkingOn());
}

void Tfmmemo::setPageColour(colours::TColor colour)
{
    pageColour_ = colour;
    QPalette pal = RichEdit1_->palette();
    const QColor c = toQColor(colour);
    pal.setColor(QPalette::Active, QPalette::Base, c);
    pal.setColor(QPalette::Inactive, QPalette::Base, c);
    RichEdit1_->setPalette(pal);
}

void Tfmmemo::readSettings()
{
    const settings::Profile profile(iniPath());
    setPageColour(profile.readColour(kEditorSection, QStringLiteral("바탕색"), QStringLiteral("clWindow")));
    Ruler_->setVisible(profile.readBool(kScreenSection, QStringLiteral("눈금자"), true));
    mnSpelling_->setEnabled(speller_->available());
    mnSpelling_->setChecked(speller_->checkingOn());
    if (!speller_->available()) {
        mnSpelling_->setToolTip(spelling::missingDictionaryHint());
        mnSpelling_->setStatusTip(spelling::missingDictionaryHint());
    }
    if (profile.readBool(kScreenSection, QStringLiteral("full"), false)) {
        setWindowState(Qt::WindowMaximized);
    } else {
        move(profile.readInteger(kScreenSection, QStringLiteral("left"), 10),
             profile.readInteger(kScreenSection, QStringLiteral("top"), 10));
        resize(profile.readInteger(kScreenSection, QStringLiteral("width"), 527),
               profile.readInteger(kScreenSection, QStringLiteral("height"), 430));
    }
}

void Tfmmemo::writeSettings()
{
    const settings::Profile profile(iniPath());
    profile.writeColour(kEditorSection, QStringLiteral("바탕색"), pageColour_);
    profile.writeBool(kScreenSection, QStringLiteral("눈금자"), !Ruler_->isHidden());
    const bool full = isMaximized();
    profile.writeBool(kScreenSection, QStringLiteral("full"), full);
    if (!full) {
        profile.writeInteger(kScreenSection, QStringLiteral("top"), pos().y());
        profile.writeInteger(kScreenSection, QStringLiteral("left"), pos().x());
        profile.writeInteger(kScreenSection, QStringLiteral("height"), height());
        profile.writeInteger(kScreenSection, QStringLiteral("width"), width());
    }
}

} // namespace verbana::editing
