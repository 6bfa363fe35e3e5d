// SPDX-License-Identifier: GPL-3.0-or-later
// The table object's compound index: opening it (and recovering a damaged
// or interrupted one), creating tags and building index files.
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
    const auto deadline = steady_clock::now() + milliseconds(DbfFile::kIndexLockWaitMs);
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

void TApolloTable::writeIndexedCount(File &file, uint32_t count)
{
    char mark[8] = {'V', 'b', 0, 0};
    for (int i = 0; i < 4; ++i)
        mark[4 + i] = char((count >> (8 * i)) & 0xFF);
    check(file.writeAt(kCountMarkOffset, mark));
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
    auto file = fs_->open(path, ReadOnly ? OpenMode::ReadOnly : OpenMode::ReadWrite);
    if (!file)
        raise(file.status(), texts::unableToOpen(path));
    cdxFile_ = std::move(file.value());
    const bool repair = RepairIndex && !ReadOnly;
    if (!dbf_->exclusive())
        check(waitForLock(*cdxFile_, kIndexLock, ReadOnly ? LockMode::Shared : LockMode::Exclusive),
              texts::lockFailure());
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
        if (repair)
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
    if (!indexProblem_.isEmpty() && repair) {
        // A writer died half-way, or another program changed the table
        // without the index: rebuild from the tag definitions.
        rebuildIndex();
    } else if (!indexProblem_.isEmpty() && RepairIndex) {
        // Read-only, an index out of step cannot be rebuilt; trusted, it
        // would hide records. The table is used in record order.
        cursor_.reset();
        cdx_.reset();
        cdxFile_.reset();
    }
}

void TApolloTable::rebuildIndex()
{
    const auto defs = tagDefinitions();
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

std::vector<std::pair<QByteArray, QByteArray>> TApolloTable::tagDefinitions() const
{
    std::vector<std::pair<QByteArray, QByteArray>> defs;
    if (cdx_)
        for (const TagInfo &t : cdx_->tags())
            defs.emplace_back(t.name, t.keyExpression);
    return defs;
}

TApolloTable::IndexBuild TApolloTable::prepareIndexBuild(const std::vector<std::pair<QByteArray, QByteArray>> &tags) const
{
    IndexBuild build;
    for (const auto &[name, expr] : tags) {
        TagKeyDef d;
        if (!parseKeyExpression(expr, dbf_->fields(), d))
            throw EApolloError(QStringLiteral("Invalid key expression: %1").arg(QString::fromLatin1(expr)), QString(),
                               StatusKind::InvalidArgument);
        build.defs.push_back(d);
        TagBuild b;
        b.name = name;
        b.keyExpression = expr;
        b.keyLength = d.keyLength;
        b.keys.reserve(qsizetype(dbf_->recordCount()) * d.keyLength);
        b.recnos.reserve(dbf_->recordCount());
        build.tags.push_back(std::move(b));
    }
    return build;
}

void TApolloTable::IndexBuild::add(QByteArrayView record, uint32_t recno)
{
    for (size_t t = 0; t < defs.size(); ++t) {
        QByteArrayView raw = record.sliced(defs[t].offset, defs[t].length);
        if (defs[t].upper)
            tags[t].add(cp949::upperAscii(raw), recno);
        else
            tags[t].add(raw, recno);
    }
}

void TApolloTable::writeIndexTemporary(const QString &target, IndexBuild build, uint32_t count)
{
    auto file = createTemporary(*fs_, target);
    if (!file)
        raise(file.status());
    Status s = CdxIndex::build(**file, std::move(build.tags));
    if (s)
        s = [&] {
            writeIndexedCount(**file, count);
            return (*file)->sync();
        }();
    if (!s) {
        file.value().reset();
        discardTemporary(*fs_, target);
        raise(s);
    }
}

// Builds a compound index holding `tags` (name, key expression) for every
// record of the table. With an empty target it rewrites the open index file
// in place; otherwise it writes the new temporary file `target` and syncs it.
void TApolloTable::buildIndexFile(const QString &target, const std::vector<std::pair<QByteArray, QByteArray>> &tags,
                                  uint32_t changeCounter)
{
    IndexBuild build = prepareIndexBuild(tags);
    check(dbf_->refresh());
    check(dbf_->scan(1, dbf_->recordCount(), [&](uint32_t recno, QByteArrayView rec) {
        build.add(rec, recno);
        return true;
    }));
    if (target.isEmpty()) {
        check(CdxIndex::build(*cdxFile_, std::move(build.tags), changeCounter));
        writeIndexedCount(*cdxFile_, dbf_->recordCount());
        return;
    }
    writeIndexTemporary(target, std::move(build), dbf_->recordCount());
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
    requireWritable();
    if (!dbf_->exclusive())
        throw EApolloError(texts::needsExclusive(), QString(), StatusKind::NotExclusive);
    requireSoundStructure();
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
        check(replaceWithTemporary(*fs_, temp, path));
        check(fs_->syncFolder(QFileInfo(path).path()));
    } catch (...) {
        discardTemporary(*fs_, temp);
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

} // namespace verbana::xbase
