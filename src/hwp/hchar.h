// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

namespace verbana::hwp {

// Turns 한글 3.0's 16-bit character codes ("hchar") into Unicode: ASCII,
// Johab Hangul (bit 15 set), KS X 1001 symbols and kana, Hanja in KS X 1001
// order, and a few codes of 한글's own. A code with no equivalent becomes
// '?'. Conversions that need the CP949 tables are computed once per code
// and kept.
class HcharConverter {
public:
    void append(QString &out, char16_t code);

private:
    QString convertSlow(char16_t code) const;

    QHash<char16_t, QString> cache_;
};

// Unicode of a modern Johab syllable, or 0 when the code is not one.
char16_t johabSyllable(char16_t code);

} // namespace verbana::hwp
