// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Whether a text fits a character field of the sermon table: its CP949
// bytes must not pass the field's width, and every character must exist in
// CP949. Boxes check what would result from a keystroke before taking it,
// so nothing is ever cut or dropped when the record is saved.
namespace verbana::editing {

struct FieldFit {
    enum Kind { Fits, TooLong, Unmappable } kind = Fits;
    QString character; // the first character CP949 cannot hold
    bool ok() const { return kind == Fits; }
};

FieldFit fitField(const QString &text, int widthBytes);

// "'X' 문자는 저장할 수 없습니다." for a character CP949 cannot hold.
QString unmappableText(const QString &character);

} // namespace verbana::editing
