// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a foreign table with its memo file and, when it
// is taken for a Biblora sermon table or a Notavia note file, imports it
// into a fresh collection. Byte 0: low bit = the Notavia name (NOTE1.DBF)
// rather than the Biblora one (SULGYO.DBF); bytes 1-2: where the memo file
// starts. Never a crash; the foreign files are never changed.
#include "exchange/foreign_tables.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
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
    QFile f(path);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(bytes);
}

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    static int argc = 1;
    static char name[] = "fuzz_foreign_tables";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir program, foreignDir;
    static Silent silent;
    static const QString collection = program.filePath(QStringLiteral("Grace"));
    static const QString table = collection + QStringLiteral("/sul2file.dbf");
    static const QString index = collection + QStringLiteral("/sul2file.cdx");
    // An empty collection, made once; each input starts from a copy of it.
    static const std::pair<QByteArray, QByteArray> empty = [] {
        paths::setProgramFolder(program.path());
        setPrompter(&silent);
        QDir().mkpath(collection);
        {
            xbase::TApolloTable creator;
            store::createSermonTableFile(creator, table);
        }
        xbase::TApolloTable t;
        t.DatabaseName = collection;
        t.TableName = QStringLiteral("sul2file.dbf");
        t.Exclusive = true;
        t.Open();
        store::createSermonTags(t);
        t.Close();
        return std::pair(get(table), get(index));
    }();

    const bool notavia = data[0] & 1;
    size_t split = size_t(data[1]) | (size_t(data[2]) << 8);
    const char *bytes = reinterpret_cast<const char *>(data + 3);
    size -= 3;
    if (split > size)
        split = size;
    const QByteArray dbf(bytes, qsizetype(split)), memo(bytes + split, qsizetype(size - split));
    const QString base = foreignDir.filePath(notavia ? QStringLiteral("NOTE1") : QStringLiteral("SULGYO"));
    QDir(foreignDir.path()).removeRecursively();
    QDir().mkpath(foreignDir.path());
    put(base + QStringLiteral(".DBF"), dbf);
    for (const char *ext : {".smt", ".fpt", ".dbt"})
        put(base + QString::fromLatin1(ext), memo);

    QDir(collection).removeRecursively();
    QDir().mkpath(collection + QStringLiteral("/data"));
    QDir().mkpath(collection + QStringLiteral("/text"));
    put(table, empty.first);
    put(index, empty.second);
    {
        store::CollectionDocument document;
        try {
            if (!document.OpenCollection(table))
                std::abort(); // the copy of the empty collection always opens
            xbase::TApolloTable foreign;
            exchange::openForeign(foreign, base + QStringLiteral(".DBF"), QStringLiteral("x"));
            if (exchange::isBibloraTable(foreign)) {
                (void)exchange::importBiblora(document, foreign).message();
            } else if (exchange::isNotaviaTable(foreign)) {
                std::array<QByteArray, 4> fields;
                const auto presets = exchange::notaviaPresets();
                for (size_t i = 0; i < 4; ++i)
                    fields[i] = exchange::notaviaField(presets[i]);
                (void)exchange::importNotavia(document, foreign, fields).message();
            }
        } catch (const EUserError &) {
        }
    }
    if (get(base + QStringLiteral(".DBF")) != dbf || get(base + QStringLiteral(".smt")) != memo)
        std::abort(); // a foreign file was written
    return 0;
}
