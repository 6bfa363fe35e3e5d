// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"
#include "platform/result.h"

#include <QString>

#include <functional>
#include <memory>

// Putting a restored collection in its place in the program folder, the
// collection names a restore may take, and where an archive is written.
//
// A restore builds the whole restored collection beside the collections,
// in a working folder ("_reback" for BCK, "_unzip" for ZIP), and then
// swaps whole folders: an existing collection of the target name is
// renamed to "_delete", the restored one takes its name, and only then is
// "_delete" moved to the trash. From its start to its end the run is
// marked by the file "_restoring", which names the target collection and
// is locked while the run lives, so that a run that was killed is told
// apart from one still going (in this program or another copy of it). The
// next start, or the next restore, finds the collections as before the
// restore or as after it, never a mix. Folders whose names begin with "_"
// never count as collections.
namespace verbana {
class TBackupFile;
}

namespace verbana::backup {

QString rebackFolder(); // <ProgramFolder>/_reback
QString deleteFolder(); // <ProgramFolder>/_delete

// What an interrupted restore left is settled: with its mark, a collection
// set aside in "_delete" gets its name back when the restored one never
// took it, and is trashed when the restored one stands; the working
// folders hold only copies and are removed. A "_delete" without a mark (or
// one that could not be put back) may hold the only copy of a collection:
// it is never removed but renamed to a free collection name. The user is
// told when a collection was put back or renamed, nothing else.
// clearLeftoverFolders() runs before a restore: false (after a message)
// when a restore is still running or a leftover cannot be cleared out of
// the way. recoverInterruptedRestore() runs at the program's start and
// says nothing when another copy of the program is restoring.
bool clearLeftoverFolders();
void recoverInterruptedRestore();

// The first folder at or below `root` holding sul2file.dbf (any letter
// case): the folder itself, else its sub-folders in name order, skipping
// names that begin with "."; empty when there is none.
QString findRestoredCollection(const QString &root);

// The points of a run, in order, at which a test may end the process as a
// kill would. The hook is called at each; none is set in the program.
enum class RestoreStep {
    Marked, // the run is marked; nothing is built yet
    Unpacked, // the archive's files are in the working folder, the collection's own still missing there
    SetAside, // the collection replaced is "_delete"; its name is free
    Placed, // the restored collection stands under its name
    Trashed, // the collection replaced is gone; only the mark is left
};
void setRestoreStepHook(std::function<void(RestoreStep)> hook);

// One restore's hold on the program folder, taken before anything is
// written and given up when it is destroyed: then the working folder is
// removed, and so is the mark, unless a collection set aside could not get
// its name back (the next start puts it back).
class RestoreMark {
public:
    // Settles what an interrupted run left (clearLeftoverFolders()), marks
    // the run for the collection <ProgramFolder>/name (an existing one in
    // another letter case is the one replaced) and empties the working
    // folder. Fails, naming the cause, when another restore runs, when the
    // program folder cannot be written, or when the collection's folder
    // could not be swapped (a link, a file, another file system).
    static Outcome<std::unique_ptr<RestoreMark>> begin(const QString &name, const QString &workFolder);
    ~RestoreMark();
    RestoreMark(const RestoreMark &) = delete;
    RestoreMark &operator=(const RestoreMark &) = delete;

    const QString &workFolder() const { return work_; }
    // The collection folder the restore replaces; empty for a new name.
    QString existing() const;
    void reached(RestoreStep step) const;

    // Puts the complete collection folder `restored` (inside the working
    // folder) under the marked name: an existing collection goes to
    // "_delete" first and is moved to the trash only after the restored
    // one took its name, with `beforeDeleting` called in between; on any
    // failure it keeps or gets back its name. The reason names the cause.
    Outcome<void> place(const QString &restored, const std::function<void()> &beforeDeleting);

private:
    RestoreMark(std::unique_ptr<files::File> marker, QString name, QString work);

    std::unique_ptr<files::File> marker_;
    QString name_; // the target's folder name as it stands (or will stand)
    QString work_;
    bool pending_ = false; // a collection waits in "_delete" for its name
};

enum class Placement {
    Placed, // the restored collection stands as <ProgramFolder>/name
    NoCollection, // the restored files hold no collection; nothing changed
    RenameFailed, // a rename failed; any collection of that name is back
};

// Finds the collection under `restoredRoot` and places it (RestoreMark::
// place); every failure shows its message.
Placement placeRestoredCollection(RestoreMark &mark, const QString &restoredRoot,
                                  const std::function<void()> &beforeDeleting);

enum class BckRestore {
    Placed, // the restored collection stands as <ProgramFolder>/name
    Failed, // the restore failed or was stopped, or its collection could not be put in place
    Damaged, // the archive is damaged (the component's RaisedError()); nothing was changed
};

// Restores a BCK archive as the collection <ProgramFolder>/name under a
// RestoreMark: `component` restores it whole into "_reback" with full
// paths, and only a restore that succeeded is put in place
// (placeRestoredCollection, which calls `beforeDeleting`). "_reback" is
// removed in every case, so on any failure the collections stand as they
// were and nothing half restored is left.
BckRestore restoreBckCollection(TBackupFile &component, const QString &archive, const QString &name,
                                const std::function<void()> &beforeDeleting);

// Checks a name typed for a new collection out of a restore: it must be
// one CP949 can hold, must not begin with "_" or "." (working and hidden
// folders) and not name an existing folder. Empty when good, otherwise
// the message to show. `emptyMessage` and `existsMessage` are the window's
// own texts.
QString newCollectionNameProblem(const QString &name, const QString &emptyMessage, const QString &existsMessage);

// The characters a collection restored from a BCK archive may not have in
// its name, and one restored from a ZIP archive (the full stop too).
QString refusedNameCharacters();
QString refusedZipNameCharacters();

// Drops from `text` every character of `refused`.
QString withoutCharacters(const QString &text, const QString &refused);

// True when an archive written at `path` lands on removable media (the
// floppy disk of old): such archives are cut into volumes. Tests replace
// the check.
bool isOnRemovableMedia(const QString &path);
void setRemovableMediaCheck(std::function<bool(const QString &)> check);

} // namespace verbana::backup
