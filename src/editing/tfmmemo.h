// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in document editor "문서작성기", in which a sermon's manuscript is written.
#pragma once

#include "editing/memo_document.h"
#include "editing/spell_checker.h"
#include "settings/colours.h"

#include <QDialog>
#include <QTextCharFormat>

#include <memory>

class QAbstractSpinBox;
class QAction;
class QButtonGroup;
class QComboBox;
class QMenu;
class QPrinter;
class QTextEdit;
class QToolBar;
class QToolButton;

namespace verbana::editing {

class MemoRuler;
class MemoSizeBox;
class SpellMarks;

// Opens the editor modally (runModal) on a manuscript: `filePath` is loaded when
// `load` is true and it exists (the modified flag then clear), the two paths set;
// returns when the window has closed.
void editWithBuiltInEditor(QWidget *parent, const QString &filePath, const QString &textCopyPath, bool load);

// A rich-text editor window for one manuscript. Save writes the document as
// RTF to the file path and as CP949 plain text to the text-copy path.
class Tfmmemo final : public QDialog {
    Q_OBJECT
public:
    explicit Tfmmemo(QWidget *parent = nullptr);
    ~Tfmmemo() override;

    // Replaces the document with a file's content (RTF with its formatting,
    // anything else as plain text) and clears the modified flag. On failure
    // the error is shown, the document stays as it was and false is returned.
    bool loadDocument(const QString &path);
    void setFilePath(const QString &path) { filePath_ = path; }
    void setTextCopyPath(const QString &path) { textCopyPath_ = path; }
    const QString &filePath() const { return filePath_; }
    const QString &textCopyPath() const { return textCopyPath_; }

    QTextEdit *textArea() const { return RichEdit1_; }
    bool isModified() const;
    colours::TColor pageColour() const { return pageColour_; }
    SpellMarks *spellMarks() const { return marks_; }

    // The commands of the menus and the tool bar.
    void mnNewClick();
    void mnLoadClick();
    void mnSaveClick();
    void mnExportClick();
    void mnPrintClick();
    void mnPrintSetupClick();
    void mnCopyAllClick();
    void mnBlockFontClick();
    void mnPageColourClick();
    void mnRulerClick();
    void mnSpellingClick(bool on);

    // Closing asks about unsaved changes first.
    void reject() override;

private:
    void buildMenus();
    void buildToolBar();
    void buildContextMenu();
    void readSettings();
    void writeSettings();
    void setPageColour(colours::TColor colour);

    // Brings the tool bar and the ruler into line with the text at the cursor.
    void syncControls();
    void mergeFormat(const QTextCharFormat &format);
    void applySize(int size);
    void setAlignment(Qt::Alignment alignment);
    void setIndents(const memo::Indents &indents);
    memo::Indents currentIndents() const;
    void clearDocument();
    void adoptDocument(std::unique_ptr<class QTextDocument> doc);
    // Saves both files; false when either could not be written.
    bool save();
    void render(QPrinter *printer);

    QString filePath_;
    QString textCopyPath_;
    QString exportName_;
    colours::TColor pageColour_ = colours::clWindow;
    bool syncing_ = false;
    std::unique_ptr<QPrinter> printer_;
    std::shared_ptr<spelling::SpellChecker> speller_;
    spelling::IgnoredWords *ignored_ = nullptr;
    SpellMarks *marks_ = nullptr;

    QTextEdit *RichEdit1_ = nullptr;
    MemoRuler *Ruler_ = nullptr;
    QToolBar *ToolBar1_ = nullptr;
    QComboBox *cbFont_ = nullptr;
    MemoSizeBox *eSize_ = nullptr;
    QToolButton *btnItalic_ = nullptr;
    QToolButton *btnBold_ = nullptr;
    QToolButton *btnUnderline_ = nullptr;
    QComboBox *cbColour_ = nullptr;
    QToolButton *btnLeft_ = nullptr;
    QToolButton *btnCenter_ = nullptr;
    QToolButton *btnRight_ = nullptr;
    QButtonGroup *alignGroup_ = nullptr;
    QMenu *popup_ = nullptr;
    QAction *mnCopy_ = nullptr;
    QAction *mnCut_ = nullptr;
    QAction *mnPaste_ = nullptr;
    QAction *mnUndo_ = nullptr;
    QAction *mnSelectAll_ = nullptr;
    QAction *mnCopyAll_ = nullptr;
    QAction *mnClose_ = nullptr;
    QAction *mnSpelling_ = nullptr;
};

} // namespace verbana::editing
