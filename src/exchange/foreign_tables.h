// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <functional>

namespace verbana {
class Progress;
}
namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class CollectionDocument;
}

// Sermons kept by two other programs in xBase tables of their own: the
// Biblora sermon table (the sermon fields, dates as date fields and the
// manuscript in a memo) and the Notavia note files (four title fields and
// the manuscript in a memo). Every record becomes a new sermon of the open
// collection; the foreign files are only read.
namespace verbana::exchange {

// Opens a foreign table for reading only (nothing is ever written to it).
// When the engine cannot open it, or its records cannot be read as its
// header describes them (the header's length does not end the field list,
// the records are shifted), raises EUserError with `openFailure`, followed
// in the second case by the reason; the table is left closed. A table cut
// short opens: its whole records are copied, and the copy says how many are
// missing.
void openForeign(xbase::TApolloTable &table, const QString &dbfPath, const QString &openFailure);

// Exactly 21 fields, the first six named DATE1 TITLE1 TITLE2 SUBJECT
// BIBLE1 BIBLENO, and "date1" (or else field 15) a date field.
bool isBibloraTable(const xbase::TApolloTable &table);
// Exactly the ten fields MMM KNO CHK LOCK TYPE BIBLE TIT1..TIT4, MMM a memo
// or binary field.
bool isNotaviaTable(const xbase::TApolloTable &table);

// The Notavia table of a chosen memo file: the same name with ".DBF",
// found without regard to letter case.
QString notaviaTablePath(const QString &memoPath);

// Opens the Biblora table `dbfPath` for reading only (openForeign) and
// checks that it is one (isBibloraTable); raises EUserError with what the
// import says otherwise, the table left closed.
void openBibloraTable(xbase::TApolloTable &table, const QString &dbfPath);
// Opens the Notavia table of a chosen memo file (notaviaTablePath; the table
// itself may be chosen too) for reading only; raises EUserError with what
// the import says when it cannot be opened.
void openNotaviaTable(xbase::TApolloTable &table, const QString &file);
// Why an opened table is not taken for a Notavia import (not a Notavia
// table, or no notes in it); empty when it is.
QString notaviaRefusal(xbase::TApolloTable &table);

// The field choices of the Notavia window: labels in the order offered,
// and the sermon field of a label.
const QStringList &notaviaLabels();
QByteArray notaviaField(const QString &label);
// The preset choices for TIT1..TIT4.
std::array<QString, 4> notaviaPresets();

// The text copy of a memo: the plain text when it begins "{\rtf1\", the
// bytes as they are otherwise.
QByteArray textCopyOfMemo(const QByteArray &memo);

struct CopyOutcome {
    int copied = 0;
    QString error; // the error that ended the copy early
    // Records the foreign table's header counts, and those of them its file
    // does not hold (cut short).
    uint32_t counted = 0;
    uint32_t missing = 0;
    // Every record counted was copied.
    bool complete() const { return error.isEmpty() && missing == 0; }
    // "내용 복사 완료 (25개)", after the error's text when there was one,
    // and then the records missing from the file, when any are.
    QString message() const;
};

// Copies every record of the recognised Biblora table `foreign` into the
// open collection, the table kept quiet meanwhile (exchange::bulkAddition).
// `progress` is started with the number of foreign records and ticked
// after each one copied.
CopyOutcome importBiblora(store::CollectionDocument &document, xbase::TApolloTable &foreign,
                          Progress *progress = nullptr);

// Copies every record of the recognised Notavia table `notes`; `fields` are
// the sermon fields chosen for TIT1..TIT4 (a later one wins over an earlier
// one choosing the same field).
CopyOutcome importNotavia(store::CollectionDocument &document, xbase::TApolloTable &notes,
                          const std::array<QByteArray, 4> &fields, Progress *progress = nullptr);

} // namespace verbana::exchange
