// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes the compound index reader: open, check every tag, walk each tag both
// ways, seek, then change each tag a little. Damage must give an error, never
// a crash or a hang.
#include "store/xbase/cdx_index.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace verbana::xbase;

namespace {

class MemoryFile final : public File {
public:
    explicit MemoryFile(std::vector<char> bytes) : bytes_(std::move(bytes)) {}
    Status readAt(uint64_t offset, std::span<char> data, size_t *got) override
    {
        const uint64_t have = offset < bytes_.size() ? std::min<uint64_t>(data.size(), bytes_.size() - offset) : 0;
        if (have)
            std::memcpy(data.data(), bytes_.data() + offset, have);
        if (got)
            *got = have;
        else if (have < data.size())
            return Status::corruption(QStringLiteral("short read"));
        return Status::ok();
    }
    Status writeAt(uint64_t offset, std::span<const char> data) override
    {
        if (offset + data.size() > (64u << 20))
            return Status::ioError(QStringLiteral("too large"));
        if (offset + data.size() > bytes_.size())
            bytes_.resize(offset + data.size());
        std::memcpy(bytes_.data() + offset, data.data(), data.size());
        return Status::ok();
    }
    Result<uint64_t> size() override { return static_cast<uint64_t>(bytes_.size()); }
    Status truncate(uint64_t size) override
    {
        bytes_.resize(size);
        return Status::ok();
    }
    Status sync() override { return Status::ok(); }
    Status tryLock(uint64_t, uint64_t, LockMode) override { return Status::ok(); }
    Status unlock(uint64_t, uint64_t) override { return Status::ok(); }
    QString path() const override { return QStringLiteral("fuzz.cdx"); }

private:
    std::vector<char> bytes_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (4u << 20))
        return 0;
    MemoryFile file(std::vector<char>(reinterpret_cast<const char *>(data), reinterpret_cast<const char *>(data) + size));
    auto opened = CdxIndex::open(file);
    if (!opened)
        return 0;
    CdxIndex &ix = **opened;
    ix.setCacheLimit(64 * 1024);
    const int tags = static_cast<int>(ix.tags().size());
    (void)ix.verify(0);
    (void)ix.verifyPages();
    for (int t = 1; t <= tags; ++t) {
        (void)ix.verify(t);
        auto c = ix.cursor(t);
        int steps = 0;
        Status st = c->first();
        while (st && c->valid() && ++steps < 100000)
            st = c->next();
        st = c->last();
        while (st && c->valid() && ++steps < 200000)
            st = c->prev();
        (void)c->seek(QByteArrayView("A"));
        const int k = ix.tags()[static_cast<size_t>(t - 1)].keyLength;
        const QByteArray key(k, 'M');
        if (ix.insert(t, key, 77))
            (void)ix.remove(t, key, 77);
        if (c->valid())
            (void)c->next();
        (void)ix.verify(t);
    }
    (void)ix.verifyPages();
    (void)ix.flush();
    return 0;
}
