// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/tfmverbdesk.h"
#include "editing/manuscript_files.h"
#include "editing/manuscript_view.h"

#include "editing/record_boxes.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmmemo.h"
#include "platform/commands.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "richtext/richtext.h"
#include "search/highlight_terms.h"
#include "store/collection_document.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"

#include "platform/cp949.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QAction>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QTextCursor>
#include <QVBoxLayout>

namespace verbana::editing {

Tfmverbdesk::Tfmverbdesk(store::CollectionDocument &document, QWidget *parent)
    : QMainWindow(parent), document_(document)
{
    setObjectName(QStringLiteral("fmverbdesk"));
    setWindowTitle(QStringLiteral("Verbana"));
    editor_ = [this](const QString &filePath, const QString &textCopyPath, bool load) {
        editWithBuiltInEditor(this, filePath, textCopyPath, load);
    };
    buildMenus();

    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *strip = new QWidget(central);
    strip->setObjectName(QStringLiteral("pnlToolbar"));
    // A narrow window cuts the tool bar off at its right edge instead of
    // growing to hold every control.
    strip->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    buildToolbar(strip);
    column->addWidget(strip);
    progressLine_ = new QProgressBar(central);
    progressLine_->setObjectName(QStringLiteral("pbProgress"));
    progressLine_->setFixedHeight(1);
    progressLine_->setTextVisible(false);
    progressLine_->setRange(0, 100);
    progressLine_->setValue(0);
    progressLine_->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: transparent; }"
                                                "QProgressBar::chunk { background: red; }"));
    column->addWidget(progressLine_);

    splitter_ = new QSplitter(Qt::Horizontal, central);
    splitter_->setObjectName(QStringLiteral("Splitter1"));
    splitter_->setHandleWidth(3);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(buildListPanel());
    connect(model_, &QAbstractItemModel::modelReset, this, asCommand([this] { syncListToTable(); }));
    PageControl1_ = new QTabWidget(splitter_);
    PageControl1_->setObjectName(QStringLiteral("PageControl1"));
    tsOutline_ = buildOutlinePage();
    tsManuscript_ = buildManuscriptPage();
    tsSelf_ = buildSelfPage();
    PageControl1_->addTab(scrolling(tsOutline_), QStringLiteral("설교개요"));
    PageControl1_->addTab(tsManuscript_, QStringLiteral("설교원고"));
    PageControl1_->addTab(scrolling(tsSelf_), QStringLiteral("자기평가"));
    splitter_->addWidget(PageControl1_);
    splitter_->setStretchFactor(1, 1);
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { LayoutBoxes(); });
    PageControl1_->installEventFilter(this);
    column->addWidget(splitter_, 1);
    setCentralWidget(central);

    viewTimer_.setSingleShot(true);
    viewTimer_.setInterval(100);
    connect(&viewTimer_, &QTimer::timeout, this, asCommand([this] { RefreshManuscriptView(); }));
    listTimer_.setSingleShot(true);
    listTimer_.setInterval(500);
    connect(&listTimer_, &QTimer::timeout, this, [this] {
        if (editing_.changing())
            DBGrid1_->setEnabled(false);
    });

    SetCollectionControls(false);
    readSettings();
    showRecord();

    // The window holds on to the table exactly while it is open: it lets go
    // when the document is about to close it, and is bound again whenever a
    // collection is open afterwards.
    connect(&document_, &store::CollectionDocument::tableClosing, this, &Tfmverbdesk::unbindCollection);
    connect(&document_, &store::CollectionDocument::collectionStateChanged, this, asCommand([this] {
                bindCollection();
                rememberedCollection_ = document_.lastCollection();
            }));
    connect(&document_, &store::CollectionDocument::tableReopened, this, asCommand([this] { bindCollection(); }));
    connect(&document_, &store::CollectionDocument::deletedWhileFrozen, model_, &SermonListModel::noteDeleted);
    bindCollection();
}

Tfmverbdesk::~Tfmverbdesk() { unbindCollection(); }

QWidget *Tfmverbdesk::scrolling(QWidget *content)
{
    auto *area = new QScrollArea;
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setWidget(content);
    return area;
}

void Tfmverbdesk::bindCollection()
{
    unbindCollection();
    if (!document_.isOpen()) {
        SetCollectionControls(false);
        return;
    }
    xbase::TApolloTable *table = &document_.table();
    editing_.bind(table, document_.collectionFolder());
    tablePath_ = document_.openedTablePath();
    // The window's reactions to the table never let an error of their own
    // unwind into the table operation that announced the change.
    tableConnections_.push_back(connect(table, &xbase::TApolloTable::notified, this,
                                        [this](const xbase::TableNotification &n) { runCommand([&] { onNotified(n); }); }));
    tableConnections_.push_back(
        connect(table, &xbase::TApolloTable::dataChanged, this, asCommand([this] { showRecord(); })));
    tableConnections_.push_back(connect(table, &xbase::TApolloTable::controlsThawed, this, asCommand([this] {
                                            showRecord();
                                            syncListToTable();
                                        })));
    model_->setTable(table);
    rememberedCollection_ = store::CollectionLabel(document_.collectionFolder());
    setWindowTitle(QStringLiteral("Verbana - ") + rememberedCollection_);
    SetCollectionControls(true);
    showRecord();
    syncListToTable();
    RefreshManuscriptView();
}

