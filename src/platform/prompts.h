// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The one way the program asks the user something or tells him something.
// The program installs a prompter that shows Qt dialogs; tests install a
// scripted one that answers from a queue and keeps a transcript. No other
// code shows message boxes or file choosers.
namespace verbana {

enum class PromptKind {
    Information, // text, OK
    Confirmation, // text, 예 / 아니오; only 예 goes on
    InformationCancel, // text, 확인 / 취소; only 확인 goes on
    Error, // an error's text, OK
    OpenFile, // choose an existing file
    OpenFiles, // choose several existing files
    SaveFile, // choose a file name to write
    ChooseFolder, // choose a folder
    Modal, // a modal window, shown until it closes; `window` is the window
    ChooseColour, // a colour dialog; `value` starts it, the answer's `value` is "#rrggbb"
    ChooseFont, // a font dialog; `value` starts it (QFont::toString()), and so is the answer's
};

struct PromptRequest {
    PromptKind kind = PromptKind::Information;
    QString text; // message, or the chooser's caption
    QString caption; // window title of a message box
    QString directory; // choosers: folder to start in
    QString filter; // choosers: "설명 (*.rtf *.txt);;..."
    QString fileName; // choosers: proposed name
    QObject *window = nullptr; // Modal: the window (a QDialog) to show; `text` is its object name
    QString value; // colour and font dialogs: the value they start with
    QString colour; // font dialog: the colour it offers too, when not empty ("#rrggbb")
};

struct PromptAnswer {
    bool accepted = false; // 예 / OK / a file was chosen
    QStringList files; // choosers
    int result = 0; // Modal: the window's result (QDialog::Accepted, ...)
    QString filter; // save chooser: the filter the user chose (one entry of the request's filter)
    QString value; // colour and font dialogs: what was chosen
    QString colour; // font dialog with a colour: the colour chosen
    QString file() const { return files.isEmpty() ? QString() : files.first(); }
};

class Prompter {
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(const PromptRequest &request) = 0;
};

// The prompter in force. Without one installed, a console prompter writes
// messages to standard error and answers every question with No.
Prompter &prompter();
// Installs p (not owned; nullptr restores the console prompter) and returns
// the previous one.
Prompter *setPrompter(Prompter *p);

// Convenience calls.
void showInformation(const QString &text, const QString &caption = QString());
bool confirm(const QString &text, const QString &caption = QString());
// An information box with 확인 and 취소; true for 확인.
bool informOrCancel(const QString &text, const QString &caption = QString());
void showError(const QString &text);
QString chooseOpenFile(const QString &caption, const QString &directory, const QString &filter);
QStringList chooseOpenFiles(const QString &caption, const QString &directory, const QString &filter);
QString chooseSaveFile(const QString &caption, const QString &directory, const QString &filter,
                       const QString &fileName = QString());
QString chooseFolder(const QString &caption, const QString &directory);

// A save chooser that also tells which of its filters the user chose.
struct SaveChoice {
    QString file; // empty when cancelled
    QString filter; // the entry of `filter` in force when the name was chosen
};
SaveChoice chooseSaveFileAndFilter(const QString &caption, const QString &directory, const QString &filter,
                                   const QString &fileName = QString());
// The colour dialog, starting at `initial` ("#rrggbb"); the chosen colour
// as "#rrggbb", or empty when cancelled.
QString chooseColour(const QString &initial);
// The font dialog, starting at `initial` (QFont::toString()); the chosen
// font in the same form, or empty when cancelled.
QString chooseFont(const QString &initial);
// The font dialog with a colour choice beside it, starting with `font`
// (QFont::toString()) and `colour` ("#rrggbb"); the chosen font, empty when
// cancelled, and the chosen colour in `colour`.
QString chooseFontAndColour(const QString &font, QString &colour);
// Shows a modal window (a QDialog) until it closes and returns its result.
// Every modal window of the program is shown this way, so that tests can
// script it like any other prompt.
int runModal(QObject *window);

} // namespace verbana
