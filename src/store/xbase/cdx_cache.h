// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/cdx_format.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace verbana::xbase::cdx {

// A decoded node as the index keeps it in memory.
struct CachedNode : Node {
    uint32_t offset = 0;
    int tag = 0;
    bool dirty = false;
    uint64_t stamp = 0; // last use, for eviction
};

// Cached nodes by page number in a two-level table: finding a page is two
// array look-ups, and memory follows only the parts of the file in use.
class PageTable {
public:
    using Ptr = std::shared_ptr<CachedNode>;

    Ptr *find(uint32_t offset)
    {
        const uint32_t page = offset / kPageSize;
        const size_t c = page >> kChunkBits;
        if (c >= chunks_.size() || !chunks_[c])
            return nullptr;
        Ptr &slot = (*chunks_[c])[page & kChunkMask];
        return slot ? &slot : nullptr;
    }
    bool contains(uint32_t offset) { return find(offset) != nullptr; }
    void put(uint32_t offset, Ptr node)
    {
        const uint32_t page = offset / kPageSize;
        const size_t c = page >> kChunkBits;
        if (c >= chunks_.size())
            chunks_.resize(c + 1);
        if (!chunks_[c])
            chunks_[c] = std::make_unique<Chunk>();
        Ptr &slot = (*chunks_[c])[page & kChunkMask];
        if (!slot)
            ++count_;
        slot = std::move(node);
    }
    void erase(uint32_t offset)
    {
        if (Ptr *slot = find(offset)) {
            slot->reset();
            --count_;
        }
    }
    void clear()
    {
        chunks_.clear();
        count_ = 0;
    }
    size_t size() const { return count_; }
    template <typename F>
    void forEach(F f)
    {
        for (auto &chunk : chunks_)
            if (chunk)
                for (Ptr &slot : *chunk)
                    if (slot)
                        f(slot);
    }

private:
    static constexpr uint32_t kChunkBits = 10;
    static constexpr uint32_t kChunkMask = (1u << kChunkBits) - 1;
    using Chunk = std::array<Ptr, size_t(1) << kChunkBits>;
    std::vector<std::unique_ptr<Chunk>> chunks_;
    size_t count_ = 0;
};

} // namespace verbana::xbase::cdx
