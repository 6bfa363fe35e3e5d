// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace verbana::backup::ui {

// "백업 저장/해제": backs a collection up into a ZIP archive and restores
// one as a new or an existing collection. A run that succeeds closes the
// window without a message; one that fails says why and leaves it open.
class TfmZip : public QDialog {
    Q_OBJECT
public:
    explicit TfmZip(QWidget *parent = nullptr);

    void btnBackupClick();
    void btnRestoreClick();

    QPushButton *btnBackup;
    QPushButton *btnRestore;
    QPushButton *btnClose;
    QProgressBar *ProgressBar1; // the file being packed
    QProgressBar *ProgressBar2; // the whole backup

private:
    void showProgress(int filePercent, int wholePercent);
    void setRunning(bool on);
};

} // namespace verbana::backup::ui
