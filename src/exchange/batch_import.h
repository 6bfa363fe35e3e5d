// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

namespace verbana {
class Progress;
}
namespace verbana::store {
class CollectionDocument;
}

// The batch import: many HWP, TXT, RTF or CAP files become new sermons of
// the open collection, one record per file, each file copied in as the
// sermon's manuscript with a plain-text copy beside it. The user's files
// are only read.
namespace verbana::exchange {

// What a TXT, RTF or CAP file becomes: the manuscript is the file as it is,
// or, for a UTF-8 text, an RTF document of it in the collection's code page
// (characters CP949 cannot hold kept as Unicode); the text copy is made
// from what the manuscript holds, so the two always agree.
struct ImportedText {
    QByteArray manuscript;
    QByteArray text;
};
ImportedText importedText(const QByteArray &bytes);

// The summary of an imported sermon from the start of its text: whole lines
// (CR LF, LF or a lone CR end a line), each followed by CR LF, until more
// than 199 bytes are gathered or the text ends; the first line is taken even
// from an empty text. Cut to the 200 bytes of BRIEF on a character boundary.
QByteArray briefFromBytes(QByteArrayView text);
// The same of a text file; raises EUserError when it cannot be read.
QByteArray BriefFromText(const QString &path);

// A source path made to fit the 60 bytes of ETCS: while it is longer and
// still holds a "/", everything up to and including the first "/" goes and
// ".." is put in front. Cut to 60 bytes on a character boundary.
QByteArray ShortenSourcePath(QByteArrayView path);
QByteArray ShortenSourcePath(const QString &path);

// The date of a source file, "yyyy.mm.dd": its last-write time, read-only
// and locked files included; today only when the time cannot be read.
QByteArray FileDate(const QString &path);

// "12개 파일을 불러 넣었습니다."
QString importedMessage(int count);

enum class ImportKind { Hwp, Text };

// Why an HWP import cannot run here: the conversion writes its work files
// into the program folder, which must be on a local, writable, fixed disk
// ("하드디스크에서만 실행 가능합니다."). Empty when it can.
QString hwpImportRefusal();

struct ImportOutcome {
    int imported = 0;
    // The names (without folder) of the files that were not imported, in
    // the order met.
    QStringList failed;
    // The text of the error that ended the run early; empty when every file
    // was tried.
    QString error;
    // What the user is told at the end: the count, after the error's text
    // when there was one.
    QString message() const;
};

// Imports `files` (full paths, in order) into the open collection:
// - Hwp: the file converted by Hwp2txt becomes data\dK\sulN.HWP (the file
//   byte for byte; .HWPX for an HWPX file), its text text\dK\sulN.txt;
//   TITLE1 from ReadHwpTitle.
// - Text: the file becomes data\dK\sulN.RTF byte for byte, whatever its own
//   extension; the text copy is its plain text (RTF read as formatted
//   text, anything else as CP949 text), CR LF line ends.
// DATE1 = FileDate, ETCS = ShortenSourcePath, BRIEF = briefFromBytes of the
// text copy, CONTEXT = the new name; every value cut to its field.
// A file that cannot be read, converted or copied is listed as failed and
// leaves nothing behind. An error of the table or of the collection's
// folders ends the run: the record being added is cancelled, the files
// written for it removed, and the sermons imported before it stay.
// The table is kept quiet meanwhile (exchange::bulkAddition). `progress` is
// started with the number of files and ticked after each.
ImportOutcome runBatchImport(ImportKind kind, store::CollectionDocument &document, const QStringList &files,
                             Progress *progress = nullptr);

} // namespace verbana::exchange
