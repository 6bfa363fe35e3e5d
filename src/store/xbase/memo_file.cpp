// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/xbase/memo_file.h"

#include <array>
#include <cstring>

namespace verbana::xbase {
namespace {

uint32_t be32(const char *p)
{
    return (uint32_t(uint8_t(p[0])) << 24) | (uint32_t(uint8_t(p[1])) << 16) | (uint32_t(uint8_t(p[2])) << 8)
        | uint32_t(uint8_t(p[3]));
}

uint32_t le32(const char *p)
{
    return uint32_t(uint8_t(p[0])) | (uint32_t(uint8_t(p[1])) << 8) | (uint32_t(uint8_t(p[2])) << 16)
        | (uint32_t(uint8_t(p[3])) << 24);
}

// Block number written as ASCII digits with leading blanks or zeros; an
// all-blank or all-NUL field is "no memo" (returns 0).
Result<uint64_t> asciiBlock(QByteArrayView field)
{
    uint64_t v = 0;
    bool digits = false;
    for (char c : field) {
        if (c == ' ' || c == '\0') {
            if (digits)
                break;
            continue;
        }
        if (c < '0' || c > '9')
            return Status::corruption(QStringLiteral("memo pointer is not a number"));
        v = v * 10 + uint64_t(c - '0');
        digits = true;
        if (v > 0xFFFFFFFFu)
            return Status::corruption(QStringLiteral("memo pointer is too large"));
    }
    return v;
}

} // namespace

Result<std::unique_ptr<MemoFile>> MemoFile::open(std::unique_ptr<File> file, dbf::MemoKind kind, bool dbase4)
{
    std::unique_ptr<MemoFile> m(new MemoFile(std::move(file), kind, dbase4));
    auto size = m->file_->size();
    if (!size)
        return size.status();
    m->size_ = *size;
    std::array<char, 32> h{};
    size_t got = 0;
    XB_TRY(m->file_->readAt(0, h, &got));
    if (got < 24)
        return Status::corruption(QStringLiteral("memo file header is truncated: %1").arg(m->file_->path()));
    switch (kind) {
    case dbf::MemoKind::Fpt:
        m->nextFree_ = be32(h.data());
        m->blockSize_ = (uint32_t(uint8_t(h[6])) << 8) | uint8_t(h[7]);
        break;
    case dbf::MemoKind::Dbt:
        m->nextFree_ = le32(h.data());
        m->blockSize_ = dbase4 ? ((uint32_t(uint8_t(h[21])) << 8) | uint8_t(h[20])) : 512;
        break;
    case dbf::MemoKind::Smt:
        m->nextFree_ = le32(h.data());
        m->blockSize_ = le32(h.data() + 4);
        break;
    case dbf::MemoKind::None:
        return Status::invalidArgument(QStringLiteral("no memo kind"));
    }
    if (m->blockSize_ == 0 || m->blockSize_ > 65536)
        return Status::corruption(QStringLiteral("memo file block size %1 is invalid: %2").arg(m->blockSize_).arg(m->file_->path()));
    return m;
}

Result<QByteArray> MemoFile::read(QByteArrayView field)
{
    if (kind_ == dbf::MemoKind::Smt)
        return readSmt(field);
    uint64_t block = 0;
    if (field.size() == 4) { // Visual FoxPro binary pointer
        block = le32(field.data());
    } else {
        auto b = asciiBlock(field);
        if (!b)
            return b.status();
        block = *b;
    }
    if (block == 0)
        return QByteArray();
    return kind_ == dbf::MemoKind::Fpt ? readFpt(block) : readDbt(block);
}

Result<QByteArray> MemoFile::readFpt(uint64_t block)
{
    const uint64_t offset = block * blockSize_;
    if (offset < 512 || offset + 8 > size_)
        return Status::corruption(QStringLiteral("memo block %1 lies outside the memo file").arg(block));
    std::array<char, 8> h{};
    XB_TRY(file_->readAt(offset, h));
    const uint32_t length = be32(h.data() + 4);
    if (length > kMaxMemo || offset + 8 + length > size_)
        return Status::corruption(QStringLiteral("memo at block %1 runs past the end of the memo file").arg(block));
    QByteArray data(qsizetype(length), Qt::Uninitialized);
    XB_TRY(file_->readAt(offset + 8, std::span<char>(data.data(), length)));
    return data;
}

Result<QByteArray> MemoFile::readDbt(uint64_t block)
{
    uint64_t offset = block * blockSize_;
    if (offset < blockSize_ || offset >= size_)
        return Status::corruption(QStringLiteral("memo block %1 lies outside the memo file").arg(block));
    if (dbase4_) {
        std::array<char, 8> h{};
        XB_TRY(file_->readAt(offset, h));
        const uint32_t total = le32(h.data() + 4);
        if (total < 8 || total - 8 > kMaxMemo || offset + total > size_)
            return Status::corruption(QStringLiteral("memo at block %1 has an invalid length").arg(block));
        QByteArray data(qsizetype(total - 8), Qt::Uninitialized);
        XB_TRY(file_->readAt(offset + 8, std::span<char>(data.data(), data.size())));
        return data;
    }
    // dBase III: the data ends at the first 0x1A.
    QByteArray data;
    std::array<char, 4096> buf{};
    while (offset < size_) {
        size_t got = 0;
        XB_TRY(file_->readAt(offset, buf, &got));
        if (got == 0)
            break;
        const char *end = static_cast<const char *>(std::memchr(buf.data(), 0x1A, got));
        if (end) {
            data.append(buf.data(), qsizetype(end - buf.data()));
            return data;
        }
        data.append(buf.data(), qsizetype(got));
        if (uint64_t(data.size()) > kMaxMemo)
            return Status::corruption(QStringLiteral("memo at block %1 has no end mark").arg(block));
        offset += got;
    }
    // A memo cut off by the end of the file: keep what is there.
    return data;
}

Result<QByteArray> MemoFile::readSmt(QByteArrayView field)
{
    if (field.size() != 10)
        return Status::corruption(QStringLiteral("memo field has width %1, expected 10").arg(field.size()));
    if (field == QByteArrayView("          "))
        return QByteArray();
    const uint32_t length = le32(field.data() + 2);
    const uint64_t block = le32(field.data() + 6);
    if (length == 0)
        return QByteArray();
    const uint64_t offset = block * blockSize_;
    if (length > kMaxMemo || offset < 512 || offset + length > size_)
        return Status::corruption(QStringLiteral("memo at block %1 runs past the end of the memo file").arg(block));
    QByteArray data(qsizetype(length), Qt::Uninitialized);
    XB_TRY(file_->readAt(offset, std::span<char>(data.data(), length)));
    return data;
}

} // namespace verbana::xbase
