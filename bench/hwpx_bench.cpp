// SPDX-License-Identifier: GPL-3.0-or-later
// Hwp2txt on a generated HWPX document of about 1 MB (a sermon of Korean
// paragraphs with runs, line-layout records, a table every twenty
// paragraphs, as the word processor writes them), against Hwp2txt on each
// binary HWP fixture (and the small HWPX ones): a fresh process per run,
// as the program starts it, and the reader alone in this process.
//
//   build/bench/hwpx_bench [RUNS] [SHARED_DIR]
#include "hwp/document.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <zip.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Words of two to four syllables, chosen with a skew as in real text.
class Words {
public:
    Words()
    {
        for (int i = 0; i < 3000; ++i) {
            QString w;
            const int syllables = 2 + int(next() % 3);
            for (int s = 0; s < syllables; ++s)
                w += QChar(char16_t(0xAC00 + next() % 2350 * 4));
            words_ << w;
        }
    }
    quint32 next() { return state_ = state_ * 1103515245u + 12345u, (state_ >> 8) & 0xFFFFFF; }
    const QString &word()
    {
        const quint32 a = next() % quint32(words_.size()), b = next() % quint32(words_.size());
        return words_[qsizetype(std::min(a, b))];
    }

private:
    quint32 state_ = 20261210u;
    QStringList words_;
};

QByteArray paragraph(Words &w, const QByteArray &inside = {})
{
    QByteArray p = R"(<hp:p id="0" paraPrIDRef="3" styleIDRef="0" pageBreak="0" columnBreak="0" merged="0">)";
    for (int run = 0; run < 3; ++run) {
        QString text;
        const int words = 8 + int(w.next() % 12);
        for (int i = 0; i < words; ++i)
            text += w.word() + (i + 1 < words ? QStringLiteral(" ") : QStringLiteral(". "));
        p += R"(<hp:run charPrIDRef=")" + QByteArray::number(run) + R"("><hp:t>)" + text.toUtf8() + "</hp:t></hp:run>";
    }
    if (!inside.isEmpty())
        p += R"(<hp:run charPrIDRef="0">)" + inside + "<hp:t/></hp:run>";
    p += "<hp:linesegarray>";
    for (int line = 0; line < 4; ++line)
        p += R"(<hp:lineseg textpos=")" + QByteArray::number(line * 45) + R"(" vertpos=")"
             + QByteArray::number(line * 1600)
             + R"(" vertsize="1000" textheight="1000" baseline="850" spacing="600" horzpos="0" horzsize="42520" )"
               R"(flags="393216"/>)";
    return p + "</hp:linesegarray></hp:p>";
}

QByteArray table(Words &w)
{
    QByteArray t = R"(<hp:tbl id="1" rowCnt="3" colCnt="3" cellSpacing="0" borderFillIDRef="3">)";
    for (int r = 0; r < 3; ++r) {
        t += "<hp:tr>";
        for (int c = 0; c < 3; ++c)
            t += R"(<hp:tc borderFillIDRef="4"><hp:subList id="" textDirection="HORIZONTAL" vertAlign="CENTER">)"
                 + paragraph(w) + R"(</hp:subList><hp:cellAddr colAddr=")" + QByteArray::number(c) + R"(" rowAddr=")"
                 + QByteArray::number(r) + R"("/></hp:tc>)";
        t += "</hp:tr>";
    }
    return t + "</hp:tbl>";
}

QByteArray section(int paragraphs)
{
    Words w;
    QByteArray s = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes" ?>)"
                   R"(<hs:sec xmlns:hs="http://www.hancom.co.kr/hwpml/2011/section" )"
                   R"(xmlns:hp="http://www.hancom.co.kr/hwpml/2011/paragraph">)";
    for (int i = 0; i < paragraphs; ++i)
        s += paragraph(w, i % 20 == 19 ? table(w) : QByteArray());
    return s + "</hs:sec>";
}

bool writePackage(const QString &path, const QByteArray &sectionXml)
{
    int error = 0;
    zip_t *za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!za)
        return false;
    const QByteArray hpf = R"(<?xml version="1.0" encoding="UTF-8"?>)"
                           R"(<opf:package xmlns:opf="http://www.idpf.org/2007/opf/">)"
                           R"(<opf:metadata><opf:title>설교</opf:title></opf:metadata></opf:package>)";
    const std::pair<const char *, const QByteArray *> parts[] = {
        {"mimetype", nullptr}, {"Contents/content.hpf", &hpf}, {"Contents/section0.xml", &sectionXml}};
    static const QByteArray mime = "application/hwp+zip";
    for (const auto &[name, data] : parts) {
        const QByteArray &bytes = data ? *data : mime;
        zip_source_t *src = zip_source_buffer(za, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t at = src ? zip_file_add(za, name, src, ZIP_FL_OVERWRITE) : -1;
        if (at < 0 || (!data && zip_set_file_compression(za, zip_uint64_t(at), ZIP_CM_STORE, 0) != 0)) {
            zip_discard(za);
            return false;
        }
    }
    return zip_close(za) == 0;
}

