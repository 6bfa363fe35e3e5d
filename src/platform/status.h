// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <utility>

// The error channel of the file seam and of the byte readers, decoders and
// index code built on it: they return a Status or a Result<T> and never
// throw. Whoever shows errors to the user turns these into texts in one
// place (the table object, the archive component).
namespace verbana::files {

enum class StatusKind {
    Ok,
    Corruption, // a file's bytes contradict themselves or the format
    IOError, // the operating system refused a read, write, sync or rename
    Locked, // a lock could not be had
    InvalidArgument, // the caller asked for something impossible
    NotFound, // a file, field or tag does not exist
    NotExclusive, // the operation needs the table opened exclusively
    ReadOnly, // a write to a file opened for reading only
    NotRegular, // a link, folder, pipe or device where a plain file is wanted
};

class [[nodiscard]] Status {
public:
    Status() = default;
    static Status ok() { return {}; }
    static Status corruption(QString m) { return {StatusKind::Corruption, std::move(m)}; }
    static Status ioError(QString m) { return {StatusKind::IOError, std::move(m)}; }
    static Status locked(QString m) { return {StatusKind::Locked, std::move(m)}; }
    static Status invalidArgument(QString m) { return {StatusKind::InvalidArgument, std::move(m)}; }
    static Status notFound(QString m) { return {StatusKind::NotFound, std::move(m)}; }
    static Status notExclusive(QString m) { return {StatusKind::NotExclusive, std::move(m)}; }
    static Status readOnly(QString m) { return {StatusKind::ReadOnly, std::move(m)}; }
    static Status notRegular(QString m) { return {StatusKind::NotRegular, std::move(m)}; }

    bool isOk() const { return kind_ == StatusKind::Ok; }
    explicit operator bool() const { return isOk(); }
    StatusKind kind() const { return kind_; }
    const QString &message() const { return message_; }

private:
    Status(StatusKind k, QString m) : kind_(k), message_(std::move(m)) {}
    StatusKind kind_ = StatusKind::Ok;
    QString message_;
};

// A value or the Status that explains why there is none.
template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Status status) : status_(std::move(status)) { Q_ASSERT(!status_.isOk()); }

    bool isOk() const { return value_.has_value(); }
    explicit operator bool() const { return isOk(); }
    const Status &status() const { return status_; }
    T &value() & { return *value_; }
    const T &value() const & { return *value_; }
    T &&value() && { return std::move(*value_); }
    T *operator->() { return &*value_; }
    const T *operator->() const { return &*value_; }
    T &operator*() { return *value_; }

private:
    std::optional<T> value_;
    Status status_;
};

} // namespace verbana::files

// Returns early from a function returning Status (or Result) when `expr`
// fails.
#define VERBANA_TRY(expr)                                                                                              \
    do {                                                                                                               \
        ::verbana::files::Status _vb_st = (expr);                                                                      \
        if (!_vb_st.isOk())                                                                                            \
            return _vb_st;                                                                                             \
    } while (0)
