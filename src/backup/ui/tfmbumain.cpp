// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/ui/tfmbumain.h"

#include "backup/collection_restore.h"
#include "backup/ui/backup_controls.h"
#include "backup/ui/tfmreback2.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "store/collection_lifecycle.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStorageInfo>
#include <QTabWidget>
#include <QVBoxLayout>

namespace verbana::backup::ui {

namespace {

const QString kHint = QStringLiteral("왼쪽리스트에서 백업할 파일을 선택한 후, 시작 단추를 클릭하십시오.");

QPushButton *button(const QString &caption, const char *name, QWidget *parent)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

QLabel *hintLabel(QWidget *parent)
{
    auto *label = new QLabel(kHint, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

TfmBUmain::TfmBUmain(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmBUmain"));
    setWindowTitle(QStringLiteral("백업파일 만들기/되살리기"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setProperty("helpTopic", 2600);

    backupFile_.setBackupMode(bmAll);
    backupFile_.setCompressionLevel(clFastest);
    backupFile_.setRestoreMode(rmAll);
    backupFile_.setMaxSize(0);
    backupFile_.setSetArchiveFlag(false);
    backupFile_.setRestoreFullPath(true);
    backupFile_.setSaveFileID(false);
    backupFile_.OnProgress = [this](TBackupFile *, const QString &filename, int percent, bool &) {
        OnProgress(filename, percent);
    };

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(makeBackupPage(), QStringLiteral("만들기"));
    PageControl1->addTab(makeRestorePage(), QStringLiteral("되살리기"));
    pnlBackup = makePanel(QStringLiteral("pnlBackup"), QStringLiteral("백업파일 리스트 작성중...."), &lblBackupTitle,
                          &btnStopBackup);
    Gauge1 = new QProgressBar(pnlBackup);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setTextVisible(false);
    Gauge1->setMaximumHeight(8);
    describe(Gauge1, QStringLiteral("백업할 파일 목록"));
    static_cast<QVBoxLayout *>(pnlBackup->layout())->insertWidget(3, Gauge1);
    QLabel *restoreTitle = nullptr;
    pnlRestore = makePanel(QStringLiteral("pnlRestore"), QStringLiteral("백업파일 재생중...."), &restoreTitle,
                           &btnStopRestore);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    describe(ProgressBar1, QStringLiteral("진행률"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(pnlBackup);
    layout->addWidget(pnlRestore);
    layout->addWidget(ProgressBar1);
    pnlBackup->hide();
    pnlRestore->hide();

    connect(btnBackup, &QPushButton::clicked, this, asCommand([this] { btnBackupClick(); }));
    connect(btnRestore, &QPushButton::clicked, this, asCommand([this] { btnRestoreClick(); }));
    connect(btnClose1, &QPushButton::clicked, this, &TfmBUmain::reject);
    connect(btnClose2, &QPushButton::clicked, this, &TfmBUmain::reject);
    connect(btnStopBackup, &QPushButton::clicked, this, asCommand([this] { stopBackupClick(); }));
    connect(btnStopRestore, &QPushButton::clicked, this, asCommand([this] { stopRestoreClick(); }));
    setFolder(paths::programFolder());
    resize(520, 380);
}

TfmBUmain::~TfmBUmain() = default;

QWidget *TfmBUmain::makeBackupPage()
{
    auto *page = new QWidget;
    ListBox1 = new QListWidget(page);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    describe(ListBox1, QStringLiteral("설교집 목록"), kHint);
    fillCollectionList(ListBox1);
    auto *titleLabel = new QLabel(QStringLiteral("백업 제목:"), page);
    edTitle = new QLineEdit(page);
    edTitle->setObjectName(QStringLiteral("edTitle"));
    titleLabel->setBuddy(edTitle);
    describe(edTitle, QStringLiteral("백업 제목:"));
    btnBackup = button(QStringLiteral("백업저장 시작!"), "btnBackup", page);
    btnClose1 = button(QStringLiteral("취소/닫기"), "btnClose1", page);

    auto *right = new QVBoxLayout;
    right->addWidget(hintLabel(page));
    right->addWidget(titleLabel);
    right->addWidget(edTitle);
    right->addStretch();
    right->addWidget(btnBackup);
    right->addWidget(btnClose1);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(ListBox1, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget *TfmBUmain::makeRestorePage()
{
    auto *page = new QWidget;
    FileListBox1 = new QListWidget(page);
    FileListBox1->setObjectName(QStringLiteral("FileListBox1"));
    describe(FileListBox1, QStringLiteral("백업파일 목록"), kHint);
    DirectoryListBox1 = new QListWidget(page);
    DirectoryListBox1->setObjectName(QStringLiteral("DirectoryListBox1"));
    describe(DirectoryListBox1, QStringLiteral("폴더 목록"));
    DriveComboBox1 = new QComboBox(page);
    DriveComboBox1->setObjectName(QStringLiteral("DriveComboBox1"));
    describe(DriveComboBox1, QStringLiteral("드라이브"));
    btnRestore = button(QStringLiteral("재생 시작!"), "btnRestore", page);
    btnClose2 = button(QStringLiteral("취소 닫기"), "btnClose2", page);
    fillDrives();

    auto *lists = new QVBoxLayout;
    lists->addWidget(DirectoryListBox1, 1);
    lists->addWidget(DriveComboBox1);
    auto *right = new QVBoxLayout;
    right->addWidget(hintLabel(page));
    right->addStretch();
    right->addWidget(btnRestore);
    right->addWidget(btnClose2);
    auto *layout = new QHBoxLayout(page);
    layout->addWidget(FileListBox1, 3);
    layout->addLayout(lists, 3);
    layout->addLayout(right, 2);

    connect(DirectoryListBox1, &QListWidget::itemActivated, this,
            [this](QListWidgetItem *item) { directoryChosen(item->text()); });
    connect(DriveComboBox1, &QComboBox::activated, this,
            [this](int index) { setFolder(DriveComboBox1->itemData(index).toString()); });
    return page;
}

QFrame *TfmBUmain::makePanel(const QString &objectName, const QString &title, QLabel **titleLabel, QPushButton **stop)
{
    auto *panel = new QFrame(this);
    panel->setObjectName(objectName);
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Raised);
    *titleLabel = new QLabel(title, panel);
    (*titleLabel)->setObjectName(objectName + QStringLiteral("Title"));
    *stop = button(QStringLiteral("중단"), "", panel);
    (*stop)->setObjectName(objectName == QLatin1String("pnlBackup") ? QStringLiteral("btnStopBackup")
                                                                     : QStringLiteral("btnStopRestore"));
    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(*titleLabel);
    layout->addWidget(new QLabel(QStringLiteral("설교자료의 갯수에 따라서 상당한 시간이 소요될 수 있습니다."), panel));
    layout->addWidget(new QLabel(QStringLiteral("완료 메세지가 나올 때까지 기다려주십시오."), panel));
    layout->addWidget(*stop, 0, Qt::AlignRight);
    return panel;
}

void TfmBUmain::fillDrives()
{
    DriveComboBox1->clear();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        const QString root = volume.rootPath();
        const QString caption = volume.displayName() == root ? root : root + QStringLiteral(" [") + volume.displayName() + QLatin1Char(']');
        DriveComboBox1->addItem(caption, root);
    }
}

void TfmBUmain::setFolder(const QString &folder)
{
    folder_ = QDir(folder).absolutePath();
    DirectoryListBox1->clear();
    if (!QDir(folder_).isRoot())
        DirectoryListBox1->addItem(QStringLiteral(".."));
    DirectoryListBox1->addItems(QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase));
    FileListBox1->clear();
    const QStringList archives = QDir(folder_).entryList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QString &name : archives)
        if (name.endsWith(QLatin1String(".bck"), Qt::CaseInsensitive))
            FileListBox1->addItem(name);
    FileListBox1->setCurrentItem(nullptr);
    const QString root = QStorageInfo(folder_).rootPath();
    for (int i = 0; i < DriveComboBox1->count(); ++i)
        if (DriveComboBox1->itemData(i).toString() == root)
            DriveComboBox1->setCurrentIndex(i);
}

void TfmBUmain::directoryChosen(const QString &name)
{
    setFolder(name == QLatin1String("..") ? QFileInfo(folder_).absolutePath() : folder_ + QLatin1Char('/') + name);
}

void TfmBUmain::running(QFrame *panel, bool on)
{
    PageControl1->setEnabled(!on);
    panel->setVisible(on);
}

void TfmBUmain::btnBackupClick()
{
    const QString name = currentCollection(ListBox1);
    const QString folder = name.isEmpty() ? QString() : paths::resolveExisting(paths::programFolder(), name);
    if (folder.isEmpty() || paths::resolveExisting(folder, QStringLiteral("sul2file.dbf")).isEmpty())
        return;
    const quint32 sermons = store::countCollectionSermons(name).value_or(0);
    Gauge1->setRange(0, int(2 * sermons + 1));
    Gauge1->setValue(0);
    const cp949::Encoded title = cp949::encode(edTitle->text());
    if (!title.ok()) {
        showInformation(QStringLiteral("백업 제목에 쓸 수 없는 글자가 있습니다.\r(%1)").arg(title.unmappable));
        return;
    }
    const QString archive = withDefaultExtension(
        chooseSaveFile(QStringLiteral("백업파일 저장"), paths::programFolder(), QStringLiteral("백업파일 (*.bck)")),
        QStringLiteral("BCK"));
    if (archive.isEmpty())
        return;
    if (isOnRemovableMedia(archive)) {
        showInformation(QStringLiteral("지정하신 드라이버는 FDD입니다. 공 디스켓을 넣어주십시오."));
        backupFile_.setMaxSize(1400000);
    } else {
        backupFile_.setMaxSize(0);
    }
    lblBackupTitle->setText(QStringLiteral("백업파일 리스트 작성중...."));
    running(pnlBackup, true);
    QCoreApplication::processEvents();
    backupFile_.setBackupTitle(title.bytes);
    const bool done = backupFile_.Backup({folder + QStringLiteral("/*.* /s")}, archive);
    running(pnlBackup, false);
    if (done)
        showInformation(QStringLiteral("백업 저장 완료"));
    else
        showError(QStringLiteral("백업 저장 실패"));
    if (folder_ == QFileInfo(archive).absolutePath())
        setFolder(folder_);
}

void TfmBUmain::OnProgress(const QString &filename, int percent)
{
    if (percent == 0 && filename.startsWith(QLatin1Char('%')))
        Gauge1->setValue(qMin(Gauge1->maximum(), filename.mid(1).toInt()));
    else if (!filename.startsWith(QLatin1Char('%')))
        lblBackupTitle->setText(QStringLiteral("백업파일 저장중...."));
    // The component's Progress lets the event loop run as it goes, while
    // it lists the files too.
    ProgressBar1->setVisible(percent < 100);
    ProgressBar1->setValue(percent);
}

void TfmBUmain::stopBackupClick()
{
    if (backupFile_.Busy() && confirm(QStringLiteral("백업 작업을 중단하시겠습니까?"))) {
        backupFile_.Stop();
        pnlBackup->hide();
    }
}

void TfmBUmain::stopRestoreClick()
{
    if (backupFile_.Busy() && confirm(QStringLiteral("백업파일 재생 작업을 중단하시겠습니까?")))
        backupFile_.Stop();
}

void TfmBUmain::btnRestoreClick()
{
    if (backupFile_.Busy())
        return;
    const QListWidgetItem *item = chosenItem(FileListBox1);
    if (!item) {
        showInformation(kHint);
        FileListBox1->setFocus();
        return;
    }
    const QString archive = folder_ + QLatin1Char('/') + item->text();
    QString target;
    {
        Tfmreback2 where(this);
        if (runModal(&where) != QDialog::Accepted)
            return;
        target = where.targetName();
    }
    if (!clearLeftoverFolders())
        return;
    showInformation(QStringLiteral("백업파일 재생을 시작합니다.\r상당한 시간이 소요될 수 있습니다.\r완료 메세지가 나올때까지 기다려주십시오."));
    running(pnlRestore, true);
    const BckRestore result = restoreBckCollection(backupFile_, archive, target, [] {
            showInformation(QStringLiteral("백업파일은 재생되었습니다.\r임시보관해두었던 기존파일을 삭제합니다."));
        });
    running(pnlRestore, false);
    if (result == BckRestore::Damaged) {
        showError(QStringLiteral("백업파일 재생 실패\r백업파일에 문제가 있는 것 같습니다."));
        closing_ = true;
        done(QDialog::Rejected);
        return;
    }
    if (result == BckRestore::Placed)
        showInformation(QStringLiteral("백업파일 재생 완료"));
    else
        showError(QStringLiteral("백업파일 재생 실패"));
    fillCollectionList(ListBox1);
    setFolder(folder_);
}

void TfmBUmain::reject()
{
    if (backupFile_.Busy() && !closing_)
        return;
    QDialog::reject();
}

void TfmBUmain::closeEvent(QCloseEvent *event)
{
    if (backupFile_.Busy() && !closing_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace verbana::backup::ui
