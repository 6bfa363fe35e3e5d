// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv.h"

namespace verbana::cli::csv {

bool parse(const QByteArray &utf8, QList<Row> &rows, int &errorLine)
{
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    int line = 1;
    Row row{line, {}};
    QString field;
    bool quoted = false, fieldStarted = false, any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                if (c == QLatin1Char('\n'))
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && !fieldStarted) {
            quoted = true;
            fieldStarted = any = true;
        } else if (c == QLatin1Char(',')) {
            row.fields << field;
            field.clear();
            fieldStarted = false;
            any = true;
        } else if (c == QLatin1Char('\r')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            if (any || !field.isEmpty()) {
                row.fields << field;
                rows << row;
            }
            field.clear();
            fieldStarted = any = false;
            row = Row{++line, {}};
        } else {
            field += c;
            fieldStarted = any = true;
        }
    }
    if (quoted) {
        errorLine = row.line;
        return false;
    }
    if (any || !field.isEmpty()) {
        row.fields << field;
        rows << row;
    }
    return true;
}

QString quote(const QString &field)
{
    if (!field.contains(QLatin1Char(',')) && !field.contains(QLatin1Char('"')) && !field.contains(QLatin1Char('\n'))
        && !field.contains(QLatin1Char('\r')))
        return field;
    QString f = field;
    f.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + f + QLatin1Char('"');
}

} // namespace verbana::cli::csv
