// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/spell_checker.h"

#include <QObject>
#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <memory>

class QAbstractScrollArea;
class QMenu;
class QPlainTextEdit;

namespace verbana::editing {

// Marks the misspelled words a text box shows with a red wavy underline.
// The marks are extra selections of the box, drawn over the text and never
// part of its document, so nothing written, copied or printed holds them.
// Only the words in view are looked at, each time the view or the text
// changes; the rest of a document is handed to the checker's worker once,
// when the box gets it. The word being typed is marked once the cursor
// leaves it.
class SpellMarks : public QObject {
    Q_OBJECT
public:
    SpellMarks(QTextEdit *edit, std::shared_ptr<spelling::SpellChecker> checker, spelling::IgnoredWords *ignored);
    SpellMarks(QPlainTextEdit *edit, std::shared_ptr<spelling::SpellChecker> checker,
               spelling::IgnoredWords *ignored);
    ~SpellMarks() override;

    // The box was given another document (or its text replaced): its words
    // go to the background check, and the marks are made again.
    void documentReplaced();

    // The items of the context menu for the word at `at` (viewport
    // coordinates) when it is marked: up to five suggestions, then
    // "사전에 추가" and "무시"; put at the top of `menu`. False when the word
    // there is not marked (nothing is added).
    bool addMenuItems(QMenu *menu, QPoint at);
    // Replaces a word by a suggestion; the default types it over the word.
    // A box that must refuse what does not fit gives its own.
    void setReplacer(std::function<void(QTextCursor &word, const QString &text)> replacer)
    {
        replacer_ = std::move(replacer);
    }

    // The words marked now, in order (tests).
    QStringList markedWords() const;
    spelling::SpellChecker *checker() const { return checker_.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    SpellMarks(QAbstractScrollArea *area, std::shared_ptr<spelling::SpellChecker> checker,
               spelling::IgnoredWords *ignored);
    void watch();
    void schedule();
    void mark();
    bool misspelled(const QString &word, spelling::Language language);

    QPointer<QAbstractScrollArea> area_;
    std::shared_ptr<spelling::SpellChecker> checker_;
    QPointer<spelling::IgnoredWords> ignored_;
    // What differs between the two kinds of box.
    std::function<QTextDocument *()> document_;
    std::function<QTextCursor(QPoint)> cursorAt_;
    std::function<std::pair<int, int>()> inView_; // the first and last position in view
    std::function<QTextCursor()> textCursor_;
    std::function<void(const QList<QTextEdit::ExtraSelection> &)> setSelections_;
    std::function<bool()> readOnly_;
    std::function<void(QTextCursor &, const QString &)> replacer_;

    QPointer<QTextDocument> watched_;
    QList<QTextEdit::ExtraSelection> marks_;
    QTimer again_;
    bool on_ = false;
    bool waiting_ = false;
    int typedAt_ = -1;
};

} // namespace verbana::editing
