// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xbase/cdx_format.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace verbana::xbase::cdx {
namespace {

uint16_t le16(const char *p)
{
    return static_cast<uint16_t>(static_cast<uint8_t>(p[0]) | (static_cast<uint8_t>(p[1]) << 8));
}
uint32_t le32(const char *p)
{
    return static_cast<uint32_t>(static_cast<uint8_t>(p[0])) | (static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 8)
        | (static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 16)
        | (static_cast<uint32_t>(static_cast<uint8_t>(p[3])) << 24);
}
uint32_t be32(const char *p)
{
    return (static_cast<uint32_t>(static_cast<uint8_t>(p[0])) << 24)
        | (static_cast<uint32_t>(static_cast<uint8_t>(p[1])) << 16)
        | (static_cast<uint32_t>(static_cast<uint8_t>(p[2])) << 8) | static_cast<uint32_t>(static_cast<uint8_t>(p[3]));
}
void put16(char *p, uint16_t v)
{
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}
void put32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}
void putBe32(char *p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}
int bitWidth(uint32_t v) { return static_cast<int>(std::bit_width(v)); }
uint64_t maskOf(int bits) { return bits >= 64 ? ~uint64_t(0) : ((uint64_t(1) << bits) - 1); }

Status bad(const char *what) { return Status::corruption(QString::fromLatin1(what)); }

} // namespace

Result<TagHeader> decodeTagHeader(std::span<const char> b)
{
    if (b.size() < static_cast<size_t>(kHeaderSize))
        return bad("index header is short");
    const char *p = b.data();
    TagHeader h;
    h.root = le32(p);
    h.freeList = le32(p + 4);
    h.counter = be32(p + 8);
    h.keyLength = le16(p + 12);
    h.options = static_cast<uint8_t>(p[14]);
    h.descending = le16(p + 502) != 0;
    h.updateMark = std::memcmp(p + kUpdateMarkOffset, kUpdateMark, 4) == 0;
    if (h.keyLength < 1 || h.keyLength > kMaxKeyLength)
        return Status::corruption(QStringLiteral("index header has key length %1").arg(h.keyLength));
    if (h.root % kPageSize != 0 || h.root < static_cast<uint32_t>(kHeaderSize) || h.root == kNone)
        return Status::corruption(QStringLiteral("index header has root offset %1").arg(h.root));
    const char *pool = p + kPageSize;
    const char *end = pool + kPoolSize;
    const char *nul = static_cast<const char *>(std::memchr(pool, 0, kPoolSize));
    if (!nul)
        return bad("index key expression is not terminated");
    h.keyExpression = QByteArray(pool, static_cast<qsizetype>(nul - pool));
    const char *forStart = nul + 1;
    if (forStart < end) {
        const char *nul2 = static_cast<const char *>(std::memchr(forStart, 0, static_cast<size_t>(end - forStart)));
        if (!nul2)
            return bad("index FOR expression is not terminated");
        h.forExpression = QByteArray(forStart, static_cast<qsizetype>(nul2 - forStart));
    }
    return h;
}

QByteArray encodeTagHeader(const TagHeader &h, bool directory)
{
    QByteArray out(kHeaderSize, '\0');
    char *p = out.data();
    put32(p, h.root);
    put32(p + 4, h.freeList);
    putBe32(p + 8, h.counter);
    put16(p + 12, static_cast<uint16_t>(h.keyLength));
    p[14] = static_cast<char>(h.options);
    p[15] = 1;
    put16(p + 16, kHeaderSize);
    put16(p + 18, kPageSize);
    if (directory)
        std::memcpy(p + 20, "RCHB", 4);
    if (h.updateMark)
        std::memcpy(p + kUpdateMarkOffset, kUpdateMark, 4);
    put16(p + 502, h.descending ? 1 : 0);
    const auto keyLen = static_cast<uint16_t>(h.keyExpression.size() + 1);
    const auto forLen = static_cast<uint16_t>(h.forExpression.size() + 1);
    put16(p + 504, keyLen);
    put16(p + 506, forLen);
    put16(p + 508, 0);
    put16(p + 510, keyLen);
    std::memcpy(p + kPageSize, h.keyExpression.constData(), static_cast<size_t>(h.keyExpression.size()));
    std::memcpy(p + kPageSize + keyLen, h.forExpression.constData(), static_cast<size_t>(h.forExpression.size()));
    return out;
}

