// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"
#include "platform/result.h"

#include <QDialog>

class QProgressBar;
class QPushButton;

namespace verbana::backup::ui {

// "백업 저장/해제": backs a collection up into a ZIP archive and restores
// one as a new or an existing collection. A run that succeeds closes the
// window without a message; one that fails says why and leaves it open.
// While a run goes on, 닫기 (or Escape) stops it instead of closing; a run
// stopped so changes nothing and leaves the window open.
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

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showProgress(const Progress::Report &report);
    void setRunning(bool on);
    // Shows why a run failed; a stopped run says nothing. True when it succeeded.
    bool succeeded(const Outcome<void> &run);

    Progress progress_;
    bool running_ = false;
};

} // namespace verbana::backup::ui
