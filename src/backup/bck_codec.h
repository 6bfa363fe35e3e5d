// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>

// One zlib state reused for every piece of a run: each piece still becomes,
// or is read as, one complete zlib stream of its own, so any chunk can be
// decoded by itself.
namespace verbana::bck {

class PieceDeflater {
public:
    enum class Result { Compressed, TooLarge, Failed };

    explicit PieceDeflater(int level);
    ~PieceDeflater();
    PieceDeflater(const PieceDeflater &) = delete;
    PieceDeflater &operator=(const PieceDeflater &) = delete;

    bool ok() const { return ok_; }
    // Compresses `size` bytes into `out` (capacity `outCapacity`); on
    // Compressed, `outSize` is the stream's length. TooLarge when the whole
    // stream does not fit.
    Result compress(const char *in, std::size_t size, char *out, std::size_t outCapacity, std::size_t &outSize);

private:
    struct State;
    std::unique_ptr<State> state_;
    bool ok_ = false;
};

class PieceInflater {
public:
    enum class Result { Ok, Damaged, Failed };

    PieceInflater();
    ~PieceInflater();
    PieceInflater(const PieceInflater &) = delete;
    PieceInflater &operator=(const PieceInflater &) = delete;

    bool ok() const { return ok_; }
    // Inflates one complete stream into `out`. Damaged when the stream does
    // not end within the input, needs more than `outCapacity` bytes, or is
    // followed by stray bytes; Failed when zlib rejects the data.
    Result inflate(const char *in, std::size_t size, char *out, std::size_t outCapacity, std::size_t &outSize);

private:
    struct State;
    std::unique_ptr<State> state_;
    bool ok_ = false;
};

} // namespace verbana::bck
