// SPDX-License-Identifier: GPL-3.0-or-later
// Checks arbitrary bytes as a ZIP backup and restores what passes, over no
// collection (even input size) or over one that holds files of its own (odd
// size): never a crash, never a name out of the root or two names equal but
// for letter case, nothing written outside the collection, no working
// folder or mark left behind.
#include "backup/zip_archive.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace verbana;

namespace {

class Silent : public Prompter {
public:
    PromptAnswer ask(const PromptRequest &) override { return {}; }
};

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_zip_restore";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir inputs, program;
    static Silent silent;
    static const bool ready = [] {
        paths::setProgramFolder(program.path());
        setPrompter(&silent);
        files::setTrashForTesting([](const QString &path) { return QDir(path).removeRecursively(); });
        // Room for a few MiB: a declared size beyond it is refused before
        // anything is written, so no input makes a big file.
        backup::setFreeSpaceCheck([](const QString &) { return std::optional<uint64_t>(4u << 20); });
        return true;
    }();
    (void)ready;

    const QString archive = inputs.filePath(QStringLiteral("in.zip"));
    put(archive, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    const QString collection = program.filePath(QStringLiteral("Grace"));
    if (size & 1) {
        put(collection + QStringLiteral("/sul2file.dbf"), QByteArrayLiteral("old"));
        put(collection + QStringLiteral("/DATA/d0/sul1.rtf"), QByteArrayLiteral("kept"));
        QDir().mkpath(collection + QStringLiteral("/Text"));
    }

    const Outcome<backup::ZipDirectory> dir = backup::readCollectionArchive(archive);
    if (dir.ok()) {
        QSet<QString> seen;
        for (const backup::ZipEntry &e : dir.value().entries) {
            const QStringList parts = e.relative.split(QLatin1Char('/'));
            if (e.relative.startsWith(QLatin1Char('/')) || parts.contains(QStringLiteral(".."))
                || (!e.folder && e.size < 0))
                std::abort();
            const QString folded = e.relative.toLower() + (e.folder ? QStringLiteral("/") : QString());
            if (!e.folder && seen.contains(folded))
                std::abort(); // two files equal but for letter case
            seen.insert(folded);
        }
        (void)backup::unpackCollection(archive, dir.value(), QStringLiteral("Grace"));
    }

    // Everything left lies in the collection; no working folder, no mark.
    QDirIterator it(program.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        if (const QString p = it.next(); p != collection && !p.startsWith(collection + QLatin1Char('/')))
            std::abort();
    QDir(collection).removeRecursively();
    return 0;
}
