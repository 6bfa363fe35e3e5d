// SPDX-License-Identifier: GPL-3.0-or-later
// Run: QT_QPA_PLATFORM=offscreen build/bench/spell_bench
// Spelling in the document editor on a manuscript of 100,000 words drawn
// from the installed Korean dictionary with particles added, one in twenty
// misspelled; the first two with checking off (/0) and on (/1):
// - Open: the editor opened on it with checking on and a checker whose
//   dictionary is not loaded yet, until it is shown and takes keys (target
//   300 ms); then, while the worker loads the dictionary and checks every
//   word, the longest turn of the event loop (target 50 ms), the time until
//   the words in view are marked and until the whole text is checked.
// - TypeOneKey: one key typed into the middle with its repaint and the
//   marks made again (target below one frame, 16 ms); marks_in_view counts
//   the words marked in view at the end.
// - Suggest: the suggestions of a misspelled word, on the worker.
#include "editing/spell_checker.h"
#include "editing/spell_marks.h"
#include "editing/tfmmemo.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "richtext/richtext.h"
#include "settings/profile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace verbana;
using namespace verbana::editing;

namespace {

constexpr int kWords = 100000;

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

std::shared_ptr<spelling::SpellChecker> freshChecker()
{
    return std::make_shared<spelling::SpellChecker>(spelling::findDictionaries(spelling::dictionaryFolders()),
                                                    workDir().filePath(QStringLiteral("words.txt")));
}

// The manuscript, written once by the editor's own writer.
const QString &manuscript()
{
    static const QString path = [] {
        // Dictionary entries (the forms of nouns take a particle that fits
        // their last syllable), so that what is not altered is mostly correct.
        QFile dic(spelling::findDictionaries(spelling::dictionaryFolders()).koreanDic);
        QStringList stems;
        QList<bool> nouns;
        if (dic.open(QIODevice::ReadOnly))
            for (const QByteArray &line : dic.readAll().split('\n')) {
                const QString stem = QString::fromUtf8(line.left(line.indexOf('/')));
                const QByteArray flag = line.mid(line.indexOf('/') + 1).trimmed();
                spelling::Language language;
                if (stem.size() >= 2 && spelling::languageOf(stem, language)) {
                    stems << stem;
                    nouns << (flag == "10" || flag == "25");
                }
            }
        if (stems.isEmpty()) {
            stems << QStringLiteral("말씀");
            nouns << true;
        }
        const QString closed[] = {QStringLiteral("을"), QStringLiteral("이"), QStringLiteral("은"), QStringLiteral("의")};
        const QString open[] = {QStringLiteral("를"), QStringLiteral("가"), QStringLiteral("는"), QStringLiteral("의")};
        QRandomGenerator rng(7);
        QTextDocument doc;
        QTextCursor c(&doc);
        QString paragraph;
        for (int n = 0; n < kWords; ++n) {
            const qsizetype pick = rng.bounded(qsizetype(stems.size()));
            QString word = stems[pick];
            if (nouns[pick] && rng.bounded(2) == 0) {
                const char16_t last = word.back().unicode();
                const bool batchim = last >= 0xAC00 && last <= 0xD7A3 && (last - 0xAC00) % 28 != 0;
                word += (batchim ? closed : open)[rng.bounded(4)];
            }
            if (n % 20 == 0) // a syllable changed: most become misspellings
                word[0] = QChar(0xAC00 + rng.bounded(11172));
            paragraph += word + (n % 12 == 11 ? QStringLiteral(". ") : QStringLiteral(" "));
            if (n % 60 == 59) {
                c.insertText(paragraph);
                c.insertBlock();
                paragraph.clear();
            }
        }
        c.insertText(paragraph);
        const QString p = workDir().filePath(QStringLiteral("manuscript.rtf"));
        (void)richtext::writeRtfFile(doc, p);
        return p;
    }();
    return path;
}

// The window thread's own processor time, in ms.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
double longestCpuTurn = 0;

// Runs the event loop until `done`, measuring the longest turn with a
// timer that fires as often as it can: in wall time (returned) and in the
// window thread's processor time (longestCpuTurn), which other programs
// running beside it do not lengthen.
double longestTurnUntil(const std::function<bool()> &done, double &took)
{
    QElapsedTimer clock, turn;
    clock.start();
    turn.start();
    double longest = 0;
    QEventLoop loop;
    QTimer ticker;
    ticker.setInterval(0);
    double cpu = threadCpuMs();
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longest = std::max(longest, double(turn.nsecsElapsed()) / 1e6);
        turn.restart();
        const double now = threadCpuMs();
        longestCpuTurn = std::max(longestCpuTurn, now - cpu);
        cpu = now;
        if (done())
            loop.quit();
    });
    ticker.start();
    loop.exec();
    took = double(clock.nsecsElapsed()) / 1e6;
    return longest;
}