void Tfmverbdesk::unbindCollection()
{
    for (const auto &c : tableConnections_)
        disconnect(c);
    tableConnections_.clear();
    viewTimer_.stop();
    listTimer_.stop();
    if (model_)
        model_->setTable(nullptr);
    const bool wasBound = editing_.table() != nullptr;
    editing_.bind(nullptr, QString());
    tablePath_.clear();
    if (!wasBound || !PageControl1_)
        return;
    pnlSave_->hide();
    DBGrid1_->setEnabled(true);
    reManuscript_->clearView();
    setWindowTitle(QStringLiteral("Verbana"));
    SetCollectionControls(false);
    showRecord();
}

void Tfmverbdesk::SetCollectionControls(bool open)
{
    PageControl1_->setCurrentIndex(0);
    for (int i = 0; i < PageControl1_->count(); ++i)
        PageControl1_->widget(i)->setEnabled(open);
    DBGrid1_->setVisible(open);
    lblNoCollection_->setVisible(!open);
    mnData_->setEnabled(open);
    for (QAction *a : {mnAppend_, mnEdit_, mnSave_, mnCancel_})
        a->setEnabled(open);
    for (QPushButton *b : {btnAppend_, btnEdit_, btnDelete_, btnSave_, btnCancel_})
        b->setEnabled(open);
    // A collection opened read-only is shown, never changed.
    if (open && editing_.table() && editing_.table()->ReadOnly) {
        for (QAction *a : {mnAppend_, mnEdit_, mnSave_, mnCancel_, mnDelete_})
            a->setEnabled(false);
        for (QPushButton *b : {btnAppend_, btnEdit_, btnDelete_, btnSave_, btnCancel_})
            b->setEnabled(false);
    } else {
        mnDelete_->setEnabled(true);
    }
}

void Tfmverbdesk::closeEvent(QCloseEvent *event)
{
    if (editing_.changing()) {
        showInformation(QStringLiteral("자료의 수정/추가 중입니다."));
        event->ignore();
        return;
    }
    if (!confirm(QStringLiteral("Verbana를 종료하시겠습니까?"))) {
        event->ignore();
        return;
    }
    files::removeFileOnly(paths::programFolder() + QStringLiteral("/usefile.sys"));
    // A settings file that cannot be written is reported; the program is
    // left all the same.
    try {
        writeSettings();
    } catch (const EUserError &error) {
        showError(error.text());
    }
    event->accept();
}

void Tfmverbdesk::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    LayoutBoxes();
}

void Tfmverbdesk::RefreshManuscriptView()
{
    viewTimer_.stop();
    xbase::TApolloTable *t = editing_.table();
    // Work that keeps the table quiet shows the sermon once it is done.
    if (!t || !t->Active() || t->ControlsDisabled())
        return;
    if (editing_.adding()) {
        setManuscriptCaption(QStringLiteral("원고 입력"));
        lblManuType_->setText(QStringLiteral("  "));
        return;
    }
    const QString context = cp949::decode(t->GetString(store::fCONTEXT));
    editing_.PendingManuscript = context;
    const QString extension = extensionOf(context).toUpper();
    if (extension == QLatin1String(".RTF") || extension == QLatin1String(".TXT"))
        lblManuType_->setText(QStringLiteral("자체편집기"));
    else if (manuscriptType(context) == ManuscriptType::Hwp)
        lblManuType_->setText(QStringLiteral("아래아 한글"));
    setManuscriptCaption(QStringLiteral("원고 수정"));

    reManuscript_->clearView();
    QFont font(QStringLiteral("굴림체"));
    font.setPointSize(10);
    reManuscript_->document()->setDefaultFont(font);
    if (!context.isEmpty())
        loadTextCopy(editing_.textCopyPath(context));
}

void Tfmverbdesk::showManuscriptHit(const QString &word)
{
    PageControl1_->setCurrentWidget(tsManuscript_);
    reManuscript_->markTerms(word + QStringLiteral("//"));
    reManuscript_->moveCursor(QTextCursor::Start);
    reManuscript_->ensureCursorVisible();
    reManuscript_->setFocus(Qt::OtherFocusReason);
}

void Tfmverbdesk::addPage(QWidget *page, const QString &caption)
{
    PageControl1_->addTab(page, caption);
    page->setEnabled(editing_.table() != nullptr);
}

} // namespace verbana::editing