int countBits(int keyLength) { return bitWidth(static_cast<uint32_t>(keyLength)); }

int entryWidth(int keyLength, uint32_t maxRecno)
{
    // The narrowest width from 3 bytes up whose record-number field holds
    // maxRecno; the field itself is at most 32 bits.
    const int fixed = 2 * countBits(keyLength);
    const int need = bitWidth(maxRecno);
    const int e = std::max(3, (need + fixed + 7) / 8);
    return 8 * e - fixed > 32 ? 0 : e;
}

int trailingCount(const char *key, int keyLength, char pad)
{
    int t = 0;
    while (t < keyLength && key[keyLength - 1 - t] == pad)
        ++t;
    return t;
}

int duplicateCount(const char *prev, const char *key, int keyLength, int trailing)
{
    const int limit = keyLength - trailing;
    int d = 0;
    while (d < limit && prev[d] == key[d])
        ++d;
    return d;
}

void leafRecompute(Node &n, char pad)
{
    const int k = n.keyLength;
    const int c = n.count();
    n.dup.assign(static_cast<size_t>(c), 0);
    n.trail.assign(static_cast<size_t>(c), 0);
    n.stored = 0;
    n.maxRecno = 0;
    for (int i = 0; i < c; ++i) {
        const int t = trailingCount(n.key(i), k, pad);
        const int d = i == 0 ? 0 : duplicateCount(n.key(i - 1), n.key(i), k, t);
        n.trail[static_cast<size_t>(i)] = static_cast<uint8_t>(t);
        n.dup[static_cast<size_t>(i)] = static_cast<uint8_t>(d);
        n.stored += k - t - d;
        n.maxRecno = std::max(n.maxRecno, n.recnos[static_cast<size_t>(i)]);
    }
}

namespace {
// Recomputes the duplicate count of entry i against entry i − 1.
void redoDup(Node &n, int i)
{
    if (i < 0 || i >= n.count())
        return;
    const auto si = static_cast<size_t>(i);
    const int k = n.keyLength;
    n.stored += n.dup[si];
    const int d = i == 0 ? 0 : duplicateCount(n.key(i - 1), n.key(i), k, n.trail[si]);
    n.dup[si] = static_cast<uint8_t>(d);
    n.stored -= d;
}
} // namespace

void leafInsert(Node &n, int pos, const char *key, uint32_t recno, char pad)
{
    const int k = n.keyLength;
    const auto sp = static_cast<size_t>(pos);
    n.keys.insert(n.keys.begin() + static_cast<ptrdiff_t>(sp * k), key, key + k);
    n.recnos.insert(n.recnos.begin() + pos, recno);
    const int t = trailingCount(key, k, pad);
    n.trail.insert(n.trail.begin() + pos, static_cast<uint8_t>(t));
    n.dup.insert(n.dup.begin() + pos, 0);
    n.stored += k - t;
    redoDup(n, pos);
    redoDup(n, pos + 1);
    n.maxRecno = std::max(n.maxRecno, recno);
}

void leafErase(Node &n, int pos)
{
    const int k = n.keyLength;
    const auto sp = static_cast<size_t>(pos);
    const uint32_t r = n.recnos[sp];
    n.stored -= k - n.dup[sp] - n.trail[sp];
    n.keys.erase(n.keys.begin() + static_cast<ptrdiff_t>(sp * k), n.keys.begin() + static_cast<ptrdiff_t>((sp + 1) * k));
    n.recnos.erase(n.recnos.begin() + pos);
    n.dup.erase(n.dup.begin() + pos);
    n.trail.erase(n.trail.begin() + pos);
    redoDup(n, pos);
    if (r == n.maxRecno)
        n.maxRecno = n.recnos.empty() ? 0 : *std::max_element(n.recnos.begin(), n.recnos.end());
}

