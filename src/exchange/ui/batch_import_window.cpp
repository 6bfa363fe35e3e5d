// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ui/batch_import_window.h"

#include "platform/progress.h"

#include "platform/commands.h"
#include "platform/described.h"
#include "platform/prompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace verbana::exchange::ui {

namespace {

QPushButton *button(const QString &caption, const char *name, const QString &hint, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    describe(b, caption, hint);
    return b;
}

} // namespace

QProgressBar *progressLine(QWidget *parent, int height, const QString &colour)
{
    auto *bar = new QProgressBar(parent);
    bar->setObjectName(QStringLiteral("Gauge1"));
    describe(bar, QStringLiteral("진행"));
    bar->setTextVisible(false);
    bar->setFixedHeight(height);
    bar->setStyleSheet(QStringLiteral("QProgressBar { border: none; background: transparent; }"
                                      "QProgressBar::chunk { background: %1; }")
                           .arg(colour));
    bar->setValue(0);
    return bar;
}

BatchImportWindow::BatchImportWindow(const Kind &kind, store::CollectionDocument &document,
                                     QWidget *parent)
    : QDialog(parent), kind_(kind), document_(document)
{
    setWindowTitle(kind.caption);
    setProperty("helpTopic", 2400);
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);

    folders_ = new QFileSystemModel(this);
    folders_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    folders_->setRootPath(QDir::rootPath());
    DirectoryListBox1 = new QTreeView(this);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    describe(DirectoryListBox1, QStringLiteral("폴더"));
    DirectoryListBox1->setModel(folders_);
    for (int column = 1; column < folders_->columnCount(); ++column)
        DirectoryListBox1->hideColumn(column);
    DirectoryListBox1->header()->hide();

    FList = new QListWidget(this);
    FList->setObjectName(QStringLiteral("FList"));
    describe(FList, QStringLiteral("파일"), kind.patterns.join(QLatin1Char(';')));
    FList->setSelectionMode(QAbstractItemView::ExtendedSelection);

    fileGrid = new QTableWidget(1, 1, this);
    fileGrid->setObjectName(QStringLiteral("fileGrid"));
    describe(fileGrid, QStringLiteral("불러넣을 파일"));
    fileGrid->horizontalHeader()->hide();
    fileGrid->horizontalHeader()->setStretchLastSection(true);
    fileGrid->verticalHeader()->hide();
    fileGrid->verticalHeader()->setDefaultSectionSize(19);
    fileGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    fileGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    fileGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    btnAppend = button(QStringLiteral(">"), "btnAppend", QStringLiteral("선택한 파일 추가"), this);
    btnAppendAll = button(QStringLiteral(">>"), "btnAppendAll", QStringLiteral("모든 파일 추가"), this);
    btnDelete = button(QStringLiteral("<"), "btnDelete", QStringLiteral("선택한 파일 빼기"), this);
    btnDeleteAll = button(QStringLiteral("<<"), "btnDeleteAll", QStringLiteral("모든 파일 빼기"), this);
    SpeedButton5 = button(QStringLiteral("넣기 시작"), "SpeedButton5", QString(), this);
    SpeedButton6 = button(QStringLiteral("취소 닫기"), "SpeedButton6", QString(), this);
    auto *countCaption = new QLabel(QStringLiteral("파일 갯수:"), this);
    laEA = new QLabel(QStringLiteral("0"), this);
    laEA->setObjectName(QStringLiteral("laEA"));
    describe(laEA, QStringLiteral("파일 갯수"));

    Gauge1 = progressLine(this, 2, QStringLiteral("red"));

    auto *left = new QSplitter(Qt::Vertical, this);
    left->addWidget(DirectoryListBox1);
    left->addWidget(FList);
    auto *middle = new QVBoxLayout;
    middle->addStretch();
    for (QPushButton *b : {btnAppend, btnAppendAll, btnDelete, btnDeleteAll}) {
        b->setFixedWidth(40);
        middle->addWidget(b);
    }
    middle->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(fileGrid, 1);
    auto *count = new QHBoxLayout;
    count->addWidget(countCaption);
    count->addWidget(laEA, 1);
    right->addLayout(count);
    auto *commands = new QHBoxLayout;
    commands->addWidget(SpeedButton5);
    commands->addWidget(SpeedButton6);
    right->addLayout(commands);
    auto *row = new QHBoxLayout;
    row->addWidget(left, 1);
    row->addLayout(middle);
    row->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 0);
    layout->addLayout(row, 1);
    layout->addWidget(Gauge1);

    // The model reads folders in the background: the folder shown is
    // brought into view once its parent has been read.
    connect(folders_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (DirectoryListBox1->currentIndex().isValid())
            DirectoryListBox1->scrollTo(DirectoryListBox1->currentIndex());
    });
    connect(DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) { DirectoryListBox1Change(folders_->filePath(current)); });
    connect(btnAppend, &QPushButton::clicked, this, asCommand([this] { btnAppendClick(); }));
    connect(btnAppendAll, &QPushButton::clicked, this, asCommand([this] { btnAppendAllClick(); }));
    connect(btnDelete, &QPushButton::clicked, this, asCommand([this] { btnDeleteClick(); }));
    connect(btnDeleteAll, &QPushButton::clicked, this, asCommand([this] { btnDeleteAllClick(); }));
    connect(SpeedButton5, &QPushButton::clicked, this, asCommand([this] { SpeedButton5Click(); }));
    connect(SpeedButton6, &QPushButton::clicked, this, &BatchImportWindow::reject);
    connect(FList, &QListWidget::itemDoubleClicked, this, asCommand([this] { btnAppendClick(); }));

    resize(620, 400);
    setFolder(QDir::homePath());
}

