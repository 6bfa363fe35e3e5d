// SPDX-License-Identifier: GPL-3.0-or-later
// The manuscript gathering on a generated collection, for gather_bench.sh.
//   gather_scan gen FOLDER COUNT   a sermon table of COUNT sermons, each with
//                                  a CP949 text copy of 5-30 KB in text/
//   gather_scan scan FOLDER WORD1 WORD2
//                                  one OR gathering of the two words (CP949
//                                  bytes); prints the sermons found and the
//                                  peak resident memory
#include "search/gathering.h"
#include "store/collection_paths.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>

using namespace verbana;

namespace {

long peakResidentKiB()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

QByteArray prose(std::mt19937 &gen, qsizetype size)
{
    std::uniform_int_distribution<int> lead(0xB0, 0xC8), trail(0xA1, 0xFE), len(1, 4), line(8, 16);
    QByteArray text;
    text.reserve(size + 16);
    int words = 0;
    while (text.size() < size) {
        for (int n = len(gen); n > 0; --n) {
            text += char(lead(gen));
            text += char(trail(gen));
        }
        text += (++words % line(gen) == 0) ? "\r\n" : " ";
    }
    return text;
}

int generate(const QString &folder, int count)
{
    QDir().mkpath(folder + QStringLiteral("/text/d0"));
    QDir().mkpath(folder + QStringLiteral("/data/d0"));
    xbase::TApolloTable creator;
    if (store::createSermonTableFile(creator, folder + QStringLiteral("/sul2file.dbf")) == 0)
        return 1;
    xbase::TApolloTable t;
    t.DatabaseName = folder;
    t.TableName = QStringLiteral("sul2file.dbf");
    t.Open();
    std::mt19937 gen(7);
    std::uniform_int_distribution<int> size(5 * 1024, 30 * 1024);
    t.BeginAppendBatch();
    for (int i = 0; i < count; ++i) {
        const QByteArray name = "sul" + QByteArray::number(i);
        t.Append();
        t.PutString(store::fDATE1, "2001.01.01");
        t.PutString(store::fCONTEXT, "d0\\" + name + ".RTF");
        t.Post();
        QFile text(folder + QStringLiteral("/text/d0/") + QString::fromLatin1(name) + QStringLiteral(".txt"));
        if (!text.open(QIODevice::WriteOnly) || text.write(prose(gen, size(gen))) < 0)
            return 1;
    }
    t.CommitAppendBatch();
    t.Close();
    t.Exclusive = true;
    t.Open();
    store::createSermonTags(t);
    return 0;
}

int scan(const QString &folder, const QByteArray &one, const QByteArray &two)
{
    xbase::TApolloTable t;
    t.DatabaseName = folder;
    t.TableName = QStringLiteral("sul2file.dbf");
    t.Open();
    search::ManuscriptQuery q;
    q.words = {one, two, {}, {}};
    q.useAnd = false;
    const auto found = search::scanManuscripts(t, store::CollectionPaths(folder), q);
    std::printf("found %zu of %u, peak resident %ld KiB\n", found.size(), t.RecCount(), peakResidentKiB());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "gen" && argc == 4)
        return generate(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]));
    if (command == "scan" && argc == 5)
        return scan(QString::fromLocal8Bit(argv[2]), QByteArray(argv[3]), QByteArray(argv[4]));
    std::fprintf(stderr, "usage: %s gen FOLDER COUNT | scan FOLDER WORD1 WORD2\n", argv[0]);
    return 2;
}