int leafBytes(const Node &n)
{
    const int e = entryWidth(n.keyLength, n.maxRecno);
    if (e == 0)
        return kPageSize + 1;
    return kLeafHeader + n.count() * e + n.stored;
}

bool nodeFits(const Node &n)
{
    if (n.isLeaf())
        return leafBytes(n) <= kPageSize;
    return n.count() <= maxInteriorEntries(n.keyLength);
}

Status decodeNode(std::span<const char> page, int k, char pad, bool strict, Node &out)
{
    if (page.size() < static_cast<size_t>(kPageSize))
        return bad("index node is short");
    const char *p = page.data();
    out.attr = le16(p);
    const int n = le16(p + 2);
    out.left = le32(p + 4);
    out.right = le32(p + 8);
    out.keyLength = k;
    out.keys.clear();
    out.recnos.clear();
    out.children.clear();
    out.dup.clear();
    out.trail.clear();
    out.stored = 0;
    out.maxRecno = 0;
    if (out.attr > 3)
        return Status::corruption(QStringLiteral("index node has attributes %1").arg(out.attr));
    out.keys.resize(static_cast<size_t>(n) * k);
    out.recnos.resize(static_cast<size_t>(n));
    if (!out.isLeaf()) {
        if (n < 1 || n > maxInteriorEntries(k))
            return Status::corruption(QStringLiteral("interior index node holds %1 keys").arg(n));
        out.children.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i) {
            const char *e = p + kNodeHeader + i * (k + 8);
            std::memcpy(out.keys.data() + static_cast<size_t>(i) * k, e, static_cast<size_t>(k));
            out.recnos[static_cast<size_t>(i)] = be32(e + k);
            const uint32_t child = be32(e + k + 4);
            if (child % kPageSize != 0 || child < static_cast<uint32_t>(kHeaderSize) || child == kNone)
                return Status::corruption(QStringLiteral("interior index node points to offset %1").arg(child));
            out.children[static_cast<size_t>(i)] = child;
            if (i > 0 && compareEntry(out.key(i - 1), out.recnos[static_cast<size_t>(i - 1)], out.key(i), k, out.recnos[static_cast<size_t>(i)]) >= 0)
                return bad("interior index node keys are out of order");
        }
        return Status::ok();
    }
    const int freeBytes = le16(p + 12);
    const uint32_t recMask = le32(p + 14);
    const int dupMask = static_cast<uint8_t>(p[18]);
    const int trailMask = static_cast<uint8_t>(p[19]);
    const int rn = static_cast<uint8_t>(p[20]);
    const int dc = static_cast<uint8_t>(p[21]);
    const int tc = static_cast<uint8_t>(p[22]);
    const int e = static_cast<uint8_t>(p[23]);
    if (e < 1 || e > 8 || rn + dc + tc != 8 * e || rn > 32 || dc > 8 || tc > 8 || rn < 1)
        return Status::corruption(QStringLiteral("index leaf has entry widths %1/%2/%3 in %4 bytes").arg(rn).arg(dc).arg(tc).arg(e));
    if (recMask != static_cast<uint32_t>(maskOf(rn)) || dupMask != static_cast<int>(maskOf(dc))
        || trailMask != static_cast<int>(maskOf(tc)))
        return bad("index leaf masks contradict its entry widths");
    const int entriesEnd = kLeafHeader + n * e;
    if (entriesEnd > kPageSize)
        return Status::corruption(QStringLiteral("index leaf holds %1 keys of %2 bytes").arg(n).arg(e));
    int pos = kPageSize;
    out.dup.resize(static_cast<size_t>(n));
    out.trail.resize(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const char *ep = p + kLeafHeader + i * e;
        uint64_t v = 0;
        for (int b = e - 1; b >= 0; --b)
            v = (v << 8) | static_cast<uint8_t>(ep[b]);
        const auto recno = static_cast<uint32_t>(v & maskOf(rn));
        const int d = static_cast<int>((v >> rn) & maskOf(dc));
        const int t = static_cast<int>((v >> (rn + dc)) & maskOf(tc));
        if (d + t > k)
            return Status::corruption(QStringLiteral("index leaf entry %1 has duplicate %2 and trailing %3 counts").arg(i).arg(d).arg(t));
        if (i == 0 && d != 0)
            return bad("first entry of an index leaf has a duplicate count");
        const int st = k - d - t;
        pos -= st;
        if (pos < entriesEnd)
            return bad("index leaf key bytes overlap its entries");
        char *key = out.keys.data() + static_cast<size_t>(i) * k;
        if (d > 0)
            std::memcpy(key, key - k, static_cast<size_t>(d));
        std::memcpy(key + d, p + pos, static_cast<size_t>(st));
        std::memset(key + d + st, pad, static_cast<size_t>(t));
        out.recnos[static_cast<size_t>(i)] = recno;
        out.dup[static_cast<size_t>(i)] = static_cast<uint8_t>(d);
        out.trail[static_cast<size_t>(i)] = static_cast<uint8_t>(t);
        out.stored += st;
        out.maxRecno = std::max(out.maxRecno, recno);
        if (i > 0 && compareEntry(key - k, out.recnos[static_cast<size_t>(i - 1)], key, k, recno) >= 0)
            return Status::corruption(QStringLiteral("index leaf keys are out of order at entry %1").arg(i));
        if (strict && trailingCount(key, k, pad) != t)
            return Status::corruption(QStringLiteral("index leaf entry %1 has a wrong trailing count").arg(i));
    }
    if (strict && freeBytes != pos - entriesEnd)
        return Status::corruption(QStringLiteral("index leaf free-bytes field is %1, should be %2").arg(freeBytes).arg(pos - entriesEnd));
    return Status::ok();
}

