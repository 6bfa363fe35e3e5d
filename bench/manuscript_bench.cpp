// SPDX-License-Identifier: GPL-3.0-or-later
// The manuscript page's refresh (RefreshManuscriptView) of a sermon whose
// text copy is 1 MB of Korean text in CP949, in the main window shown
// under the offscreen platform. Run:
//   QT_QPA_PLATFORM=offscreen build/bench/manuscript_bench
#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace verbana;

namespace {

void BM_RefreshManuscriptView1MB(benchmark::State &state)
{
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
    QByteArray text;
    while (text.size() < 1024 * 1024)
        text += line;
    QFile copy(folder + QStringLiteral("/text/d0/sul0.txt"));
    copy.open(QIODevice::WriteOnly);
    copy.write(text);
    copy.close();

    store::CollectionDocument document;
    document.OpenCollection(folder + QStringLiteral("/sul2file.dbf"));
    editing::Tfmverbdesk window(document);
    window.resize(527, 430);
    window.show();
    for (auto _ : state) {
        window.RefreshManuscriptView();
        QApplication::processEvents();
    }
    state.counters["text_bytes"] = double(text.size());
    window.unbindCollection();
}

} // namespace

BENCHMARK(BM_RefreshManuscriptView1MB)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
