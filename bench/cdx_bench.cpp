// SPDX-License-Identifier: GPL-3.0-or-later
// The compound index on a sermon-sized table: building its four tags for
// 100,000 records, appending 10,000 records with the four tags kept, and
// walking the title tag from end to end.
#include "store/xbase/cdx_index.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <random>

using namespace verbana::xbase;

namespace {

// CP949 syllables and a few Latin words, as sermon titles mix them.
QByteArray title(std::mt19937 &rng)
{
    static const char *const words[] = {"\xb1\xe2\xb5\xb5", "\xb9\xcf\xc0\xbd", "\xbb\xe7\xb6\xfb", "\xc0\xc7", "\xc8\xb8\xba\xb9",
        "\xc7\xcf\xb3\xaa\xb4\xd4", "\xbc\xba\xb7\xc9", "\xb0\xa8\xbb\xe7", "Amen", "\xbf\xb9\xbc\xf6", "\xc0\xba\xc7\xfd",
        "\xbb\xe7\xb8\xed", "\x8c\x63\xb9\xe6", "\xb1\xb8\xbf\xf8"};
    QByteArray t;
    const int n = 2 + static_cast<int>(rng() % 6);
    for (int i = 0; i < n; ++i) {
        if (i)
            t.append(' ');
        t.append(words[rng() % (sizeof words / sizeof *words)]);
    }
    if (rng() % 3 == 0)
        t.append(" (" + QByteArray::number(rng() % 40) + ")");
    t.truncate(60);
    return t.leftJustified(60, ' ');
}

QByteArray date(std::mt19937 &rng)
{
    if (rng() % 10 == 0)
        return QByteArray(12, ' ');
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04u.%02u.%02u  ", 1990 + static_cast<unsigned>(rng() % 35),
        1 + static_cast<unsigned>(rng() % 12), 1 + static_cast<unsigned>(rng() % 28));
    return QByteArray(buf, 12);
}

QByteArray bibleno(std::mt19937 &rng)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02u%03u%03u  ", 1 + static_cast<unsigned>(rng() % 66),
        1 + static_cast<unsigned>(rng() % 50), 1 + static_cast<unsigned>(rng() % 40));
    return QByteArray(buf, 10);
}

struct Record {
    QByteArray title1, date1, date2, bibleno;
};

Record record(std::mt19937 &rng) { return {title(rng), date(rng), date(rng), bibleno(rng)}; }

std::vector<TagBuild> sermonTags(uint32_t count, std::mt19937 &rng)
{
    std::vector<TagBuild> tags(4);
    const char *names[] = {"title1", "date1", "date2", "bibleno"};
    const int lengths[] = {60, 12, 12, 10};
    for (int i = 0; i < 4; ++i) {
        tags[static_cast<size_t>(i)].name = names[i];
        tags[static_cast<size_t>(i)].keyExpression = names[i];
        tags[static_cast<size_t>(i)].keyLength = lengths[i];
        tags[static_cast<size_t>(i)].keys.reserve(static_cast<qsizetype>(count) * lengths[i]);
    }
    for (uint32_t r = 1; r <= count; ++r) {
        const Record rec = record(rng);
        tags[0].add(rec.title1, r);
        tags[1].add(rec.date1, r);
        tags[2].add(rec.date2, r);
        tags[3].add(rec.bibleno, r);
    }
    return tags;
}

struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<File> file;
    explicit Fixture(uint32_t count)
    {
        std::mt19937 rng(42);
        file = std::move(*FileSystem::posix().open(dir.filePath(QStringLiteral("s.cdx")), OpenMode::Create));
        // Synced, so that writing back the fresh file does not slow the
        // measured writes down.
        if (!CdxIndex::build(*file, sermonTags(count, rng)) || !file->sync())
            std::abort();
    }
};

