// SPDX-License-Identifier: GPL-3.0-or-later
// Figures of the batch import and the merge, each run once on generated
// files (read once beforehand, so they are cached):
//   - 1,000 TXT and RTF files of 5-30 KB imported (files per second);
//   - 100 HWP files (the shared fixtures, repeated) through Hwp2txt (per file);
//   - a collection of 10,000 sermons with their manuscripts and text copies
//     merged into another, against `cp -r` of its data and text folders.
// Run: QT_QPA_PLATFORM=offscreen build/bench/exchange_bench [../shared [merge]]
#include "exchange/batch_import.h"
#include "exchange/merge_extract.h"
#include "platform/paths.h"
#include "store/collection_document.h"
#include "store/convert_hwp.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>

#include <sys/resource.h>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace verbana;

namespace {

// A new empty collection, opened by its document.
std::unique_ptr<store::CollectionDocument> makeCollection(const QString &folder)
{
    QDir().mkpath(folder + QStringLiteral("/data"));
    QDir().mkpath(folder + QStringLiteral("/text"));
    {
        xbase::TApolloTable creator;
        store::createSermonTableFile(creator, folder + QStringLiteral("/sul2file.dbf"));
    }
    auto document = std::make_unique<store::CollectionDocument>();
    document->OpenCollection(folder + QStringLiteral("/sul2file.dbf"));
    return document;
}

QByteArray sermonText(int bytes, quint32 seed)
{
    QRandomGenerator random(seed);
    static const QByteArray words[] = {"\xc7\xcf\xb3\xaa\xb4\xd4", "\xbb\xe7\xb6\xfb", "grace", "\xb1\xe2\xb5\xb5",
                                       "\xb9\xcf\xc0\xbd", "word"};
    QByteArray text;
    while (text.size() < bytes) {
        text += words[random.bounded(6)];
        text += random.bounded(12) == 0 ? "\r\n" : " ";
    }
    return text;
}

void touchAll(const QStringList &files)
{
    qint64 sum = 0;
    for (const QString &f : files) {
        QFile file(f);
        if (file.open(QIODevice::ReadOnly))
            sum += file.readAll().size();
    }
    std::printf("  (%lld bytes read once beforehand)\n", static_cast<long long>(sum));
}

void textImport(const QString &base)
{
    QDir().mkpath(base + QStringLiteral("/src"));
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        const int size = 5000 + int(QRandomGenerator(i).bounded(25000));
        QByteArray body = sermonText(size, quint32(i));
        QString name = QStringLiteral("%1/src/sermon%2.%3").arg(base).arg(i).arg(i % 2 ? QStringLiteral("rtf")
                                                                                         : QStringLiteral("txt"));
        if (i % 2)
            body = "{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f0\\fcharset129 Gulim;}}\\f0\\fs20 "
                   + body.replace("\r\n", "\\par\r\n") + "\\par}";
        QFile f(name);
        f.open(QIODevice::WriteOnly);
        f.write(body);
        files << name;
    }
    touchAll(files);
    auto table = makeCollection(base + QStringLiteral("/TextImport"));
    QElapsedTimer timer;
    timer.start();
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Text, *table, files);
    const double s = timer.nsecsElapsed() / 1e9;
    std::printf("TXT/RTF import: %d files in %.2f s = %.0f files/s (failed %lld)\n", outcome.imported, s,
                outcome.imported / s, static_cast<long long>(outcome.failed.size()));
}

void hwpImport(const QString &base, const QString &shared)
{
    QStringList sources;
    QDirIterator it(shared + QStringLiteral("/fixtures/hwp"), {QStringLiteral("*.hwp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString f = it.next();
        if (!f.contains(QStringLiteral("/damaged/")))
            sources << f;
    }
    if (sources.isEmpty()) {
        std::printf("HWP import: skipped, no fixtures under %s\n", qPrintable(shared));
        return;
    }
    QDir().mkpath(base + QStringLiteral("/hwp"));
    QStringList files;
    for (int i = 0; i < 100; ++i) {
        const QString to = QStringLiteral("%1/hwp/doc%2.hwp").arg(base).arg(i);
        QFile::copy(sources[i % sources.size()], to);
        files << to;
    }
    touchAll(files);
    store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH));
    auto table = makeCollection(base + QStringLiteral("/HwpImport"));
    QElapsedTimer timer;
    timer.start();
    const auto outcome = exchange::runBatchImport(exchange::ImportKind::Hwp, *table, files);
    const double s = timer.nsecsElapsed() / 1e9;
    std::printf("HWP import: %d files in %.2f s = %.1f ms per file (failed %lld)\n", outcome.imported, s,
                1000 * s / std::max(outcome.imported, 1), static_cast<long long>(outcome.failed.size()));
}

