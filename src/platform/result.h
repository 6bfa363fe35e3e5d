// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <utility>

// The one result of the readers and archive functions outside the table
// engine (which keeps files::Result): a value, or a fault with a one-line
// reason fit to be shown as it is. They return it and never throw.
namespace verbana {

// Why there is no value.
enum class Fault {
    None,
    WrongKind, // not the kind of file asked for (no HWP document, no collection backup)
    Damaged, // a length, count, pointer or compressed stream is wrong
    Protected, // password, DRM or certificate encryption
    TooLarge, // the data would exceed the reader's limits
    Io, // the file could not be read or written
    Unsafe, // it holds links, or names that lead out of their folder
    Stopped, // the user stopped the work
};

// The fault and its reason; Fault::None when all went well.
class Verdict {
public:
    bool ok() const { return fault_ == Fault::None; }
    Fault fault() const { return fault_; }
    const QString &reason() const { return reason_; }

protected:
    void set(Fault fault, QString reason)
    {
        fault_ = fault;
        reason_ = std::move(reason);
    }

private:
    Fault fault_ = Fault::None;
    QString reason_;
};

// A value, or the fault that explains why there is none (the value is
// then T's default).
template <typename T>
class [[nodiscard]] Outcome : public Verdict {
public:
    Outcome(T value) : value_(std::move(value)) {}
    static Outcome failure(Fault fault, QString reason)
    {
        Outcome r{T{}};
        r.set(fault, std::move(reason));
        return r;
    }
    static Outcome failure(const Verdict &other) { return failure(other.fault(), other.reason()); }

    const T &value() const { return value_; }
    T &value() { return value_; }
    T take() { return std::move(value_); }

private:
    T value_;
};

// Work that gives nothing but whether it succeeded.
template <>
class [[nodiscard]] Outcome<void> : public Verdict {
public:
    Outcome() = default;
    static Outcome failure(Fault fault, QString reason)
    {
        Outcome r;
        r.set(fault, std::move(reason));
        return r;
    }
    static Outcome failure(const Verdict &other) { return failure(other.fault(), other.reason()); }
};

} // namespace verbana
