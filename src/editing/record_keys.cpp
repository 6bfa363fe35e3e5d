// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/record_keys.h"

namespace verbana::editing {

namespace {

bool isEnter(int key) { return key == Qt::Key_Return || key == Qt::Key_Enter; }

// PgUp and PgDn move between sermons only while browsing; while a sermon is
// being changed they are ordinary keys of the box.
KeyAction pageKey(int key, bool changing)
{
    if (changing)
        return KeyAction::NotHandled;
    return key == Qt::Key_PageUp ? KeyAction::PreviousSermon : KeyAction::NextSermon;
}

} // namespace

KeyAction recordBoxKey(const KeyContext &context, int key, Qt::KeyboardModifiers modifiers)
{
    const bool alt = modifiers.testFlag(Qt::AltModifier);
    const bool page = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    switch (context.kind) {
    case BoxKind::Date:
        if (isEnter(key) || key == Qt::Key_Down)
            return KeyAction::NextControl;
        if (page)
            return pageKey(key, context.changing);
        if (key == Qt::Key_Insert)
            return KeyAction::PickDate;
        return KeyAction::NotHandled;
    case BoxKind::Line:
        if (isEnter(key))
            return KeyAction::NextControl;
        if (alt)
            return KeyAction::NotHandled;
        if (key == Qt::Key_Down)
            return KeyAction::NextControl;
        if (key == Qt::Key_Up)
            return KeyAction::PreviousControl;
        if (page)
            return pageKey(key, context.changing);
        return KeyAction::NotHandled;
    case BoxKind::Choice:
        if (context.dropped)
            return isEnter(key) ? KeyAction::NextControl : KeyAction::NotHandled;
        if (key == Qt::Key_Insert)
            return KeyAction::DropDown;
        if (alt)
            return KeyAction::NotHandled;
        if (isEnter(key) || key == Qt::Key_Down)
            return KeyAction::NextControl;
        if (key == Qt::Key_Up)
            return KeyAction::PreviousControl;
        if (page)
            return pageKey(key, context.changing);
        return KeyAction::NotHandled;
    case BoxKind::Memo:
        return KeyAction::NotHandled;
    }
    return KeyAction::NotHandled;
}

} // namespace verbana::editing
