// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/buffered_file.h"

#include <algorithm>
#include <cstring>

namespace verbana::files {

BufferedReader::BufferedReader(File &file, qsizetype block) : file_(file), window_(block, Qt::Uninitialized) {}

Result<size_t> BufferedReader::readSome(std::span<char> data)
{
    size_t copied = 0;
    while (copied < data.size()) {
        if (position_ < start_ || position_ >= start_ + filled_) {
            const std::span<char> rest = data.subspan(copied);
            // A request as large as the window goes straight to the file.
            const bool direct = rest.size() >= size_t(window_.size());
            const std::span<char> into = direct ? rest : std::span<char>(window_.data(), size_t(window_.size()));
            size_t got = 0;
            VERBANA_TRY(file_.readAt(position_, into, &got));
            if (got == 0)
                break;
            if (direct) {
                copied += got;
                position_ += got;
                filled_ = 0;
                continue;
            }
            start_ = position_;
            filled_ = got;
        }
        const size_t n = std::min<uint64_t>(data.size() - copied, start_ + filled_ - position_);
        std::memcpy(data.data() + copied, window_.constData() + (position_ - start_), n);
        copied += n;
        position_ += n;
    }
    return copied;
}

Status BufferedReader::read(std::span<char> data)
{
    const uint64_t at = position_;
    auto got = readSome(data);
    if (!got)
        return got.status();
    if (*got < data.size())
        return Status::corruption(QStringLiteral("short read at offset %1: %2").arg(at).arg(file_.path()));
    return Status::ok();
}

BufferedWriter::BufferedWriter(File &file, uint64_t offset, qsizetype block)
    : file_(file), offset_(offset), block_(block)
{
    held_.reserve(block_);
}

Status BufferedWriter::write(std::span<const char> data)
{
    if (held_.size() + qsizetype(data.size()) > block_)
        VERBANA_TRY(flush());
    if (qsizetype(data.size()) >= block_) {
        VERBANA_TRY(file_.writeAt(offset_, data));
        offset_ += data.size();
        return Status::ok();
    }
    held_.append(data.data(), qsizetype(data.size()));
    return Status::ok();
}

Status BufferedWriter::flush()
{
    if (held_.isEmpty())
        return Status::ok();
    const Status written = file_.writeAt(offset_, std::span<const char>(held_.constData(), size_t(held_.size())));
    // What failed is not tried again: the file is as far as it got.
    offset_ += uint64_t(held_.size());
    held_.resize(0);
    return written;
}

} // namespace verbana::files
