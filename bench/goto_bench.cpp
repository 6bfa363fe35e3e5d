// SPDX-License-Identifier: GPL-3.0-or-later
// The go-to search over a generated table of 100,000 sermons (made by
// engine_bench --make-table) in title order, with a word no sermon holds,
// so every sermon is passed: the walk of the search logic, and the whole
// command as the 찾기 button runs it in the main window, the list frozen
// and thawed once. Run:
//   QT_QPA_PLATFORM=offscreen build/bench/goto_bench
#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "search/goto_search.h"
#include "search/ui/goto_commands.h"
#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace verbana;

namespace {

constexpr int kSermons = 100000;

// The collection folder, made once: the table with its tags and the
// text\ folder (no text copies: the manuscript walk looks and passes).
QString collection()
{
    static QTemporaryDir dir;
    static bool made = false;
    if (!made) {
        made = true;
        const QString folder = dir.path() + QStringLiteral("/Grace");
        QDir().mkpath(folder + QStringLiteral("/text/d0"));
        const QString maker = QCoreApplication::applicationDirPath() + QStringLiteral("/engine_bench");
        if (QProcess::execute(maker, {QStringLiteral("--make-table"), QString::number(kSermons), folder}) != 0)
            qFatal("engine_bench --make-table failed");
        paths::setProgramFolder(dir.path());
    }
    return dir.path() + QStringLiteral("/Grace");
}

std::unique_ptr<xbase::TApolloTable> openInTitleOrder()
{
    auto t = std::make_unique<xbase::TApolloTable>();
    t->DatabaseName = collection();
    t->TableName = QStringLiteral("sul2file.dbf");
    t->Open();
    t->SetOrder(t->TagArea("title1"));
    return t;
}

void walk(benchmark::State &state, int item)
{
    auto t = openInTitleOrder();
    search::GoToQuery query;
    query.item = item;
    query.word = search::searchWord(QStringLiteral("없는 말씀"));
    query.paths = store::CollectionPaths(collection());
    for (auto _ : state) {
        t->GoTop();
        benchmark::DoNotOptimize(search::findNext(*t, query));
    }
    state.counters["sermons"] = double(t->Count());
    state.counters["at_recno"] = double(t->RecNo());
}
void BM_GoToNothing_TitleField_Walk(benchmark::State &state) { walk(state, 2); }
void BM_GoToNothing_Summary_Walk(benchmark::State &state) { walk(state, 13); }
void BM_GoToNothing_Manuscripts_NoTextCopies_Walk(benchmark::State &state) { walk(state, search::kManuscriptItem); }

// Answers every question 아니오, as the user who is told that nothing more
// was found.
class AnswerNo final : public Prompter {
public:
    PromptAnswer ask(const PromptRequest &request) override
    {
        last = request.text;
        ++asked;
        return {};
    }
    QString last;
    int asked = 0;
};

void BM_GoToNothing_TitleField_Window(benchmark::State &state)
{
    store::CollectionDocument document;
    document.OpenCollection(collection() + QStringLiteral("/sul2file.dbf"));
    xbase::TApolloTable *t = &document.table();
    t->SetOrder(t->TagArea("title1"));
    t->GoTop();
    AnswerNo no;
    Prompter *previous = setPrompter(&no);
    {
        editing::Tfmverbdesk window(document);
        auto *goTo = new search::ui::GoToCommands(window);
        window.show();
        window.findChild<QLineEdit *>(QStringLiteral("eFindGo"))->setText(QStringLiteral("없는 말씀"));
        QApplication::processEvents();
        for (auto _ : state) {
            state.PauseTiming();
            t->GoTop();
            QApplication::processEvents();
            state.ResumeTiming();
            goTo->GoToNext();
        }
        // Every pass ran to the last sermon and asked whether to turn back.
        if (no.asked != int(state.iterations()) || !no.last.startsWith(QStringLiteral("찾으시는 내용이")))
            state.SkipWithError("the search did not run off the end");
        state.counters["at_recno"] = double(t->RecNo());
        window.unbindCollection();
    }
    setPrompter(previous);
}

} // namespace

BENCHMARK(BM_GoToNothing_TitleField_Walk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoToNothing_Summary_Walk)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GoToNothing_Manuscripts_NoTextCopies_Walk)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_GoToNothing_TitleField_Window)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
