// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/record_boxes.h"

#include "editing/field_text.h"
#include "platform/prompts.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace verbana::editing {

QValidator::State FieldValidator::validate(QString &input, int &) const
{
    const FieldFit fit = fitField(input, width_);
    if (fit.kind == FieldFit::Unmappable)
        unmappable_ = fit.character;
    return fit.ok() ? Acceptable : Invalid;
}

static void tellRefusal(const FieldValidator *validator)
{
    const QString character = validator->takeUnmappable();
    if (!character.isEmpty())
        showInformation(unmappableText(character));
}

TDBEdit::TDBEdit(int field, int width, BoxKind kind, QWidget *parent) : QLineEdit(parent), box{field, width, kind}
{
    auto *validator = new FieldValidator(width, this);
    setValidator(validator);
    connect(this, &QLineEdit::inputRejected, this, [validator] { tellRefusal(validator); });
    setAttribute(Qt::WA_InputMethodEnabled);
}

// Stored values come back without trailing blanks: a box whose text
// differs only by them already shows the value (and keeps its caret). While
// the user edits, the record holds the box's text less its broken-byte
// marks, so the marks do not count either.
static bool showsValue(QString text, const QString &value, bool editing)
{
    if (editing)
        text = withoutBrokenBytes(text);
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return QStringView(text).left(end) == value;
}

void TDBEdit::showValue(const QString &value)
{
    if (!showsValue(text(), value, !isReadOnly())) {
        setText(value);
        setCursorPosition(0);
    }
}

TDBComboBox::TDBComboBox(int field, int width, QWidget *parent) : QComboBox(parent), box{field, width, BoxKind::Choice}
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(20);
    auto *validator = new FieldValidator(width, this);
    lineEdit()->setValidator(validator);
    connect(lineEdit(), &QLineEdit::inputRejected, this, [validator] { tellRefusal(validator); });
}

void TDBComboBox::showValue(const QString &value)
{
    if (!showsValue(currentText(), value, !lineEdit()->isReadOnly())) {
        const QSignalBlocker block(this);
        setCurrentIndex(-1);
        setEditText(value);
        lineEdit()->setCursorPosition(0);
    }
}

bool TDBComboBox::dropped() const { return view() && view()->isVisible(); }

TDBMemo::TDBMemo(int field, int width, QWidget *parent) : QPlainTextEdit(parent), box{field, width, BoxKind::Memo}
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setAttribute(Qt::WA_InputMethodEnabled);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!showing_ && !isReadOnly())
            Q_EMIT textTyped();
    });
}

QString fromStored(const QString &value, BoxKind kind)
{
    if (kind != BoxKind::Memo)
        return value;
    QString shown = value;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

void TDBMemo::showValue(const QString &value)
{
    const QString shown = fromStored(value, BoxKind::Memo);
    if (!showsValue(toPlainText(), shown, !isReadOnly())) {
        showing_ = true;
        setPlainText(shown);
        showing_ = false;
    }
}

QString TDBMemo::storedText() const
{
    QString stored = toPlainText();
    stored.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return stored;
}

void TDBMemo::typeOver(const QTextCursor &word, const QString &text)
{
    if (isReadOnly())
        return;
    setTextCursor(word);
    if (accepts(text))
        insertPlainText(text);
}

bool TDBMemo::accepts(const QString &inserted)
{
    if (isReadOnly())
        return true;
    const QTextCursor cursor = textCursor();
    const QString text = toPlainText();
    QString candidate = text.left(cursor.selectionStart()) + inserted + text.mid(cursor.selectionEnd());
    candidate.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    const FieldFit fit = fitField(candidate, box.width);
    if (fit.kind == FieldFit::Unmappable)
        showInformation(unmappableText(fit.character));
    return fit.ok();
}

void TDBMemo::keyPressEvent(QKeyEvent *event)
{
    QString inserted;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        inserted = QStringLiteral("\n");
    else if (!event->text().isEmpty() && event->text().at(0).isPrint())
        inserted = event->text();
    if (!inserted.isEmpty() && !accepts(inserted)) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TDBMemo::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText() || !accepts(source->text()))
        return;
    QPlainTextEdit::insertFromMimeData(source);
}

void TDBMemo::inputMethodEvent(QInputMethodEvent *event)
{
    if (!event->commitString().isEmpty() && !accepts(event->commitString())) {
        QInputMethodEvent dropped(QString(), {});
        QPlainTextEdit::inputMethodEvent(&dropped);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

} // namespace verbana::editing
