// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace verbana::test {

// A readable account of everything the editor's document model holds:
// one line per paragraph with its alignment and indents, then its runs
// with their character formats and text. Two documents that the editor
// shows alike give the same account.
QString describe(const QTextDocument &doc);

// The CP949 bytes of UTF-8 text with LF line ends turned into CR LF;
// characters CP949 lacks become '?'.
QByteArray cp949Lines(const QByteArray &utf8);

} // namespace verbana::test
