// SPDX-License-Identifier: GPL-3.0-or-later
// Parses arbitrary bytes as the CSV `verbana-cli load` reads. What parses
// is written back as `dump` writes rows (a record number first, every
// value quoted as needed) and must parse back to the same values.
#include "csv.h"
#include "platform/cp949.h"

#include <cstdint>
#include <cstdlib>

using namespace verbana::cli;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QList<csv::Row> rows;
    csv::Error error;
    if (!csv::parse(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), rows, error)) {
        if (error.line < 1 || error.what.isEmpty())
            std::abort();
        return 0;
    }
    QString written;
    for (const csv::Row &row : rows) {
        written += QStringLiteral("1");
        for (const QString &field : row.fields) {
            written += QLatin1Char(',') + csv::quote(field);
            (void)verbana::cp949::encode(field);
        }
        written += QLatin1Char('\n');
    }
    QList<csv::Row> again;
    if (!csv::parse(written.toUtf8(), again, error) || again.size() != rows.size())
        std::abort();
    for (qsizetype i = 0; i < rows.size(); ++i)
        if (again[i].fields.mid(1) != rows[i].fields)
            std::abort();
    return 0;
}
