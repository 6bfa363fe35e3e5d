// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/record_keys.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QValidator>

// The record boxes of the sermon pages. Each is bound to one field of the
// sermon table and refuses, as it is typed, text that would not fit the
// field: more CP949 bytes than its width (the keystroke is dropped) or a
// character CP949 cannot hold (the user is told which one).
namespace verbana::editing {

class FieldValidator : public QValidator {
public:
    FieldValidator(int width, QObject *parent) : QValidator(parent), width_(width) {}
    State validate(QString &input, int &pos) const override;
    // The character of the last refusal for want of CP949, then empty.
    QString takeUnmappable() const { return std::exchange(unmappable_, QString()); }

private:
    int width_;
    mutable QString unmappable_;
};

// What every record box knows: its field, its width and its key kind.
struct FieldBox {
    int field = 0;
    int width = 0;
    BoxKind kind = BoxKind::Line;
};

class TDBEdit : public QLineEdit {
    Q_OBJECT
public:
    TDBEdit(int field, int width, BoxKind kind, QWidget *parent = nullptr);
    FieldBox box;
    // Shows a stored value without treating it as typing.
    void showValue(const QString &value);
};

class TDBComboBox : public QComboBox {
    Q_OBJECT
public:
    TDBComboBox(int field, int width, QWidget *parent = nullptr);
    FieldBox box;
    void showValue(const QString &value);
    bool dropped() const;
};

class TDBMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    TDBMemo(int field, int width, QWidget *parent = nullptr);
    FieldBox box;
    void showValue(const QString &value);
    // The text as stored: line breaks as CR LF.
    QString storedText() const;
    // Types `text` over the range `word` (a spelling suggestion taken) as
    // typing would: refused when the field could not hold the result.
    void typeOver(const QTextCursor &word, const QString &text);

Q_SIGNALS:
    // The user changed the text, whatever way: typing, the context menu,
    // undo and redo, a paste or a drop. Not for values shown.
    void textTyped();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    bool accepts(const QString &inserted);
    bool showing_ = false;
};

// The field value to show in a box of `kind`, and back.
QString fromStored(const QString &value, BoxKind kind);

} // namespace verbana::editing
