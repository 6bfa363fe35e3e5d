// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/status.h"

#include <QByteArray>

#include <cstdint>
#include <span>
#include <vector>

// The DBF table header: the 32-byte prefix and the field descriptors.
namespace verbana::xbase::dbf {

constexpr int kPrefixSize = 32;
constexpr int kDescriptorSize = 32;
constexpr char kTerminator = 0x0D;
constexpr char kEofMarker = 0x1A;
constexpr char kLive = ' ';
constexpr char kDeleted = '*';
constexpr uint8_t kFlagStructuralIndex = 0x01;
constexpr uint8_t kFlagVfpMemo = 0x02;
constexpr int kVfpBacklinkSize = 263;
// No sane table has more fields than fit in a 64 KiB header.
constexpr int kMaxFields = 2046;

// Which memo file a table's first byte calls for.
enum class MemoKind { None, Dbt, Fpt, Smt };

struct Field {
    QByteArray name; // as stored (any case), without NUL padding
    char type = 'C'; // upper-case type letter
    int length = 0;
    int decimals = 0;
    int offset = 0; // in the record; the deletion flag is offset 0
};

struct Header {
    uint8_t version = 0x03;
    uint8_t year = 0, month = 0, day = 0; // last update, year - 1900
    uint32_t recordCount = 0;
    uint16_t headerLength = 0;
    uint16_t recordLength = 0;
    uint8_t flags = 0;
    uint8_t codePage = 0;
    std::vector<Field> fields;

    bool isVisualFoxPro() const { return version >= 0x30 && version <= 0x32; }
    MemoKind memoKind() const;
    // Offset of record n (from 1).
    uint64_t recordOffset(uint32_t recno) const
    {
        return uint64_t(headerLength) + uint64_t(recno - 1) * recordLength;
    }
};

// Decodes the 32-byte prefix only (record count, lengths, version).
Status decodePrefix(std::span<const char> bytes, Header &out);
// The record count of a prefix (at least 8 bytes), without any check.
uint32_t decodeRecordCount(const char *prefix);

// Decodes the field descriptors that follow the prefix; `bytes` holds the
// whole header (headerLength bytes). Checks that the fields fill the record
// exactly and that names, types and lengths are sane.
Status decodeFields(std::span<const char> bytes, Header &inOut);

// Encodes a whole header (prefix, descriptors, terminator, one NUL pad) for
// the fields given; fills in offsets, header length and record length.
QByteArray encodeHeader(Header &header);

// Writes the record count and today's date into the prefix bytes.
void encodePrefix(const Header &header, char *prefix32);

// Sets the last-update date of `header` to today.
void stampToday(Header &header);

} // namespace verbana::xbase::dbf
