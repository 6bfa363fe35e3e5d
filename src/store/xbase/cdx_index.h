// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/cdx_cache.h"
#include "store/xbase/cdx_format.h"
#include "store/xbase/file.h"
#include "store/xbase/status.h"

#include <QByteArray>
#include <QByteArrayView>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

// A FoxPro compact compound index (.cdx): a directory of tags, each a B-tree
// of 512-byte pages ordered by (key bytes, record number). Pages are read
// lazily through a bounded cache of decoded nodes; changes stay in the cache
// until flush().
namespace verbana::xbase {

struct KeyEntry {
    QByteArray key; // exactly the tag's key length
    uint32_t recno = 0;
};

struct TagInfo {
    QByteArray name; // upper-case as stored, without the blank padding
    QByteArray keyExpression;
    QByteArray forExpression;
    int keyLength = 0;
    uint32_t headerOffset = 0;
    bool descending = false;
    bool unique = false;
};

// One tag for CdxIndex::build. Entries may be given as KeyEntry objects, or
// appended with add() into flat storage (cheaper for large tables), or both.
struct TagBuild {
    QByteArray name;
    QByteArray keyExpression;
    QByteArray forExpression;
    int keyLength = 0;
    std::vector<KeyEntry> entries;
    QByteArray keys; // flat: keyLength bytes per entry, in step with recnos
    std::vector<uint32_t> recnos;
    char pad = ' ';

    void add(QByteArrayView key, uint32_t recno)
    {
        keys.append(key);
        recnos.push_back(recno);
    }
};

class CdxCursor;

class CdxIndex {
public:
    ~CdxIndex();
    CdxIndex(const CdxIndex &) = delete;
    CdxIndex &operator=(const CdxIndex &) = delete;

    // Opens an existing index on `file` (not owned; it must outlive the
    // index). Reads and checks the directory and every tag header only.
    static Result<std::unique_ptr<CdxIndex>> open(File &file);
    // Writes a complete new index into `file`: tags in the given order, each
    // tree built bottom-up from its entries, the header at offset 0 (with
    // `changeCounter`) last, then the file cut to length.
    static Status build(File &file, std::vector<TagBuild> tags, uint32_t changeCounter = 0);

    const std::vector<TagInfo> &tags() const { return infos_; }
    // 1-based, ASCII case-insensitive; 0 when there is no such tag.
    int tagNumber(QByteArrayView name) const;
    // The byte that pads keys of a tag (blank for character keys, 0x00 for
    // date and numeric keys); the index cannot tell them apart on its own.
    void setKeyPad(int tag, char pad);

    // A cursor over one tag (1-based), nullptr for a wrong number. The cursor
    // must not outlive the index.
    std::unique_ptr<CdxCursor> cursor(int tag);

    // Adds an entry (InvalidArgument when it is there already, the key has
    // the wrong length or the record number does not fit a leaf) or removes
    // one (NotFound when it is missing). Changes stay in the cache until
    // flush(). An I/O error or corruption met half-way leaves the cached tree
    // unfit for use: rebuild the index.
    Status insert(int tag, QByteArrayView key, uint32_t recno);
    Status remove(int tag, QByteArrayView key, uint32_t recno);
    // Writes the changed pages and, when anything changed, the free-page list
    // head and the incremented change counter of the header at offset 0.
    Status flush();
    // Forgets cached pages (another process changed the file). Unflushed
    // changes are lost.
    Status dropCache();
    // The change counter in the file now, and as this index last read or
    // wrote it: when they differ another program changed the index and
    // dropCache() is due.
    Result<uint32_t> readChangeCounter();
    uint32_t knownChangeCounter() const;
    // Where the file can be mapped, the header at offset 0 is read through a
    // shared mapping once the counter has been read a few times: the change
    // counter and the update mark then cost no system call, and what other
    // programs write shows at once.
    bool headerMapped() const { return head_ != nullptr; }
    // The update mark is in the file now: a writer is at work (or died).
    bool updateMarkedNow();

    // beginUpdate() marks the file (bytes 24..27 of the header at offset 0)
    // before the pages of a multi-page change are written; endUpdate()
    // flushes, clears the mark and increments the change counter. Pairs
    // nest. wasInterrupted() tells that the mark was found at opening: a
    // writer died half-way and the index must be rebuilt.
    Status beginUpdate();
    Status endUpdate();
    bool wasInterrupted() const { return interrupted_; }

