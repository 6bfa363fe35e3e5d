// SPDX-License-Identifier: GPL-3.0-or-later
// The table object's compound index: opening it (and recovering a damaged
// or interrupted one), creating tags, keeping every tag in step with posts,
// and the operations that rewrite whole files: pack and copy.
#include "store/xbase/apollo_table.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/expression.h"
#include "store/xbase/memo_file.h"

#include "platform/cp949.h"

#include <QDateTime>
#include <QFileInfo>

#include <chrono>
#include <thread>

namespace verbana::xbase {
namespace {

// The index lock of FoxPro-style engines: readers share it, writers take it
// alone while they change any page.
constexpr uint64_t kIndexLock = 0x7FFFFFFEull;
// Where this engine records, in the index's first header, how many table
// records the index covers: "Vb" then the count (LE). Other engines leave
// these reserved bytes alone (zeros); a mismatch means the index is out of
// step with its table.
constexpr uint64_t kCountMarkOffset = 480;

QString asideName(const QString &path)
{
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString candidate = path + QStringLiteral(".damaged-") + stamp;
    for (int i = 2; QFileInfo::exists(candidate); ++i)
        candidate = path + QStringLiteral(".damaged-") + stamp + QLatin1Char('-') + QString::number(i);
    return candidate;
}

} // namespace

Status waitForLock(File &file, uint64_t offset, LockMode mode)
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + milliseconds(2000);
    for (;;) {
        Status s = file.tryLock(offset, 1, mode);
        if (s.isOk() || s.kind() != StatusKind::Locked || steady_clock::now() >= deadline)
            return s;
        std::this_thread::sleep_for(microseconds(500));
    }
}

bool TApolloTable::parseKeyExpression(const QByteArray &expr, const std::vector<dbf::Field> &fields, TagKeyDef &out)
{
    QByteArray e = cp949::upperAscii(expr.trimmed());
    out = TagKeyDef{};
    if (e.startsWith("UPPER(") && e.endsWith(')')) {
        out.upper = true;
        e = e.mid(6, e.size() - 7).trimmed();
    }
    for (const dbf::Field &f : fields) {
        if (cp949::upperAscii(f.name) == e && (f.type == 'C')) {
            out.offset = f.offset;
            out.length = f.length;
            out.keyLength = f.length;
            out.usable = true;
            return true;
        }
    }
    return false;
}

void TApolloTable::loadTagDefs()
{
    tagDefs_.clear();
    if (!cdx_)
        return;
    for (const TagInfo &t : cdx_->tags()) {
        TagKeyDef d;
        parseKeyExpression(t.keyExpression, dbf_->fields(), d);
        if (d.usable && d.keyLength != t.keyLength)
            d.usable = false;
        d.keyLength = t.keyLength;
        tagDefs_.push_back(d);
    }
}

QByteArray TApolloTable::keyOf(int tag, QByteArrayView record) const
{
    const TagKeyDef &d = tagDefs_[size_t(tag - 1)];
    QByteArrayView raw = record.sliced(d.offset, d.length);
    return d.upper ? cp949::upperAscii(raw) : raw.toByteArray();
}

void TApolloTable::writeIndexedCount()
{
    if (!cdxFile_)
        return;
    char mark[8] = {'V', 'b', 0, 0};
    const uint32_t n = dbf_->recordCount();
    for (int i = 0; i < 4; ++i)
        mark[4 + i] = char((n >> (8 * i)) & 0xFF);
    check(cdxFile_->writeAt(kCountMarkOffset, mark));
}

bool TApolloTable::indexedCountMatches()
{
    char mark[8] = {};
    if (!cdxFile_->readAt(kCountMarkOffset, mark).isOk())
        return false;
    if (mark[0] != 'V' || mark[1] != 'b') {
        // Written by another engine: count the entries of the first tag once.
        if (cdx_->tags().empty())
            return true;
        auto entries = cdx_->verify(1);
        return entries && entries->size() == dbf_->recordCount();
    }
    uint32_t n = 0;
    for (int i = 0; i < 4; ++i)
        n |= uint32_t(uint8_t(mark[4 + i])) << (8 * i);
    return n == dbf_->recordCount();
}

void TApolloTable::setIndexAside(const QString &why)
{
    cursor_.reset();
    cdx_.reset();
    cdxFile_.reset();
    tagDefs_.clear();
    const QString path = indexPath();
    const QString aside = asideName(path);
    if (fs_->rename(path, aside).isOk())
        damagedKeptAs_ = aside;
    Q_UNUSED(why);
    (void)dbf_->setStructuralIndexFlag(false);
}

