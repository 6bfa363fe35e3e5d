// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/user_error.h"
#include "store/xbase/status.h"

#include <QString>


// Errors the table object raises. `text` is the engine's own message as the
// user sees it; `detail` says what exactly was wrong, for repair tools.
namespace verbana::xbase {

class EApolloError : public EUserError {
public:
    EApolloError(QString text, QString detail = QString(), StatusKind kind = StatusKind::IOError)
        : EUserError(std::move(text)), detail_(std::move(detail)), kind_(kind)
    {
    }
    const QString &detail() const { return detail_; }
    StatusKind kind() const { return kind_; }

private:
    QString detail_;
    StatusKind kind_;
};

namespace texts {
inline QString tableMissing(const QString &path)
{
    return QStringLiteral("Table does not exist.\rFile or directory does not exist.\rFile: ") + path;
}
inline QString unableToOpen(const QString &path) { return QStringLiteral("Unable to open table.\rFile: ") + path; }
inline QString memoMissing(const QString &memoPath)
{
    return QStringLiteral("Associated MEMO file does not exist.\rFile: ") + memoPath.toUpper();
}
inline QString invalidQuery() { return QStringLiteral("Invalid Query Expression"); }
inline QString needsExclusive()
{
    return QStringLiteral("Table must be opened in Exclusive mode to perform this operation");
}
inline QString readOnly() { return QStringLiteral("Table is open read-only: it cannot be changed"); }
inline QString damaged(const QString &fault) { return QStringLiteral("Table is damaged: ") + fault; }
inline QString lockFailure() { return QStringLiteral("Record Lock Failure. May be locked by another user or task."); }
} // namespace texts

} // namespace verbana::xbase
