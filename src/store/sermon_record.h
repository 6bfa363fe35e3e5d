// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <array>

namespace verbana::xbase {
class TApolloTable;
}

// The sermon record: the 21 character fields of sul2file.dbf, in file order,
// and the four tags of its compound index. Every part of the program takes
// field names, widths and labels from here.
namespace verbana::store {

struct SermonField {
    const char *name; // upper-case name, as the program refers to it
    int width; // bytes of CP949 text
    const char16_t *label; // column title of the sermon list
    int listWidth; // column width in characters; 0 = not a list column
    QByteArray createName() const; // lower-case, as the table is created
    QString labelText() const { return QString::fromUtf16(label); }
};

enum SermonFieldNo {
    fDATE1 = 1, fTITLE1, fTITLE2, fSUBJECT, fBIBLE1, fBIBLENO, fBIBLE2, fBOOK, fSTYPE, fAIM, fSACRE,
    fETCS, fBRIEF, fCONTEXT, fDATE2, fWHERE, fLONG, fTIMES, fREFLEX, fSELFDIC, fBETTER
};

constexpr int kSermonFieldCount = 21;

// The fields in file order (index 0 is field number 1).
const std::array<SermonField, kSermonFieldCount> &sermonFields();
// Field number (from 1) of a name in any case; 0 when it is not a sermon field.
int sermonFieldNumber(QByteArrayView name);
// The sermon list's columns, as field numbers, in display order.
const std::array<int, 17> &listColumnOrder();

struct SermonTag {
    const char *tag; // as created
    const char *expression;
};
// The tags of sul2file.cdx in creation order.
const std::array<SermonTag, 4> &sermonTags();

// The sermon table's file names inside a collection folder.
inline QString sermonTableName() { return QStringLiteral("sul2file.dbf"); }
inline QString sermonIndexName() { return QStringLiteral("sul2file.cdx"); }

// Creates an empty sermon table at `path` (21 fields, FoxPro format); the
// engine's CreateNew/CreateField/CreateExec results: 1 success, 0 failure.
int createSermonTableFile(xbase::TApolloTable &table, const QString &path);
// Makes the four tags on a table opened exclusively.
void createSermonTags(xbase::TApolloTable &table);

} // namespace verbana::store