void TApolloTable::openIndex()
{
    damagedKeptAs_.clear();
    indexProblem_.clear();
    const QString path = indexPath();
    if (!fs_->exists(path))
        return;
    auto file = fs_->open(path, OpenMode::ReadWrite);
    if (!file)
        raise(file.status(), texts::unableToOpen(path));
    cdxFile_ = std::move(file.value());
    if (!dbf_->exclusive())
        check(waitForLock(*cdxFile_, kIndexLock, LockMode::Exclusive), texts::lockFailure());
    struct Unlock {
        TApolloTable *t;
        ~Unlock()
        {
            if (t->cdxFile_ && !t->dbf_->exclusive())
                (void)t->cdxFile_->unlock(kIndexLock, 1);
        }
    } unlock{this};

    auto idx = CdxIndex::open(*cdxFile_);
    if (!idx) {
        indexProblem_ = idx.status().message();
        if (RepairIndex)
            setIndexAside(indexProblem_);
        else
            cdxFile_.reset();
        return;
    }
    cdx_ = std::move(idx.value());
    loadTagDefs();
    auto counter = cdx_->readChangeCounter();
    changeCounter_ = counter ? *counter : 0;
    indexProblem_.clear();
    if (cdx_->wasInterrupted())
        indexProblem_ = QStringLiteral("an update of the index was interrupted");
    else if (!indexedCountMatches())
        indexProblem_ = QStringLiteral("the index does not cover the table's records");
    if (!indexProblem_.isEmpty() && RepairIndex) {
        // A writer died half-way, or another program changed the table
        // without the index: rebuild from the tag definitions.
        rebuildIndex();
    }
}

void TApolloTable::rebuildIndex()
{
    std::vector<std::pair<QByteArray, QByteArray>> defs;
    for (const TagInfo &t : cdx_->tags())
        defs.emplace_back(t.name, t.keyExpression);
    for (const TagKeyDef &d : tagDefs_)
        if (!d.usable) {
            setIndexAside(QStringLiteral("a tag's key cannot be computed"));
            return;
        }
    // In place, so that other programs holding the index open notice the
    // next change counter and read it again. The update mark goes first, so
    // that nobody trusts a page while the pages are rewritten; the new
    // header at offset 0, which carries the counter and clears the mark,
    // goes last. The counter only ever grows: a program that knew an old
    // value must never see it again and take its cached pages for current.
    const uint32_t counter = changeCounter_ + 1;
    check(cdx_->beginUpdate());
    cursor_.reset();
    cdx_.reset();
    buildIndexFile(QString(), defs, counter);
    auto idx = CdxIndex::open(*cdxFile_);
    if (!idx) {
        setIndexAside(idx.status().message());
        return;
    }
    cdx_ = std::move(idx.value());
    loadTagDefs();
    changeCounter_ = counter;
}

// Builds a compound index holding `tags` (name, key expression) for every
// record of the table. With an empty target it rewrites the open index file
// in place; otherwise it writes `target` and syncs it.
void TApolloTable::buildIndexFile(const QString &target, const std::vector<std::pair<QByteArray, QByteArray>> &tags,
                                  uint32_t changeCounter)
{
    std::vector<TagBuild> builds;
    std::vector<TagKeyDef> defs;
    for (const auto &[name, expr] : tags) {
        TagKeyDef d;
        if (!parseKeyExpression(expr, dbf_->fields(), d))
            throw EApolloError(QStringLiteral("Invalid key expression: %1").arg(QString::fromLatin1(expr)), QString(),
                               StatusKind::InvalidArgument);
        defs.push_back(d);
        TagBuild b;
        b.name = name;
        b.keyExpression = expr;
        b.keyLength = d.keyLength;
        b.keys.reserve(qsizetype(dbf_->recordCount()) * d.keyLength);
        b.recnos.reserve(dbf_->recordCount());
        builds.push_back(std::move(b));
    }
    check(dbf_->refresh());
    check(dbf_->scan(1, dbf_->recordCount(), [&](uint32_t recno, QByteArrayView rec) {
        for (size_t t = 0; t < defs.size(); ++t) {
            QByteArrayView raw = rec.sliced(defs[t].offset, defs[t].length);
            if (defs[t].upper)
                builds[t].add(cp949::upperAscii(raw), recno);
            else
                builds[t].add(raw, recno);
        }
        return true;
    }));
    if (target.isEmpty()) {
        check(CdxIndex::build(*cdxFile_, std::move(builds), changeCounter));
        writeIndexedCount();
        return;
    }
    auto file = fs_->open(target, OpenMode::Create);
    if (!file)
        raise(file.status());
    check(CdxIndex::build(**file, std::move(builds)));
    std::swap(cdxFile_, file.value());
    writeIndexedCount();
    std::swap(cdxFile_, file.value());
    check((*file)->sync());
}

