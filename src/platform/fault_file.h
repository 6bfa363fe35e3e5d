// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QHash>
#include <QSet>

#include <vector>

// A file system that forwards every call to another one and keeps track of
// what that other one would still hold after a power cut, for tests that
// prove crash safety: it can fail the Nth sync and cut the power.
//
// The model of a journaling Linux file system (ext4 data=ordered, XFS) and
// what a power cut may lose:
// - File data written since the file's last successful sync() is lost as a
//   whole; the file goes back to the bytes it held at that sync (empty if it
//   was never synced). Real disks may also keep parts of unsynced data; that
//   torn case is what the failing-write tests and the killed-process tests
//   cover, not this model.
// - Namespace changes (creating a file, renaming, removing) and truncations
//   are journaled in the order they are made. Those not yet made durable may
//   be lost, but only from the end: a cut keeps a prefix of them, never a
//   later one without an earlier one (a journal commits in order). sync() of
//   a file does not make its name durable; syncFolder() makes the creations,
//   renames and removals inside that folder durable. A file's sync() makes
//   its truncations durable, since its size is part of its data.
// - A sync that fails makes nothing durable.
namespace verbana::files {

class FaultFileSystem final : public FileSystem {
public:
    explicit FaultFileSystem(FileSystem &inner) : inner_(inner) {}

    Result<std::unique_ptr<File>> open(const QString &path, OpenMode mode) override;
    bool exists(const QString &path) override;
    bool isRegularFile(const QString &path) override;
    Status rename(const QString &from, const QString &to) override;
    Status remove(const QString &path) override;
    Status syncFolder(const QString &folder) override;

    // sync() and syncFolder() calls so far, failed ones included.
    int syncCount() const { return syncs_; }
    // The Nth sync() or syncFolder() from now (1 = the next) fails with an
    // I/O error and makes nothing durable; 0 = never.
    void failSyncAt(int n) { failAt_ = n; }
    // The power fails as the Nth sync from now begins: neither that sync nor
    // anything done after it reaches the disk, though every call still
    // succeeds until powerCut() brings the files back.
    void cutPowerAtSync(int n) { cutAt_ = n; }
    // Namespace changes and truncations made before the power failed (or
    // until now) that are not durable yet: what a cut may keep a prefix of.
    int pendingChanges() const { return int(dead_ ? pendingAtCut_ : pending_.size()); }
    // The power fails now, unless it already did at a sync, and comes back:
    // every file holds what the disk held, with the first `keepChanges`
    // pending changes kept. Close every file of this file system first.
    Status powerCut(int keepChanges = 0);

private:
    friend class FaultFile;
    struct Change {
        enum Kind { Create, Rename, Remove, Truncate } kind;
        QString from, to; // Create: to; Rename: from and to; Remove: from
        int inode = -1;
        uint64_t size = 0; // Truncate
    };
    using Names = QHash<QString, int>;

    enum class SyncFate { Durable, Failed, Lost };
    SyncFate nextSync();
    void adopt(const QString &path);
    void record(Change c);
    void applyTo(Names &names, const Change &c);
    Status fileSynced(int inode, File &file);

    FileSystem &inner_;
    std::vector<QByteArray> durable_; // per inode: the bytes the disk holds
    Names live_, disk_; // path -> inode, as running and as on the disk
    QSet<QString> seen_;
    std::vector<Change> pending_;
    size_t pendingAtCut_ = 0;
    int syncs_ = 0, failAt_ = 0, cutAt_ = 0;
    bool dead_ = false;
};

} // namespace verbana::files
