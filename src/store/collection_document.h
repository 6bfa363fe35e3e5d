// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/collection_paths.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

namespace verbana::xbase {
class TApolloTable;
}

namespace verbana::store {

// The open collection, in the role a document plays in a model/view
// editor: it owns the one sermon table the main window binds its controls
// to for the whole run and the collection's folder, and gives every part of
// the program the same services around them:
// - paths(): the one resolver of manuscripts, text copies and every other
//   stored name, which never leads out of the collection;
// - the state a command must respect: changing() (a sermon is being added
//   or edited) with refuseWhileEditing(), and read-only collections with
//   refuseReadOnly();
// - the gathering in force: the table holds its query or marks, the
//   document the highlight terms of a manuscript gathering;
// - closing the table for work that needs it alone (exclusively()).
// Walks over the sermons in view keep the table quiet with a BatchScope
// (store/batch_scope.h) and go through store/view_walk.h; long work
// reports through a Progress (platform/progress.h).
//
// There is at most one open collection; opening another closes the first.
// Paths use '/' separators; every look-up of a folder or file ignores
// ASCII letter case (collections restored from Windows keep odd cases).
class CollectionDocument : public QObject {
    Q_OBJECT
public:
    explicit CollectionDocument(QObject *parent = nullptr);
    ~CollectionDocument() override;

    // The sermon table of the open collection (closed while none is open).
    // The object lives as long as the document.
    xbase::TApolloTable &table() const { return *table_; }
    bool isOpen() const;
    // The open collection could only be opened for reading (read-only
    // media, files the user may not change): it is shown, never changed.
    bool isReadOnly() const;

    // Full path of the open collection's folder without a trailing
    // separator; empty while none is open.
    const QString &collectionFolder() const { return folder_; }
    // The files of the open collection (no folder while none is open).
    const CollectionPaths &paths() const { return paths_; }

    // True while a sermon is being added or edited.
    bool changing() const;
    // True, after telling the user, while a sermon is being added or
    // edited: every command that would disturb it asks first.
    bool refuseWhileEditing() const;
    // True, after telling the user, when the open collection is read-only.
    bool refuseReadOnly() const;

    // The words of the manuscript gathering in force joined by "//"; empty
    // when none. Gone with the table whenever it closes.
    const QString &highlightTerms() const { return highlightTerms_; }
    void setHighlightTerms(const QString &terms) { highlightTerms_ = terms; }
    // 찾아모으기 해제: no query, no marks, no highlight terms.
    void releaseGathering();

    // Work that deletes sermons while the bound controls are frozen tells
    // the document of each one, so that the list leaves them out when it
    // is read again (the frozen table does not tell it).
    void announceDeleted(uint32_t recno) { Q_EMIT deletedWhileFrozen(recno); }

    // Closes the table, runs `work` on it opened exclusively, and opens it
    // shared again in date-written order (tableReopened). When anything fails, the table is opened shared
    // again in the order and on the sermon it had before (or the
    // collection closed when even that fails) and the error goes on.
    void exclusively(const std::function<void(xbase::TApolloTable &)> &work);
    // The table path as it was found on disk; empty while none is open.
    const QString &openedTablePath() const { return tablePath_; }
    // "Verbana - " + CollectionLabel(folder) while open, "Verbana" otherwise.
    const QString &windowTitle() const { return title_; }
    // CollectionLabel(collectionFolder()) while a collection is open, empty
    // otherwise.
    QString openLabel() const;
    // What to remember as the last collection when the program ends: the
    // label of the collection opened last. A failed opening of another
    // collection closes the table but keeps this; closing the collection
    // empties it.
    const QString &lastCollection() const { return last_; }

    // Opens the collection whose sermon table is `tablePath`
    // (".../name/sul2file.dbf"). Closes the open table first. A missing
    // table shows "<folder> 파일이 없습니다.\r[파일]메뉴의 [파일열기]을
    // 선택하여 파일을 다시 여십시오." and returns false. A table without
    // its index gets the four tags first. On success the order is date1,
    // the last record is current and usefile.sys names the collection.
    // A collection that cannot be written is opened read-only (in record
    // order when it has no usable index) and readOnlyMessage() is shown.
    // Engine errors (EApolloError) are raised after collectionStateChanged.
    bool OpenCollection(const QString &tablePath);
    // Opens ProgramFolder/<name>/sul2file.dbf as the open dialog's 열기
    // does, adding "파일이 알맞지 않습니다." when that fails.
    bool openNamedCollection(const QString &name);
    // Start-up: opens ProgramFolder/<last>/sul2file.dbf (any letter case)
    // when `last` is one folder name and that table exists; silent
    // otherwise. Engine errors are raised as by OpenCollection.
    bool reopenLastCollection(const QString &last);
    // Closes the table, removes usefile.sys, clears folder and path.
    void CloseCollection();
    // Program end: removes usefile.sys (the table is closed with the document).
    void forgetUseFile();

    // Closes the table, first telling whoever is bound to it
    // (tableClosing). Every closing of the document's table goes through here.
    void releaseTable();


Q_SIGNALS:
    // The table is about to close: bound controls must let go of it now.
    void tableClosing();
    // After every opening (successful, failed or broken off by an error)
    // and every closing: `open` is whether the table is open now. The main
    // window puts its outline page in front and sets its controls for
    // *collection open* or *no collection*.
    void collectionStateChanged(bool open);
    // The window title changed.
    void titleChanged(const QString &title);
    // The same collection's table was closed and opened again (index
    // rebuild, file diet): a gathering in force is gone, the order is
    // date1, and bound controls must refresh.
    void tableReopened();
    // A sermon deleted while the bound controls were frozen.
    void deletedWhileFrozen(uint32_t recno);

private:
    // Opens the table as its properties say; when its files can only be
    // read, opens it read-only instead and returns false.
    bool openWritableOrForReading();
    void setTitle(const QString &title);
    void setFolder(const QString &folder);
    // After a failure part-way through exclusive work: reopens the table
    // shared in the order of `tag` (record order when empty) on `record`,
    // or closes the collection.
    void recoverTable(const QByteArray &tag, uint32_t record);
    void clearState();
    void notifyState();

    std::unique_ptr<xbase::TApolloTable> table_;
    QString folder_;
    CollectionPaths paths_;
    QString highlightTerms_;
    QString tablePath_;
    QString title_;
    QString last_;
};

// What a command refused while a sermon is added or edited says.
QString refuseWhileEditingText(); // "자료를 수정/추가 중입니다.\r..."

// What the user is told when a collection opens read-only.
QString readOnlyMessage();
// What a command that would change a read-only collection says instead.
QString readOnlyRefusal();

// "Verbana" and the title of an open collection.
QString applicationTitle();
QString collectionTitle(const QString &folder);

// The marker file naming the open collection; never read by the program.
QString useFilePath();
void writeUseFile(const QString &label);
void removeUseFile();

} // namespace verbana::store
