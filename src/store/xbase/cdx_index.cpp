// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a compound index, its page cache, flushing and the update mark.
#include "store/xbase/cdx_index.h"

#include <algorithm>
#include <cstring>

namespace verbana::xbase {

using namespace cdx;

namespace {

uint32_t readLe32(const char *p)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(p[i]);
    return v;
}

QByteArray upperAscii(QByteArrayView s)
{
    QByteArray out(s.data(), s.size());
    for (char &c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

size_t footprint(const Node &n) { return 256 + n.keys.capacity() + n.recnos.capacity() * 6 + n.children.capacity() * 4; }

} // namespace

CdxIndex::CdxIndex(File &file) : file_(file) {}
CdxIndex::~CdxIndex() = default;

Result<std::unique_ptr<CdxIndex>> CdxIndex::open(File &file)
{
    std::unique_ptr<CdxIndex> index(new CdxIndex(file));
    XB_TRY(index->loadHeaderZero());
    auto h = decodeTagHeader(std::span<const char>(index->header0_.constData(), kHeaderSize));
    if (!h)
        return h.status();
    index->interrupted_ = h->updateMark;
    Tag dir;
    dir.info.keyLength = h->keyLength;
    dir.root = h->root;
    index->tags_.push_back(dir);
    XB_TRY(index->loadDirectory());
    return index;
}

Status CdxIndex::loadHeaderZero()
{
    auto size = file_.size();
    if (!size)
        return size.status();
    if (*size < static_cast<uint64_t>(kHeaderSize))
        return Status::corruption(QStringLiteral("index file is too short: %1").arg(file_.path()));
    if (*size > 0xFFFFFE00u)
        return Status::corruption(QStringLiteral("index file is too large: %1").arg(file_.path()));
    fileEnd_ = (*size + kPageSize - 1) / kPageSize * kPageSize;
    header0_.resize(kHeaderSize);
    XB_TRY(file_.readAt(0, std::span<char>(header0_.data(), kHeaderSize)));
    const uint32_t head = readLe32(header0_.constData() + 4);
    freeHead_ = head == kNone ? 0 : head;
    const uint32_t root = readLe32(header0_.constData());
    if (root % kPageSize != 0 || root < static_cast<uint32_t>(kHeaderSize) || root + uint64_t(kPageSize) > fileEnd_)
        return Status::corruption(QStringLiteral("index directory root %1 lies outside the file").arg(root));
    return Status::ok();
}

Status CdxIndex::loadDirectory()
{
    CdxCursor c(this, 0);
    XB_TRY(c.first());
    std::vector<Tag> found;
    const uint64_t maxTags = fileEnd_ / kHeaderSize;
    while (c.valid()) {
        QByteArray name = c.key();
        while (!name.isEmpty() && (name.back() == ' ' || name.back() == '\0'))
            name.chop(1);
        const uint32_t off = c.recno();
        if (off % kPageSize != 0 || off < static_cast<uint32_t>(kHeaderSize) || off + uint64_t(kHeaderSize) > fileEnd_)
            return Status::corruption(QStringLiteral("index tag %1 has its header at offset %2, outside the file")
                                          .arg(QString::fromLatin1(name))
                                          .arg(off));
        QByteArray raw(kHeaderSize, '\0');
        XB_TRY(file_.readAt(off, std::span<char>(raw.data(), kHeaderSize)));
        auto h = decodeTagHeader(std::span<const char>(raw.constData(), kHeaderSize));
        if (!h)
            return Status::corruption(QStringLiteral("index tag %1: %2").arg(QString::fromLatin1(name), h.status().message()));
        if (h->root + uint64_t(kPageSize) > fileEnd_)
            return Status::corruption(QStringLiteral("index tag %1 has its root outside the file").arg(QString::fromLatin1(name)));
        Tag t;
        t.info.name = name;
        t.info.keyExpression = h->keyExpression;
        t.info.forExpression = h->forExpression;
        t.info.keyLength = h->keyLength;
        t.info.headerOffset = off;
        t.info.descending = h->descending;
        t.info.unique = (h->options & kOptUnique) != 0;
        t.root = h->root;
        found.push_back(std::move(t));
        if (found.size() > maxTags)
            return Status::corruption(QStringLiteral("index directory lists more tags than the file can hold"));
        XB_TRY(c.next());
    }
    std::sort(found.begin(), found.end(), [](const Tag &a, const Tag &b) { return a.info.headerOffset < b.info.headerOffset; });
    for (size_t i = 1; i < found.size(); ++i)
        if (found[i].info.headerOffset == found[i - 1].info.headerOffset)
            return Status::corruption(QStringLiteral("two index tags share one header"));
    for (auto &t : found) {
        infos_.push_back(t.info);
        tags_.push_back(std::move(t));
    }
    return Status::ok();
}

int CdxIndex::tagNumber(QByteArrayView name) const
{
    QByteArray want = upperAscii(name);
    while (!want.isEmpty() && want.back() == ' ')
        want.chop(1);
    for (size_t i = 1; i < tags_.size(); ++i)
        if (upperAscii(tags_[i].info.name) == want)
            return static_cast<int>(i);
    return 0;
}

void CdxIndex::setKeyPad(int tag, char pad)
{
    if (tag < 1 || tag >= static_cast<int>(tags_.size()) || tags_[static_cast<size_t>(tag)].pad == pad)
        return;
    tags_[static_cast<size_t>(tag)].pad = pad;
    std::vector<uint32_t> drop;
    cache_.forEach([&](const NodePtr &n) {
        if (n->tag == tag && !n->dirty)
            drop.push_back(n->offset);
    });
    for (uint32_t off : drop)
        cache_.erase(off);
    ++generation_;
}

std::unique_ptr<CdxCursor> CdxIndex::cursor(int tag)
{
    if (tag < 1 || tag >= static_cast<int>(tags_.size()))
        return nullptr;
    return std::unique_ptr<CdxCursor>(new CdxCursor(this, tag));
}

Result<CdxIndex::NodePtr> CdxIndex::fetch(int tag, uint32_t offset)
{
    const Tag &t = tags_[static_cast<size_t>(tag)];
    if (changing_)
        touched_.push_back(offset);
    if (NodePtr *cached = cache_.find(offset)) {
        if ((*cached)->tag != tag)
            return Status::corruption(QStringLiteral("index page %1 belongs to two tags").arg(offset));
        (*cached)->stamp = ++clock_;
        return *cached;
    }
    if (offset % kPageSize != 0 || offset < static_cast<uint32_t>(kHeaderSize) || offset + uint64_t(kPageSize) > fileEnd_)
        return Status::corruption(QStringLiteral("index points to offset %1, outside the file").arg(offset));
    if (pendingFree_.count(offset))
        return Status::corruption(QStringLiteral("index points to the free page %1").arg(offset));
    char page[kPageSize];
    XB_TRY(file_.readAt(offset, std::span<char>(page, kPageSize)));
    auto node = std::make_shared<CachedNode>();
    Status st = decodeNode(std::span<const char>(page, kPageSize), t.info.keyLength, t.pad, false, *node);
    if (!st)
        return Status::corruption(QStringLiteral("index node at %1: %2").arg(offset).arg(st.message()));
    node->offset = offset;
    node->tag = tag;
    node->stamp = ++clock_;
    cacheBytes_ += footprint(*node);
    cache_.put(offset, node);
    return node;
}

Status CdxIndex::trim()
{
    if (cacheBytes_ <= cacheLimit_)
        return Status::ok();
    size_t total = 0;
    bool anyDirty = false;
    cache_.forEach([&](const NodePtr &n) {
        total += footprint(*n);
        anyDirty = anyDirty || n->dirty;
    });
    cacheBytes_ = total;
    if (total <= cacheLimit_)
        return Status::ok();
    if (anyDirty)
        XB_TRY(writeDirty());
    std::vector<std::pair<uint64_t, uint32_t>> order;
    order.reserve(cache_.size());
    cache_.forEach([&](const NodePtr &n) { order.emplace_back(n->stamp, n->offset); });
    std::sort(order.begin(), order.end());
    for (const auto &[stamp, off] : order) {
        if (cacheBytes_ <= cacheLimit_ / 2)
            break;
        cacheBytes_ -= std::min(cacheBytes_, footprint(**cache_.find(off)));
        cache_.erase(off);
    }
    return Status::ok();
}

Status CdxIndex::writeDirty()
{
    std::vector<uint32_t> offsets;
    for (uint32_t off : touched_) {
        NodePtr *n = cache_.find(off);
        if (n && (*n)->dirty)
            offsets.push_back(off);
    }
    for (const auto &[off, next] : pendingFree_)
        offsets.push_back(off);
    if (offsets.empty()) {
        touched_.clear();
        return Status::ok();
    }
    std::sort(offsets.begin(), offsets.end());
    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
    std::vector<char> buf;
    size_t i = 0;
    while (i < offsets.size()) {
        size_t j = i + 1;
        while (j < offsets.size() && offsets[j] == offsets[j - 1] + kPageSize && j - i < 256)
            ++j;
        buf.assign((j - i) * kPageSize, '\0');
        for (size_t k = i; k < j; ++k) {
            char *page = buf.data() + (k - i) * kPageSize;
            if (NodePtr *n = cache_.find(offsets[k])) {
                encodeNode(**n, std::span<char>(page, kPageSize));
            } else {
                const uint32_t next = pendingFree_.at(offsets[k]);
                for (int b = 0; b < 4; ++b)
                    page[b] = static_cast<char>((next >> (8 * b)) & 0xFF);
            }
        }
        XB_TRY(file_.writeAt(offsets[i], std::span<const char>(buf.data(), buf.size())));
        i = j;
    }
    for (uint32_t off : offsets) {
        if (NodePtr *n = cache_.find(off))
            (*n)->dirty = false;
    }
    touched_.clear();
    pendingFree_.clear();
    headerDirty_ = true;
    return Status::ok();
}

Status CdxIndex::writeHeaderFields(bool bumpCounter)
{
    char *p = header0_.data();
    for (int b = 0; b < 4; ++b)
        p[4 + b] = static_cast<char>((freeHead_ >> (8 * b)) & 0xFF);
    if (bumpCounter) {
        uint32_t c = 0;
        for (int b = 0; b < 4; ++b)
            c = (c << 8) | static_cast<uint8_t>(p[8 + b]);
        ++c;
        for (int b = 0; b < 4; ++b)
            p[8 + b] = static_cast<char>((c >> (24 - 8 * b)) & 0xFF);
    }
    if (updateDepth_ > 0)
        std::memcpy(p + kUpdateMarkOffset, kUpdateMark, 4);
    else
        std::memset(p + kUpdateMarkOffset, 0, 4);
    XB_TRY(file_.writeAt(4, std::span<const char>(p + 4, kUpdateMarkOffset + 4 - 4)));
    headerDirty_ = false;
    return Status::ok();
}

Status CdxIndex::flush()
{
    XB_TRY(writeDirty());
    if (headerDirty_)
        XB_TRY(writeHeaderFields(true));
    return Status::ok();
}

Status CdxIndex::dropCache()
{
    cache_.clear();
    pendingFree_.clear();
    reused_.clear();
    touched_.clear();
    cacheBytes_ = 0;
    headerDirty_ = false;
    ++generation_;
    XB_TRY(loadHeaderZero());
    tags_[0].root = readLe32(header0_.constData());
    for (size_t i = 1; i < tags_.size(); ++i) {
        char raw[4];
        XB_TRY(file_.readAt(tags_[i].info.headerOffset, std::span<char>(raw, 4)));
        const uint32_t root = readLe32(raw);
        if (root % kPageSize != 0 || root < static_cast<uint32_t>(kHeaderSize) || root + uint64_t(kPageSize) > fileEnd_)
            return Status::corruption(QStringLiteral("index tag %1 has its root outside the file")
                                          .arg(QString::fromLatin1(tags_[i].info.name)));
        tags_[i].root = root;
    }
    return Status::ok();
}

Result<uint32_t> CdxIndex::readChangeCounter()
{
    // A program that looks at the counter often (a walk of a shared table)
    // maps the header. The file is never shorter than the header while it
    // is open: a rebuild writes over it before it cuts the file to length.
    if (!head_ && ++counterReads_ == kReadsBeforeMapping)
        head_ = file_.map(kHeaderSize);
    char raw[4];
    if (head_)
        std::memcpy(raw, head_ + 8, 4);
    else
        XB_TRY(file_.readAt(8, std::span<char>(raw, 4)));
    uint32_t c = 0;
    for (char b : raw)
        c = (c << 8) | static_cast<uint8_t>(b);
    return c;
}

bool CdxIndex::updateMarkedNow()
{
    char raw[4];
    if (head_)
        std::memcpy(raw, head_ + kUpdateMarkOffset, 4);
    else if (!file_.readAt(kUpdateMarkOffset, std::span<char>(raw, 4)))
        return true; // unreadable: as good as marked
    return std::memcmp(raw, kUpdateMark, 4) == 0;
}

uint32_t CdxIndex::knownChangeCounter() const
{
    uint32_t c = 0;
    for (int b = 0; b < 4; ++b)
        c = (c << 8) | static_cast<uint8_t>(header0_[8 + b]);
    return c;
}

Status CdxIndex::beginUpdate()
{
    if (updateDepth_++ > 0)
        return Status::ok();
    std::memcpy(header0_.data() + kUpdateMarkOffset, kUpdateMark, 4);
    return file_.writeAt(kUpdateMarkOffset, std::span<const char>(kUpdateMark, 4));
}

Status CdxIndex::endUpdate()
{
    if (updateDepth_ == 0)
        return Status::invalidArgument(QStringLiteral("index update ended twice"));
    if (--updateDepth_ > 0)
        return Status::ok();
    XB_TRY(writeDirty());
    return writeHeaderFields(true);
}

Status CdxIndex::rawPage(uint32_t offset, std::span<char> page)
{
    NodePtr *n = cache_.find(offset);
    if (n && (*n)->dirty) {
        encodeNode(**n, page);
        return Status::ok();
    }
    if (pendingFree_.count(offset))
        return Status::corruption(QStringLiteral("the page is on the free list"));
    return file_.readAt(offset, page);
}

} // namespace verbana::xbase