// Checking off (0) or on (1), as the setting says.
void setChecking(bool on)
{
    settings::Profile(settings::iniPath()).writeBool(QStringLiteral("문서편집기"), QStringLiteral("맞춤법검사"), on);
}

void BM_Open(benchmark::State &state)
{
    manuscript();
    const bool on = state.range(0) != 0;
    setChecking(on);
    double longest = 0, marked = 0, checked = 0, open = 0;
    longestCpuTurn = 0;
    for (auto _ : state) {
        spelling::SpellChecker::replaceShared(freshChecker());
        QElapsedTimer clock;
        clock.start();
        auto w = std::make_unique<Tfmmemo>();
        w->loadDocument(manuscript());
        w->show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w->textArea()->hasFocus());
        open = std::max(open, double(clock.nsecsElapsed()) / 1e6);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        double took = 0;
        if (on) {
            longest = std::max(longest, longestTurnUntil([&] { return !w->spellMarks()->markedWords().isEmpty(); }, took));
            marked = std::max(marked, took + open);
            longest = std::max(longest, longestTurnUntil([&] { return w->spellMarks()->checker()->idle(); }, took));
            checked = std::max(checked, took + marked);
        } else {
            // The editor's own work after opening (the layout of the rest).
            QElapsedTimer after;
            after.start();
            longest = std::max(longest, longestTurnUntil([&] { return after.elapsed() > 3000; }, took));
        }
        w->textArea()->document()->setModified(false);
        w->hide();
        w.reset();
        spelling::SpellChecker::replaceShared(nullptr);
    }
    state.counters["open_ms"] = open;
    state.counters["longest_turn_ms"] = longest;
    state.counters["longest_turn_cpu_ms"] = longestCpuTurn;
    if (on) {
        state.counters["marked_ms"] = marked;
        state.counters["all_checked_ms"] = checked;
        state.counters["words_per_s"] = kWords / ((checked - open) / 1000);
    }
    state.counters["rtf_KiB"] = double(QFileInfo(manuscript()).size()) / 1024;
}
BENCHMARK(BM_Open)->Arg(0)->Arg(1)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_TypeOneKey(benchmark::State &state)
{
    setChecking(state.range(0) != 0);
    spelling::SpellChecker::replaceShared(freshChecker());
    Tfmmemo w;
    w.loadDocument(manuscript());
    w.show();
    double took = 0;
    longestTurnUntil([&] { return w.spellMarks()->checker()->idle(); }, took);
    QTextEdit *edit = w.textArea();
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    QApplication::processEvents();
    int n = 0;
    for (auto _ : state) {
        // Words as a preacher types them: "말씀을 " again and again.
        const QString key = QStringLiteral(u"말씀을 ").mid(n++ % 4, 1);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, key);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, key);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
        QApplication::processEvents();
        edit->viewport()->repaint();
    }
    state.counters["marks_in_view"] = double(w.spellMarks()->markedWords().size());
    edit->document()->setModified(false);
    w.hide();
    spelling::SpellChecker::replaceShared(nullptr);
}
BENCHMARK(BM_TypeOneKey)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_Suggest(benchmark::State &state)
{
    auto checker = freshChecker();
    (void)checker->suggestions(QStringLiteral("셜교"), spelling::Language::Korean); // loads the dictionary
    // Each word once: the checker keeps what it suggested.
    const QString words[] = {QStringLiteral("됬다"), QStringLiteral("안되요"), QStringLiteral("했읍니다"),
                             QStringLiteral("몇일"), QStringLiteral("어떻해"), QStringLiteral("웬지")};
    double longest = 0, total = 0;
    for (auto _ : state)
        for (const QString &word : words) {
            QElapsedTimer clock;
            clock.start();
            benchmark::DoNotOptimize(checker->suggestions(word, spelling::Language::Korean));
            const double ms = double(clock.nsecsElapsed()) / 1e6;
            longest = std::max(longest, ms);
            total += ms;
        }
    state.counters["mean_ms"] = total / std::size(words);
    state.counters["longest_ms"] = longest;
}
BENCHMARK(BM_Suggest)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    paths::setProgramFolder(workDir().path());
    if (!spelling::findDictionaries(spelling::dictionaryFolders()).korean()) {
        std::fprintf(stderr, "hunspell-ko is not installed\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
