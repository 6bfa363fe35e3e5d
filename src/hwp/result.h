// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <utility>

namespace verbana::hwp {

// Why a document could not be read.
enum class Fault {
    None,
    NotHwp,    // neither HWP 3.0 nor an HWP 5.x compound file
    Damaged,   // a length, count, pointer or compressed stream is wrong
    Protected, // password, DRM or certificate encryption
    TooLarge,  // the data would exceed the reader's limits
    Io,        // the file could not be read
};

// The outcome of a reader: a value, or a fault with a one-line reason.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    static Result failure(Fault fault, QString reason)
    {
        Result r{T{}};
        r.fault_ = fault;
        r.reason_ = std::move(reason);
        return r;
    }
    template <typename U>
    static Result failure(const Result<U> &other)
    {
        return failure(other.fault(), other.reason());
    }

    bool ok() const { return fault_ == Fault::None; }
    Fault fault() const { return fault_; }
    const QString &reason() const { return reason_; }
    const T &value() const { return value_; }
    T &value() { return value_; }
    T take() { return std::move(value_); }

private:
    T value_;
    Fault fault_ = Fault::None;
    QString reason_;
};

} // namespace verbana::hwp
