// SPDX-License-Identifier: GPL-3.0-or-later
// Walking a tag: positioning, stepping along the leaves' sibling links and
// finding the entry again after the tree changed.
#include "store/xbase/cdx_index.h"

#include <cstring>

namespace verbana::xbase {

using namespace cdx;

CdxCursor::CdxCursor(CdxIndex *index, int tag) : index_(index), tag_(tag)
{
    current_.assign(static_cast<size_t>(index->tags_[static_cast<size_t>(tag)].info.keyLength), ' ');
}

void CdxCursor::load()
{
    std::memcpy(current_.data(), leaf_->key(idx_), current_.size());
    recno_ = leaf_->recnos[static_cast<size_t>(idx_)];
    pos_ = Pos::On;
    generation_ = index_->generation_;
}

Status CdxCursor::first()
{
    XB_TRY(index_->trim());
    std::vector<CdxIndex::Step> path;
    XB_TRY(index_->descendEdge(tag_, false, path));
    generation_ = index_->generation_;
    leaf_ = path.back().node;
    if (leaf_->count() == 0) {
        pos_ = Pos::After;
        return Status::ok();
    }
    idx_ = 0;
    load();
    return Status::ok();
}

Status CdxCursor::last()
{
    XB_TRY(index_->trim());
    std::vector<CdxIndex::Step> path;
    XB_TRY(index_->descendEdge(tag_, true, path));
    generation_ = index_->generation_;
    leaf_ = path.back().node;
    if (leaf_->count() == 0) {
        pos_ = Pos::Before;
        return Status::ok();
    }
    idx_ = leaf_->count() - 1;
    load();
    return Status::ok();
}

Status CdxCursor::seek(QByteArrayView key, uint32_t recno)
{
    if (key.size() > static_cast<qsizetype>(current_.size()))
        return Status::invalidArgument(QStringLiteral("seek key of %1 bytes is longer than the index key").arg(key.size()));
    XB_TRY(index_->trim());
    std::vector<CdxIndex::Step> path;
    bool beyond = false;
    const char *bytes = key.isEmpty() ? "" : key.data();
    XB_TRY(index_->descend(tag_, bytes, static_cast<int>(key.size()), recno, false, path, &beyond));
    return positionAt(path, beyond);
}

// Positions on the entry the descent found, or on the next one when the leaf
// holds only smaller entries.
Status CdxCursor::positionAt(std::vector<CdxIndex::Step> &path, bool beyond)
{
    generation_ = index_->generation_;
    if (beyond) {
        pos_ = Pos::After;
        return Status::ok();
    }
    leaf_ = path.back().node;
    const int n = leaf_->count();
    if (n == 0) {
        pos_ = Pos::After;
        return Status::ok();
    }
    if (path.back().idx < n) {
        idx_ = path.back().idx;
        load();
        return Status::ok();
    }
    idx_ = n - 1;
    load();
    return hop(true);
}

Status CdxCursor::next()
{
    if (pos_ == Pos::Before)
        return first();
    if (pos_ == Pos::After)
        return Status::ok();
    if (generation_ != index_->generation_) {
        bool done = false;
        XB_TRY(resync(true, &done));
        if (done)
            return Status::ok();
    }
    if (idx_ + 1 < leaf_->count()) {
        ++idx_;
        load();
        return Status::ok();
    }
    return hop(true);
}

Status CdxCursor::prev()
{
    if (pos_ == Pos::After)
        return last();
    if (pos_ == Pos::Before)
        return Status::ok();
    if (generation_ != index_->generation_) {
        bool done = false;
        XB_TRY(resync(false, &done));
        if (done)
            return Status::ok();
    }
    if (idx_ > 0) {
        --idx_;
        load();
        return Status::ok();
    }
    return hop(false);
}

// Finds the remembered entry in the changed tree. When it is still there the
// caller steps from it; when it is gone the cursor lands on its successor
// (forward) or predecessor (backward) and *done is set.
Status CdxCursor::resync(bool forward, bool *done)
{
    *done = true;
    std::vector<CdxIndex::Step> path;
    bool beyond = false;
    XB_TRY(index_->descend(tag_, current_.data(), static_cast<int>(current_.size()), recno_, false, path, &beyond));
    generation_ = index_->generation_;
    if (beyond) {
        if (forward) {
            pos_ = Pos::After;
            return Status::ok();
        }
        return last();
    }
    leaf_ = path.back().node;
    const int n = leaf_->count();
    const int idx = path.back().idx;
    if (n == 0) {
        pos_ = forward ? Pos::After : Pos::Before;
        return Status::ok();
    }
    if (idx < n && compareEntry(leaf_->key(idx), leaf_->recnos[static_cast<size_t>(idx)], current_.data(), static_cast<int>(current_.size()), recno_) == 0) {
        idx_ = idx;
        *done = false;
        return Status::ok();
    }
    if (forward) {
        if (idx < n) {
            idx_ = idx;
            load();
            return Status::ok();
        }
        idx_ = n - 1;
        return hop(true);
    }
    if (idx > 0) {
        idx_ = idx - 1;
        load();
        return Status::ok();
    }
    idx_ = 0;
    return hop(false);
}

// Moves to the neighbouring leaf. The neighbour must link back and continue
// the order strictly, so damaged links can neither loop nor reorder.
Status CdxCursor::hop(bool forward)
{
    const uint32_t off = forward ? leaf_->right : leaf_->left;
    if (off == kNone) {
        pos_ = forward ? Pos::After : Pos::Before;
        return Status::ok();
    }
    XB_TRY(index_->trim());
    auto r = index_->fetch(tag_, off);
    if (!r)
        return r.status();
    const CachedNode &n = **r;
    if (!n.isLeaf() || n.isRoot() || n.count() == 0)
        return Status::corruption(QStringLiteral("index leaf at %1 has a sibling at %2 that is no leaf").arg(leaf_->offset).arg(off));
    if ((forward ? n.left : n.right) != leaf_->offset)
        return Status::corruption(QStringLiteral("index leaves at %1 and %2 disagree about their links").arg(leaf_->offset).arg(off));
    const int i = forward ? 0 : n.count() - 1;
    const int c = compareEntry(n.key(i), n.recnos[static_cast<size_t>(i)], current_.data(), static_cast<int>(current_.size()), recno_);
    if (forward ? c <= 0 : c >= 0)
        return Status::corruption(QStringLiteral("index leaf at %1 is out of order with its sibling").arg(off));
    leaf_ = *r;
    idx_ = i;
    load();
    return Status::ok();
}

} // namespace verbana::xbase
