// SPDX-License-Identifier: GPL-3.0-or-later
// The sermon list on a table of 100,000 sermons: building its rows in date
// order, switching orders, reading every row once as a full scroll does,
// with the resident memory afterwards, and a field gathering. Run:
//   build/bench/editing_bench --benchmark_counters_tabular=true
#include "editing/sermon_list_model.h"
#include "platform/cp949.h"
#include "search/gathering.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "store/xbase/dbf_file.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <random>

using namespace verbana;

namespace {

constexpr int kSermons = 100000;

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

// A sermon table of kSermons records written straight into the file, then
// indexed with the four tags.
QString makeTable(const QString &folder)
{
    const QString path = folder + QStringLiteral("/sul2file.dbf");
    xbase::TApolloTable creator;
    store::createSermonTableFile(creator, path);
    {
        auto file = xbase::DbfFile::open(xbase::FileSystem::posix(), path, true);
        const int length = (*file)->recordLength();
        std::mt19937 rng(5);
        QByteArray block;
        block.reserve(qsizetype(length) * kSermons);
        const QByteArray title = cp949::encode(QStringLiteral("믿음과 소망과 사랑")).bytes;
        for (int i = 0; i < kSermons; ++i) {
            QByteArray rec(length, ' ');
            const QByteArray date = QStringLiteral("%1.%2.%3")
                                        .arg(1980 + rng() % 45)
                                        .arg(1 + rng() % 12, 2, 10, QLatin1Char('0'))
                                        .arg(1 + rng() % 28, 2, 10, QLatin1Char('0'))
                                        .toLatin1();
            const auto &fields = (*file)->fields();
            std::memcpy(rec.data() + fields[0].offset, date.constData(), size_t(date.size()));
            std::memcpy(rec.data() + fields[1].offset, title.constData(), size_t(title.size()));
            block += rec;
        }
        (void)(*file)->file().writeAt((*file)->header().headerLength,
                                      std::span<const char>(block.constData(), size_t(block.size())));
        const char eof = 0x1a;
        (void)(*file)->file().writeAt((*file)->header().headerLength + uint64_t(block.size()),
                                      std::span<const char>(&eof, 1));
        const char count[4] = {char(kSermons & 0xff), char((kSermons >> 8) & 0xff), char((kSermons >> 16) & 0xff), 0};
        (void)(*file)->file().writeAt(4, count);
    }
    xbase::TApolloTable t;
    t.DatabaseName = folder;
    t.TableName = QStringLiteral("sul2file.dbf");
    t.Exclusive = true;
    t.Open();
    store::createSermonTags(t);
    return folder;
}

const QString &tableFolder()
{
    static QTemporaryDir dir;
    static const QString folder = makeTable(dir.path());
    return folder;
}

std::unique_ptr<xbase::TApolloTable> openLast()
{
    auto t = std::make_unique<xbase::TApolloTable>();
    t->DatabaseName = tableFolder();
    t->TableName = QStringLiteral("sul2file.dbf");
    t->Open();
    t->SetOrder(t->TagArea("date1"));
    t->GoBottom();
    return t;
}

void BM_ListRowsInDateOrder(benchmark::State &state)
{
    auto t = openLast();
    for (auto _ : state) {
        editing::SermonListModel model;
        model.setTable(t.get());
        benchmark::DoNotOptimize(model.rowCount());
    }
}

void BM_ListSwitchOrder(benchmark::State &state)
{
    auto t = openLast();
    editing::SermonListModel model;
    model.setTable(t.get());
    int order = 1;
    for (auto _ : state) {
        t->SetOrder(order);
        order = order % 4 + 1;
        benchmark::DoNotOptimize(model.rowCount());
    }
}

void BM_ListScrollEveryRow(benchmark::State &state)
{
    auto t = openLast();
    editing::SermonListModel model;
    model.setTable(t.get());
    const long before = residentKiB();
    for (auto _ : state) {
        size_t chars = 0;
        for (int row = 0; row < model.rowCount(); ++row)
            for (int column = 0; column < 2; ++column)
                chars += size_t(model.index(row, column).data().toString().size());
        benchmark::DoNotOptimize(chars);
    }
    state.counters["rss_growth_KiB"] = double(residentKiB() - before);
    state.counters["record_reads"] = double(model.recordReads());
}

// A field gathering of four conditions until the list has its rows and
// shows the first, and the count of the sermons in view (the 100 ms target).
void BM_FieldGatherFourConditions(benchmark::State &state)
{
    auto t = openLast();
    editing::SermonListModel model;
    model.setTable(t.get());
    const QByteArray expression = search::gatherExpression(
        {{"TITLE1", cp949::encode(QStringLiteral("소망")).bytes}, {"DATE2", "="}, {"AIM", "~x"}, {"DATE1", "#"}},
        true);
    uint32_t count = 0;
    for (auto _ : state) {
        t->Query(expression); // the list follows the query it is told of
        t->GoTop();
        benchmark::DoNotOptimize(model.index(0, 0).data());
        count = t->Count();
        state.PauseTiming();
        t->Query(QByteArray());
        state.ResumeTiming();
    }
    state.counters["rows"] = double(model.rowCount());
    state.counters["count"] = double(count);
}

} // namespace

BENCHMARK(BM_FieldGatherFourConditions)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListRowsInDateOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListSwitchOrder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ListScrollEveryRow)->Unit(benchmark::kMillisecond)->Iterations(1);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
