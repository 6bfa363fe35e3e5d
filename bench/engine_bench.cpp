// SPDX-License-Identifier: GPL-3.0-or-later
// Table engine benchmarks on generated sermon tables of 1,000, 10,000 and
// 100,000 records (CP949 Korean text, the four tags). Run:
//   build/bench/engine_bench --benchmark_counters_tabular=true
#include "platform/cp949.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "store/xbase/dbf_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <random>

using namespace verbana;
using verbana::xbase::TApolloTable;

namespace {

const char *const kWords[] = {"믿음", "소망", "사랑", "기도", "은혜", "감사", "순종", "평강", "구원", "십자가",
                              "부활", "성령", "말씀", "찬양", "예배", "교회", "섬김", "겸손", "인내", "회개"};

QByteArray words(std::mt19937 &rng, int n)
{
    QString s;
    for (int i = 0; i < n; ++i) {
        if (i)
            s += QLatin1Char(' ');
        s += QString::fromUtf8(kWords[rng() % 20]);
    }
    return cp949::encode(s).bytes;
}

QByteArray sermonRecord(std::mt19937 &rng)
{
    QByteArray rec(1085, ' ');
    const auto &fields = store::sermonFields();
    int offset = 1;
    auto put = [&](int field, const QByteArray &v) {
        int off = 1;
        for (int i = 0; i < field - 1; ++i)
            off += fields[size_t(i)].width;
        const QByteArray cut = cp949::cut(v, fields[size_t(field - 1)].width);
        std::memcpy(rec.data() + off, cut.constData(), size_t(cut.size()));
    };
    Q_UNUSED(offset);
    const QByteArray date = QStringLiteral("%1.%2.%3")
                                .arg(1980 + rng() % 45)
                                .arg(1 + rng() % 12, 2, 10, QLatin1Char('0'))
                                .arg(1 + rng() % 28, 2, 10, QLatin1Char('0'))
                                .toLatin1();
    put(store::fDATE1, date);
    put(store::fTITLE1, words(rng, 2 + int(rng() % 4)));
    put(store::fTITLE2, words(rng, 3));
    put(store::fSUBJECT, words(rng, 2));
    put(store::fBIBLE1, cp949::encode(QStringLiteral("창%1:%2-%3").arg(1 + rng() % 50).arg(1 + rng() % 30).arg(31)).bytes);
    put(store::fBIBLENO, QByteArray::number(1 + rng() % 66).rightJustified(2, '0') + QByteArray::number(rng() % 999999).rightJustified(6, '0'));
    put(store::fSTYPE, words(rng, 1));
    put(store::fAIM, words(rng, 1));
    put(store::fSACRE, words(rng, 2));
    put(store::fBRIEF, words(rng, 25));
    put(store::fCONTEXT, "d0\\sul" + QByteArray::number(rng() % 100000) + ".RTF");
    if (rng() % 3)
        put(store::fDATE2, date);
    put(store::fWHERE, words(rng, 1));
    put(store::fBETTER, words(rng, 20));
    return rec;
}

// Builds (once per size) a collection table with its four tags; returns the
// folder holding the pristine copy.
QString pristine(int n)
{
    static std::map<int, std::unique_ptr<QTemporaryDir>> made;
    auto &dir = made[n];
    if (dir)
        return dir->path();
    dir = std::make_unique<QTemporaryDir>();
    const QString path = dir->path() + QStringLiteral("/sul2file.dbf");
    TApolloTable creator;
    store::createSermonTableFile(creator, path);
    {
        auto file = xbase::DbfFile::open(xbase::FileSystem::posix(), path, true);
        std::mt19937 rng{uint32_t(n)};
        QByteArray block;
        for (int i = 0; i < n; ++i)
            block += sermonRecord(rng);
        (void)(*file)->file().writeAt(706, std::span<const char>(block.constData(), size_t(block.size())));
        const char eof = 0x1a;
        (void)(*file)->file().writeAt(706 + uint64_t(block.size()), std::span<const char>(&eof, 1));
        char count[4] = {char(n & 0xff), char((n >> 8) & 0xff), char((n >> 16) & 0xff), char((n >> 24) & 0xff)};
        (void)(*file)->file().writeAt(4, count);
    }
    TApolloTable t;
    t.DatabaseName = dir->path();
    t.TableName = QStringLiteral("sul2file.dbf");
    t.Exclusive = true;
    t.Open();
    store::createSermonTags(t);
    return dir->path();
}

// A fresh working copy of the pristine table.
struct WorkCopy {
    QTemporaryDir dir;
    explicit WorkCopy(int n)
    {
        const QString src = pristine(n);
        for (const char *name : {"sul2file.dbf", "sul2file.cdx"})
            QFile::copy(src + QLatin1Char('/') + QLatin1String(name), dir.path() + QLatin1Char('/') + QLatin1String(name));
    }
    std::unique_ptr<TApolloTable> open(bool exclusive = false)
    {
        auto t = std::make_unique<TApolloTable>();
        t->DatabaseName = dir.path();
        t->TableName = QStringLiteral("sul2file.dbf");
        t->Exclusive = exclusive;
        t->Open();
        return t;
    }
};

long residentKiB()
{
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * 4;
}

// The resident memory of the program's own (anonymous) pages, without the
// pages of files it maps.
long anonymousKiB()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    long value = 0;
    while (status >> key) {
        if (key == "RssAnon:" && status >> value)
            return value;
        status.ignore(1 << 10, '\n');
    }
    return -1;
}

