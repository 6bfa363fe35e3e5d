// SPDX-License-Identifier: GPL-3.0-or-later
// Full structural check of one tag, level by level.
#include "store/xbase/cdx_index.h"

#include <cstring>
#include <unordered_set>

namespace verbana::xbase {

using namespace cdx;

Result<std::vector<KeyEntry>> CdxIndex::verify(int tag)
{
    if (tag < 0 || tag >= static_cast<int>(tags_.size()))
        return Status::invalidArgument(QStringLiteral("no index tag %1").arg(tag));
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
    std::unordered_set<uint32_t> seen;
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