    // Full structural check of one tag (0 checks the tag directory); returns
    // its entries in order.
    Result<std::vector<KeyEntry>> verify(int tag);
    // Checks every tree and that each page of the file is exactly one of:
    // a header, a node of one tree, or on the free-page list.
    Status verifyPages();

    // Upper bound of the page cache in bytes.
    void setCacheLimit(size_t bytes) { cacheLimit_ = bytes; }

private:
    friend class CdxCursor;
    struct Tag {
        TagInfo info;
        uint32_t root = 0;
        char pad = ' ';
    };
    struct Step {
        std::shared_ptr<cdx::CachedNode> node;
        int idx = 0;
    };
    using NodePtr = std::shared_ptr<cdx::CachedNode>;

    explicit CdxIndex(File &file);
    Status loadHeaderZero();
    Status loadDirectory();

    Result<NodePtr> fetch(int tag, uint32_t offset);
    Result<NodePtr> allocNode(int tag, uint16_t attr);
    void freePage(uint32_t offset);
    Status trim();
    Status writeDirty();
    Status writeHeaderFields(bool bumpCounter);

    // Descends from the root towards (key, recno); at each interior node
    // takes the first entry not below it. `clamp` takes the last entry when
    // the key is beyond all; otherwise *beyond is set and the path stops.
    Status descend(int tag, const char *key, int len, uint32_t recno, bool clamp, std::vector<Step> &path,
        bool *beyond);
    Status descendEdge(int tag, bool rightmost, std::vector<Step> &path);
    Status settle(int tag, std::vector<Step> &path, bool appendHint);
    Status splitNode(int tag, const NodePtr &node, bool appendHint, std::vector<NodePtr> &pieces);
    Status unlink(int tag, const NodePtr &node);
    Status collapseRoot(int tag);
    Status checkKey(int tag, QByteArrayView key) const;
    Status rawPage(uint32_t offset, std::span<char> page);
    Result<std::vector<KeyEntry>> verifyTree(int tag, std::unordered_set<uint32_t> &seen);

    File &file_;
    static constexpr int kReadsBeforeMapping = 16;
    const char *head_ = nullptr;
    int counterReads_ = 0;
    std::vector<Tag> tags_; // [0] is the tag directory
    std::vector<TagInfo> infos_;
    QByteArray header0_;
    uint64_t fileEnd_ = 0;
    uint32_t freeHead_ = 0;
    bool headerDirty_ = false;
    bool interrupted_ = false;
    int updateDepth_ = 0;
    uint64_t generation_ = 1;
    uint64_t clock_ = 0;
    size_t cacheBytes_ = 0;
    size_t cacheLimit_ = 16u << 20;
    cdx::PageTable cache_;
    std::unordered_map<uint32_t, uint32_t> pendingFree_; // freed page -> next free page
    std::unordered_set<uint32_t> reused_; // pages taken from the free list since the last reload
    // Pages fetched or made while a change was under way: the only ones that
    // can be dirty, so flushing need not scan the whole cache.
    std::vector<uint32_t> touched_;
    bool changing_ = false;
};

// A position in one tag. It stays usable across insert/remove through the
// same index: after a change it finds its entry again before moving.
class CdxCursor {
public:
    Status first();
    Status last();
    Status next();
    Status prev();
    // Positions on the first entry not below (key, recno). A key shorter than
    // the key length compares only its own length.
    Status seek(QByteArrayView key, uint32_t recno = 0);
    // False before the first or after the last entry, and in an empty tag.
    bool valid() const { return pos_ == Pos::On; }
    QByteArray key() const { return QByteArray(current_.data(), static_cast<qsizetype>(current_.size())); }
    QByteArrayView keyView() const { return QByteArrayView(current_.data(), static_cast<qsizetype>(current_.size())); }
    uint32_t recno() const { return recno_; }

private:
    friend class CdxIndex;
    enum class Pos { Before, On, After };
    CdxCursor(CdxIndex *index, int tag);
    Status resync(bool forward, bool *done);
    Status positionAt(std::vector<CdxIndex::Step> &path, bool beyond);
    Status hop(bool forward);
    void load();

    CdxIndex *index_;
    int tag_;
    Pos pos_ = Pos::Before;
    std::shared_ptr<const cdx::CachedNode> leaf_;
    int idx_ = 0;
    uint64_t generation_ = 0;
    std::vector<char> current_;
    uint32_t recno_ = 0;
};

} // namespace verbana::xbase
