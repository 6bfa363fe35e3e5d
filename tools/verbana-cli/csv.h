// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// CSV as spreadsheets write it: comma separated, double quotes around
// fields that hold commas, quotes or line breaks, quotes doubled inside.
namespace verbana::cli::csv {

struct Row {
    int line = 0; // line number where the row starts, from 1
    QStringList fields;
};

struct Error {
    int line = 0;
    QString what; // "not UTF-8", "a quoted value is not closed"
};

// Parses UTF-8 text. On bytes that are not UTF-8 or a quote left open
// returns false and says where in `error`.
bool parse(const QByteArray &utf8, QList<Row> &rows, Error &error);

QString quote(const QString &field);

} // namespace verbana::cli::csv
