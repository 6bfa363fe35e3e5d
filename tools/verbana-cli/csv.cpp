// SPDX-License-Identifier: GPL-3.0-or-later
#include "csv.h"

#include <QStringDecoder>

namespace verbana::cli::csv {
namespace {

// The line of the first bytes that are not UTF-8, or 0. A line break never
// lies inside a UTF-8 sequence, so lines are decoded one by one.
int firstLineNotUtf8(const QByteArray &bytes)
{
    int line = 1;
    for (qsizetype start = 0; start <= bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        (void)decoder.decode(QByteArrayView(bytes).sliced(start, end - start)).operator QString();
        if (decoder.hasError())
            return line;
        start = end + 1;
    }
    return 0;
}

} // namespace

bool parse(const QByteArray &utf8, QList<Row> &rows, Error &error)
{
    if (const int bad = firstLineNotUtf8(utf8)) {
        error = {bad, QStringLiteral("not UTF-8")};
        return false;
    }
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
        error = {row.line, QStringLiteral("a quoted value is not closed")};
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