void BM_BuildFourTags(benchmark::State &state)
{
    const auto count = static_cast<uint32_t>(state.range(0));
    std::mt19937 rng(1);
    const std::vector<TagBuild> tags = sermonTags(count, rng);
    QTemporaryDir dir;
    auto file = std::move(*FileSystem::posix().open(dir.filePath(QStringLiteral("b.cdx")), OpenMode::Create));
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<TagBuild> copy = tags;
        state.ResumeTiming();
        if (!CdxIndex::build(*file, std::move(copy)))
            state.SkipWithError("build failed");
    }
}
BENCHMARK(BM_BuildFourTags)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// Appends 10,000 records to a table of range(0) records, each append one
// update of the four tags written to the file before the next.
void BM_AppendTenThousand(benchmark::State &state)
{
    const auto count = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fx(count);
        auto ix = std::move(*CdxIndex::open(*fx.file));
        std::mt19937 rng(7);
        std::vector<Record> recs;
        for (int i = 0; i < 10000; ++i)
            recs.push_back(record(rng));
        state.ResumeTiming();
        for (uint32_t i = 0; i < 10000; ++i) {
            const Record &r = recs[i];
            const uint32_t recno = count + 1 + i;
            bool ok = ix->beginUpdate() && ix->insert(1, r.title1, recno) && ix->insert(2, r.date1, recno)
                && ix->insert(3, r.date2, recno) && ix->insert(4, r.bibleno, recno) && ix->endUpdate();
            if (!ok) {
                state.SkipWithError("insert failed");
                break;
            }
        }
    }
}
BENCHMARK(BM_AppendTenThousand)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WalkTitle(benchmark::State &state)
{
    const auto count = static_cast<uint32_t>(state.range(0));
    Fixture fx(count);
    auto ix = std::move(*CdxIndex::open(*fx.file));
    for (auto _ : state) {
        auto c = ix->cursor(1);
        uint64_t sum = 0;
        Status st = c->first();
        while (st && c->valid()) {
            sum += c->recno();
            st = c->next();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WalkTitle)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// A fresh opening walks the title tag: pages come from the file, not the cache.
void BM_OpenAndWalkTitle(benchmark::State &state)
{
    const auto count = static_cast<uint32_t>(state.range(0));
    Fixture fx(count);
    for (auto _ : state) {
        auto ix = std::move(*CdxIndex::open(*fx.file));
        auto c = ix->cursor(1);
        uint64_t sum = 0;
        Status st = c->first();
        while (st && c->valid()) {
            sum += c->recno();
            st = c->next();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_OpenAndWalkTitle)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_OpenAndSeekLast(benchmark::State &state)
{
    Fixture fx(static_cast<uint32_t>(state.range(0)));
    for (auto _ : state) {
        auto ix = std::move(*CdxIndex::open(*fx.file));
        auto c = ix->cursor(2);
        if (!c->last())
            state.SkipWithError("last failed");
        benchmark::DoNotOptimize(c->recno());
    }
}
BENCHMARK(BM_OpenAndSeekLast)->Arg(100000)->Unit(benchmark::kMicrosecond);

} // namespace


namespace {
// The same appends with the pages written once at the end, as an exclusive
// batch would: what the tree work costs without the per-append writes.
void BM_AppendTenThousandOneFlush(benchmark::State &state)
{
    const auto count = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        Fixture fx(count);
        auto ix = std::move(*CdxIndex::open(*fx.file));
        std::mt19937 rng(7);
        std::vector<Record> recs;
        for (int i = 0; i < 10000; ++i)
            recs.push_back(record(rng));
        state.ResumeTiming();
        for (uint32_t i = 0; i < 10000; ++i) {
            const Record &r = recs[i];
            const uint32_t recno = count + 1 + i;
            bool ok = ix->insert(1, r.title1, recno) && ix->insert(2, r.date1, recno) && ix->insert(3, r.date2, recno)
                && ix->insert(4, r.bibleno, recno);
            if (!ok) {
                state.SkipWithError("insert failed");
                break;
            }
        }
        if (!ix->flush())
            state.SkipWithError("flush failed");
    }
}
BENCHMARK(BM_AppendTenThousandOneFlush)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
} // namespace

BENCHMARK_MAIN();
