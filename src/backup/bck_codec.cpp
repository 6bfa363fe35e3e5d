// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/bck_codec.h"

#include <zlib.h>

namespace verbana::bck {

struct PieceDeflater::State {
    z_stream z{};
};

namespace {

// Points a stream at one whole piece and the room for its result.
void setBuffers(z_stream &z, const char *in, std::size_t size, char *out, std::size_t outCapacity)
{
    z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(in));
    z.avail_in = static_cast<uInt>(size);
    z.next_out = reinterpret_cast<Bytef *>(out);
    z.avail_out = static_cast<uInt>(outCapacity);
}

} // namespace

PieceDeflater::PieceDeflater(int level) : state_(std::make_unique<State>())
{
    ok_ = deflateInit(&state_->z, level) == Z_OK;
}

PieceDeflater::~PieceDeflater()
{
    if (ok_)
        deflateEnd(&state_->z);
}

PieceDeflater::Result PieceDeflater::compress(const char *in, std::size_t size, char *out, std::size_t outCapacity,
                                              std::size_t &outSize)
{
    if (!ok_ || deflateReset(&state_->z) != Z_OK)
        return Result::Failed;
    z_stream &z = state_->z;
    setBuffers(z, in, size, out, outCapacity);
    const int rc = deflate(&z, Z_FINISH);
    if (rc == Z_STREAM_END) {
        outSize = outCapacity - z.avail_out;
        return Result::Compressed;
    }
    // Z_OK or Z_BUF_ERROR with the output full: the stream did not fit.
    if ((rc == Z_OK || rc == Z_BUF_ERROR) && z.avail_out == 0)
        return Result::TooLarge;
    return Result::Failed;
}

struct PieceInflater::State {
    z_stream z{};
};

PieceInflater::PieceInflater() : state_(std::make_unique<State>()) { ok_ = inflateInit(&state_->z) == Z_OK; }

PieceInflater::~PieceInflater()
{
    if (ok_)
        inflateEnd(&state_->z);
}

PieceInflater::Result PieceInflater::inflate(const char *in, std::size_t size, char *out, std::size_t outCapacity,
                                             std::size_t &outSize)
{
    if (!ok_ || inflateReset(&state_->z) != Z_OK)
        return Result::Failed;
    z_stream &z = state_->z;
    setBuffers(z, in, size, out, outCapacity);
    const int rc = ::inflate(&z, Z_FINISH);
    if (rc == Z_STREAM_END) {
        if (z.avail_in != 0)
            return Result::Damaged;
        outSize = outCapacity - z.avail_out;
        return Result::Ok;
    }
    if (rc == Z_DATA_ERROR || rc == Z_NEED_DICT || rc == Z_MEM_ERROR || rc == Z_STREAM_ERROR)
        return Result::Failed;
    return Result::Damaged; // input ended early, or more output than the buffer holds
}

} // namespace verbana::bck
