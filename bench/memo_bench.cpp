// SPDX-License-Identifier: GPL-3.0-or-later
// Run: QT_QPA_PLATFORM=offscreen build/bench/memo_bench
// The document editor on a 1 MB rich-text manuscript (Korean, bold and
// coloured runs, centred and indented paragraphs): opening the editor until
// it is shown and takes keys (target 300 ms), Save of the RTF and its text
// copy (target 150 ms), and one key press typed into the middle of the
// document with the repaint it causes (target below one frame, 16 ms).
#include "editing/memo_document.h"
#include "editing/tfmmemo.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "richtext/richtext.h"

#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <benchmark/benchmark.h>

using namespace verbana;
using namespace verbana::editing;

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// The manuscript, written once by the editor's own writer.
const QString &manuscript()
{
    static const QString path = [] {
        const QString sentence = QStringLiteral("태초에 하나님이 천지를 창조하시니라. 땅이 혼돈하고 공허하며 흑암이 깊음 위에 있고 "
                                                "하나님의 영은 수면 위에 운행하시니라 (창1:1-2). ");
        QTextDocument doc;
        QTextCursor c(&doc);
        QTextCharFormat plain, bold, red;
        bold.setFontWeight(QFont::Bold);
        red.setForeground(QColor(Qt::red));
        QTextBlockFormat centred, indented;
        centred.setAlignment(Qt::AlignHCenter);
        memo::applyIndents(indented, {20, 10, 0});
        for (int n = 0; n < 1150; ++n) {
            if (n > 0)
                c.insertBlock(n % 9 == 0 ? centred : (n % 4 == 0 ? indented : QTextBlockFormat()));
            c.insertText(QString::number(n) + QStringLiteral(". "), plain);
            c.insertText(sentence, n % 7 == 0 ? bold : plain);
            c.insertText(sentence, n % 11 == 0 ? red : plain);
        }
        const QString p = workDir().filePath(QStringLiteral("manuscript.rtf"));
        (void)richtext::writeRtfFile(doc, p);
        return p;
    }();
    return path;
}

void BM_OpenEditor(benchmark::State &state)
{
    manuscript();
    for (auto _ : state) {
        Tfmmemo w;
        w.loadDocument(manuscript());
        w.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(w.textArea()->hasFocus());
        state.PauseTiming();
        w.hide();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rtf_KiB"] = double(QFileInfo(manuscript()).size()) / 1024;
}
BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_Save(benchmark::State &state)
{
    Tfmmemo w;
    w.loadDocument(manuscript());
    const QString rtf = workDir().filePath(QStringLiteral("saved.rtf"));
    const QString txt = workDir().filePath(QStringLiteral("saved.txt"));
    for (auto _ : state) {
        const memo::SaveOutcome out = memo::saveManuscript(*w.textArea()->document(), rtf, txt);
        if (!out.ok())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->MinTime(3.0);

void BM_TypeOneKey(benchmark::State &state)
{
    Tfmmemo w;
    w.loadDocument(manuscript());
    w.show();
    QApplication::processEvents();
    QTextEdit *edit = w.textArea();
    QTextCursor c = edit->textCursor();
    c.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(c);
    edit->ensureCursorVisible();
    QApplication::processEvents();
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QStringLiteral(u"가"));
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QStringLiteral(u"가"));
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
        edit->viewport()->repaint();
        QApplication::processEvents();
    }
    w.hide();
}
BENCHMARK(BM_TypeOneKey)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    installFontSubstitutions();
    paths::setProgramFolder(workDir().path());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
