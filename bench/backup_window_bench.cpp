// SPDX-License-Identifier: GPL-3.0-or-later
// The backup windows' work, one step per run, for backup_bench.sh: a ZIP
// backup or restore through the ZIP logic, a BCK backup or restore through
// TfmBUmain's own buttons (a prompter answers its questions), and the same
// BCK work through the archive component alone, to show the window adds
// nothing.
//   backup_window_bench zip-backup PROGRAM_FOLDER COLLECTION ARCHIVE
//   backup_window_bench zip-restore PROGRAM_FOLDER ARCHIVE NAME
//   backup_window_bench bck-window-backup PROGRAM_FOLDER COLLECTION ARCHIVE
//   backup_window_bench bck-window-restore PROGRAM_FOLDER ARCHIVE NAME
//   backup_window_bench bck-component-backup PROGRAM_FOLDER COLLECTION ARCHIVE
//   backup_window_bench bck-component-restore PROGRAM_FOLDER ARCHIVE TARGET
#include "backup/backup_file.h"
#include "backup/ui/tfmbumain.h"
#include "backup/ui/tfmreback2.h"
#include "backup/zip_archive.h"
#include "platform/paths.h"
#include "platform/progress.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

#include <cstdio>

using namespace verbana;

namespace {

// Answers the save chooser with the archive, OK to every message, and
// fills the restore-target window with a new name.
class BenchPrompter final : public Prompter {
public:
    QString file, name;
    bool failed = false;
    PromptAnswer ask(const PromptRequest &request) override
    {
        PromptAnswer answer;
        answer.accepted = true;
        if (request.kind == PromptKind::Error)
            failed = true;
        if (request.kind == PromptKind::SaveFile || request.kind == PromptKind::OpenFile)
            answer.files << file;
        if (request.kind == PromptKind::Modal) {
            auto *where = qobject_cast<backup::ui::Tfmreback2 *>(request.window);
            where->RadioButton2->setChecked(true);
            where->Edit1->setText(name);
            where->btnOK->click();
            answer.result = where->result();
        }
        return answer;
    }
};

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: backup_window_bench MODE PROGRAM_FOLDER A B\n");
        return 2;
    }
    const QString mode = args[1];
    paths::setProgramFolder(args[2]);
    const QString a = args[3], b = args[4];
    BenchPrompter prompts;
    setPrompter(&prompts);
    QString failure;
    // As the ZIP window shows its progress: events run at each report.
    Progress progress([](const Progress::Report &) { QCoreApplication::processEvents(); });
    if (mode == QLatin1String("zip-backup")) {
        failure = backup::packCollection(paths::resolve(args[2], a), b, &progress).reason();
    } else if (mode == QLatin1String("zip-restore")) {
        const Outcome<backup::ZipDirectory> dir = backup::readCollectionArchive(a);
        failure = dir.ok() ? backup::unpackCollection(a, dir.value(), b, &progress).reason() : dir.reason();
    } else if (mode == QLatin1String("bck-window-backup")) {
        backup::ui::TfmBUmain dlg;
        const auto rows = dlg.ListBox1->findItems(a, Qt::MatchExactly);
        if (rows.isEmpty())
            return 2;
        dlg.ListBox1->setCurrentItem(rows.first());
        prompts.file = b;
        dlg.btnBackup->click();
    } else if (mode == QLatin1String("bck-window-restore")) {
        backup::ui::TfmBUmain dlg;
        dlg.setFolder(QFileInfo(a).absolutePath());
        const auto rows = dlg.FileListBox1->findItems(QFileInfo(a).fileName(), Qt::MatchExactly);
        if (rows.isEmpty())
            return 2;
        dlg.FileListBox1->setCurrentItem(rows.first());
        prompts.name = b;
        dlg.btnRestore->click();
    } else if (mode == QLatin1String("bck-component-backup")) {
        TBackupFile component;
        if (!component.Backup({paths::resolve(args[2], a) + QStringLiteral("/*.* /s")}, b))
            failure = QStringLiteral("backup failed");
    } else if (mode == QLatin1String("bck-component-restore")) {
        TBackupFile component;
        if (!component.Restore(a, b))
            failure = QStringLiteral("restore failed");
    } else {
        return 2;
    }
    setPrompter(nullptr);
    if (prompts.failed || !failure.isEmpty()) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(mode), qPrintable(failure));
        return 1;
    }
    return 0;
}
