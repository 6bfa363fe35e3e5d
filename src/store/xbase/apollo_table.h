// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/engine_error.h"
#include "store/xbase/file.h"
#include "store/xbase/table_types.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace verbana::xbase {

class CdxIndex;
class CdxCursor;
class DbfFile;
class Expression;
class MemoFile;
struct TagBuild;
namespace dbf {
struct Field;
}

// One open xBase table: a DBF file, its compound index and memo file. It
// owns the current record buffer and the edit state, and raises
// EApolloError with the engine's texts when an operation fails.
//
// Navigation follows dataset semantics: GoTop sets Bof, GoBottom sets Eof;
// Skip past either end sets the flag and stays on the record; a move that
// succeeds clears both; an empty view has both set and RecNo 0.
class TApolloTable : public QObject {
    Q_OBJECT
public:
    explicit TApolloTable(QObject *parent = nullptr);
    ~TApolloTable() override;

    // Properties; changed only while closed.
    QString DatabaseName; // folder
    QString TableName; // file; ".DBF" added when it has no extension
    TTableType TableType = ttSXFOX;
    bool Exclusive = false;
    // Rebuild an index found interrupted or out of step when opening. Off
    // for checking tools, which then read indexProblem().
    bool RepairIndex = true;
    // Nothing is ever written (no index rebuilt or set aside, no header
    // mended), and anything that would change the table raises EApolloError
    // (StatusKind::ReadOnly, texts::readOnly()). Alone, every file is opened
    // for reading only and the table is shared: for tables on read-only
    // media and for tools that only look. With Exclusive the table is held
    // alone, so that nobody changes it while it is read; the table file is
    // then opened for writing too, only to hold that lock (which needs a
    // writable descriptor), and a file that cannot be written fails to open.
    bool ReadOnly = false;

    bool Active() const;
    void SetActive(bool on);
    void Open();
    void Close();
    QString tablePath() const;

    // Creating a table: CreateNew, CreateField for each field, CreateExec.
    // Non-zero results mean success; the new table is left closed.
    int CreateNew(const QString &path, int driver, int fieldCount);
    int CreateField(const QByteArray &name, const QByteArray &type, int width, int decimals);
    int CreateExec();

    // Index tags of the compound index (the table's .cdx). An empty index
    // name means the compound index; the new tag becomes the order.
    int IndexTag(const QString &indexName, const QByteArray &tag, const QByteArray &expression, int option,
                 bool descending, const QByteArray &condition);
    // Makes several tags in one pass over the table (name, key expression).
    int IndexTags(const std::vector<std::pair<QByteArray, QByteArray>> &tags);
    int TagArea(const QByteArray &tagName) const; // 0 when no such tag
    void SetOrder(int order); // 0 = record order; the same record stays current
    int IndexOrd() const { return order_; }
    void CloseIndexes();
    QByteArray TagName(int order) const;
    QByteArray TagKey(int order) const;
    int TagCount() const;

    // Query and marks.
    void Query(const QByteArray &expression); // empty clears it (and the marks)
    QByteArray DBFilter() const;
    void SetQueryBit(uint32_t recno, bool on);
    static QByteArray markedFilterText(); // what DBFilter reports while marks are in view
    // True while only marked records are in view; whether a record is marked.
    bool marksInView() const { return marksActive_; }
    bool isMarked(uint32_t recno) const { return recno < marks_.size() && marks_[recno]; }

    // Navigation.
    void GoTop();
    void GoBottom();
    void Skip(long count = 1);
    bool Eof() const { return eof_; }
    bool Bof() const { return bof_; }
    uint32_t RecNo() const { return recno_; }
    void Go(uint32_t recno);
    bool Deleted() const; // the current record carries the deletion mark
    // Shows deleted records too (the environment hides them).
    void SetShowDeleted(bool show);

    // Counts: visible records, and every record in the file.
    uint32_t Count();
    // Which records are visible, by record number (index 0 unused), found
    // with one sequential read of the file as Count does.
    std::vector<bool> VisibleRecords();
    uint32_t RecCount();

