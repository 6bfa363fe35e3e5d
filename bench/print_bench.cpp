// SPDX-License-Identifier: GPL-3.0-or-later
// The printed sermon list on generated tables (made by engine_bench
// --make-table) in date order, layout 5, in 굴림체 as the program
// substitutes it:
// - preview: from making the preview window of 10,000 sermons until its
//   first page is painted (target: 1 s or less);
// - pdf: the whole list of 100,000 sermons, listed and printed to a PDF
//   file, with pages per second and the peak resident memory.
// Run: QT_QPA_PLATFORM=offscreen build/bench/print_bench
#include "platform/fonts.h"
#include "stats/sermon_list_report.h"
#include "stats/ui/sermon_list_preview.h"
#include "store/xbase/apollo_table.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace verbana;

namespace {

QString collection(int sermons)
{
    static QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/Grace%1").arg(sermons);
    if (!QFileInfo::exists(folder + QStringLiteral("/sul2file.dbf"))) {
        QDir().mkpath(folder);
        const QString maker = QCoreApplication::applicationDirPath() + QStringLiteral("/engine_bench");
        if (QProcess::execute(maker, {QStringLiteral("--make-table"), QString::number(sermons), folder}) != 0)
            qFatal("engine_bench --make-table failed");
    }
    return folder;
}

std::unique_ptr<xbase::TApolloTable> openInDateOrder(int sermons)
{
    auto t = std::make_unique<xbase::TApolloTable>();
    t->DatabaseName = collection(sermons);
    t->TableName = QStringLiteral("sul2file.dbf");
    t->Open();
    t->SetOrder(t->TagArea("date1"));
    t->GoBottom();
    return t;
}

long peakResidentKiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void preview(benchmark::State &state)
{
    auto t = openInDateOrder(10000);
    for (auto _ : state) {
        stats::ui::SermonListPreview window(*t, stats::listLayout(5), QStringLiteral("GRACE 설교목록"));
        window.show();
        auto *page = window.findChild<QWidget *>(QStringLiteral("pgView"));
        while (!window.report().pageComplete(0, window.listingDone()))
            QCoreApplication::processEvents();
        // The page painted as the window shows it.
        benchmark::DoNotOptimize(page->grab());
        state.PauseTiming();
        window.hide();
        while (!window.listingDone())
            QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}

void pdf(benchmark::State &state)
{
    auto t = openInDateOrder(100000);
    QTemporaryDir out;
    const QString path = out.path() + QStringLiteral("/list.pdf");
    int pages = 0;
    for (auto _ : state) {
        stats::SermonListReport report(*t, stats::listLayout(5), QStringLiteral("GRACE 설교목록"));
        {
            stats::ViewListing listing(*t);
            while (!listing.step(2000)) {
            }
            report.setRows(listing.takeRows());
        }
        pages = report.pageCount();
        if (!stats::printToPdf(report, path, stats::allPages(report)))
            state.SkipWithError("the print stopped");
    }
    state.counters["pages"] = pages;
    state.counters["pages_per_s"] = benchmark::Counter(double(pages) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["pdf_MiB"] = double(QFileInfo(path).size()) / (1 << 20);
    state.counters["peak_rss_MiB"] = double(peakResidentKiB()) / 1024;
}

} // namespace

BENCHMARK(preview)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(pdf)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
