// SPDX-License-Identifier: GPL-3.0-or-later
// Full structural checks: one tag level by level, and the whole file page
// by page.
#include "store/xbase/cdx_index.h"

#include <cstring>
#include <unordered_set>

namespace verbana::xbase {

using namespace cdx;

Result<std::vector<KeyEntry>> CdxIndex::verify(int tag)
{
    if (tag < 0 || tag >= static_cast<int>(tags_.size()))
        return Status::invalidArgument(QStringLiteral("no index tag %1").arg(tag));
    std::unordered_set<uint32_t> seen;
    return verifyTree(tag, seen);
}

Status CdxIndex::verifyPages()
{
    std::unordered_set<uint32_t> seen;
    auto claim = [&](uint32_t off, const char *what) {
        if (!seen.insert(off).second)
            return Status::corruption(QStringLiteral("index page 0x%1 is used twice (%2)").arg(off, 0, 16).arg(QLatin1String(what)));
        return Status::ok();
    };
    XB_TRY(claim(0, "header"));
    XB_TRY(claim(kPageSize, "header"));
    for (size_t i = 1; i < tags_.size(); ++i) {
        XB_TRY(claim(tags_[i].info.headerOffset, "tag header"));
        XB_TRY(claim(tags_[i].info.headerOffset + kPageSize, "tag header"));
    }
    for (size_t i = 0; i < tags_.size(); ++i) {
        auto r = verifyTree(static_cast<int>(i), seen);
        if (!r)
            return r.status();
    }
    uint32_t off = freeHead_;
    for (uint64_t n = 0; off != 0 && off != kNone; ++n) {
        if (n > fileEnd_ / kPageSize || off % kPageSize != 0 || off + uint64_t(kPageSize) > fileEnd_)
            return Status::corruption(QStringLiteral("index free-page list reaches offset 0x%1").arg(off, 0, 16));
        XB_TRY(claim(off, "free list"));
        auto pending = pendingFree_.find(off);
        if (pending != pendingFree_.end()) {
            off = pending->second;
        } else {
            char raw[4];
            XB_TRY(file_.readAt(off, std::span<char>(raw, 4)));
            off = 0;
            for (int b = 3; b >= 0; --b)
                off = (off << 8) | static_cast<uint8_t>(raw[b]);
        }
    }
    for (uint64_t page = 0; page < fileEnd_; page += kPageSize)
        if (!seen.count(static_cast<uint32_t>(page)))
            return Status::corruption(QStringLiteral("index page 0x%1 belongs to no tag and is not free").arg(page, 0, 16));
    return Status::ok();
}

Result<std::vector<KeyEntry>> CdxIndex::verifyTree(int tag, std::unordered_set<uint32_t> &seen)
{
    const Tag &t = tags_[static_cast<size_t>(tag)];
    const int k = t.info.keyLength;
    const QString name = tag == 0 ? QStringLiteral("directory") : QString::fromLatin1(t.info.name);
    auto fail = [&](uint32_t off, const QString &what) {
        return Status::corruption(QStringLiteral("index tag %1, node at 0x%2: %3").arg(name).arg(off, 0, 16).arg(what));
    };

    struct Expect {
        uint32_t offset;
        const char *key; // parent's entry, or nullptr for the root
        uint32_t recno;
    };
    std::vector<KeyEntry> out;
    std::vector<std::unique_ptr<Node>> parents; // keep parent keys alive for one level
    std::vector<Expect> level{{t.root, nullptr, 0}};
    char page[kPageSize];
    for (int depth = 0;; ++depth) {
        if (depth > 64)
            return fail(t.root, QStringLiteral("tree deeper than 64 levels"));
        std::vector<std::unique_ptr<Node>> nodes;
        std::vector<Expect> nextLevel;
        bool levelLeaf = false;
        for (size_t j = 0; j < level.size(); ++j) {
            const uint32_t off = level[j].offset;
            if (!seen.insert(off).second)
                return fail(off, QStringLiteral("page is reached twice"));
            if (off % kPageSize != 0 || off < static_cast<uint32_t>(kHeaderSize) || off + uint64_t(kPageSize) > fileEnd_)
                return fail(off, QStringLiteral("offset outside the file"));
            Status st = rawPage(off, std::span<char>(page, kPageSize));
            if (!st)
                return fail(off, st.message());
            auto node = std::make_unique<Node>();
            st = decodeNode(std::span<const char>(page, kPageSize), k, t.pad, true, *node);
            if (!st)
                return fail(off, st.message());
            if ((depth == 0) != node->isRoot())
                return fail(off, QStringLiteral("root attribute is wrong"));
            if (j == 0)
                levelLeaf = node->isLeaf();
            else if (node->isLeaf() != levelLeaf)
                return fail(off, QStringLiteral("leaves lie at different depths"));
            const uint32_t wantLeft = j == 0 ? kNone : level[j - 1].offset;
            const uint32_t wantRight = j + 1 == level.size() ? kNone : level[j + 1].offset;
            if (node->left != wantLeft || node->right != wantRight)
                return fail(off, QStringLiteral("sibling links are %1/%2, should be %3/%4")
                                     .arg(node->left, 0, 16)
                                     .arg(node->right, 0, 16)
                                     .arg(wantLeft, 0, 16)
                                     .arg(wantRight, 0, 16));
            if (node->count() == 0) {
                if (depth > 0 || !node->isLeaf())
                    return fail(off, QStringLiteral("node is empty"));
                continue;
            }
            if (level[j].key
                && (std::memcmp(level[j].key, node->lastKey(), static_cast<size_t>(k)) != 0 || level[j].recno != node->lastRecno()))
                return fail(off, QStringLiteral("parent entry differs from the node's last key"));
            if (node->isLeaf()) {
                for (int i = 0; i < node->count(); ++i) {
                    const uint32_t r = node->recnos[static_cast<size_t>(i)];
                    if (!out.empty()) {
                        const KeyEntry &prev = out.back();
                        if (compareEntry(prev.key.constData(), prev.recno, node->key(i), k, r) >= 0)
                            return fail(off, QStringLiteral("entry %1 is out of order with the previous leaf").arg(i));
                    }
                    out.push_back({QByteArray(node->key(i), k), r});
                }
            } else {
                for (int i = 0; i < node->count(); ++i)
                    nextLevel.push_back({node->children[static_cast<size_t>(i)], node->key(i), node->recnos[static_cast<size_t>(i)]});
            }
            nodes.push_back(std::move(node));
        }
        if (levelLeaf || nextLevel.empty())
            break;
        parents = std::move(nodes);
        level = std::move(nextLevel);
    }
    return out;
}

} // namespace verbana::xbase