    // Fields, numbered from 1.
    int FieldCount() const;
    QByteArray FieldName(int number) const; // as stored
    int FieldPos(const QByteArray &name) const; // any case; 0 if none
    QByteArray FieldType(const QByteArray &name) const; // "C", "D", "N", "M", ...; empty if none
    int FieldWidth(int number) const;
    // Values: CP949 bytes without trailing blanks; dates "yyyymmdd".
    QByteArray GetString(const QByteArray &name) const;
    QByteArray GetString(int number) const;
    QByteArray GetMemo(const QByteArray &name) const;
    // Puts a value into the record being added or edited. A value longer
    // than the field is refused (EApolloError, InvalidArgument).
    void PutString(const QByteArray &name, const QByteArray &value);
    void PutString(int number, const QByteArray &value);

    // Editing.
    TableState State() const { return state_; }
    void Append();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    // Removes deleted records for good: the packed table and its new index
    // are both written and made durable beside the old files before either
    // replaces them, so any failure leaves the old files as they were.
    // Refuses a table with structuralFaults(). A tail beyond the records
    // is kept in a file beside the table first (tailKeptAs()).
    void Pack();
    int CopyFile(const QString &path);

    // Appending many records as one: BeginAppendBatch takes the append lock
    // and the index lock and keeps them while records are appended and
    // posted; CommitAppendBatch writes the index and lets both go.
    // RollbackAppendBatch, and any failure of a post in the batch, cut the
    // table back to the records it had at BeginAppendBatch and rebuild the
    // index for them. Should the table not be cut back (an I/O error),
    // RecordsLeftByBatch() tells how many of its records stay appended.
    void BeginAppendBatch();
    void CommitAppendBatch();
    void RollbackAppendBatch();
    bool InAppendBatch() const { return batchBase_ != 0; }
    uint32_t RecordsLeftByBatch() const { return batchLeft_; }

    // What the table's structure is found to be, in words, when it is unfit
    // to be rewritten (see DbfFile::structuralFaults); empty when sound.
    QStringList structuralFaults();
    // How the file holds what the header describes (TableFit), read now.
    TableFit fit();
    // The key of tag `order` for the current record, as the index holds it;
    // empty when this engine cannot compute the tag's key.
    std::optional<QByteArray> TagKeyValue(int order) const;

    // Notifications: detach and attach handlers by kind (nests), freeze and
    // thaw the controls bound to the table (nests).
    void DetachHandlers(unsigned eventMask);
    void AttachHandlers(unsigned eventMask);
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return freeze_ > 0; }

    // The file seam, for tests that inject failures.
    void setFileSystem(FileSystem *fs);

    // Raw access for repair tools and the list model.
    const QByteArray &recordBuffer() const { return buffer_; }
    const std::vector<dbf::Field> &fields() const;
    CdxIndex *index() const { return cdx_.get(); }
    DbfFile *dbf() const { return dbf_.get(); }
    QString indexPath() const;
    QString memoPath() const;
    // Where the last Open set a damaged index aside (empty when it did not).
    QString damagedIndexKeptAs() const { return damagedKeptAs_; }
    // Why the index needed repair at the last Open (empty when it did not).
    QString indexProblem() const { return indexProblem_; }
    // Where the last Pack, or an append over them, kept bytes found beyond
    // the last record (empty when there were none).
    QString tailKeptAs() const;

Q_SIGNALS:
    // Dataset events for handlers (not sent for detached kinds).
    void notified(const verbana::xbase::TableNotification &n);
    // Changes for bound controls, not sent while controls are frozen.
    void dataChanged(const verbana::xbase::TableNotification &n);
    // Controls thawed: refresh everything once.
    void controlsThawed();

