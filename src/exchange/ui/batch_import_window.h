// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "exchange/batch_import.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class QFileSystemModel;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTreeView;

namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class CollectionDocument;
}

namespace verbana::exchange::ui {

// A progress bar drawn as a bare line of `height` pixels in `colour`,
// without text, as the import windows show their runs.
QProgressBar *progressLine(QWidget *parent, int height, const QString &colour);

// What the two batch import windows (Tfmhwp, TfmRTF) share: a folder tree
// and the files of the folder shown, the chosen list with ">", ">>", "<",
// "<<" and its count, "넣기 시작" with its thin red progress bar, and
// "취소 닫기". A run adds one sermon per chosen file to `table`; the window
// cannot be closed while it runs. Afterwards only the files that were not
// imported stay listed.
class BatchImportWindow : public QDialog {
    Q_OBJECT
public:
    struct Kind {
        ImportKind import;
        QString caption;
        QStringList patterns; // "*.hwp", "*.hwpx"
        // Choosing another folder empties the chosen list (the HWP window);
        // otherwise every chosen file keeps its own folder.
        bool folderChangeEmpties;
    };
    BatchImportWindow(const Kind &kind, store::CollectionDocument &document,
                      QWidget *parent = nullptr);
    ~BatchImportWindow() override;

    // Called after every run, once the table is still no longer.
    void setAfterRun(std::function<void()> afterRun) { afterRun_ = std::move(afterRun); }

    // The folder whose files FList shows; the folder tree follows.
    void setFolder(const QString &path);
    QString folder() const { return folder_; }
    // The names of the chosen list's rows ("" for the empty row) and the
    // full paths behind them.
    QStringList chosenNames() const;
    const QStringList &chosenPaths() const { return paths_; }
    bool running() const { return running_; }

    void btnAppendClick();
    void btnAppendAllClick();
    void btnDeleteClick();
    void btnDeleteAllClick();
    void SpeedButton5Click();

    QTreeView *DirectoryListBox1;
    QListWidget *FList;
    QTableWidget *fileGrid;
    QLabel *laEA;
    QPushButton *btnAppend, *btnAppendAll, *btnDelete, *btnDeleteAll;
    QPushButton *SpeedButton5, *SpeedButton6;
    QProgressBar *Gauge1;

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void DirectoryListBox1Change(const QString &path);
    void addName(const QString &path);
    void emptyList();
    void showCount();
    void setControlsEnabled(bool on);

    Kind kind_;
    store::CollectionDocument &document_;
    std::function<void()> afterRun_;
    QFileSystemModel *folders_;
    QString folder_;
    QStringList paths_; // one per row of the chosen list
    bool running_ = false;
};

} // namespace verbana::exchange::ui