BatchImportWindow::~BatchImportWindow() = default;

void BatchImportWindow::setFolder(const QString &path)
{
    const QModelIndex index = folders_->index(path);
    if (index.isValid() && DirectoryListBox1->currentIndex() != index) {
        DirectoryListBox1->setCurrentIndex(index); // comes back through DirectoryListBox1Change
        DirectoryListBox1->scrollTo(index);
    }
    DirectoryListBox1Change(path);
}

void BatchImportWindow::DirectoryListBox1Change(const QString &path)
{
    if (path.isEmpty() || QDir::cleanPath(path) == folder_)
        return;
    folder_ = QDir::cleanPath(path);
    FList->clear();
    QDir dir(folder_);
    dir.setNameFilters(kind_.patterns);
    FList->addItems(dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    if (kind_.folderChangeEmpties)
        emptyList();
}

QStringList BatchImportWindow::chosenNames() const
{
    QStringList names;
    for (int row = 0; row < fileGrid->rowCount(); ++row)
        names << (fileGrid->item(row, 0) ? fileGrid->item(row, 0)->text() : QString());
    return names;
}

void BatchImportWindow::addName(const QString &path)
{
    const QString name = QFileInfo(path).fileName();
    int row = int(paths_.size());
    for (int i = 0; i < paths_.size(); ++i)
        if (QFileInfo(paths_[i]).fileName() == name)
            row = i;
    if (row == paths_.size()) {
        paths_ << path;
        fileGrid->setRowCount(int(paths_.size()));
        fileGrid->setItem(row, 0, new QTableWidgetItem(name));
    }
    fileGrid->setCurrentCell(row, 0);
    showCount();
}

void BatchImportWindow::emptyList()
{
    paths_.clear();
    fileGrid->clearContents();
    fileGrid->setRowCount(1);
    fileGrid->setCurrentCell(0, 0);
    showCount();
}

void BatchImportWindow::showCount() { laEA->setText(QString::number(paths_.size())); }

void BatchImportWindow::btnAppendClick()
{
    for (int i = 0; i < FList->count(); ++i)
        if (FList->item(i)->isSelected())
            addName(folder_ + QLatin1Char('/') + FList->item(i)->text());
}

void BatchImportWindow::btnAppendAllClick()
{
    for (int i = 0; i < FList->count(); ++i)
        addName(folder_ + QLatin1Char('/') + FList->item(i)->text());
}

void BatchImportWindow::btnDeleteClick()
{
    if (paths_.isEmpty())
        return;
    const QList<QTableWidgetSelectionRange> ranges = fileGrid->selectedRanges();
    int top = fileGrid->currentRow(), bottom = top;
    if (!ranges.isEmpty()) {
        top = ranges.first().topRow();
        bottom = ranges.first().bottomRow();
        for (const QTableWidgetSelectionRange &r : ranges) {
            top = std::min(top, r.topRow());
            bottom = std::max(bottom, r.bottomRow());
        }
    }
    if (top < 0)
        return;
    const int current = top;
    for (int row = std::min(bottom, int(paths_.size()) - 1); row >= top; --row) {
        paths_.removeAt(row);
        fileGrid->removeRow(row);
    }
    if (paths_.isEmpty()) {
        emptyList();
        return;
    }
    fileGrid->clearSelection();
    fileGrid->setCurrentCell(std::min(current, int(paths_.size()) - 1), 0);
    showCount();
}

void BatchImportWindow::btnDeleteAllClick() { emptyList(); }

void BatchImportWindow::setControlsEnabled(bool on)
{
    for (QWidget *w : std::initializer_list<QWidget *>{DirectoryListBox1, FList, fileGrid, btnAppend, btnAppendAll,
                                                       btnDelete, btnDeleteAll, SpeedButton5, SpeedButton6})
        w->setEnabled(on);
}

void BatchImportWindow::SpeedButton5Click()
{
    if (paths_.isEmpty() || running_)
        return;
    const QStringList paths = paths_;
    Gauge1->setValue(0);
    ImportOutcome outcome;
    {
        setControlsEnabled(false);
        running_ = true;
        struct Restore {
            BatchImportWindow *w;
            ~Restore()
            {
                w->running_ = false;
                w->setControlsEnabled(true);
            }
        } restore{this};
        // The file at hand is the current row, and the bar moves.
        Progress shown([&](const Progress::Report &r) {
            if (r.done < uint64_t(paths.size()))
                fileGrid->setCurrentCell(int(r.done), 0);
            Gauge1->setRange(0, int(std::max<uint64_t>(r.total, 1)));
            Gauge1->setValue(int(r.done));
            QCoreApplication::processEvents();
        });
        outcome = runBatchImport(kind_.import, document_, paths, &shown);
    }
    if (afterRun_)
        afterRun_();
    emptyList();
    for (const QString &name : outcome.failed)
        for (const QString &path : paths)
            if (QFileInfo(path).fileName() == name) {
                addName(path);
                break;
            }
    if (outcome.error.isEmpty())
        showInformation(outcome.message());
    else
        showError(outcome.message());
}

void BatchImportWindow::reject()
{
    if (!running_)
        QDialog::reject();
}

void BatchImportWindow::closeEvent(QCloseEvent *event)
{
    if (running_)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

} // namespace verbana::exchange::ui