struct Times {
    double min = 0, median = 0;
};

Times summary(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms.front(), ms[ms.size() / 2]};
}

// A fresh converter per run, in the work folder, as the program runs it.
Times converter(const QString &document, const QString &workName, int runs)
{
    QTemporaryDir work;
    QFile::copy(document, work.filePath(workName));
    std::vector<double> ms;
    for (int i = 0; i <= runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        QProcess p;
        p.setWorkingDirectory(work.path());
        p.start(QStringLiteral(HWP2TXT_PATH), {workName, QStringLiteral("convhwp.txt"), QStringLiteral("/ks")});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            return {-1, -1};
        if (i > 0) // the first run warms the caches
            ms.push_back(double(clock.nsecsElapsed()) / 1e6);
    }
    return summary(ms);
}

Times inProcess(const QByteArray &bytes, int runs, qsizetype &textChars)
{
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        auto text = verbana::hwp::readHwpText(QByteArrayView(bytes));
        ms.push_back(double(clock.nsecsElapsed()) / 1e6);
        textChars = text.ok() ? text.value().size() : -1;
    }
    return summary(ms);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    const QString shared = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral(VERBANA_SHARED_DIR);

    QFile load(QStringLiteral("/proc/loadavg"));
    if (load.open(QIODevice::ReadOnly))
        std::printf("load average: %s", load.readAll().constData());

    // About 1 MB of package: the paragraph count scaled until it is reached.
    QTemporaryDir dir;
    const QString hwpx = dir.filePath(QStringLiteral("sermon.hwpx"));
    int paragraphs = 1000;
    QByteArray xml;
    for (int round = 0; round < 4; ++round) {
        xml = section(paragraphs);
        if (!writePackage(hwpx, xml))
            return 1;
        const qint64 size = QFileInfo(hwpx).size();
        if (size >= 1000 * 1000 && size < 1100 * 1000)
            break;
        paragraphs = int(double(paragraphs) * 1.03e6 / double(size));
    }
    QFile in(hwpx);
    (void)in.open(QIODevice::ReadOnly);
    const QByteArray package = in.readAll();
    qsizetype chars = 0;
    const Times reader = inProcess(package, runs, chars);
    const Times process = converter(hwpx, QStringLiteral("convhwp.hwpx"), runs);
    std::printf("HWPX %lld bytes (%d paragraphs, %lld bytes of XML, %lld characters of text), %d runs\n",
                qlonglong(package.size()), paragraphs, qlonglong(xml.size()), qlonglong(chars), runs);
    std::printf("  Hwp2txt process  min %7.1f ms  median %7.1f ms\n", process.min, process.median);
    std::printf("  reader alone     min %7.1f ms  median %7.1f ms\n", reader.min, reader.median);

    std::printf("the binary HWP fixtures, then the HWPX ones, %d runs each:\n", runs);
    QStringList fixtures;
    QDirIterator it(shared + QStringLiteral("/fixtures"), {QStringLiteral("*.hwp"), QStringLiteral("*.hwpx")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains(QLatin1String("/damaged/")))
            fixtures << f;
    }
    fixtures.sort();
    for (const QString &f : fixtures) {
        QFile file(f);
        (void)file.open(QIODevice::ReadOnly);
        const QByteArray bytes = file.readAll();
        const Times r = inProcess(bytes, runs, chars);
        if (chars < 0)
            continue; // one the converter refuses (a password)
        const Times p = converter(f, f.endsWith(QLatin1String(".hwpx")) ? QStringLiteral("convhwp.hwpx")
                                                                         : QStringLiteral("convhwp.hwp"),
                                  runs);
        std::printf("  %-36s %7lld bytes %7lld chars  process median %6.1f ms  reader median %7.3f ms\n",
                    qPrintable(QDir(shared + QStringLiteral("/fixtures")).relativeFilePath(f)), qlonglong(bytes.size()),
                    qlonglong(chars), p.median, r.median);
    }
    return 0;
}
