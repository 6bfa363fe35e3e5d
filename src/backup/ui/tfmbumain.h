// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backup/backup_file.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;

namespace verbana::backup::ui {

// "백업파일 만들기/되살리기": backs one collection up into a BCK archive, on
// the hard disk or in volumes on removable media, and restores a BCK
// archive over an existing collection or under a new name. The window
// refuses to close while the archive component runs.
class TfmBUmain : public QDialog {
    Q_OBJECT
public:
    explicit TfmBUmain(QWidget *parent = nullptr);
    ~TfmBUmain() override;

    TBackupFile &BackupFile1() { return backupFile_; }
    // The folder whose archives the restore page lists.
    QString folder() const { return folder_; }
    void setFolder(const QString &folder);

    void btnBackupClick();
    void btnRestoreClick();

    QTabWidget *PageControl1;
    // 만들기
    QListWidget *ListBox1;
    QLineEdit *edTitle;
    QPushButton *btnBackup;
    QPushButton *btnClose1;
    // 되살리기
    QComboBox *DriveComboBox1;
    QListWidget *DirectoryListBox1;
    QListWidget *FileListBox1;
    QPushButton *btnRestore;
    QPushButton *btnClose2;
    // Shown while a run goes on.
    QFrame *pnlBackup;
    QLabel *lblBackupTitle;
    QProgressBar *Gauge1;
    QPushButton *btnStopBackup;
    QFrame *pnlRestore;
    QPushButton *btnStopRestore;
    QProgressBar *ProgressBar1;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *makeBackupPage();
    QWidget *makeRestorePage();
    QFrame *makePanel(const QString &objectName, const QString &title, QLabel **titleLabel, QPushButton **stop);
    void OnProgress(const QString &filename, int percent);
    void stopBackupClick();
    void stopRestoreClick();
    void fillDrives();
    void directoryChosen(const QString &name);
    void running(QFrame *panel, bool on);

    TBackupFile backupFile_;
    QString folder_;
    bool closing_ = false;
};

} // namespace verbana::backup::ui
