// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/status.h"

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

// Byte layout of the FoxPro compact compound index (.cdx): tag headers,
// interior nodes and compressed leaf nodes. Decoders take the page bytes and
// turn every count, width or length that does not fit into a Corruption;
// encoders write what other xBase engines write.
namespace verbana::xbase::cdx {

inline constexpr int kPageSize = 512;
inline constexpr int kHeaderSize = 1024;
inline constexpr uint32_t kNone = 0xFFFFFFFFu;
inline constexpr int kMaxKeyLength = 240;
inline constexpr int kLeafHeader = 24;
inline constexpr int kNodeHeader = 12;
inline constexpr int kPoolSize = 512;

inline constexpr uint8_t kOptUnique = 0x01;
inline constexpr uint8_t kOptFor = 0x08;
inline constexpr uint8_t kOptCompact = 0x20;
inline constexpr uint8_t kOptCompound = 0x40;
inline constexpr uint8_t kOptStructure = 0x80;

inline constexpr uint16_t kAttrRoot = 1;
inline constexpr uint16_t kAttrLeaf = 2;

// Bytes 24..27 of the header at offset 0 are reserved and ignored by other
// engines; this engine writes a mark there while a multi-page update is under
// way, so that a writer that died half-way is noticed on the next opening.
inline constexpr int kUpdateMarkOffset = 24;
inline constexpr char kUpdateMark[4] = {'V', 'b', 'U', 'p'};

struct TagHeader {
    uint32_t root = 0;
    uint32_t freeList = 0; // only meaningful in the header at offset 0
    uint32_t counter = 0; // change counter (big-endian on disk)
    int keyLength = 0;
    uint8_t options = kOptCompact | kOptCompound;
    bool descending = false;
    bool updateMark = false;
    QByteArray keyExpression;
    QByteArray forExpression;
};

// `bytes` must hold kHeaderSize bytes.
Result<TagHeader> decodeTagHeader(std::span<const char> bytes);
// The 1024 bytes of a header as Harbour writes them (page and header sizes at
// 16, "RCHB" at 20 in the directory header, expression positions at 504..511).
QByteArray encodeTagHeader(const TagHeader &h, bool directory);

// A decoded node. Keys are stored back to back, keyLength bytes each.
struct Node {
    uint16_t attr = kAttrLeaf;
    uint32_t left = kNone;
    uint32_t right = kNone;
    int keyLength = 0;
    std::vector<char> keys;
    std::vector<uint32_t> recnos;
    std::vector<uint32_t> children; // interior nodes only
    // Leaf compression, kept in step with the keys: duplicate and trailing
    // counts per entry, the sum of stored key bytes and the greatest record
    // number (which decides the entry width).
    std::vector<uint8_t> dup;
    std::vector<uint8_t> trail;
    int stored = 0;
    uint32_t maxRecno = 0;

    bool isLeaf() const { return attr & kAttrLeaf; }
    bool isRoot() const { return attr & kAttrRoot; }
    int count() const { return static_cast<int>(recnos.size()); }
    const char *key(int i) const { return keys.data() + static_cast<size_t>(i) * keyLength; }
    const char *lastKey() const { return key(count() - 1); }
    uint32_t lastRecno() const { return recnos.back(); }
};

// Bits of the duplicate and trailing counts for a key length (60 → 6, 12 → 4).
int countBits(int keyLength);
// Bytes per leaf entry for the greatest record number in the leaf: 3 while
// the record number fits in 24 − 2·bits, then wider. 0 when no width can hold it.
int entryWidth(int keyLength, uint32_t maxRecno);
// Most entries in an interior node.
inline int maxInteriorEntries(int keyLength) { return (kPageSize - kNodeHeader) / (keyLength + 8); }

// Number of pad bytes at the end of a key.
int trailingCount(const char *key, int keyLength, char pad);
// The duplicate count Harbour writes: the common prefix with the previous
// key, at most keyLength − trailing.
int duplicateCount(const char *prev, const char *key, int keyLength, int trailing);

// Leaf compression upkeep.
void leafRecompute(Node &n, char pad);
void leafInsert(Node &n, int pos, const char *key, uint32_t recno, char pad);
void leafErase(Node &n, int pos);
// Bytes the leaf needs on its page; more than kPageSize when it does not fit
// (also when no entry width can hold its record numbers).
int leafBytes(const Node &n);
bool nodeFits(const Node &n);

// Decodes one 512-byte page. `strict` also demands what a writer must keep
// exact but a reader can do without (free-bytes field, trailing counts).
Status decodeNode(std::span<const char> page, int keyLength, char pad, bool strict, Node &out);
// Encodes a node that fits into `page` (kPageSize bytes).
void encodeNode(const Node &n, std::span<char> page);

// Three-way comparison of (key, recno) pairs; `len` ≤ key length compares a
// prefix only.
inline int compareEntry(const char *a, uint32_t ra, const char *b, int len, uint32_t rb);

} // namespace verbana::xbase::cdx

#include <cstring>

inline int verbana::xbase::cdx::compareEntry(const char *a, uint32_t ra, const char *b, int len, uint32_t rb)
{
    int c = std::memcmp(a, b, static_cast<size_t>(len));
    if (c != 0)
        return c;
    return ra < rb ? -1 : (ra > rb ? 1 : 0);
}
