// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/cp949.h"

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

// A stored value that is not whole CP949 (a syllable cut at the field's
// end by another program) is shown with U+FFFD for each broken byte. Such a
// mark stands for bytes the box cannot give back: it never blocks typing,
// and it is left out when the box's text is stored.
QString withoutBrokenBytes(QString text);

// Whether the text, less its broken-byte marks, fits the field.
FieldFit fitField(const QString &text, int widthBytes);

// The bytes to store for a box's text: CP949, broken-byte marks left out.
cp949::Encoded encodeField(const QString &text);

// "'X' 문자는 저장할 수 없습니다." for a character CP949 cannot hold.
QString unmappableText(const QString &character);

} // namespace verbana::editing
