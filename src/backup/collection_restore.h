// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

// Putting a restored collection in its place in the program folder, the
// collection names a restore may take, and where an archive is written.
// A restore first unpacks into the working folder "_reback"; an existing
// collection of the target name is set aside as "_delete" and removed only
// once the restored one stands under that name. Folders whose names begin
// with "_" never count as collections.
namespace verbana {
class TBackupFile;
}

namespace verbana::backup {

QString rebackFolder(); // <ProgramFolder>/_reback
QString deleteFolder(); // <ProgramFolder>/_delete

// Before a restore: a "_reback" left by an interrupted run holds only
// copies out of an archive and is removed. A "_delete" left behind may hold
// the only copy of a collection: it is never removed but renamed to a free
// collection name, and the user is told which. False (after a message)
// when either cannot be cleared out of the way.
bool clearLeftoverFolders();

// The first folder at or below `root` holding sul2file.dbf (any letter
// case): the folder itself, else its sub-folders in name order, skipping
// names that begin with "."; empty when there is none.
QString findRestoredCollection(const QString &root);

enum class Placement {
    Placed, // the restored collection stands as <ProgramFolder>/name
    NoCollection, // the restored files hold no collection; nothing changed
    RenameFailed, // a rename failed; any collection of that name is back
};

// Moves the collection found under `restoredRoot` to <ProgramFolder>/name.
// An existing collection of that name goes to "_delete" first and is
// removed (to the trash) only after the move succeeded, with
// `beforeDeleting` called in between; on any failure it gets its name back.
// Every failure shows its message.
Placement placeRestoredCollection(const QString &restoredRoot, const QString &name,
                                  const std::function<void()> &beforeDeleting);

enum class BckRestore {
    Placed, // the restored collection stands as <ProgramFolder>/name
    Failed, // the restore failed or was stopped, or its collection could not be put in place
    Damaged, // the archive is damaged (the component's RaisedError()); nothing was changed
};

// Restores a BCK archive as the collection <ProgramFolder>/name: `component`
// restores it whole into "_reback" with full paths, and only a restore
// that succeeded is put in place (placeRestoredCollection, which calls
// `beforeDeleting`). "_reback" is removed in every case, so on any failure
// the collections stand as they were and nothing half restored is left.
BckRestore restoreBckCollection(TBackupFile &component, const QString &archive, const QString &name,
                                const std::function<void()> &beforeDeleting);

// Checks a name typed for a new collection out of a restore: it must be
// one CP949 can hold, must not begin with "_" or "." (working and hidden
// folders) and not name an existing folder. Empty when good, otherwise
// the message to show. `emptyMessage` and `existsMessage` are the window's
// own texts.
QString newCollectionNameProblem(const QString &name, const QString &emptyMessage, const QString &existsMessage);

// Drops from `text` every character of `refused`.
QString withoutCharacters(const QString &text, const QString &refused);

// True when an archive written at `path` lands on removable media (the
// floppy disk of old): such archives are cut into volumes. Tests replace
// the check.
bool isOnRemovableMedia(const QString &path);
void setRemovableMediaCheck(std::function<bool(const QString &)> check);

} // namespace verbana::backup
