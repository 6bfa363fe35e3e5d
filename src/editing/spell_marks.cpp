// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/spell_marks.h"

#include "platform/commands.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>

namespace verbana::editing {

using spelling::Language;
using spelling::SpellChecker;

namespace {

QTextCharFormat markFormat()
{
    QTextCharFormat f;
    f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
    f.setUnderlineColor(Qt::red);
    return f;
}

// A piece of a paragraph around [from, to), widened to whole words.
std::pair<qsizetype, qsizetype> wholeWords(const QString &text, qsizetype from, qsizetype to)
{
    from = std::clamp<qsizetype>(from, 0, text.size());
    to = std::clamp<qsizetype>(to, from, text.size());
    while (from > 0 && !text[from - 1].isSpace())
        --from;
    while (to < text.size() && !text[to].isSpace())
        ++to;
    return {from, to};
}

// How far around the point clicked the context menu looks for its word.
constexpr qsizetype kAround = 64;

} // namespace

SpellMarks::SpellMarks(QAbstractScrollArea *area, std::shared_ptr<SpellChecker> checker,
                       spelling::IgnoredWords *ignored)
    : QObject(area), area_(area), checker_(std::move(checker)), ignored_(ignored)
{
    again_.setSingleShot(true);
    again_.setInterval(0);
    connect(&again_, &QTimer::timeout, this, &SpellMarks::mark);
    on_ = checker_->checkingOn();
    connect(checker_.get(), &SpellChecker::verdictsArrived, this, [this] {
        if (waiting_)
            schedule();
    });
    connect(checker_.get(), &SpellChecker::wordsChanged, this, &SpellMarks::schedule);
    connect(checker_.get(), &SpellChecker::checkingChanged, this, [this](bool on) {
        on_ = on;
        documentReplaced();
    });
    if (ignored)
        connect(ignored, &spelling::IgnoredWords::changed, this, &SpellMarks::schedule);
    connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this, &SpellMarks::schedule);
    connect(area->horizontalScrollBar(), &QScrollBar::valueChanged, this, &SpellMarks::schedule);
    area->viewport()->installEventFilter(this);
    replacer_ = [](QTextCursor &word, const QString &text) { word.insertText(text); };
}

SpellMarks::SpellMarks(QTextEdit *edit, std::shared_ptr<SpellChecker> checker, spelling::IgnoredWords *ignored)
    : SpellMarks(static_cast<QAbstractScrollArea *>(edit), std::move(checker), ignored)
{
    document_ = [edit] { return edit->document(); };
    cursorAt_ = [edit](QPoint at) { return edit->cursorForPosition(at); };
    // A large document is laid out a piece at a time, and a point above the
    // part laid out may hit a paragraph not laid out yet: the paragraphs in
    // view are found upwards from the bottom one.
    inView_ = [edit] {
        const QRect view = edit->viewport()->rect();
        const int to = edit->cursorForPosition(view.bottomRight()).position();
        QAbstractTextDocumentLayout *layout = edit->document()->documentLayout();
        const int top = edit->verticalScrollBar()->value();
        QTextBlock first = edit->document()->findBlock(to);
        while (first.previous().isValid() && layout->blockBoundingRect(first.previous()).bottom() > top)
            first = first.previous();
        const int hit = edit->cursorForPosition(view.topLeft()).position();
        return std::pair{hit >= first.position() && hit <= to ? hit : first.position(), to};
    };
    textCursor_ = [edit] { return edit->textCursor(); };
    setSelections_ = [edit](const QList<QTextEdit::ExtraSelection> &s) { edit->setExtraSelections(s); };
    readOnly_ = [edit] { return edit->isReadOnly(); };
    connect(edit, &QTextEdit::cursorPositionChanged, this, [this] {
        if (typedAt_ >= 0 && textCursor_().position() != typedAt_) {
            typedAt_ = -1;
            schedule();
        }
    });
    documentReplaced();
}

SpellMarks::SpellMarks(QPlainTextEdit *edit, std::shared_ptr<SpellChecker> checker, spelling::IgnoredWords *ignored)
    : SpellMarks(static_cast<QAbstractScrollArea *>(edit), std::move(checker), ignored)
{
    document_ = [edit] { return edit->document(); };
    cursorAt_ = [edit](QPoint at) { return edit->cursorForPosition(at); };
    inView_ = [edit] {
        const QRect view = edit->viewport()->rect();
        return std::pair{edit->cursorForPosition(view.topLeft()).position(),
                         edit->cursorForPosition(view.bottomRight()).position()};
    };
    textCursor_ = [edit] { return edit->textCursor(); };
    setSelections_ = [edit](const QList<QTextEdit::ExtraSelection> &s) { edit->setExtraSelections(s); };
    readOnly_ = [edit] { return edit->isReadOnly(); };
    connect(edit, &QPlainTextEdit::cursorPositionChanged, this, [this] {
        if (typedAt_ >= 0 && textCursor_().position() != typedAt_) {
            typedAt_ = -1;
            schedule();
        }
    });
    documentReplaced();
}

SpellMarks::~SpellMarks() = default;

