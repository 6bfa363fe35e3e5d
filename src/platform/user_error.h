// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

namespace verbana {

// An error meant for the user's eyes: its text is shown as it is by the one
// general error box when no command catches it.
class EUserError : public std::exception {
public:
    explicit EUserError(QString text) : text_(std::move(text)), utf8_(text_.toUtf8()) {}
    const char *what() const noexcept override { return utf8_.constData(); }
    const QString &text() const { return text_; }

private:
    QString text_;
    QByteArray utf8_;
};

} // namespace verbana
