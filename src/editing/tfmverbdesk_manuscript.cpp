// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's manuscript page: the manuscript button and its pop-up
// menu, taking in an HWP file, editing an HWP manuscript in the desktop's
// word processor, and the refresh button.
#include "editing/manuscript_files.h"
#include "editing/outside_editing.h"
#include "editing/tfmqhwp.h"
#include "editing/tfmverbdesk.h"
#include "editing/manuscript_view.h"
#include "store/collection_document.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "richtext/richtext.h"
#include "store/collection_files.h"
#include "store/convert_hwp.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

namespace verbana::editing {

namespace {

// Turns controls off for the length of a command and on again on every
// way out.
class Disabled {
public:
    explicit Disabled(std::initializer_list<QWidget *> widgets) : widgets_(widgets)
    {
        for (QWidget *w : widgets_)
            w->setEnabled(false);
    }
    ~Disabled()
    {
        for (QWidget *w : widgets_)
            w->setEnabled(true);
    }
    Disabled(const Disabled &) = delete;
    Disabled &operator=(const Disabled &) = delete;

private:
    std::vector<QWidget *> widgets_;
};

} // namespace

void Tfmverbdesk::setManuscriptCaption(const QString &caption)
{
    manuscriptCaption_ = caption;
    if (btnMEdit_) {
        btnMEdit_->setText(caption);
        btnMEdit_->setAccessibleName(caption);
    }
}

void Tfmverbdesk::loadTextCopy(const QString &path)
{
    // Only a regular file: a pipe or device put in its place must not hold
    // the window up.
    if (path.isEmpty())
        return;
    auto file = files::FileSystem::posix().open(path, files::OpenMode::ReadStored);
    if (!file)
        return;
    reManuscript_->showFile(std::move(file.value()), document_.highlightTerms());
    reManuscript_->ensureCursorVisible();
}

void Tfmverbdesk::openBuiltInEditor(const QString &filePath, const QString &textCopyPath, bool load)
{
    if (editor_)
        editor_(filePath, textCopyPath, load);
}

void Tfmverbdesk::btnMEditClick()
{
    if (!editing_.table() || !editing_.table()->Active())
        return;
    if (manuscriptCaption_ != QStringLiteral("원고 수정")) {
        pmManuscript_->popup(btnMEdit_->mapToGlobal(QPoint(6, btnMEdit_->height())));
        return;
    }
    if (editing_.context().isEmpty()) {
        if (refuseReadOnly())
            return;
        editing_.setContext(store::ReplaceExtension(
            store::NewManuscriptName(*editing_.table(), editing_.collectionFolder()), QStringLiteral(".RTF")));
    }
    const ManuscriptFiles files = ManuscriptPaths(editing_);
    if (!files.ok())
        return;
    prepareManuscriptFiles(files);
    switch (manuscriptType(editing_.context())) {
    case ManuscriptType::BuiltIn:
        openBuiltInEditor(files.manuscript, files.textCopy, true);
        if (QFileInfo::exists(files.manuscript))
            loadTextCopy(files.textCopy);
        break;
    case ManuscriptType::Hwp:
        editHwpManuscript(files.manuscript);
        break;
    default:
        break;
    }
}

void Tfmverbdesk::mnSelfEditorClick()
{
    const QString folder = editing_.collectionFolder();
    if (folder.isEmpty())
        return;
    const QString file = paths::resolve(folder, QStringLiteral("temp") + extensionOf(editing_.PendingManuscript));
    const QString text = paths::resolve(folder, QStringLiteral("temp.txt"));
    openBuiltInEditor(file, text, false);
    if (!QFileInfo::exists(file))
        return;
    setManuscriptCaption(QStringLiteral("원고 수정"));
    loadTextCopy(text);
    editing_.setContext(editing_.PendingManuscript);
}

void Tfmverbdesk::mnHwpFileClick()
{
    const QString folder = editing_.collectionFolder();
    if (folder.isEmpty())
        return;
    if (!files::isFixedLocalFolder(paths::programFolder())) {
        showInformation(hardDiskOnlyText());
        return;
    }
    const QString chosen = chooseOpenFile(QStringLiteral("아래아 한글"), QString(), QStringLiteral("아래아 한글 (*.hwp *.hwpx)"));
    // The keys go back to this window when the chooser has closed.
    activateWindow();
    if (chosen.isEmpty())
        return;
    const Disabled busy{btnMEdit_};
    const int result = store::ConvertHwp(chosen);
    if (result != store::hwpConverted) {
        showInformation(store::convertHwpMessage(result, false));
        return;
    }
    takeInConverted(folder);
    const QString text = paths::resolveExisting(folder, QStringLiteral("temp.txt"));
    if (text.isEmpty())
        return;
    loadTextCopy(text);
    setManuscriptCaption(QStringLiteral("원고 수정"));
    editing_.setContext(store::ReplaceExtension(editing_.PendingManuscript, store::hwpManuscriptExtension(chosen)));
}

void Tfmverbdesk::editHwpManuscript(const QString &manuscript)
{
    const HwpEditor editor = hwpEditorFor(manuscript);
    if (!editor.compatible) {
        if (!confirm(incompatibleHwpQuestion()))
            return;
        if (!editing_.changing() && refuseReadOnly())
            return;
        turnIntoBuiltIn(editing_);
        btnMEditClick();
        return;
    }
    if (!QFileInfo::exists(manuscript) || !askToStartHwp(this))
        return;
    hide();
    struct ShowAgain {
        QWidget *window;
        ~ShowAgain() { window->show(); }
    } showAgain{this};
    editOutside(editor.command);
    show();
    activateWindow();
    btnMRefreshClick();
}

void Tfmverbdesk::btnMRefreshClick()
{
    const QString context = editing_.context();
    if (context.isEmpty() || manuscriptType(context) != ManuscriptType::Hwp)
        return;
    const ManuscriptFiles files = ManuscriptPaths(editing_);
    if (!files.ok() || !QFileInfo(files.manuscript).isFile())
        return;
    const Disabled busy{btnMEdit_, btnMRefresh_};
    const int result = store::ConvertHwp(files.manuscript);
    if (result != store::hwpConverted) {
        showInformation(store::convertHwpMessage(result, true));
        return;
    }
    renewTextCopy(files.textCopy);
    loadTextCopy(files.textCopy);
}

} // namespace verbana::editing