void SpellMarks::watch()
{
    QTextDocument *doc = document_();
    if (doc == watched_)
        return;
    if (watched_)
        disconnect(watched_, nullptr, this, nullptr);
    watched_ = doc;
    // A key typed (or a character deleted) leaves the cursor in a word still
    // being written: it is not marked until the cursor moves on.
    connect(doc, &QTextDocument::contentsChange, this, [this](int at, int removed, int added) {
        typedAt_ = added + removed <= 4 ? at + added : -1;
        schedule();
    });
}

void SpellMarks::documentReplaced()
{
    watch();
    typedAt_ = -1;
    if (on_)
        checker_->checkInBackground(document_()->toPlainText());
    schedule();
}

bool SpellMarks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show)
        schedule();
    return QObject::eventFilter(watched, event);
}

void SpellMarks::schedule()
{
    if (!again_.isActive())
        again_.start();
}

bool SpellMarks::misspelled(const QString &word, Language language)
{
    if (ignored_ && ignored_->contains(word))
        return false;
    const SpellChecker::Verdict verdict = checker_->verdict(word, language);
    waiting_ |= verdict == SpellChecker::Verdict::Unknown;
    return verdict == SpellChecker::Verdict::Misspelled;
}

void SpellMarks::mark()
{
    if (!area_)
        return;
    watch();
    waiting_ = false;
    QList<QTextEdit::ExtraSelection> marks;
    if (on_ && area_->isVisible()) {
        QTextDocument *doc = document_();
        const auto [from, to] = inView_();
        const int cursor = textCursor_().position();
        for (QTextBlock b = doc->findBlock(from); b.isValid() && b.position() <= to; b = b.next()) {
            if (!b.isVisible())
                continue;
            const QString text = b.text();
            const int at = b.position();
            const auto [lo, hi] = wholeWords(text, from - at, to - at + 1);
            for (const spelling::Word &w : spelling::wordsToCheck(QStringView(text).sliced(lo, hi - lo))) {
                const int start = at + int(lo + w.start);
                const int end = start + int(w.length);
                if (typedAt_ == cursor && start <= cursor && cursor <= end)
                    continue;
                if (!misspelled(text.mid(lo + w.start, w.length), w.language))
                    continue;
                QTextEdit::ExtraSelection mark{QTextCursor(doc), markFormat()};
                mark.cursor.setPosition(start);
                mark.cursor.setPosition(end, QTextCursor::KeepAnchor);
                marks << mark;
            }
        }
    }
    const auto same = [](const QList<QTextEdit::ExtraSelection> &a, const QList<QTextEdit::ExtraSelection> &b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto &x, const auto &y) {
            return x.cursor.anchor() == y.cursor.anchor() && x.cursor.position() == y.cursor.position();
        });
    };
    if (same(marks, marks_))
        return;
    marks_ = marks;
    setSelections_(marks_);
}

QStringList SpellMarks::markedWords() const
{
    QStringList words;
    for (const QTextEdit::ExtraSelection &m : marks_)
        words << m.cursor.selectedText();
    return words;
}

bool SpellMarks::addMenuItems(QMenu *menu, QPoint at)
{
    if (!on_)
        return false;
    const QTextCursor clicked = cursorAt_(at);
    const QTextBlock block = clicked.block();
    const QString text = block.text();
    const qsizetype inBlock = clicked.position() - block.position();
    const auto [lo, hi] = wholeWords(text, inBlock - kAround, inBlock + kAround);
    for (const spelling::Word &w : spelling::wordsToCheck(QStringView(text).sliced(lo, hi - lo))) {
        if (inBlock < lo + w.start || inBlock > lo + w.start + w.length)
            continue;
        const QString word = text.mid(lo + w.start, w.length);
        if (!misspelled(word, w.language))
            return false;
        const int start = block.position() + int(lo + w.start);
        QPointer<QTextDocument> doc = document_();
        QAction *first = menu->actions().value(0);
        const auto add = [&](const QString &caption, const char *name, std::function<void()> command) {
            auto *a = new QAction(caption, menu);
            a->setObjectName(QLatin1String(name));
            menu->insertAction(first, a);
            connect(a, &QAction::triggered, this, asCommand(std::move(command)));
            return a;
        };
        const QStringList suggestions = checker_->suggestions(word, w.language);
        for (const QString &s : suggestions) {
            add(s, "mnSuggestion", [this, doc, start, word, s] {
                if (!doc || doc != document_())
                    return;
                QTextCursor range(doc);
                range.setPosition(start);
                range.setPosition(start + int(word.size()), QTextCursor::KeepAnchor);
                // The word is replaced only while it stands where it stood.
                if (range.selectedText() == word)
                    replacer_(range, s);
            })->setEnabled(!readOnly_());
        }
        if (suggestions.isEmpty())
            add(QStringLiteral("추천 단어 없음"), "mnNoSuggestion", [] {})->setEnabled(false);
        add(QStringLiteral("사전에 추가"), "mnAddWord", [this, word] { checker_->addToPersonalList(word); });
        add(QStringLiteral("무시"), "mnIgnoreWord", [this, word] {
            if (ignored_)
                ignored_->add(word);
        });
        if (first)
            menu->insertSeparator(first);
        return true;
    }
    return false;
}

} // namespace verbana::editing