void encodeNode(const Node &n, std::span<char> page)
{
    char *p = page.data();
    std::memset(p, 0, kPageSize);
    const int k = n.keyLength;
    const int c = n.count();
    put16(p, n.attr);
    put16(p + 2, static_cast<uint16_t>(c));
    put32(p + 4, n.left);
    put32(p + 8, n.right);
    if (!n.isLeaf()) {
        for (int i = 0; i < c; ++i) {
            char *e = p + kNodeHeader + i * (k + 8);
            std::memcpy(e, n.key(i), static_cast<size_t>(k));
            putBe32(e + k, n.recnos[static_cast<size_t>(i)]);
            putBe32(e + k + 4, n.children[static_cast<size_t>(i)]);
        }
        return;
    }
    const int e = entryWidth(k, n.maxRecno);
    const int bits = countBits(k);
    const int rn = 8 * e - 2 * bits;
    put16(p + 12, static_cast<uint16_t>(kPageSize - kLeafHeader - c * e - n.stored));
    put32(p + 14, static_cast<uint32_t>(maskOf(rn)));
    p[18] = static_cast<char>(maskOf(bits));
    p[19] = static_cast<char>(maskOf(bits));
    p[20] = static_cast<char>(rn);
    p[21] = static_cast<char>(bits);
    p[22] = static_cast<char>(bits);
    p[23] = static_cast<char>(e);
    int pos = kPageSize;
    for (int i = 0; i < c; ++i) {
        const auto si = static_cast<size_t>(i);
        const uint64_t v = uint64_t(n.recnos[si]) | (uint64_t(n.dup[si]) << rn) | (uint64_t(n.trail[si]) << (rn + bits));
        char *ep = p + kLeafHeader + i * e;
        for (int b = 0; b < e; ++b)
            ep[b] = static_cast<char>((v >> (8 * b)) & 0xFF);
        const int st = k - n.dup[si] - n.trail[si];
        pos -= st;
        std::memcpy(p + pos, n.key(i) + n.dup[si], static_cast<size_t>(st));
    }
}

} // namespace verbana::xbase::cdx
