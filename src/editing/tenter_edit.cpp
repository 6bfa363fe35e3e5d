// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/tenter_edit.h"

#include "platform/prompts.h"

#include <QKeyEvent>

namespace verbana::editing {

TEnterEdit::TEnterEdit(QWidget *parent) : QLineEdit(parent) {}

void TEnterEdit::focusInEvent(QFocusEvent *event)
{
    remembered_ = text();
    if (AllowEntColor) {
        rememberedPalette_ = palette();
        QPalette entered = palette();
        entered.setColor(QPalette::Base, EntColor);
        setPalette(entered);
        coloured_ = true;
    }
    QLineEdit::focusInEvent(event);
}

void TEnterEdit::focusOutEvent(QFocusEvent *event)
{
    if (coloured_) {
        setPalette(rememberedPalette_);
        coloured_ = false;
    }
    remembered_.clear();
    QLineEdit::focusOutEvent(event);
}

void TEnterEdit::moveFocus(bool next)
{
    // The window's tab chain, as Tab and Shift+Tab walk it.
    QWidget *w = next ? nextInFocusChain() : previousInFocusChain();
    while (w && w != this) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->window() == window()
            && !w->focusProxy()) {
            w->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
        w = next ? w->nextInFocusChain() : w->previousInFocusChain();
    }
}

void TEnterEdit::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        moveFocus(true);
        return;
    }
    if (key == Qt::Key_Escape) {
        switch (EscKeyType) {
        case estNone: event->ignore(); return;
        case estUp: moveFocus(false); return;
        case estUndo: setText(remembered_); return;
        case estClose:
            if (confirm(QStringLiteral("작업을 중단하고 현재창을 닫으시겠습니까?")))
                window()->close();
            return;
        case estXClose: window()->close(); return;
        }
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
        if (key == Qt::Key_Up && StopPosit != stpTop)
            moveFocus(false);
        else if (key == Qt::Key_Down && StopPosit != stpBottom)
            moveFocus(true);
        return;
    }
    if (NumOnly && !event->text().isEmpty() && key != Qt::Key_Backspace) {
        const QChar c = event->text().at(0);
        if (c.isPrint() && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('.'))
            return;
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace verbana::editing
