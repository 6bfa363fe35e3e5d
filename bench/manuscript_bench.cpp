// SPDX-License-Identifier: GPL-3.0-or-later
// Showing a sermon whose text copy is 1, 10 or 50 MB of Korean text in
// CP949, in the main window shown under the offscreen platform: the time
// from choosing the sermon (the manuscript page's refresh) to the first
// paint of the view, the longest turn of the event loop until the whole
// text is in, the time until then, and that the end can be scrolled to.
// Targets: first paint and every turn under 200 ms. Run:
//   QT_QPA_PLATFORM=offscreen build/bench/manuscript_bench
#include "editing/manuscript_view.h"
#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace verbana;

namespace {

// Notes when the watched widget paints.
class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

void BM_ShowLargeTextCopy(benchmark::State &state)
{
    const qsizetype megabytes = state.range(0);
    QTemporaryDir dir;
    paths::setProgramFolder(dir.path());
    const QString folder = dir.path() + QStringLiteral("/Grace");
    QDir().mkpath(folder + QStringLiteral("/text/d0"));
    {
        xbase::TApolloTable creator;
        store::createSermonTableFile(creator, folder + QStringLiteral("/sul2file.dbf"));
    }
    {
        xbase::TApolloTable table;
        table.DatabaseName = folder;
        table.TableName = QStringLiteral("sul2file.dbf");
        table.Open();
        table.Append();
        table.PutString(store::fDATE1, QByteArrayLiteral("2001.12.31"));
        table.PutString(store::fCONTEXT, QByteArrayLiteral("d0\\sul0.RTF"));
        table.Post();
    }
    const QByteArray line = cp949::encode(QStringLiteral("태초에 하나님이 천지를 창조하시니라. 땅이 혼돈하고 공허하며 "
                                                         "흑암이 깊음 위에 있고 하나님의 영은 수면 위에 운행하시니라."))
                                .bytes
                            + "\r\n";
    {
        QByteArray text;
        while (text.size() < megabytes * 1024 * 1024)
            text += line;
        QFile copy(folder + QStringLiteral("/text/d0/sul0.txt"));
        copy.open(QIODevice::WriteOnly);
        copy.write(text);
    }

    store::CollectionDocument document;
    document.OpenCollection(folder + QStringLiteral("/sul2file.dbf"));
    editing::Tfmverbdesk window(document);
    window.show();
    auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
    auto *view = window.findChild<editing::ManuscriptView *>(QStringLiteral("reManuscript"));
    pages->setCurrentWidget(view->parentWidget());
    PaintWatch watch;
    view->viewport()->installEventFilter(&watch);
    QApplication::processEvents();

    double firstPaint = 0, longestTurn = 0, complete = 0;
    bool reachedEnd = true;
    for (auto _ : state) {
        watch.painted = false;
        QElapsedTimer clock;
        clock.start();
        window.RefreshManuscriptView();
        while (!watch.painted)
            QApplication::processEvents();
        firstPaint = std::max(firstPaint, double(clock.nsecsElapsed()) / 1e6);
        // A timer that fires as often as it can measures each turn.
        QEventLoop loop;
        QElapsedTimer turn;
        turn.start();
        QTimer ticker;
        ticker.setInterval(0);
        QObject::connect(&ticker, &QTimer::timeout, [&] {
            longestTurn = std::max(longestTurn, double(turn.nsecsElapsed()) / 1e6);
            turn.restart();
            if (!view->loading())
                loop.quit();
        });
        ticker.start();
        loop.exec();
        complete = std::max(complete, double(clock.nsecsElapsed()) / 1e6);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        QScrollBar *bar = view->verticalScrollBar();
        bar->setValue(bar->maximum());
        QApplication::processEvents();
        reachedEnd = reachedEnd && bar->value() == bar->maximum()
                     && view->cursorForPosition(QPoint(1, view->viewport()->height() - 2)).blockNumber()
                            >= view->document()->blockCount() - 3;
    }
    state.counters["first_paint_ms"] = firstPaint;
    state.counters["longest_turn_ms"] = longestTurn;
    state.counters["complete_ms"] = complete;
    state.counters["end_reached"] = reachedEnd ? 1 : 0;
    window.unbindCollection();
}

} // namespace

BENCHMARK(BM_ShowLargeTextCopy)->Arg(1)->Arg(10)->Arg(50)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