void TApolloTable::reopenIndexFile()
{
    cursor_.reset();
    cdx_.reset();
    cdxFile_.reset();
    tagDefs_.clear();
    openIndex();
}

int TApolloTable::IndexTag(const QString &indexName, const QByteArray &tag, const QByteArray &expression, int option,
                           bool descending, const QByteArray &condition)
{
    Q_UNUSED(option);
    if (!indexName.isEmpty() || descending || !condition.isEmpty())
        throw EApolloError(QStringLiteral("Only ascending tags without condition in the compound index are supported"),
                           QString(), StatusKind::InvalidArgument);
    return IndexTags({{tag, expression}});
}

int TApolloTable::IndexTags(const std::vector<std::pair<QByteArray, QByteArray>> &newTags)
{
    requireBrowse("index");
    if (!dbf_->exclusive())
        throw EApolloError(texts::needsExclusive(), QString(), StatusKind::NotExclusive);
    std::vector<std::pair<QByteArray, QByteArray>> defs;
    auto replaced = [&](const QByteArray &name) {
        for (const auto &[tag, expr] : newTags)
            if (cp949::upperAscii(tag) == cp949::upperAscii(name))
                return true;
        return false;
    };
    if (cdx_)
        for (const TagInfo &t : cdx_->tags())
            if (!replaced(t.name))
                defs.emplace_back(t.name, t.keyExpression);
    for (const auto &[tag, expr] : newTags) {
        if (tag.isEmpty() || tag.size() > 10)
            throw EApolloError(QStringLiteral("Invalid tag name"), QString(), StatusKind::InvalidArgument);
        defs.emplace_back(cp949::upperAscii(tag), expr);
    }

    const uint32_t current = recno_;
    const QString path = indexPath();
    const QString temp = path + QStringLiteral(".new");
    try {
        // The new index describes the records as they are now: they are
        // made durable first.
        protectIndexReplacement(true);
        buildIndexFile(temp, defs);
        cursor_.reset();
        cdx_.reset();
        cdxFile_.reset();
        check(fs_->rename(temp, path));
        check(fs_->syncFolder(QFileInfo(path).path()));
    } catch (...) {
        reopenAfterFailure();
        throw;
    }
    check(dbf_->setStructuralIndexFlag(true));
    reopenIndexFile();
    order_ = TagArea(defs.back().first);
    cursorRecno_ = 0;
    if (current)
        Go(current);
    announce(TableEvent::AfterRefresh);
    return 1;
}

int TApolloTable::TagArea(const QByteArray &tagName) const
{
    requireActive();
    return cdx_ ? cdx_->tagNumber(tagName) : 0;
}

int TApolloTable::TagCount() const { return cdx_ ? int(cdx_->tags().size()) : 0; }

QByteArray TApolloTable::TagName(int order) const
{
    if (!cdx_ || order < 1 || order > TagCount())
        return {};
    return cdx_->tags()[size_t(order - 1)].name;
}

QByteArray TApolloTable::TagKey(int order) const
{
    if (!cdx_ || order < 1 || order > TagCount())
        return {};
    return cdx_->tags()[size_t(order - 1)].keyExpression;
}

void TApolloTable::CloseIndexes()
{
    requireActive();
    order_ = 0;
    cursorRecno_ = 0;
    announce(TableEvent::AfterRefresh);
}

void TApolloTable::lockIndexForWrite()
{
    if (!cdx_)
        return;
    if (!dbf_->exclusive()) {
        for (;;) {
            check(waitForLock(*cdxFile_, kIndexLock, LockMode::Exclusive), texts::lockFailure());
            auto counter = cdx_->readChangeCounter();
            const bool changed = !counter || *counter != changeCounter_;
            if (!changed && !(RepairIndex && cdx_->updateMarkedNow()))
                break;
            // Another program changed the index since we last looked, or
            // died half-way through a change and left its mark: read the
            // index again, which rebuilds an interrupted one.
            (void)cdxFile_->unlock(kIndexLock, 1);
            reopenIndexFile();
            if (!cdx_)
                return;
        }
        // Appends happen under this lock: the record count is now the one
        // the index will cover.
        Status s = dbf_->refresh();
        if (!s) {
            (void)cdxFile_->unlock(kIndexLock, 1);
            raise(s);
        }
    }
    check(cdx_->beginUpdate());
}

