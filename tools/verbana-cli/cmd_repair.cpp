// SPDX-License-Identifier: GPL-3.0-or-later
// repair: a repaired copy of a damaged table, written beside it; the
// original is replaced only when asked (--apply), and kept even then.
#include "cli.h"
#include "table_cli.h"

#include "store/xbase/dbf_file.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace verbana::cli {
namespace {

namespace dbf = xbase::dbf;
using xbase::EApolloError;
using xbase::FileSystem;

QString repairedCopyPath(const QString &table)
{
    const QFileInfo info(table);
    return info.dir().filePath(info.completeBaseName() + QStringLiteral(".repaired.") + info.suffix());
}

void put(QByteArray &bytes, int offset, uint32_t value, int size)
{
    for (int i = 0; i < size; ++i)
        bytes[offset + i] = char((value >> (8 * i)) & 0xFF);
}

// Whole records at `headerLength` whose deletion flag is live or deleted.
uint32_t soundRecordsAt(const QByteArray &file, int headerLength, int recordLength)
{
    uint32_t n = 0;
    for (qsizetype at = headerLength; at + recordLength <= file.size(); at += recordLength)
        n += xbase::DbfFile::validFlag(file[at]) ? 1 : 0;
    return n;
}

struct Repair {
    QByteArray bytes; // the repaired table
    QStringList changes; // what differs from the original, in words
};

// Repairs what the structure allows to be told: the header length (the one
// among those the field list allows under which the records' deletion flags
// are sound), the record count (every whole record up to the last one with
// a sound flag), flags that are neither live nor deleted (made live), and
// bytes after the last record (left out; they stay in the original).
std::optional<Repair> repairTable(const QByteArray &file, QString &why)
{
    dbf::Header h;
    xbase::Status s = dbf::decodePrefix(std::span<const char>(file.constData(), size_t(file.size())), h);
    dbf::Header probe = h;
    probe.headerLength = uint16_t(std::min<qsizetype>(file.size(), 0xFFFF));
    if (s)
        s = dbf::decodeFields(std::span<const char>(file.constData(), probe.headerLength), probe);
    if (!s) {
        why = s.message();
        return std::nullopt;
    }
    const int afterTerminator = dbf::kPrefixSize + dbf::kDescriptorSize * int(probe.fields.size()) + 1;
    QList<int> candidates;
    if (h.isVisualFoxPro()) {
        candidates << afterTerminator + dbf::kVfpBacklinkSize;
    } else {
        bool padded = h.headerLength >= afterTerminator && h.headerLength <= file.size();
        for (int i = afterTerminator; padded && i < h.headerLength; ++i)
            padded = file[i] == '\0';
        if (padded)
            candidates << h.headerLength;
        candidates << afterTerminator + 1 << afterTerminator;
    }
    int best = candidates.first();
    for (int c : candidates)
        if (soundRecordsAt(file, c, h.recordLength) > soundRecordsAt(file, best, h.recordLength))
            best = c;

    Repair r;
    r.bytes = file.left(std::min<qsizetype>(best, file.size()));
    r.bytes = r.bytes.leftJustified(best, '\0', true);
    for (int i = afterTerminator; i < best && !h.isVisualFoxPro(); ++i)
        r.bytes[i] = '\0';
    uint32_t whole = uint32_t(std::max<qsizetype>(0, file.size() - best) / h.recordLength);
    while (whole > 0 && !xbase::DbfFile::validFlag(file[best + qsizetype(whole - 1) * h.recordLength]))
        --whole;
    uint32_t madeLive = 0, first = 0;
    for (uint32_t n = 1; n <= whole; ++n) {
        QByteArray rec = file.mid(best + qsizetype(n - 1) * h.recordLength, h.recordLength);
        if (!xbase::DbfFile::validFlag(rec[0])) {
            rec[0] = dbf::kLive;
            if (madeLive++ == 0)
                first = n;
        }
        r.bytes += rec;
    }
    r.bytes += dbf::kEofMarker;
    put(r.bytes, 4, whole, 4);
    put(r.bytes, 8, uint32_t(best), 2);
    r.bytes[28] = char(uint8_t(h.flags) & ~dbf::kFlagStructuralIndex); // --apply builds the index anew

    if (best != h.headerLength)
        r.changes << QStringLiteral("header length %1 made %2").arg(h.headerLength).arg(best);
    if (whole != h.recordCount)
        r.changes << QStringLiteral("record count in the header %1 made %2").arg(h.recordCount).arg(whole);
    if (madeLive)
        r.changes << QStringLiteral("%1 records with an invalid deletion flag made live, the first is record %2")
                         .arg(madeLive)
                         .arg(first);
    const qsizetype end = best + qsizetype(whole) * h.recordLength;
    const qsizetype tail = file.size() - end;
    if (tail > 1 || (tail == 1 && file[end] != dbf::kEofMarker))
        r.changes << QStringLiteral("%1 bytes after the last record left out").arg(tail);
    return r;
}

int writeRepairedCopy(const QString &table, const QString &copy)
{
    QFile in(table);
    if (!in.open(QIODevice::ReadOnly)) {
        err(QStringLiteral("cannot read %1: %2").arg(table, in.errorString()));
        return Failed;
    }
    QString why;
    const std::optional<Repair> r = repairTable(in.readAll(), why);
    if (!r) {
        err(QStringLiteral("%1 cannot be repaired: %2").arg(table, why));
        return Failed;
    }
    if (r->changes.isEmpty()) {
        out(QStringLiteral("nothing to repair in %1\n").arg(table));
        return Ok;
    }
    FileSystem &fs = FileSystem::posix();
    auto file = xbase::createTemporary(fs, copy);
    xbase::Status s = file ? (*file)->writeAt(0, std::span<const char>(r->bytes.constData(), size_t(r->bytes.size())))
                           : file.status();
    if (s)
        s = (*file)->sync();
    if (!s) {
        err(QStringLiteral("cannot write %1: %2").arg(copy, s.message()));
        return Failed;
    }
    for (const QString &c : r->changes)
        out(QStringLiteral("repaired: %1\n").arg(c));
    out(QStringLiteral("wrote %1; %2 is unchanged. Look at the copy (verbana-cli dump), then "
                       "`verbana-cli repair %2 --apply` puts it in place.\n")
            .arg(copy, table));
    return Ok;
}

int applyRepairedCopy(const QString &table, const QString &copy)
{
    FileSystem &fs = FileSystem::posix();
    if (!fs.isRegularFile(copy)) {
        err(QStringLiteral("there is no repaired copy %1: `verbana-cli repair %2` writes it").arg(copy, table));
        return Failed;
    }
    try {
        const QStringList faults = openTable(copy, Access::Read)->structuralFaults();
        if (!faults.isEmpty()) {
            err(QStringLiteral("the repaired copy %1 is damaged too: %2").arg(copy, faults.first()));
            return Failed;
        }
        // Nobody may have the table open while it is replaced.
        auto original = fs.open(table, xbase::OpenMode::ReadWrite);
        xbase::Status lock = original ? (*original)->tryLock(xbase::DbfFile::kOpenLock, 1, xbase::LockMode::Exclusive)
                                      : original.status();
        if (!lock) {
            err(QStringLiteral("%1 cannot be replaced now: %2").arg(table, lock.kind() == xbase::StatusKind::Locked
                                                                         ? QStringLiteral("another program has it open")
                                                                         : lock.message()));
            return Failed;
        }
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
        const QString kept = table + QStringLiteral(".before-repair-") + stamp;
        const QFileInfo info(table);
        const QString index = info.dir().filePath(info.completeBaseName() + QStringLiteral(".cdx"));
        xbase::Status s = fs.rename(table, kept);
        if (s && fs.isRegularFile(index))
            s = fs.rename(index, index + QStringLiteral(".before-repair-") + stamp);
        if (s)
            s = xbase::replaceWithTemporary(fs, copy, table);
        if (s)
            s = fs.syncFolder(info.path());
        original.value().reset();
        if (!s) {
            err(QStringLiteral("replacing %1 failed: %2 (the original is kept as %3)").arg(table, s.message(), kept));
            return Failed;
        }
        out(QStringLiteral("%1 is now the repaired copy; the original is kept as %2\n").arg(table, kept));
    } catch (const EApolloError &e) {
        return engineFailure(e);
    }
    return rebuildSermonTags(table);
}

int repair(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {}, {QStringLiteral("apply")}, o) || o.positional.size() != 1)
        return usageError("repair");
    const QString table = o.positional[0];
    const QString copy = repairedCopyPath(table);
    return o.has(QStringLiteral("apply")) ? applyRepairedCopy(table, copy) : writeRepairedCopy(table, copy);
}

Registration r({"repair", "TABLE [--apply]",
                "write a repaired copy of a damaged table beside it (NAME.repaired.dbf), the table left as it is; "
                "--apply then puts the copy in its place, keeps the original beside it and rebuilds the index",
                repair});

} // namespace
} // namespace verbana::cli
