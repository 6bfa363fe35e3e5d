// SPDX-License-Identifier: GPL-3.0-or-later
// A second program on a shared table, for the sharing and crash tests.
//   table_worker append TABLE COUNT PREFIX   append COUNT sermons titled PREFIX-i
//   table_worker load TABLE COUNT PREFIX     the same as one batch (all or nothing)
//   table_worker edit TABLE COUNT SEED       edit COUNT random records' SUBJECT
//   table_worker put TABLE RECNO FIELD=VALUE edit one field of one record
// After every post it prints "posted <recno> <i>" and flushes, so a parent
// that kills it knows which posts had completed.
#include "store/xbase/apollo_table.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cstdio>
#include <random>

using verbana::xbase::EApolloError;
using verbana::xbase::TApolloTable;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5)
        return 2;
    TApolloTable t;
    t.DatabaseName = QFileInfo(args[2]).absolutePath();
    t.TableName = QFileInfo(args[2]).fileName();
    const int count = args[3].toInt();
    try {
        t.Open();
        const bool batch = args[1] == QLatin1String("load");
        if (args[1] == QLatin1String("append") || batch) {
            if (batch)
                t.BeginAppendBatch();
            for (int i = 0; i < count; ++i) {
                t.Append();
                t.PutString(QByteArrayLiteral("TITLE1"), (args[4] + QLatin1Char('-') + QString::number(i)).toLatin1());
                t.PutString(QByteArrayLiteral("DATE1"), QByteArray::number(i).rightJustified(10, '0'));
                t.Post();
                std::printf("posted %u %d\n", t.RecNo(), i);
                std::fflush(stdout);
            }
            if (batch)
                t.CommitAppendBatch();
        } else if (args[1] == QLatin1String("edit")) {
            std::mt19937 rng(args[4].toUInt());
            for (int i = 0; i < count; ++i) {
                const uint32_t n = t.RecCount();
                if (n == 0)
                    continue;
                t.Go(1 + rng() % n);
                t.Edit();
                t.PutString(QByteArrayLiteral("SUBJECT"), "edited-" + QByteArray::number(i));
                t.Post();
                std::printf("posted %u %d\n", t.RecNo(), i);
                std::fflush(stdout);
            }
        } else if (args[1] == QLatin1String("put")) {
            const QList<QByteArray> assignment = args[4].toUtf8().split('=');
            t.Go(args[3].toUInt());
            t.Edit();
            t.PutString(assignment.value(0), assignment.value(1));
            t.Post();
        } else {
            return 2;
        }
    } catch (const EApolloError &e) {
        std::fprintf(stderr, "%s %s\n", e.text().toUtf8().constData(), e.detail().toUtf8().constData());
        return 1;
    }
    return 0;
}
