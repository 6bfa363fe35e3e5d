// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/dbf_format.h"
#include "store/xbase/file.h"

#include <QByteArray>
#include <QByteArrayView>

#include <memory>

// Reading memo values of foreign tables: FPT (FoxPro), DBT (dBase III /
// Clipper and dBase IV) and SMT (SIx). The sermon table itself has no memo
// fields; memos are read, never written.
namespace verbana::xbase {

class MemoFile {
public:
    // Takes ownership of `file`; reads and checks the header.
    static Result<std::unique_ptr<MemoFile>> open(std::unique_ptr<File> file, dbf::MemoKind kind, bool dbase4);

    // The memo a record's field bytes point to; empty for a blank pointer.
    // `field` is the raw field of the record (10 bytes, 4 in Visual FoxPro).
    Result<QByteArray> read(QByteArrayView field);

    uint32_t blockSize() const { return blockSize_; }
    uint32_t nextFreeBlock() const { return nextFree_; }

    // No memo is larger than this; longer lengths are damage.
    static constexpr uint32_t kMaxMemo = 64u << 20;

private:
    MemoFile(std::unique_ptr<File> f, dbf::MemoKind k, bool d4) : file_(std::move(f)), kind_(k), dbase4_(d4) {}
    Result<QByteArray> readFpt(uint64_t block);
    Result<QByteArray> readDbt(uint64_t block);
    Result<QByteArray> readSmt(QByteArrayView field);

    std::unique_ptr<File> file_;
    dbf::MemoKind kind_;
    bool dbase4_;
    uint32_t blockSize_ = 512;
    uint32_t nextFree_ = 0;
    uint64_t size_ = 0;
};

} // namespace verbana::xbase
