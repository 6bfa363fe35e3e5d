// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <Qt>

// What a key does in a record box of the outline and self-evaluation
// pages. Handled keys are consumed; the others are left to the box.
namespace verbana::editing {

enum class BoxKind {
    Date, // DATE1, DATE2
    Line, // the other one-line boxes
    Choice, // STYPE, AIM, SACRE, WHERE
    Memo, // BRIEF, BETTER
};

enum class KeyAction {
    NotHandled,
    NextControl,
    PreviousControl,
    PreviousSermon,
    NextSermon,
    PickDate, // the calendar button beside the box
    DropDown, // open the choice list
};

struct KeyContext {
    BoxKind kind = BoxKind::Line;
    bool changing = false; // a sermon is being added or edited
    bool dropped = false; // a choice box's list is open
};

KeyAction recordBoxKey(const KeyContext &context, int key, Qt::KeyboardModifiers modifiers);

} // namespace verbana::editing
