// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/collection_paths.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace verbana::xbase {
class TApolloTable;
}

// Adding, editing, saving, cancelling and deleting one sermon of the open
// collection, with the manuscript work files that travel with a new sermon.
// No widgets: the main window calls these and shows the outcome.
namespace verbana::editing {

// Messages of the editing commands.
QString deleteWhileEditingText();
QString deleteQuestionText();
QString bibleRefusedText();
// A work file of a new sermon could not be moved to its place on saving.
QString moveFailedText(const QString &from, const QString &to);

// The Bible reference check made on saving: an empty reference (after
// trimming blanks and control characters) keeps BIBLENO; a readable one
// stores its key; anything else gives false and changes nothing. The table
// must be adding or editing.
bool CheckBibleNo(xbase::TApolloTable &table, QByteArrayView bible1);

// Today as "yyyy.mm.dd", from the program's clock.
QByteArray todayText();

class SermonEditing {
public:
    SermonEditing() = default;

    // The open collection; nullptr and empty when none is open.
    void bind(xbase::TApolloTable *table, const QString &collectionFolder);
    xbase::TApolloTable *table() const { return table_; }
    const QString &collectionFolder() const { return folder_; }

    // True while a sermon is being added or edited.
    bool changing() const;
    bool adding() const;

    // The manuscript name a new sermon gets, or the CONTEXT of the sermon
    // shown.
    QString PendingManuscript;

    // Starts a new sermon: reserves its manuscript name, deletes the work
    // files, appends a record and dates it today. Refused (false) while a
    // change is under way: a second addition would drop or post the first
    // without its checks and lose its work files.
    bool add();
    // Puts the shown sermon into editing; nothing changes while a change is
    // already under way. False when no sermon is shown.
    bool edit();

    enum class SaveResult { NotChanging, BibleRefused, Saved };
    // Checks the reference, moves the work files of a new sermon under its
    // manuscript name and posts the record. A work file that cannot be
    // moved, or a post that fails, puts back what was moved and raises the
    // error: the sermon stays in its state with its work files.
    SaveResult save(QByteArrayView bible1);
    // Deletes the work files and drops the change.
    void cancel();
    // Deletes the manuscript and its text copy (files only, never a folder)
    // and then the record. The caller has asked the user.
    void deleteCurrent();

    // CONTEXT of the sermon shown: the record's field.
    QString context() const;
    // Sets CONTEXT: into the change under way, or, while browsing, through
    // an edit posted at once. A name that CP949 cannot hold raises
    // EUserError and changes nothing.
    void setContext(const QString &context);

    // The four work files of a new sermon are deleted.
    void deleteWorkFiles() const;
    // The files of the open collection (store::CollectionPaths): a stored
    // name never leads out of it.
    const store::CollectionPaths &paths() const { return paths_; }
    // A path below the collection folder for a stored relative name (any
    // separator and letter case); empty when the name would leave the
    // folder.
    QString collectionPath(const QString &relative) const { return paths_.resolve(relative); }
    // The text copy of a manuscript: "text\" + its name with ".txt".
    QString textCopyPath(const QString &context) const { return paths_.textCopy(context); }

private:
    struct FileMove {
        QString from, to;
    };
    std::vector<FileMove> workFileMoves(const QString &context) const;
    std::vector<FileMove> moveWorkFiles(const QString &context) const;
    static void putBack(const std::vector<FileMove> &moves);

    xbase::TApolloTable *table_ = nullptr;
    QString folder_;
    store::CollectionPaths paths_;
};

} // namespace verbana::editing
