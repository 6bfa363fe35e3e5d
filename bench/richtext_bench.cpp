// SPDX-License-Identifier: GPL-3.0-or-later
// Run: build/bench/richtext_bench
// The plain text of a 1 MB manuscript as RichEdit writes it (Korean as
// \'hh pairs, a \par per paragraph, some bold and colour), timed three
// ways on the same file: in process (file read + conversion), through
// `verbana-cli rtf2txt FILE OUT` as a process (CP949 file, replaced safely
// with a sync) and `verbana-cli rtf2txt FILE` (UTF-8 to standard output),
// beside `unrtf --text FILE`; standard output goes to /dev/null. The target is the CLI at most as
// slow as unrtf. Reading the whole document and writing it back are timed
// too.
#include "richtext/richtext.h"

#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <memory>

using namespace verbana::richtext;

namespace {

QTemporaryDir &workDir()
{
    static QTemporaryDir dir;
    return dir;
}

// A RichEdit-style manuscript of at least one megabyte.
const QString &manuscript()
{
    static const QString path = [] {
        const QByteArray sentence = QStringLiteral("태초에 하나님이 천지를 창조하시니라. 땅이 혼돈하고 공허하며 흑암이 깊음 위에 있고 "
                                                   "하나님의 영은 수면 위에 운행하시니라 (Genesis 1:1-2).")
                                        .toUtf8();
        QByteArray cp949;
        for (QChar c : QString::fromUtf8(sentence)) {
            QTextDocument d;
            d.setPlainText(QString(c));
            cp949 += plainText(d).bytes.chopped(2);
        }
        QByteArray body;
        for (char ch : cp949) {
            const auto b = static_cast<unsigned char>(ch);
            if (b >= 0x80)
                body += "\\'" + QByteArray::number(b, 16);
            else
                body += ch;
        }
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg949\\deff0\\nouicompat\\deflang1033\\deflangfe1042{\\fonttbl{\\f0\\fnil"
                         "\\fcharset129 \\'b1\\'bc\\'b8\\'b2;}}\r\n{\\colortbl ;\\red0\\green0\\blue255;}\r\n"
                         "{\\*\\generator Riched20 10.0.17134}\\viewkind4\\uc1 \r\n\\pard\\f0\\fs22\\lang1042 ";
        for (int n = 0; rtf.size() < 1024 * 1024; ++n) {
            rtf += QByteArray::number(n) + ". ";
            if (n % 7 == 0)
                rtf += "\\b ";
            rtf += body;
            if (n % 7 == 0)
                rtf += "\\b0 ";
            if (n % 11 == 0)
                rtf += "\\cf1 ";
            rtf += body;
            if (n % 11 == 0)
                rtf += "\\cf0 ";
            rtf += "\\par\r\n";
            if (n % 5 == 0)
                rtf += "\\par\r\n";
        }
        rtf += "}\r\n";
        const QString p = workDir().filePath(QStringLiteral("manuscript.rtf"));
        QFile f(p);
        if (f.open(QIODevice::WriteOnly))
            f.write(rtf);
        return p;
    }();
    return path;
}

QByteArray manuscriptBytes()
{
    QFile f(manuscript());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void runProcess(benchmark::State &state, const QString &program, const QStringList &args)
{
    if (program.isEmpty()) {
        state.SkipWithError("program not found");
        return;
    }
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(QProcess::nullDevice());
        p.start(program, args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("the program failed");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFile(manuscript()).size());
}

void BM_PlainTextInProcess(benchmark::State &state)
{
    const QString path = manuscript();
    for (auto _ : state) {
        PlainText t;
        if (!plainTextOfFile(path, t).ok()) {
            state.SkipWithError("read failed");
            return;
        }
        benchmark::DoNotOptimize(t.bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}
BENCHMARK(BM_PlainTextInProcess)->Unit(benchmark::kMillisecond);

void BM_VerbanaCliRtf2txt(benchmark::State &state)
{
    runProcess(state, QStringLiteral(VERBANA_CLI_PATH),
               {QStringLiteral("rtf2txt"), manuscript(), workDir().filePath(QStringLiteral("out.txt"))});
}
BENCHMARK(BM_VerbanaCliRtf2txt)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_VerbanaCliRtf2txtStdout(benchmark::State &state)
{
    runProcess(state, QStringLiteral(VERBANA_CLI_PATH), {QStringLiteral("rtf2txt"), manuscript()});
}
BENCHMARK(BM_VerbanaCliRtf2txtStdout)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UnrtfText(benchmark::State &state)
{
    runProcess(state, QStandardPaths::findExecutable(QStringLiteral("unrtf")), {QStringLiteral("--text"), manuscript()});
}
BENCHMARK(BM_UnrtfText)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadDocument(benchmark::State &state)
{
    const QByteArray rtf = manuscriptBytes();
    for (auto _ : state) {
        QTextDocument doc;
        readRtf(rtf, doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_ReadDocument)->Unit(benchmark::kMillisecond);

void BM_WriteDocument(benchmark::State &state)
{
    QTextDocument doc;
    readRtf(manuscriptBytes(), doc);
    for (auto _ : state)
        benchmark::DoNotOptimize(toRtf(doc).size());
}
BENCHMARK(BM_WriteDocument)->Unit(benchmark::kMillisecond);

// Documents of about 6 MB that stress one structure each: a font table of
// 200,000 entries (and a body switching between them), a colour table of
// 200,000, 300,000 small groups, nested groups, a million \par, 750,000
// \uN escapes. Conversion must stay linear in the size.
enum Hostile { FontTable, ColorTable, SmallGroups, NestedGroups, ParRun, UnicodeRun };

QByteArray hostile(int kind)
{
    constexpr qsizetype Size = 6 * 1000 * 1000;
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg949\\deff0";
    QByteArray body;
    switch (kind) {
    case FontTable:
    case SmallGroups: {
        rtf += "{\\fonttbl";
        const int fonts = kind == FontTable ? 200000 : 1000;
        for (int i = 0; i < fonts; ++i)
            rtf += "{\\f" + QByteArray::number(i) + "\\fcharset129 F" + QByteArray::number(i) + ";}";
        rtf += "}";
        for (int i = 0; rtf.size() + body.size() < Size + 200000; ++i)
            body += kind == FontTable ? "\\f" + QByteArray::number(i * 7919 % fonts) + " x" : QByteArray("{\\b x}");
        break;
    }
    case ColorTable:
        rtf += "{\\colortbl ;";
        for (int i = 0; i < 200000; ++i)
            rtf += "\\red" + QByteArray::number(i % 256) + "\\green" + QByteArray::number(i / 256 % 256) + "\\blue1;";
        rtf += "}";
        for (int i = 0; rtf.size() + body.size() < Size; ++i)
            body += "\\cf" + QByteArray::number(i * 7919 % 200000) + " x";
        break;
    case NestedGroups:
        while (body.size() < Size / 2)
            body += QByteArray(400, '{') + "\\b x" + QByteArray(400, '}');
        break;
    case ParRun:
        body = QByteArray("\\par ").repeated(Size / 5);
        break;
    case UnicodeRun:
        body = QByteArray("\\u45796?").repeated(Size / 8);
        break;
    }
    return rtf + "\\pard " + body + "\\par}";
}

const char *const hostileNames[] = {"font table", "colour table", "small groups", "nested groups", "par run",
                                    "unicode run"};

void BM_HostilePlainText(benchmark::State &state)
{
    const QByteArray rtf = hostile(int(state.range(0)));
    state.SetLabel(hostileNames[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(plainTextOf(rtf).bytes.size());
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_HostilePlainText)->DenseRange(FontTable, UnicodeRun)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_HostileDocument(benchmark::State &state)
{
    const QByteArray rtf = hostile(int(state.range(0)));
    state.SetLabel(hostileNames[state.range(0)]);
    for (auto _ : state) {
        QTextDocument doc;
        readRtf(rtf, doc);
        benchmark::DoNotOptimize(doc.blockCount());
    }
    state.SetBytesProcessed(state.iterations() * rtf.size());
}
BENCHMARK(BM_HostileDocument)->DenseRange(FontTable, UnicodeRun)->Unit(benchmark::kMillisecond)->Iterations(1);

// Writing back what the reader made of each: every run of the colour table
// document has a colour of its own.
void BM_HostileWrite(benchmark::State &state)
{
    QTextDocument doc;
    readRtf(hostile(int(state.range(0))), doc);
    state.SetLabel(hostileNames[state.range(0)]);
    for (auto _ : state)
        benchmark::DoNotOptimize(toRtf(doc).size());
}
BENCHMARK(BM_HostileWrite)->DenseRange(FontTable, UnicodeRun)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
