// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a whole compound index at once: every tree is built bottom-up from
// its sorted entries and the file is written in one sequential pass.
#include "store/xbase/cdx_index.h"

#include <algorithm>
#include <cstring>

namespace verbana::xbase {

using namespace cdx;

namespace {

// Sorted entries of one tree, keys back to back.
struct Sorted {
    int keyLength = 0;
    char pad = ' ';
    std::vector<char> keys;
    std::vector<uint32_t> recnos;
    // Compression of each entry as the planned leaves store it.
    std::vector<uint8_t> dup, trail;
    const char *key(size_t i) const { return keys.data() + i * static_cast<size_t>(keyLength); }
    size_t count() const { return recnos.size(); }
};

// How a tree will be laid out: leaf ranges, then node counts of the levels
// above them, the last being the root.
struct Plan {
    std::vector<std::pair<size_t, size_t>> leaves;
    std::vector<size_t> levels;
    size_t pages() const
    {
        size_t n = leaves.size();
        for (size_t l : levels)
            n += l;
        return n;
    }
};

struct SortItem {
    uint64_t p0;
    uint64_t p1;
    uint32_t index;
    uint32_t recno;
};

// Eight key bytes from `at` as a big-endian number, zeros past the key.
uint64_t chunk(const char *key, int k, int at)
{
    if (at + 8 <= k) {
        uint64_t v;
        std::memcpy(&v, key + at, 8);
        return __builtin_bswap64(v);
    }
    uint64_t p = 0;
    for (int b = at; b < at + 8; ++b)
        p = (p << 8) | (b < k ? static_cast<uint8_t>(key[b]) : 0u);
    return p;
}

// Stable LSD radix sort of items by p0, 16 bits a pass; passes in which all
// items share the digit are skipped.
void radixByP0(SortItem *begin, SortItem *end, std::vector<SortItem> &tmp)
{
    const size_t n = static_cast<size_t>(end - begin);
    tmp.resize(n);
    std::vector<uint32_t> counts(65536);
    SortItem *from = begin;
    SortItem *to = tmp.data();
    for (int shift = 0; shift < 64; shift += 16) {
        std::fill(counts.begin(), counts.end(), 0u);
        for (size_t i = 0; i < n; ++i)
            ++counts[(from[i].p0 >> shift) & 0xFFFF];
        if (counts[(from[0].p0 >> shift) & 0xFFFF] == n)
            continue;
        uint32_t sum = 0;
        for (uint32_t &c : counts) {
            const uint32_t here = c;
            c = sum;
            sum += here;
        }
        for (size_t i = 0; i < n; ++i)
            to[counts[(from[i].p0 >> shift) & 0xFFFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != begin)
        std::copy(from, from + n, begin);
}

// Sorts items whose keys agree on their first `depth` bytes, 16 bytes at a
// time: the items carry those 16 bytes, so comparisons never reach into the
// keys; runs that still agree are sorted again on the next 16 bytes.
void sortFrom(SortItem *begin, SortItem *end, const char *base, int k, int depth, std::vector<SortItem> &tmp)
{
    const bool last = depth + 16 >= k;
    auto less = [last](const SortItem &a, const SortItem &b) {
        if (a.p0 != b.p0)
            return a.p0 < b.p0;
        if (a.p1 != b.p1)
            return a.p1 < b.p1;
        return last && a.recno < b.recno;
    };
    if (end - begin < 4096) {
        std::sort(begin, end, less);
    } else {
        radixByP0(begin, end, tmp);
        for (SortItem *run = begin; run < end;) {
            SortItem *stop = run + 1;
            while (stop < end && stop->p0 == run->p0)
                ++stop;
            if (stop - run > 1)
                std::sort(run, stop, less);
            run = stop;
        }
    }
    if (last)
        return;
    for (SortItem *run = begin; run < end;) {
        SortItem *stop = run + 1;
        while (stop < end && stop->p0 == run->p0 && stop->p1 == run->p1)
            ++stop;
        if (stop - run > 1) {
            for (SortItem *it = run; it < stop; ++it) {
                const char *key = base + size_t(it->index) * k;
                it->p0 = chunk(key, k, depth + 16);
                it->p1 = chunk(key, k, depth + 24);
            }
            sortFrom(run, stop, base, k, depth + 16, tmp);
        }
        run = stop;
    }
}

Status sortEntries(const QByteArray &keys, const std::vector<uint32_t> &recnos, int k, Sorted &out)
{
    const size_t n = recnos.size();
    std::vector<SortItem> items(n);
    const char *base = keys.constData();
    for (size_t i = 0; i < n; ++i) {
        const char *key = base + i * static_cast<size_t>(k);
        items[i] = {chunk(key, k, 0), chunk(key, k, 8), static_cast<uint32_t>(i), recnos[i]};
    }
    std::vector<SortItem> tmp;
    sortFrom(items.data(), items.data() + n, base, k, 0, tmp);
    out.keyLength = k;
    out.keys.resize(n * static_cast<size_t>(k));
    out.recnos.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const char *key = base + size_t(items[i].index) * k;
        if (i > 0 && items[i - 1].recno == items[i].recno && std::memcmp(out.key(i - 1), key, static_cast<size_t>(k)) == 0)
            return Status::invalidArgument(QStringLiteral("record %1 appears twice with one key").arg(items[i].recno));
        std::memcpy(out.keys.data() + i * k, key, static_cast<size_t>(k));
        out.recnos[i] = items[i].recno;
    }
    return Status::ok();
}

// Built leaves keep about a tenth of their room free, so that records
// appended later mostly fit without splitting the leaf they land in.
constexpr int kBuildFill = kLeafHeader + (kPageSize - kLeafHeader) * 9 / 10;

// Packs leaves up to kBuildFill bytes.
Status planTree(Sorted &s, Plan &plan)
{
    const int k = s.keyLength;
    plan.leaves.clear();
    plan.levels.clear();
    s.dup.assign(s.count(), 0);
    s.trail.assign(s.count(), 0);
    size_t start = 0;
    int stored = 0;
    uint32_t maxRecno = 0;
    for (size_t i = 0; i < s.count(); ++i) {
        const int t = trailingCount(s.key(i), k, s.pad);
        if (entryWidth(k, s.recnos[i]) == 0)
            return Status::invalidArgument(QStringLiteral("record number %1 is too large for the index").arg(s.recnos[i]));
        if (i > start) {
            const int d = duplicateCount(s.key(i - 1), s.key(i), k, t);
            const uint32_t mx = std::max(maxRecno, s.recnos[i]);
            const int bytes = kLeafHeader + static_cast<int>(i - start + 1) * entryWidth(k, mx) + stored + (k - t - d);
            if (bytes <= kBuildFill) {
                stored += k - t - d;
                maxRecno = mx;
                s.dup[i] = static_cast<uint8_t>(d);
                s.trail[i] = static_cast<uint8_t>(t);
                continue;
            }
            plan.leaves.emplace_back(start, i);
            start = i;
        }
        stored = k - t;
        maxRecno = s.recnos[i];
        s.trail[i] = static_cast<uint8_t>(t);
    }
    plan.leaves.emplace_back(start, s.count());
    const size_t per = static_cast<size_t>(maxInteriorEntries(k));
    for (size_t m = plan.leaves.size(); m > 1;) {
        m = (m + per - 1) / per;
        plan.levels.push_back(m);
    }
    return Status::ok();
}

// Writes the planned tree at `first` (its pages follow each other from
// there, leaves first, the root last) and returns the root's offset.
uint32_t writeTree(const Sorted &s, const Plan &plan, uint32_t first, char *out)
{
    struct Child {
        const char *key;
        uint32_t recno;
        uint32_t offset;
    };
    const int k = s.keyLength;
    const bool single = plan.levels.empty();
    std::vector<Child> children;
    uint32_t off = first;
    Node node;
    node.keyLength = k;
    for (size_t i = 0; i < plan.leaves.size(); ++i, off += kPageSize) {
        const auto [a, b] = plan.leaves[i];
        node.attr = single ? (kAttrLeaf | kAttrRoot) : kAttrLeaf;
        node.left = i == 0 ? kNone : off - kPageSize;
        node.right = i + 1 == plan.leaves.size() ? kNone : off + kPageSize;
        node.keys.assign(s.keys.begin() + static_cast<ptrdiff_t>(a * k), s.keys.begin() + static_cast<ptrdiff_t>(b * k));
        node.recnos.assign(s.recnos.begin() + static_cast<ptrdiff_t>(a), s.recnos.begin() + static_cast<ptrdiff_t>(b));
        node.dup.assign(s.dup.begin() + static_cast<ptrdiff_t>(a), s.dup.begin() + static_cast<ptrdiff_t>(b));
        node.trail.assign(s.trail.begin() + static_cast<ptrdiff_t>(a), s.trail.begin() + static_cast<ptrdiff_t>(b));
        node.stored = 0;
        node.maxRecno = 0;
        for (size_t e = a; e < b; ++e) {
            node.stored += k - s.dup[e] - s.trail[e];
            node.maxRecno = std::max(node.maxRecno, s.recnos[e]);
        }
        encodeNode(node, std::span<char>(out + (off - first), kPageSize));
        if (b > a)
            children.push_back({s.key(b - 1), s.recnos[b - 1], off});
    }
    uint32_t root = first;
    for (size_t level = 0; level < plan.levels.size(); ++level) {
        const size_t m = plan.levels[level];
        const bool top = level + 1 == plan.levels.size();
        std::vector<Child> above;
        for (size_t j = 0; j < m; ++j, off += kPageSize) {
            const size_t a = children.size() * j / m;
            const size_t b = children.size() * (j + 1) / m;
            Node in;
            in.keyLength = k;
            in.attr = top ? kAttrRoot : 0;
            in.left = j == 0 ? kNone : off - kPageSize;
            in.right = j + 1 == m ? kNone : off + kPageSize;
            for (size_t c = a; c < b; ++c) {
                in.keys.insert(in.keys.end(), children[c].key, children[c].key + k);
                in.recnos.push_back(children[c].recno);
                in.children.push_back(children[c].offset);
            }
            encodeNode(in, std::span<char>(out + (off - first), kPageSize));
            above.push_back({children[b - 1].key, children[b - 1].recno, off});
            root = off;
        }
        children = std::move(above);
    }
    return root;
}

} // namespace

Status CdxIndex::build(File &file, std::vector<TagBuild> tags, uint32_t changeCounter)
{
    struct Work {
        TagBuild *given;
        Sorted sorted;
        Plan plan;
        uint32_t header = 0;
    };
    std::vector<Work> work(tags.size());
    for (size_t i = 0; i < tags.size(); ++i) {
        TagBuild &t = tags[i];
        QByteArray name = t.name.trimmed();
        for (char &c : name)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        const bool wellFormed = std::all_of(name.begin(), name.end(), [](char c) {
            return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
        });
        if (name.isEmpty() || name.size() > 10 || !wellFormed)
            return Status::invalidArgument(QStringLiteral("index tag name \"%1\" is not 1 to 10 letters, digits or underscores")
                                               .arg(QString::fromLatin1(name)));
        for (size_t j = 0; j < i; ++j)
            if (work[j].given->name == name)
                return Status::invalidArgument(QStringLiteral("index tag %1 is given twice").arg(QString::fromLatin1(name)));
        t.name = name;
        if (t.keyLength < 1 || t.keyLength > kMaxKeyLength)
            return Status::invalidArgument(QStringLiteral("index tag %1 has key length %2").arg(QString::fromLatin1(name)).arg(t.keyLength));
        if (t.keyExpression.size() + t.forExpression.size() + 2 > kPoolSize)
            return Status::invalidArgument(QStringLiteral("index tag %1 has too long expressions").arg(QString::fromLatin1(name)));
        if (t.keys.size() != static_cast<qsizetype>(t.recnos.size()) * t.keyLength)
            return Status::invalidArgument(QStringLiteral("index tag %1: keys and record numbers disagree").arg(QString::fromLatin1(name)));
        for (const KeyEntry &e : t.entries) {
            if (e.key.size() != t.keyLength)
                return Status::invalidArgument(QStringLiteral("index tag %1: key of %2 bytes").arg(QString::fromLatin1(name)).arg(e.key.size()));
            t.add(e.key, e.recno);
        }
        t.entries = {};
        work[i].given = &t;
        work[i].sorted.pad = t.pad;
        XB_TRY(sortEntries(t.keys, t.recnos, t.keyLength, work[i].sorted));
        t.keys = QByteArray();
        t.recnos = {};
        XB_TRY(planTree(work[i].sorted, work[i].plan));
    }

    // The directory lists the tags by name with their header offsets, which
    // depend on the directory's own size: settle that first.
    std::vector<size_t> byName(tags.size());
    for (size_t i = 0; i < byName.size(); ++i)
        byName[i] = i;
    std::sort(byName.begin(), byName.end(), [&](size_t a, size_t b) { return work[a].given->name < work[b].given->name; });
    constexpr int kDirKey = 10;
    Sorted dir;
    dir.keyLength = kDirKey;
    Plan dirPlan;
    size_t dirPages = 1;
    for (int round = 0;; ++round) {
        uint64_t at = kHeaderSize + dirPages * kPageSize;
        for (Work &w : work) {
            if (at + kHeaderSize + w.plan.pages() * kPageSize > 0xFFFFFE00u)
                return Status::invalidArgument(QStringLiteral("index file would exceed 4 GB"));
            w.header = static_cast<uint32_t>(at);
            at += kHeaderSize + w.plan.pages() * kPageSize;
        }
        dir.keys.assign(byName.size() * kDirKey, ' ');
        dir.recnos.clear();
        for (size_t i = 0; i < byName.size(); ++i) {
            const QByteArray &n = work[byName[i]].given->name;
            std::memcpy(dir.keys.data() + i * kDirKey, n.constData(), static_cast<size_t>(n.size()));
            dir.recnos.push_back(work[byName[i]].header);
        }
        XB_TRY(planTree(dir, dirPlan));
        if (dirPlan.pages() == dirPages || round > 8)
            break;
        dirPages = dirPlan.pages();
    }

    uint64_t total = kHeaderSize + dirPages * kPageSize;
    for (const Work &w : work)
        total += kHeaderSize + w.plan.pages() * kPageSize;
    std::vector<char> out(total, '\0');
    TagHeader h;
    h.keyLength = kDirKey;
    h.options = kOptCompact | kOptCompound | kOptStructure;
    h.counter = changeCounter;
    h.root = writeTree(dir, dirPlan, kHeaderSize, out.data() + kHeaderSize);
    QByteArray header = encodeTagHeader(h, true);
    std::memcpy(out.data(), header.constData(), kHeaderSize);
    for (Work &w : work) {
        TagHeader th;
        th.keyLength = w.given->keyLength;
        th.options = static_cast<uint8_t>(kOptCompact | kOptCompound | (w.given->forExpression.isEmpty() ? 0 : kOptFor));
        th.keyExpression = w.given->keyExpression;
        th.forExpression = w.given->forExpression;
        th.root = writeTree(w.sorted, w.plan, w.header + kHeaderSize, out.data() + w.header + kHeaderSize);
        header = encodeTagHeader(th, false);
        std::memcpy(out.data() + w.header, header.constData(), kHeaderSize);
    }
    // Written over the old bytes and cut to length afterwards, never cut to
    // nothing first: programs sharing the file always find a header there.
    // The header at 0 comes last, so that once it shows the new counter
    // every page it leads to is in place.
    XB_TRY(file.writeAt(kHeaderSize, std::span<const char>(out.data() + kHeaderSize, out.size() - kHeaderSize)));
    XB_TRY(file.writeAt(0, std::span<const char>(out.data(), kHeaderSize)));
    auto size = file.size();
    if (!size)
        return size.status();
    if (*size > total)
        XB_TRY(file.truncate(total));
    return Status::ok();
}

} // namespace verbana::xbase