void BM_OpenOrderLast(benchmark::State &state)
{
    WorkCopy w(int(state.range(0)));
    // The resident memory an opening adds, measured on the first one (later
    // ones reuse what the allocator already holds).
    long rssDelta = -1;
    for (auto _ : state) {
        const long before = residentKiB();
        auto t = w.open();
        t->SetOrder(t->TagArea("date1"));
        t->GoBottom();
        benchmark::DoNotOptimize(t->RecNo());
        if (rssDelta < 0)
            rssDelta = residentKiB() - before;
    }
    state.counters["rss_delta_KiB"] = double(rssDelta);
}

// The walk a list, a count or a printout makes: date order, every field.
void walkDate1(benchmark::State &state, bool exclusive)
{
    WorkCopy w(int(state.range(0)));
    auto t = w.open(exclusive);
    t->SetOrder(t->TagArea("date1"));
    for (auto _ : state) {
        size_t bytes = 0;
        t->GoTop();
        for (;;) {
            for (int f = 1; f <= 21; ++f)
                bytes += size_t(t->GetString(f).size());
            t->Skip(1);
            if (t->Eof())
                break;
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["rss_KiB"] = double(residentKiB());
    state.counters["anon_KiB"] = double(anonymousKiB());
}
void BM_WalkDate1AllFields(benchmark::State &state) { walkDate1(state, false); }
void BM_WalkDate1AllFieldsExclusive(benchmark::State &state) { walkDate1(state, true); }

void BM_Append10kPosts(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        WorkCopy w(int(state.range(0)));
        auto t = w.open();
        std::mt19937 rng(7);
        std::vector<QByteArray> recs;
        for (int i = 0; i < 10000; ++i)
            recs.push_back(sermonRecord(rng));
        state.ResumeTiming();
        for (const QByteArray &rec : recs) {
            t->Append();
            for (int f = 1; f <= 21; ++f) {
                const auto &field = t->fields()[size_t(f - 1)];
                t->PutString(f, cp949::trimRight(QByteArrayView(rec).sliced(field.offset, field.length)));
            }
            t->Post();
        }
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}

void countQuery(benchmark::State &state, bool titleOrder)
{
    WorkCopy w(int(state.range(0)));
    auto t = w.open();
    if (titleOrder)
        t->SetOrder(t->TagArea("title1"));
    uint32_t n = 0;
    for (auto _ : state) {
        t->Query(cp949::encode(QStringLiteral("(\"기도\" $ UPPER(TITLE1))")).bytes);
        n = t->Count();
        benchmark::DoNotOptimize(n);
        t->Query(QByteArray());
    }
    state.counters["matches"] = n;
}
void BM_CountQueryRecordOrder(benchmark::State &state) { countQuery(state, false); }
void BM_CountQueryTitle1Order(benchmark::State &state) { countQuery(state, true); }

// The same count made by walking the title1 order record by record, as a
// list would.
void BM_WalkQueryTitle1Order(benchmark::State &state)
{
    WorkCopy w(int(state.range(0)));
    auto t = w.open();
    t->SetOrder(t->TagArea("title1"));
    t->Query(cp949::encode(QStringLiteral("(\"기도\" $ UPPER(TITLE1))")).bytes);
    for (auto _ : state) {
        uint32_t n = 0;
        t->GoTop();
        while (t->RecNo() != 0) {
            ++n;
            t->Skip(1);
            if (t->Eof())
                break;
        }
        benchmark::DoNotOptimize(n);
    }
}

void BM_Delete10PercentAndPack(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        WorkCopy w(int(state.range(0)));
        auto t = w.open(true);
        const uint32_t n = t->RecCount();
        state.ResumeTiming();
        for (uint32_t r = 1; r <= n; r += 10) {
            t->Go(r);
            t->Delete();
        }
        t->Pack();
        state.PauseTiming();
        t.reset();
        state.ResumeTiming();
    }
}

void BM_RebuildFourTags(benchmark::State &state)
{
    WorkCopy w(int(state.range(0)));
    auto t = w.open(true);
    for (auto _ : state)
        store::createSermonTags(*t);
}

} // namespace

BENCHMARK(BM_OpenOrderLast)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkDate1AllFields)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkDate1AllFieldsExclusive)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Append10kPosts)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_CountQueryRecordOrder)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountQueryTitle1Order)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WalkQueryTitle1Order)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Delete10PercentAndPack)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_RebuildFourTags)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// --make-table N DIR: writes the generated N-record table with its tags
// into DIR. --rss-probe DIR: in a fresh process, opens DIR/sul2file.dbf
// shared, orders by date1, goes to the last record and prints the resident
// memory of the whole process before and after.
static int makeTable(int n, const QString &dir)
{
    const QString source = pristine(n);
    for (const char *name : {"sul2file.dbf", "sul2file.cdx"})
        if (!QFile::copy(source + QLatin1Char('/') + QLatin1String(name), dir + QLatin1Char('/') + QLatin1String(name)))
            return 1;
    return 0;
}

static int rssProbe(const QString &dir)
{
    TApolloTable t;
    t.DatabaseName = dir;
    t.TableName = QStringLiteral("sul2file.dbf");
    const long base = residentKiB();
    t.Open();
    t.SetOrder(t.TagArea("date1"));
    t.GoBottom();
    std::printf("records %u: resident %ld KiB before opening, %ld KiB after open + order + last\n", t.RecCount(),
                base, residentKiB());
    return 0;
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--make-table") == 0)
        return makeTable(atoi(argv[2]), QString::fromLocal8Bit(argv[3]));
    if (argc == 3 && qstrcmp(argv[1], "--rss-probe") == 0)
        return rssProbe(QString::fromLocal8Bit(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
