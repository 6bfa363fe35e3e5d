// SPDX-License-Identifier: GPL-3.0-or-later
// Changing a tag's tree: descending, inserting and removing entries, splitting
// and dropping nodes, keeping parents' last keys and sibling links right.
#include "store/xbase/cdx_index.h"

#include <algorithm>
#include <cstring>

namespace verbana::xbase {

using namespace cdx;

namespace {

constexpr int kMaxDepth = 32;

// Marks the index as changing for the lifetime of one insert or remove.
struct Changing {
    explicit Changing(bool &flag) : flag_(flag) { flag_ = true; }
    ~Changing() { flag_ = false; }
    bool &flag_;
};

// First index in [0, n) whose entry is not below (key, recno).
int lowerBound(const Node &n, const char *key, int len, uint32_t recno)
{
    int lo = 0;
    int hi = n.count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (compareEntry(n.key(mid), n.recnos[static_cast<size_t>(mid)], key, len, recno) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

// Copies entries [from, to) of `src` into the empty node `dst`.
void copyEntries(const Node &src, int from, int to, Node &dst)
{
    const int k = src.keyLength;
    dst.keys.assign(src.keys.begin() + static_cast<ptrdiff_t>(from) * k, src.keys.begin() + static_cast<ptrdiff_t>(to) * k);
    dst.recnos.assign(src.recnos.begin() + from, src.recnos.begin() + to);
    if (!src.isLeaf())
        dst.children.assign(src.children.begin() + from, src.children.begin() + to);
}

void truncateEntries(Node &n, int to)
{
    n.keys.resize(static_cast<size_t>(to) * n.keyLength);
    n.recnos.resize(static_cast<size_t>(to));
    if (!n.isLeaf())
        n.children.resize(static_cast<size_t>(to));
}

// Makes entry i of interior node p name the last entry of `child`.
void setEntry(CachedNode &p, int i, const CachedNode &child)
{
    const int k = p.keyLength;
    char *dst = p.keys.data() + static_cast<size_t>(i) * k;
    const auto si = static_cast<size_t>(i);
    if (p.children[si] == child.offset && p.recnos[si] == child.lastRecno() && std::memcmp(dst, child.lastKey(), static_cast<size_t>(k)) == 0)
        return;
    std::memcpy(dst, child.lastKey(), static_cast<size_t>(k));
    p.recnos[si] = child.lastRecno();
    p.children[si] = child.offset;
    p.dirty = true;
}

void insertEntry(CachedNode &p, int i, const CachedNode &child)
{
    const int k = p.keyLength;
    p.keys.insert(p.keys.begin() + static_cast<ptrdiff_t>(i) * k, child.lastKey(), child.lastKey() + k);
    p.recnos.insert(p.recnos.begin() + i, child.lastRecno());
    p.children.insert(p.children.begin() + i, child.offset);
    p.dirty = true;
}

void eraseEntry(CachedNode &p, int i)
{
    const int k = p.keyLength;
    p.keys.erase(p.keys.begin() + static_cast<ptrdiff_t>(i) * k, p.keys.begin() + static_cast<ptrdiff_t>(i + 1) * k);
    p.recnos.erase(p.recnos.begin() + i);
    p.children.erase(p.children.begin() + i);
    p.dirty = true;
}

// Moves every entry and the compression state of `from` into `to`.
void moveContent(Node &from, Node &to)
{
    to.keys = std::move(from.keys);
    to.recnos = std::move(from.recnos);
    to.children = std::move(from.children);
    to.dup = std::move(from.dup);
    to.trail = std::move(from.trail);
    to.stored = from.stored;
    to.maxRecno = from.maxRecno;
    from.keys.clear();
    from.recnos.clear();
    from.children.clear();
    from.dup.clear();
    from.trail.clear();
    from.stored = 0;
    from.maxRecno = 0;
}

// Cut points for a leaf that does not fit: [0, cuts[0]), [cuts[0], cuts[1]) …
std::vector<int> leafCuts(const Node &n, bool appendHint)
{
    const int c = n.count();
    const int k = n.keyLength;
    std::vector<int> storedBefore(static_cast<size_t>(c) + 1, 0);
    std::vector<uint32_t> prefMax(static_cast<size_t>(c) + 1, 0);
    std::vector<uint32_t> sufMax(static_cast<size_t>(c) + 1, 0);
    for (int i = 0; i < c; ++i) {
        const auto si = static_cast<size_t>(i);
        storedBefore[si + 1] = storedBefore[si] + (k - n.dup[si] - n.trail[si]);
        prefMax[si + 1] = std::max(prefMax[si], n.recnos[si]);
    }
    for (int i = c - 1; i >= 0; --i)
        sufMax[static_cast<size_t>(i)] = std::max(sufMax[static_cast<size_t>(i) + 1], n.recnos[static_cast<size_t>(i)]);
    auto size = [&](int from, int to) {
        // bytes of entries [from, to) as a node of their own
        uint32_t mx = 0;
        if (from == 0)
            mx = prefMax[static_cast<size_t>(to)];
        else if (to == c)
            mx = sufMax[static_cast<size_t>(from)];
        else
            for (int i = from; i < to; ++i)
                mx = std::max(mx, n.recnos[static_cast<size_t>(i)]);
        const int w = entryWidth(k, mx);
        if (w == 0)
            return kPageSize + 1;
        const auto sf = static_cast<size_t>(from);
        return kLeafHeader + (to - from) * w + (k - n.trail[sf]) + (storedBefore[static_cast<size_t>(to)] - storedBefore[sf + 1]);
    };
    int best = -1;
    int bestCost = 0;
    for (int s = 1; s < c; ++s) {
        const int l = size(0, s);
        const int r = size(s, c);
        if (l > kPageSize || r > kPageSize)
            continue;
        const int cost = appendHint ? -s : std::max(l, r);
        if (best < 0 || cost < bestCost) {
            best = s;
            bestCost = cost;
        }
    }
    if (best > 0)
        return {best, c};
    std::vector<int> cuts;
    int start = 0;
    for (int i = 1; i <= c; ++i) {
        if (i == c || size(start, i + 1) > kPageSize) {
            cuts.push_back(i);
            start = i;
        }
    }
    return cuts;
}

} // namespace

Status CdxIndex::checkKey(int tag, QByteArrayView key) const
{
    if (tag < 1 || tag >= static_cast<int>(tags_.size()))
        return Status::invalidArgument(QStringLiteral("no index tag %1").arg(tag));
    const int k = tags_[static_cast<size_t>(tag)].info.keyLength;
    if (key.size() != k)
        return Status::invalidArgument(QStringLiteral("index key of %1 bytes for a tag of key length %2").arg(key.size()).arg(k));
    return Status::ok();
}

Status CdxIndex::descend(int tag, const char *key, int len, uint32_t recno, bool clamp, std::vector<Step> &path, bool *beyond)
{
    path.clear();
    *beyond = false;
    uint32_t off = tags_[static_cast<size_t>(tag)].root;
    for (int depth = 0;; ++depth) {
        if (depth > kMaxDepth)
            return Status::corruption(QStringLiteral("index tree is deeper than %1 levels").arg(kMaxDepth));
        auto r = fetch(tag, off);
        if (!r)
            return r.status();
        NodePtr node = *r;
        if ((depth == 0) != node->isRoot())
            return Status::corruption(QStringLiteral("index node at %1 has a wrong root attribute").arg(off));
        if (node->isLeaf()) {
            if (depth > 0 && node->count() == 0)
                return Status::corruption(QStringLiteral("index leaf at %1 is empty").arg(off));
            path.push_back({node, lowerBound(*node, key, len, recno)});
            return Status::ok();
        }
        int idx = lowerBound(*node, key, len, recno);
        if (idx == node->count()) {
            if (!clamp) {
                path.push_back({node, idx});
                *beyond = true;
                return Status::ok();
            }
            idx = node->count() - 1;
        }
        path.push_back({node, idx});
        off = node->children[static_cast<size_t>(idx)];
    }
}

Status CdxIndex::descendEdge(int tag, bool rightmost, std::vector<Step> &path)
{
    path.clear();
    uint32_t off = tags_[static_cast<size_t>(tag)].root;
    for (int depth = 0;; ++depth) {
        if (depth > kMaxDepth)
            return Status::corruption(QStringLiteral("index tree is deeper than %1 levels").arg(kMaxDepth));
        auto r = fetch(tag, off);
        if (!r)
            return r.status();
        NodePtr node = *r;
        if ((depth == 0) != node->isRoot())
            return Status::corruption(QStringLiteral("index node at %1 has a wrong root attribute").arg(off));
        if (depth > 0 && node->count() == 0)
            return Status::corruption(QStringLiteral("index node at %1 is empty").arg(off));
        const int idx = rightmost ? std::max(0, node->count() - 1) : 0;
        path.push_back({node, idx});
        if (node->isLeaf())
            return Status::ok();
        off = node->children[static_cast<size_t>(idx)];
    }
}

Status CdxIndex::insert(int tag, QByteArrayView key, uint32_t recno)
{
    XB_TRY(checkKey(tag, key));
    Changing guard(changing_);
    const Tag &t = tags_[static_cast<size_t>(tag)];
    if (entryWidth(t.info.keyLength, recno) == 0)
        return Status::invalidArgument(QStringLiteral("record number %1 is too large for the index").arg(recno));
    XB_TRY(trim());
    std::vector<Step> path;
    bool beyond = false;
    XB_TRY(descend(tag, key.data(), static_cast<int>(key.size()), recno, true, path, &beyond));
    CachedNode &leaf = *path.back().node;
    const int pos = path.back().idx;
    if (pos < leaf.count() && compareEntry(leaf.key(pos), leaf.recnos[static_cast<size_t>(pos)], key.data(), t.info.keyLength, recno) == 0)
        return Status::invalidArgument(QStringLiteral("record %1 is already in index tag %2").arg(recno).arg(QString::fromLatin1(t.info.name)));
    leafInsert(leaf, pos, key.data(), recno, t.pad);
    leaf.dirty = true;
    ++generation_;
    const bool appendHint = pos == leaf.count() - 1 && leaf.right == kNone;
    return settle(tag, path, appendHint);
}

Status CdxIndex::remove(int tag, QByteArrayView key, uint32_t recno)
{
    XB_TRY(checkKey(tag, key));
    Changing guard(changing_);
    const Tag &t = tags_[static_cast<size_t>(tag)];
    XB_TRY(trim());
    std::vector<Step> path;
    bool beyond = false;
    XB_TRY(descend(tag, key.data(), static_cast<int>(key.size()), recno, false, path, &beyond));
    CachedNode &leaf = *path.back().node;
    const int pos = path.back().idx;
    if (beyond || pos >= leaf.count() || compareEntry(leaf.key(pos), leaf.recnos[static_cast<size_t>(pos)], key.data(), t.info.keyLength, recno) != 0)
        return Status::notFound(QStringLiteral("record %1 is missing from index tag %2").arg(recno).arg(QString::fromLatin1(t.info.name)));
    leafErase(leaf, pos);
    leaf.dirty = true;
    ++generation_;
    return settle(tag, path, false);
}

Status CdxIndex::settle(int tag, std::vector<Step> &path, bool appendHint)
{
    for (int level = static_cast<int>(path.size()) - 1; level >= 0; --level) {
        NodePtr n = path[static_cast<size_t>(level)].node;
        if (level == 0) {
            if (nodeFits(*n))
                break;
            // The root keeps its offset: its entries move to a new child,
            // which is then split like any other node.
            auto r = allocNode(tag, static_cast<uint16_t>(n->attr & ~kAttrRoot));
            if (!r)
                return r.status();
            NodePtr child = *r;
            moveContent(*n, *child);
            n->attr = kAttrRoot;
            n->keys.assign(child->lastKey(), child->lastKey() + n->keyLength);
            n->recnos = {child->lastRecno()};
            n->children = {child->offset};
            n->dirty = true;
            path[0].idx = 0;
            path.insert(path.begin() + 1, Step{child, 0});
            level = 2;
            continue;
        }
        Step &parent = path[static_cast<size_t>(level) - 1];
        CachedNode &p = *parent.node;
        if (n->count() == 0) {
            XB_TRY(unlink(tag, n));
            freePage(n->offset);
            eraseEntry(p, parent.idx);
            continue;
        }
        std::vector<NodePtr> pieces{n};
        if (!nodeFits(*n))
            XB_TRY(splitNode(tag, n, appendHint, pieces));
        setEntry(p, parent.idx, *n);
        for (size_t i = 1; i < pieces.size(); ++i)
            insertEntry(p, parent.idx + static_cast<int>(i), *pieces[i]);
    }
    return collapseRoot(tag);
}

Status CdxIndex::splitNode(int tag, const NodePtr &node, bool appendHint, std::vector<NodePtr> &pieces)
{
    const Tag &t = tags_[static_cast<size_t>(tag)];
    Node &n = *node;
    const int c = n.count();
    std::vector<int> cuts;
    const bool rightmost = appendHint && n.right == kNone;
    if (n.isLeaf()) {
        cuts = leafCuts(n, rightmost);
    } else {
        const int maxN = maxInteriorEntries(n.keyLength);
        const int parts = (c + maxN - 1) / maxN;
        if (rightmost) {
            for (int s = maxN; s < c; s += maxN)
                cuts.push_back(s);
            cuts.push_back(c);
        } else {
            for (int i = 1; i <= parts; ++i)
                cuts.push_back(c * i / parts);
        }
    }
    for (size_t i = 1; i < cuts.size(); ++i) {
        auto r = allocNode(tag, n.attr);
        if (!r)
            return r.status();
        copyEntries(n, cuts[i - 1], cuts[i], **r);
        pieces.push_back(*r);
    }
    truncateEntries(n, cuts[0]);
    if (n.isLeaf())
        for (auto &p : pieces)
            leafRecompute(*p, t.pad);
    const uint32_t oldRight = n.right;
    for (size_t i = 1; i < pieces.size(); ++i) {
        pieces[i]->left = pieces[i - 1]->offset;
        pieces[i - 1]->right = pieces[i]->offset;
    }
    pieces.back()->right = oldRight;
    node->dirty = true;
    if (oldRight != kNone) {
        auto r = fetch(tag, oldRight);
        if (!r)
            return r.status();
        (*r)->left = pieces.back()->offset;
        (*r)->dirty = true;
    }
    return Status::ok();
}

Status CdxIndex::unlink(int tag, const NodePtr &node)
{
    if (node->left != kNone) {
        auto r = fetch(tag, node->left);
        if (!r)
            return r.status();
        (*r)->right = node->right;
        (*r)->dirty = true;
    }
    if (node->right != kNone) {
        auto r = fetch(tag, node->right);
        if (!r)
            return r.status();
        (*r)->left = node->left;
        (*r)->dirty = true;
    }
    return Status::ok();
}

Status CdxIndex::collapseRoot(int tag)
{
    auto r = fetch(tag, tags_[static_cast<size_t>(tag)].root);
    if (!r)
        return r.status();
    NodePtr root = *r;
    while (!root->isLeaf()) {
        if (root->count() == 0) {
            root->attr = kAttrRoot | kAttrLeaf;
            Node empty;
            moveContent(*root, empty);
            root->dirty = true;
            break;
        }
        if (root->count() > 1)
            break;
        auto c = fetch(tag, root->children[0]);
        if (!c)
            return c.status();
        NodePtr child = *c;
        Node tmp;
        moveContent(*child, tmp);
        moveContent(tmp, *root);
        root->attr = static_cast<uint16_t>((child->attr & kAttrLeaf) | kAttrRoot);
        root->left = kNone;
        root->right = kNone;
        root->dirty = true;
        freePage(child->offset);
    }
    return Status::ok();
}

Result<CdxIndex::NodePtr> CdxIndex::allocNode(int tag, uint16_t attr)
{
    uint32_t off = 0;
    if (freeHead_ != 0 && freeHead_ != kNone) {
        off = freeHead_;
        uint32_t next = 0;
        auto pending = pendingFree_.find(off);
        if (pending != pendingFree_.end()) {
            next = pending->second;
            pendingFree_.erase(pending);
        } else {
            if (off % kPageSize != 0 || off < static_cast<uint32_t>(kHeaderSize) || off + uint64_t(kPageSize) > fileEnd_
                || cache_.contains(off) || reused_.count(off))
                return Status::corruption(QStringLiteral("index free-page list names page %1, which is in use or outside the file").arg(off));
            char raw[4];
            XB_TRY(file_.readAt(off, std::span<char>(raw, 4)));
            for (int b = 3; b >= 0; --b)
                next = (next << 8) | static_cast<uint8_t>(raw[b]);
            if (next != 0 && next != kNone
                && (next % kPageSize != 0 || next < static_cast<uint32_t>(kHeaderSize) || next + uint64_t(kPageSize) > fileEnd_ || next == off))
                return Status::corruption(QStringLiteral("index free-page list points to offset %1").arg(next));
        }
        reused_.insert(off);
        freeHead_ = next == kNone ? 0 : next;
        headerDirty_ = true;
    } else {
        if (fileEnd_ + kPageSize > 0xFFFFFE00u)
            return Status::ioError(QStringLiteral("index file would exceed 4 GB: %1").arg(file_.path()));
        off = static_cast<uint32_t>(fileEnd_);
        fileEnd_ += kPageSize;
    }
    touched_.push_back(off);
    auto node = std::make_shared<CachedNode>();
    node->attr = attr;
    node->keyLength = tags_[static_cast<size_t>(tag)].info.keyLength;
    node->offset = off;
    node->tag = tag;
    node->dirty = true;
    node->stamp = ++clock_;
    cacheBytes_ += 1024;
    cache_.put(off, node);
    return node;
}

void CdxIndex::freePage(uint32_t offset)
{
    cache_.erase(offset);
    reused_.erase(offset);
    pendingFree_[offset] = freeHead_;
    freeHead_ = offset;
    headerDirty_ = true;
}

} // namespace verbana::xbase
