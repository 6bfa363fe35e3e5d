// SPDX-License-Identifier: GPL-3.0-or-later
// The document editor's commands: files, clipboard, closing.
#include "editing/tfmmemo.h"

#include "editing/colour_map.h"
#include "editing/memo_controls.h"
#include "editing/spell_marks.h"
#include "platform/commands.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace verbana::editing {

namespace {
const QString kCaption = QStringLiteral("문서작성기");
const QString kRichFilter = QStringLiteral("서식있는 문자열 (*.rtf)");
const QString kTextFilter = QStringLiteral("Text (*.txt)");
} // namespace

void editWithBuiltInEditor(QWidget *parent, const QString &filePath, const QString &textCopyPath, bool load)
{
    Tfmmemo editor(parent);
    // A manuscript that cannot be read is not opened empty: saving that
    // would put an empty document over it.
    if (load && QFileInfo(filePath).isFile() && !editor.loadDocument(filePath))
        return;
    editor.setFilePath(filePath);
    editor.setTextCopyPath(textCopyPath);
    runModal(&editor);
}

bool Tfmmemo::isModified() const { return RichEdit1_->document()->isModified(); }

bool Tfmmemo::loadDocument(const QString &path)
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(RichEdit1_->document()->defaultFont());
    if (const QString error = memo::loadFile(path, *doc); !error.isEmpty()) {
        showError(error);
        return false;
    }
    adoptDocument(std::move(doc));
    return true;
}

void Tfmmemo::adoptDocument(std::unique_ptr<QTextDocument> doc)
{
    // The text area deletes the document it replaces, its own child.
    doc->setParent(RichEdit1_);
    doc->setModified(false);
    RichEdit1_->setDocument(doc.release());
    RichEdit1_->moveCursor(QTextCursor::Start);
    marks_->documentReplaced();
    syncControls();
}

void Tfmmemo::clearDocument()
{
    auto doc = std::make_unique<QTextDocument>();
    doc->setDefaultFont(RichEdit1_->document()->defaultFont());
    adoptDocument(std::move(doc));
}

void Tfmmemo::mnNewClick()
{
    if (isModified() && !confirm(QStringLiteral("현재 모든 내용을 삭제합니다.\r동의하십니까?")))
        return;
    clearDocument();
    setWindowTitle(kCaption);
}

void Tfmmemo::mnLoadClick()
{
    if (isModified() && !confirm(QStringLiteral("파일을 불러오면 현재 모든 내용을 삭제됩니다.\r동의하십니까?")))
        return;
    const QString path = chooseOpenFile(QStringLiteral("파일 불러오기"), paths::programFolder(),
                                        QStringLiteral("Text (*.txt *.cap *.rtf);;All (*)"));
    if (path.isEmpty())
        return;
    if (!loadDocument(path))
        return;
    // The loaded content is not yet the manuscript's: closing asks to save it.
    RichEdit1_->document()->setModified(true);
    exportName_ = QFileInfo(path).fileName();
    setWindowTitle(kCaption + QStringLiteral(" - ") + path.toLower());
}

bool Tfmmemo::save()
{
    const memo::SaveOutcome outcome = memo::saveManuscript(*RichEdit1_->document(), filePath_, textCopyPath_);
    if (!outcome.rtfWritten) {
        showError(outcome.error);
        return false;
    }
    if (!outcome.textWritten) {
        showError(memo::textCopyFailedMessage(outcome.error));
        return false;
    }
    RichEdit1_->document()->setModified(false);
    if (!outcome.replaced.isEmpty())
        showInformation(memo::replacedMessage(outcome.replaced, true));
    return true;
}

void Tfmmemo::mnSaveClick() { save(); }

void Tfmmemo::mnExportClick()
{
    const SaveChoice choice = chooseSaveFileAndFilter(QStringLiteral("파일로 추출"), paths::programFolder(),
                                                      kRichFilter + QStringLiteral(";;") + kTextFilter, exportName_);
    if (choice.file.isEmpty())
        return;
    const memo::ExportTarget target = memo::exportTarget(choice.file, choice.filter == kTextFilter ? 1 : 0);
    QString replaced;
    if (const QString error = memo::writeExport(*RichEdit1_->document(), target, replaced); !error.isEmpty()) {
        showError(error);
        return;
    }
    if (!replaced.isEmpty())
        showInformation(memo::replacedMessage(replaced, false));
}

void Tfmmemo::mnCopyAllClick()
{
    QTextCursor cursor = RichEdit1_->textCursor();
    RichEdit1_->selectAll();
    RichEdit1_->copy();
    cursor.movePosition(QTextCursor::Start);
    RichEdit1_->setTextCursor(cursor);
}

void Tfmmemo::reject()
{
    if (isModified() && confirm(QStringLiteral("추가입력된 부분이 저장되지 않았습니다.\r저장하시겠습니까?"))) {
        bool saved = false;
        runCommand([&] { saved = save(); });
        // What was typed stays on screen when it could not be stored.
        if (!saved)
            return;
    }
    runCommand([this] { writeSettings(); });
    QDialog::reject();
}

} // namespace verbana::editing
