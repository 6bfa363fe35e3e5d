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

// Parses UTF-8 text. On a quote left open returns false and sets errorLine.
bool parse(const QByteArray &utf8, QList<Row> &rows, int &errorLine);

QString quote(const QString &field);

} // namespace verbana::cli::csv