void TApolloTable::beginIndexRead(bool distrustCache)
{
    if (!cdx_ || dbf_->exclusive())
        return;
    check(waitForLock(*cdxFile_, kIndexLock, LockMode::Shared), texts::lockFailure());
    auto counter = cdx_->readChangeCounter();
    if (!counter || *counter != changeCounter_) {
        (void)cdxFile_->unlock(kIndexLock, 1);
        reopenIndexFile();
        cursorRecno_ = 0;
        // A program that changed the index may have appended records
        // before it updated the table's header.
        check(dbf_->refresh());
        if (cdx_)
            check(waitForLock(*cdxFile_, kIndexLock, LockMode::Shared), texts::lockFailure());
    } else if (distrustCache) {
        cursor_.reset();
        cursorRecno_ = 0;
        Status s = cdx_->dropCache();
        if (!s) {
            (void)cdxFile_->unlock(kIndexLock, 1);
            raise(s);
        }
    }
}

void TApolloTable::endIndexRead()
{
    if (cdx_ && !dbf_->exclusive())
        (void)cdxFile_->unlock(kIndexLock, 1);
}

void TApolloTable::unlockIndexForWrite()
{
    if (!cdx_)
        return;
    writeIndexedCount();
    Status s = cdx_->endUpdate();
    auto counter = cdx_->readChangeCounter();
    if (counter)
        changeCounter_ = *counter;
    if (!dbf_->exclusive())
        (void)cdxFile_->unlock(kIndexLock, 1);
    check(s);
}

// A post that failed half-way may have left changed pages in the cache and
// the interrupted-update mark in the file: forget the cache and open the
// index again, which rebuilds it from the table when it can.
void TApolloTable::recoverIndexAfterFailure()
{
    if (!cdxFile_)
        return;
    if (!dbf_->exclusive())
        (void)cdxFile_->unlock(kIndexLock, 1);
    try {
        reopenIndexFile();
    } catch (const EApolloError &) {
        cursor_.reset();
        cdx_.reset();
        cdxFile_.reset();
        tagDefs_.clear();
    }
    cursorRecno_ = 0;
}

void TApolloTable::Post()
{
    requireActive();
    if (state_ == TableState::Browse)
        return;
    // A tag whose key this engine cannot compute could not be kept in step:
    // refuse the post rather than let that tag go silently wrong.
    for (int t = 1; t <= int(tagDefs_.size()); ++t)
        if (!tagDefs_[size_t(t - 1)].usable)
            throw EApolloError(QStringLiteral("The index tag %1 (key %2) cannot be kept up to date by this program")
                                   .arg(QString::fromLatin1(TagName(t)), QString::fromLatin1(TagKey(t))),
                               QString(), StatusKind::InvalidArgument);
    if (state_ == TableState::Inserting) {
        check(dbf_->lockAppend(), texts::lockFailure());
        try {
            lockIndexForWrite();
            auto recno = dbf_->append(buffer_);
            if (!recno)
                raise(recno.status());
            for (int t = 1; t <= int(tagDefs_.size()); ++t)
                check(cdx_->insert(t, keyOf(t, buffer_), *recno));
            unlockIndexForWrite();
            recno_ = *recno;
        } catch (...) {
            recoverIndexAfterFailure();
            (void)dbf_->unlockAppend();
            throw;
        }
        (void)dbf_->unlockAppend();
    } else {
        try {
            lockIndexForWrite();
            check(dbf_->writeRecord(recno_, buffer_));
            for (int t = 1; t <= int(tagDefs_.size()); ++t) {
                const QByteArray oldKey = keyOf(t, saved_), newKey = keyOf(t, buffer_);
                if (oldKey != newKey) {
                    check(cdx_->remove(t, oldKey, recno_));
                    check(cdx_->insert(t, newKey, recno_));
                }
            }
            unlockIndexForWrite();
        } catch (...) {
            recoverIndexAfterFailure();
            throw;
        }
        (void)dbf_->unlockRecord(recno_);
    }
    state_ = TableState::Browse;
    bof_ = eof_ = false;
    cursorRecno_ = 0;
    announce(TableEvent::AfterPost);
}

} // namespace verbana::xbase
