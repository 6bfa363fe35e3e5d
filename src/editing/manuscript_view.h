// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>

#include "platform/file.h"

#include <memory>

// The manuscript page's view of a sermon's text copy: read-only plain
// text, selectable and copied by mouse and keyboard. A text copy of any
// size shows at once: the first piece is laid out right away and the rest
// follows a piece per turn of the event loop, each turn kept short, so the
// window answers while a copy of tens of megabytes comes in. The view lays
// out only the lines it shows. Terms to mark (a gathering's, a go-to
// search's) are marked in every piece as it comes.
namespace verbana::editing {

class ManuscriptView : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit ManuscriptView(QWidget *parent = nullptr);

    // Shows the CP949 text `bytes` in place of what was shown, the cursor
    // at the start, with the terms of `terms` (a terms text, "//" between
    // terms; see search::HighlightTerms) marked.
    void showText(QByteArray bytes, const QString &terms = QString());
    // The same for the text copy `file` (opened as a stored file), read a
    // piece at a time as it is shown: only the first piece is read before
    // the view paints.
    void showFile(std::unique_ptr<files::File> file, const QString &terms = QString());
    // Empties the view and stops a text still coming in; no marks.
    void clearView();
    // Marks the terms of `terms` too, in all of the text, that shown and
    // that still to come.
    void markTerms(const QString &terms);
    // True while pieces of the text are still to come.
    bool loading() const { return next_ < bytes_.size() || file_; }
    // Puts the whole text on the clipboard, pieces still to come included.
    void copyAll();

    // How much one turn may take, and the size of the first piece and of
    // those that follow (bytes). Tests make them small.
    static constexpr int kTurnMilliseconds = 25;
    static constexpr qsizetype kFirstPiece = 64 * 1024;
    static constexpr qsizetype kPiece = 128 * 1024;

Q_SIGNALS:
    // The last piece of the text is in the view.
    void textComplete();

private:
    void start(const QString &terms);
    void fill(qsizetype wanted);
    void appendPiece(qsizetype limit);
    void appendPieces();

    QByteArray bytes_;                  // the text still coming in; emptied once shown
    qsizetype next_ = 0;                // where in bytes_ the next piece starts
    std::unique_ptr<files::File> file_; // the rest of the text, while unread
    uint64_t fileRead_ = 0;
    bool lineEndPending_ = false;
    QStringList terms_; // terms texts, marked in every piece
    QTimer pump_;
};

} // namespace verbana::editing
