// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/file.h"

#include <QByteArray>

#include <cstdint>
#include <span>

// Reading and writing a File of the seam from front to back in blocks, as
// the archives do: thousands of small reads or writes of a few bytes
// become one readAt or writeAt per block.
namespace verbana::files {

class BufferedReader {
public:
    explicit BufferedReader(File &file, qsizetype block = 1 << 16);

    // Up to data.size() bytes from the position on; fewer only at the end
    // of the file.
    Result<size_t> readSome(std::span<char> data);
    // Exactly data.size() bytes; a file that ends first is a Corruption.
    Status read(std::span<char> data);
    // Passes over `count` bytes without reading them.
    void skip(uint64_t count) { position_ += count; }
    void seek(uint64_t position) { position_ = position; }
    uint64_t position() const { return position_; }

private:
    File &file_;
    QByteArray window_;
    uint64_t start_ = 0; // where the window's bytes lie in the file
    size_t filled_ = 0;
    uint64_t position_ = 0;
};

class BufferedWriter {
public:
    explicit BufferedWriter(File &file, uint64_t offset = 0, qsizetype block = 1 << 16);

    Status write(std::span<const char> data);
    // Writes what is held; the file is then as written so far.
    Status flush();
    // Where the next byte goes: the bytes written, held ones included.
    uint64_t position() const { return offset_ + uint64_t(held_.size()); }

private:
    File &file_;
    uint64_t offset_;
    qsizetype block_;
    QByteArray held_;
};

} // namespace verbana::files
