// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace verbana::xbase {
class TApolloTable;
}

// Creating, listing, renaming and deleting collections in the program's
// folder, and the first run. The dialogs of these commands call this code;
// every message goes through the prompt seam.
namespace verbana::store {

// --- New collection (the create dialog) ---

enum class NameVerdict {
    Ok,
    LeadingUnderscore, // "파일명의 첫문자로 ( _ )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오."
    BadCharacter, // "설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오."
    Exists, // "이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오."
};

struct NameCheck {
    QString name; // trimmed and cut to 100 CP949 bytes on a character boundary
    NameVerdict verdict = NameVerdict::Ok;
    QString unmappable; // characters code page 949 cannot hold (BadCharacter)
    QString message() const; // empty for Ok
};

// The longest a collection name may be, in CP949 bytes.
inline constexpr int kCollectionNameBytes = 100;

// Characters the create dialog's name box refuses to take.
bool isRefusedNameKey(QChar c);

// Trims blanks (and control characters) at both ends, as names are typed.
QString trimBlanks(const QString &text);

// Checks a typed name against the folders of the program folder.
NameCheck checkNewCollectionName(const QString &typed);

// Makes <ProgramFolder>/name with its data and text folders. A folder
// that cannot be made raises EUserError naming it.
void createCollectionFolders(const QString &name);

// Makes the empty sermon table <ProgramFolder>/name/sul2file.dbf: 1 on
// success; -1, -2, -3 with "파일만들기를 실패했습니다. 1" (2, 3) shown when
// the creation, a field or the final write fails. Folders stay.
int CreateSermonTable(const QString &name);
int CreateSermonTable(const QString &name, xbase::TApolloTable &creator);

// --- The open dialog ---

// The collections in the program folder: folders whose names begin with
// neither "." nor "_" and that hold sul2file.dbf, except the one whose
// upper-cased name is `openLabel`, sorted without regard to case.
QStringList listCollections(const QString &openLabel);

// Number of sermons in view in a collection's table (deleted ones left
// out); nothing when the table cannot be read.
std::optional<quint32> countCollectionSermons(const QString &name);

// Renames <ProgramFolder>/oldName to newName. False when the new name is
// taken by another entry, would leave the program folder, or the rename
// fails. A change of letter case only is allowed.
bool renameCollectionFolder(const QString &oldName, const QString &newName);

// The rename of the open dialog after the input dialog's 확인: empty →
// "적절하지 않은 파일명입니다.\r다시 입력하십시오."; failure →
// "알 수 없는 이유로 수정할 수 없습니다.". Returns the name the row now
// shows (the old one when nothing changed).
QString renameCollection(const QString &oldName, const QString &typed);

// The question before deleting a collection.
QString deleteQuestion(const QString &name);

// --- Program start ---

// When ___first.sys is in the program folder: removes it and turns the
// sample folders into collections (renamed, or to the trash when the
// collection they would become is already there). Silent.
void runFirstRun();

} // namespace verbana::store