// User and system time of this process or of its finished children.
double cpuSeconds(int who)
{
    rusage u{};
    getrusage(who, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void merge(const QString &base)
{
    const QString source = base + QStringLiteral("/Source");
    {
        auto document = makeCollection(source);
        xbase::TApolloTable *t = &document->table();
        t->BeginAppendBatch();
        for (int i = 0; i < 10000; ++i) {
            const QString k = QStringLiteral("d%1").arg(i / 1000);
            const QString name = QStringLiteral("%1/sul%2").arg(k).arg(i);
            if (i % 1000 == 0) {
                QDir().mkpath(source + QStringLiteral("/data/") + k);
                QDir().mkpath(source + QStringLiteral("/text/") + k);
            }
            const QByteArray text = sermonText(2000 + i % 3000, quint32(i));
            QFile data(source + QStringLiteral("/data/") + name + QStringLiteral(".RTF"));
            data.open(QIODevice::WriteOnly);
            data.write("{\\rtf1\\ansi " + text + "}");
            QFile copy(source + QStringLiteral("/text/") + name + QStringLiteral(".txt"));
            copy.open(QIODevice::WriteOnly);
            copy.write(text);
            t->Append();
            t->PutString(store::fTITLE1, "sermon " + QByteArray::number(i));
            t->PutString(store::fDATE1, "2001.01.01");
            t->PutString(store::fCONTEXT, (k + QStringLiteral("\\sul%1.RTF").arg(i)).toLatin1());
            t->Post();
        }
        t->CommitAppendBatch();
    }
    QStringList all;
    QDirIterator it(source, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    touchAll(all);

    QDir().mkpath(base + QStringLiteral("/cp-target"));
    QElapsedTimer timer;
    timer.start();
    QProcess::execute(QStringLiteral("sync"), {});
    timer.start();
    const double cpCpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QProcess::execute(QStringLiteral("cp"), {QStringLiteral("-r"), source + QStringLiteral("/data"),
                                             source + QStringLiteral("/text"), base + QStringLiteral("/cp-target")});
    const double cpWritten = timer.nsecsElapsed() / 1e9;
    const double cpCpu = cpuSeconds(RUSAGE_CHILDREN) - cpCpuBefore;
    QProcess::execute(QStringLiteral("sync"), {});
    const double cp = timer.nsecsElapsed() / 1e9;

    auto table = makeCollection(base + QStringLiteral("/Target"));
    QProcess::execute(QStringLiteral("sync"), {});
    timer.restart();
    const double mergeCpuBefore = cpuSeconds(RUSAGE_SELF);
    const auto outcome = exchange::mergeCollection(*table, source);
    const double mWritten = timer.nsecsElapsed() / 1e9;
    const double mergeCpu = cpuSeconds(RUSAGE_SELF) - mergeCpuBefore;
    QProcess::execute(QStringLiteral("sync"), {});
    const double m = timer.nsecsElapsed() / 1e9;
    // With the disk's write-back included (sync) and without it: the first
    // is what the user waits for in the end, the second what the program
    // itself costs.
    std::printf("merge of 10,000 sermons: %.2f s (merged %d); cp -r of the same files: %.2f s; ratio %.2f\n", m,
                outcome.merged, cp, m / cp);
    std::printf("  before sync: merge %.2f s, cp -r %.2f s, ratio %.2f\n", mWritten, cpWritten, mWritten / cpWritten);
    // Processor time (user and system) hardly depends on what else the
    // machine does: the figure to compare on a busy machine.
    std::printf("  processor time: merge %.2f s, cp -r %.2f s, ratio %.2f\n", mergeCpu, cpCpu, mergeCpu / cpCpu);
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const QString shared = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(VERBANA_SHARED_DIR);
    QTemporaryDir dir;
    paths::setProgramFolder(dir.path());
    // "merge" as the second argument runs the merge alone.
    const bool mergeOnly = argc > 2 && qstrcmp(argv[2], "merge") == 0;
    if (!mergeOnly) {
        textImport(dir.path());
        hwpImport(dir.path(), shared);
    }
    merge(dir.path());
    return 0;
}