private:
    friend class TableNavigator;
    void requireActive() const;
    void requireBrowse(const char *what) const;
    void requireWritable() const;
    void requireSoundStructure();
    [[noreturn]] void raise(const Status &s, const QString &text = QString()) const;
    void check(const Status &s, const QString &text = QString()) const
    {
        if (!s.isOk())
            raise(s, text);
    }
    void announce(TableEvent e, int field = 0);

    // Opening helpers.
    void openMemo();
    void openIndex();
    void setIndexAside(const QString &why);
    void rebuildIndex();
    std::vector<QByteArray> tagKeysOf(QByteArrayView record) const;
    QByteArray keyOf(int tag, QByteArrayView record) const;

    // Navigation helpers.
    class KeepPosition;
    bool visible(uint32_t recno, QByteArrayView record) const;
    bool loadIfVisible(uint32_t recno);
    bool stepRecordOrder(int direction);
    bool stepIndexOrder(int direction);
    bool stepCursor(int direction);
    bool indexQuiet();
    bool seekCursorToCurrent();
    void syncShared();
    void syncSharedBetweenMoves();
    void setCurrent(uint32_t recno);
    void setEmpty();
    // Takes the index lock for reading and re-reads the index when another
    // program changed it; `distrustCache` forgets the cached pages anyway.
    void beginIndexRead(bool distrustCache = false);
    void endIndexRead();
    void lockIndexForWrite();
    void unlockIndexForWrite();
    void requireComputableTags() const;
    void appendCurrent();

    FileSystem *fs_;
    std::unique_ptr<DbfFile> dbf_;
    std::unique_ptr<File> cdxFile_;
    std::unique_ptr<CdxIndex> cdx_;
    std::unique_ptr<CdxCursor> cursor_;
    std::unique_ptr<MemoFile> memo_;
    int order_ = 0;
    std::unique_ptr<Expression> query_;
    std::vector<bool> marks_;
    bool marksActive_ = false;
    bool hideDeleted_ = true;
    uint32_t cursorRecno_ = 0; // record the index cursor stands on, 0 = must seek
    uint32_t recno_ = 0;
    bool bof_ = true, eof_ = true;
    QByteArray buffer_, saved_, spare_;
    TableState state_ = TableState::Browse;
    uint32_t savedRecno_ = 0;
    bool savedBof_ = false, savedEof_ = false;
    uint32_t changeCounter_ = 0;
    int freeze_ = 0;
    unsigned detached_[7] = {};
    QString damagedKeptAs_;
    QString indexProblem_;
    QString tailKeptAs_;
    uint32_t batchBase_ = 0; // records before the batch, plus one; 0 = no batch
    uint32_t batchLeft_ = 0;

    struct TagKeyDef {
        int offset = 0, length = 0, keyLength = 0;
        bool upper = false, usable = false;
    };
    std::vector<TagKeyDef> tagDefs_;
    // Index building: the tags' key definitions (throws for a key this
    // engine cannot compute), each record's keys, the index file.
    struct IndexBuild {
        std::vector<TagBuild> tags;
        std::vector<TagKeyDef> defs;
        void add(QByteArrayView record, uint32_t recno);
    };
    IndexBuild prepareIndexBuild(const std::vector<std::pair<QByteArray, QByteArray>> &tags) const;
    void loadTagDefs();
    static bool parseKeyExpression(const QByteArray &expr, const std::vector<dbf::Field> &fields, TagKeyDef &out);
    void writeIndexedCount(File &file, uint32_t count);
    bool indexedCountMatches();
    void buildIndexFile(const QString &target, const std::vector<std::pair<QByteArray, QByteArray>> &tags,
                        uint32_t changeCounter = 0);
    // Writes a built index into the new temporary file `target`, made
    // durable; its count mark says `count` records.
    void writeIndexTemporary(const QString &target, IndexBuild build, uint32_t count);
    std::vector<std::pair<QByteArray, QByteArray>> tagDefinitions() const;
    void reopenIndexFile();
    void recoverIndexAfterFailure();
    // Before a new file replaces the index: unless the records are known to
    // be on the disk as they are, marks the open index as under update and
    // makes the mark durable, so that a power cut before the new index is in
    // place leaves one the next opening rebuilds, never an old index beside
    // records it does not describe; then syncs the records if asked.
    void protectIndexReplacement(bool syncRecords);
    // After a failure half-way through replacing files: opens again what
    // the folder holds now (rebuilding a marked index), in the same order.
    void reopenAfterFailure();
    void closeFiles();

    struct Creation;
    std::unique_ptr<Creation> creation_;
};

} // namespace verbana::xbase

Q_DECLARE_METATYPE(verbana::xbase::TableNotification)
