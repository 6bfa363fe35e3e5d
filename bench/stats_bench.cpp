// SPDX-License-Identifier: GPL-3.0-or-later
// The statistics counts over a generated table of 100,000 sermons (made by
// engine_bench --make-table, every key stored, so nothing is written) in
// date order, with a progress callback as the page gives one; and 신약/구약
// when 10,000 of them have no stored key and get one. Run:
//   build/bench/stats_bench
#include "platform/progress.h"
#include "stats/sermon_counts.h"
#include "store/xbase/apollo_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace verbana;

namespace {

constexpr int kSermons = 100000;

QString collection()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        const QString folder = dir.path() + QStringLiteral("/Grace");
        QDir().mkpath(folder);
        const QString maker = QCoreApplication::applicationDirPath() + QStringLiteral("/engine_bench");
        if (QProcess::execute(maker, {QStringLiteral("--make-table"), QString::number(kSermons), folder}) != 0)
            qFatal("engine_bench --make-table failed");
    }
    return dir.path() + QStringLiteral("/Grace");
}

std::unique_ptr<xbase::TApolloTable> openInDateOrder()
{
    auto t = std::make_unique<xbase::TApolloTable>();
    t->DatabaseName = collection();
    t->TableName = QStringLiteral("sul2file.dbf");
    t->Open();
    t->SetOrder(t->TagArea("date1"));
    t->GoBottom();
    return t;
}

template<typename Count>
void run(benchmark::State &state, Count count)
{
    auto t = openInDateOrder();
    uint64_t last = 0;
    // The page lets events run at every report of the progress: the longest
    // time between two reports is how long the window cannot answer.
    QElapsedTimer turn;
    qint64 longestGap = 0;
    Progress progress([&](const Progress::Report &r) {
        last = r.done;
        if (r.done > 0)
            longestGap = std::max(longestGap, turn.nsecsElapsed());
        turn.restart();
    });
    for (auto _ : state) {
        turn.start();
        auto points = count(*t, &progress);
        benchmark::DoNotOptimize(points);
    }
    state.counters["longest_gap_ms"] = double(longestGap) / 1e6;
    if (last != kSermons)
        state.SkipWithError("not every sermon was walked");
}

void testament(benchmark::State &state) { run(state, [](auto &t, auto *p) { return stats::CountByTestament(t, p); }); }
void oldBooks(benchmark::State &state)
{
    run(state, [](auto &t, auto *p) { return stats::CountByBook(t, stats::Testament::Old, p); });
}
void places(benchmark::State &state)
{
    run(state, [](auto &t, auto *p) { return stats::CountByCategory(t, stats::Category::Place, p); });
}

// 신약/구약 on sermons whose keys were never stored: each one's key is
// derived and written. The table's keys are blanked before each run (not
// timed); the first 10,000 sermons in input order are the keyless ones.
void testamentStoringKeys(benchmark::State &state)
{
    auto t = openInDateOrder();
    t->SetOrder(0);
    constexpr uint32_t kKeyless = 10000;
    uint32_t stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (uint32_t recno = 1; recno <= kKeyless; ++recno) {
            t->Go(recno);
            t->Edit();
            t->PutString(QByteArrayLiteral("BIBLENO"), QByteArray());
            t->Post();
        }
        t->GoTop();
        state.ResumeTiming();
        auto points = stats::CountByTestament(*t);
        benchmark::DoNotOptimize(points);
        state.PauseTiming();
        stored = 0;
        for (uint32_t recno = 1; recno <= kKeyless; ++recno) {
            t->Go(recno);
            stored += t->GetString(QByteArrayLiteral("BIBLENO")).trimmed().isEmpty() ? 0 : 1;
        }
        state.ResumeTiming();
    }
    state.counters["keys_stored"] = stored;
}

} // namespace

BENCHMARK(testamentStoringKeys)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(testament)->Unit(benchmark::kMillisecond);
BENCHMARK(oldBooks)->Unit(benchmark::kMillisecond);
BENCHMARK(places)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
