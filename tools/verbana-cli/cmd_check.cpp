// SPDX-License-Identifier: GPL-3.0-or-later
// check: the table and its index, read only. Every fault found is one line
// "fault: ..."; exit 3 when there is any.
#include "cli.h"
#include "table_cli.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"

#include <QDir>
#include <QFileInfo>

namespace verbana::cli {
namespace {

using xbase::EApolloError;
using xbase::TApolloTable;

struct FaultList {
    int count = 0;
    void operator()(const QString &what)
    {
        out(QStringLiteral("fault: %1\n").arg(what));
        ++count;
    }
};

void checkExtent(xbase::DbfFile &dbf, FaultList &fault)
{
    auto e = dbf.extent();
    if (!e) {
        fault(e.status().message());
        return;
    }
    if (e->headerCount != e->records)
        fault(QStringLiteral("the header counts %1 records, the file holds %2 (opening the table to write, or "
                             "reindex, mends the header)")
                  .arg(e->headerCount)
                  .arg(e->records));
    if (e->tailBytes)
        fault(QStringLiteral("the file holds %1 bytes beyond its last record").arg(e->tailBytes));
}

// An index that is not there: missing though the table says it has one, or
// set aside as damaged by an earlier opening.
void checkIndexPresent(TApolloTable &t, FaultList &fault)
{
    const QFileInfo index(t.indexPath());
    if (index.exists())
        return;
    const QStringList aside =
        index.dir().entryList({index.fileName() + QStringLiteral(".damaged-*")}, QDir::Files, QDir::Name);
    if (!aside.isEmpty())
        fault(QStringLiteral("index: missing; the damaged one was set aside as %1 (reindex builds a new one)")
                  .arg(aside.last()));
    else if (t.dbf()->header().flags & xbase::dbf::kFlagStructuralIndex)
        fault(QStringLiteral("index: missing, though the table's header says it has one"));
}

void checkTag(TApolloTable &t, int tag, FaultList &fault)
{
    xbase::DbfFile &dbf = *t.dbf();
    auto entries = t.index()->verify(tag);
    const QString name = QString::fromLatin1(t.TagName(tag));
    if (!entries) {
        fault(QStringLiteral("tag %1: %2").arg(name, entries.status().message()));
        return;
    }
    if (entries->size() != dbf.recordCount()) {
        fault(QStringLiteral("tag %1 has %2 entries for %3 records").arg(name).arg(entries->size())
                  .arg(dbf.recordCount()));
        return;
    }
    // Every entry must carry its record's current key, as the engine
    // computes it.
    std::vector<QByteArray> keys(dbf.recordCount() + 1);
    for (const auto &e : *entries)
        if (e.recno >= 1 && e.recno <= dbf.recordCount())
            keys[e.recno] = e.key;
    uint32_t wrong = 0;
    for (uint32_t r = 1; r <= dbf.recordCount(); ++r) {
        t.Go(r);
        const std::optional<QByteArray> key = t.TagKeyValue(tag);
        if (!key) {
            out(QStringLiteral("note: tag %1 (key %2): this program cannot compute its key; entries not compared\n")
                    .arg(name, QString::fromLatin1(t.TagKey(tag))));
            return;
        }
        if (keys[r] != *key)
            ++wrong;
    }
    if (wrong)
        fault(QStringLiteral("tag %1: %2 entries do not match their records").arg(name).arg(wrong));
}

int check(const QStringList &args)
{
    if (args.size() != 1)
        return usageError("check");
    FaultList fault;
    try {
        auto t = openTable(args[0], Access::Read);
        t->SetShowDeleted(true);
        checkExtent(*t->dbf(), fault);
        for (const QString &f : t->structuralFaults())
            fault(f);
        checkIndexPresent(*t, fault);
        if (!t->indexProblem().isEmpty())
            fault(QStringLiteral("index: %1").arg(t->indexProblem()));
        if (t->index())
            for (int tag = 1; tag <= t->TagCount(); ++tag)
                checkTag(*t, tag, fault);
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    out(fault.count ? QStringLiteral("%1 faults\n").arg(fault.count) : QStringLiteral("ok\n"));
    return fault.count ? Exit::Faults : Exit::Ok;
}

Registration r({"check", "TABLE", "check the table and its index, changing nothing; exit 3 on any fault", check});

} // namespace
} // namespace verbana::cli
