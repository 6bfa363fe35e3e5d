// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/cfb.h"

#include "hwp/cursor.h"

#include <cstring>

namespace verbana::hwp {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
constexpr quint32 kFree = 0xFFFFFFFF;
constexpr qsizetype kEntrySize = 128;
constexpr int kHeaderFatSlots = 109;

template <typename T>
Result<T> bad(const char *why)
{
    return Result<T>::failure(Fault::Damaged, QStringLiteral("damaged compound file: %1").arg(QLatin1String(why)));
}

void appendTable(std::vector<quint32> &table, QByteArrayView sector)
{
    for (qsizetype i = 0; i + 4 <= sector.size(); i += 4)
        table.push_back(le32(sector, i));
}

} // namespace

QByteArrayView CompoundFile::sector(quint32 n) const
{
    const qint64 at = (static_cast<qint64>(n) + 1) * sectorSize_;
    if (at >= data_.size())
        return {};
    return data_.sliced(static_cast<qsizetype>(at), std::min<qsizetype>(sectorSize_, data_.size() - static_cast<qsizetype>(at)));
}

Result<std::vector<quint32>> CompoundFile::chain(const std::vector<quint32> &table, quint32 start) const
{
    std::vector<quint32> sectors;
    std::vector<bool> seen(table.size(), false);
    for (quint32 cur = start; cur != kEndOfChain;) {
        if (cur == kFree && sectors.empty())
            break; // an empty stream may name no sector at all
        if (cur >= table.size())
            return bad<std::vector<quint32>>("a sector chain leaves the allocation table");
        if (seen[cur])
            return bad<std::vector<quint32>>("a sector chain loops");
        seen[cur] = true;
        sectors.push_back(cur);
        cur = table[cur];
    }
    return sectors;
}

Result<QByteArray> CompoundFile::readChain(quint32 start, quint64 size) const
{
    if (size > static_cast<quint64>(data_.size()))
        return bad<QByteArray>("a stream is larger than the file");
    if (size == 0)
        return QByteArray();
    auto sectors = chain(fat_, start);
    if (!sectors.ok())
        return Result<QByteArray>::failure(sectors);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(size));
    for (quint32 s : sectors.value()) {
        if (out.size() >= static_cast<qsizetype>(size))
            break;
        const QByteArrayView v = sector(s);
        const qsizetype want = std::min<qsizetype>(static_cast<qsizetype>(size) - out.size(), sectorSize_);
        if (v.size() < want)
            return bad<QByteArray>("a stream runs past the end of the file");
        out.append(v.first(want));
    }
    if (out.size() < static_cast<qsizetype>(size))
        return bad<QByteArray>("a stream's sector chain is shorter than the stream");
    return out;
}

Result<QByteArray> CompoundFile::readMini(quint32 start, quint64 size) const
{
    if (size > static_cast<quint64>(miniStream_.size()))
        return bad<QByteArray>("a small stream is larger than the mini stream");
    if (size == 0)
        return QByteArray();
    auto sectors = chain(miniFat_, start);
    if (!sectors.ok())
        return Result<QByteArray>::failure(sectors);
    QByteArray out;
    out.reserve(static_cast<qsizetype>(size));
    for (quint32 s : sectors.value()) {
        if (out.size() >= static_cast<qsizetype>(size))
            break;
        const qint64 at = static_cast<qint64>(s) * miniSectorSize_;
        const qsizetype want = std::min<qsizetype>(static_cast<qsizetype>(size) - out.size(), miniSectorSize_);
        if (at + want > miniStream_.size())
            return bad<QByteArray>("a small stream lies outside the mini stream");
        out.append(miniStream_.constData() + at, want);
    }
    if (out.size() < static_cast<qsizetype>(size))
        return bad<QByteArray>("a small stream's chain is shorter than the stream");
    return out;
}

Result<CompoundFile> CompoundFile::open(QByteArrayView data)
{
    if (!looksLike(data))
        return Result<CompoundFile>::failure(Fault::WrongKind, QStringLiteral("not a compound file"));
    if (data.size() < 512)
        return bad<CompoundFile>("the header is cut short");

    CompoundFile f;
    f.data_ = data;
    const quint16 shift = le16(data, 30);
    const quint16 miniShift = le16(data, 32);
    if ((shift != 9 && shift != 12) || miniShift != 6)
        return bad<CompoundFile>("unknown sector size");
    f.sectorSize_ = qsizetype(1) << shift;
    f.miniSectorSize_ = qsizetype(1) << miniShift;
    const bool version3 = shift == 9;
    const quint32 fatCount = le32(data, 44);
    const quint32 dirStart = le32(data, 48);
    f.miniCutoff_ = le32(data, 56);
    f.miniFatStart_ = le32(data, 60);
    const quint32 difatStart = le32(data, 68);

    // Sectors the file can hold; no table may name more.
    const qint64 sectorsInFile = (static_cast<qint64>(data.size()) + f.sectorSize_ - 1) / f.sectorSize_ - 1;
    if (fatCount == 0 || fatCount > sectorsInFile)
        return bad<CompoundFile>("impossible allocation table size");

    // Where the allocation table lies: 109 slots in the header, the rest in
    // a chain of DIFAT sectors whose last slot names the next one.
    std::vector<quint32> fatSectors;
    for (int i = 0; i < kHeaderFatSlots && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(le32(data, 76 + 4 * i));
    std::vector<bool> seenDifat;
    for (quint32 d = difatStart; fatSectors.size() < fatCount;) {
        if (d >= sectorsInFile)
            return bad<CompoundFile>("the allocation table's index is cut short");
        if (seenDifat.empty())
            seenDifat.assign(static_cast<size_t>(sectorsInFile), false);
        if (seenDifat[d])
            return bad<CompoundFile>("the allocation table's index loops");
        seenDifat[d] = true;
        const QByteArrayView s = f.sector(d);
        if (s.size() < f.sectorSize_)
            return bad<CompoundFile>("the allocation table's index runs past the end");
        const qsizetype slots = f.sectorSize_ / 4 - 1;
        for (qsizetype i = 0; i < slots && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(le32(s, 4 * i));
        d = le32(s, 4 * slots);
    }
    f.fat_.reserve(static_cast<size_t>(fatCount) * static_cast<size_t>(f.sectorSize_ / 4));
    for (quint32 s : fatSectors) {
        const QByteArrayView v = f.sector(s);
        if (v.size() < f.sectorSize_)
            return bad<CompoundFile>("an allocation table sector lies outside the file");
        appendTable(f.fat_, v);
    }

    // The directory: 128-byte entries in a chain of sectors.
    auto dirSectors = f.chain(f.fat_, dirStart);
    if (!dirSectors.ok())
        return Result<CompoundFile>::failure(dirSectors);
    for (quint32 s : dirSectors.value()) {
        const QByteArrayView v = f.sector(s);
        if (v.size() < f.sectorSize_)
            return bad<CompoundFile>("a directory sector lies outside the file");
        for (qsizetype at = 0; at + kEntrySize <= v.size(); at += kEntrySize) {
            const QByteArrayView e = v.sliced(at, kEntrySize);
            Entry entry;
            const int nameBytes = std::min<int>(le16(e, 64), 64);
            for (int i = 0; i + 1 < nameBytes; i += 2) {
                const char16_t u = le16(e, i);
                if (u == 0)
                    break;
                entry.name.append(QChar(u));
            }
            entry.type = static_cast<unsigned char>(e[66]);
            entry.left = le32(e, 68);
            entry.right = le32(e, 72);
            entry.child = le32(e, 76);
            entry.start = le32(e, 116);
            entry.size = version3 ? le32(e, 120) : (static_cast<quint64>(le32(e, 124)) << 32 | le32(e, 120));
            f.entries_.push_back(std::move(entry));
        }
    }
    if (f.entries_.empty() || f.entries_[0].type != Root)
        return bad<CompoundFile>("no root entry");

    // The mini allocation table and the mini stream (the root's own data)
    // hold the streams shorter than the cut-off.
    if (f.miniFatStart_ != kEndOfChain && f.miniFatStart_ != kFree) {
        auto miniSectors = f.chain(f.fat_, f.miniFatStart_);
        if (!miniSectors.ok())
            return Result<CompoundFile>::failure(miniSectors);
        for (quint32 s : miniSectors.value()) {
            const QByteArrayView v = f.sector(s);
            if (v.size() < f.sectorSize_)
                return bad<CompoundFile>("a mini allocation sector lies outside the file");
            appendTable(f.miniFat_, v);
        }
    }
    auto mini = f.readChain(f.entries_[0].start, f.entries_[0].size);
    if (!mini.ok())
        return Result<CompoundFile>::failure(mini);
    f.miniStream_ = mini.take();
    return f;
}

QList<int> CompoundFile::children(int storage) const
{
    QList<int> out;
    if (storage < 0 || static_cast<size_t>(storage) >= entries_.size())
        return out;
    // In-order walk of the sibling tree with an explicit stack; a link that
    // points outside the directory ends that branch, a link that comes back
    // to a visited entry is not followed again.
    std::vector<bool> seen(entries_.size(), false);
    std::vector<quint32> stack;
    quint32 cur = entries_[static_cast<size_t>(storage)].child;
    while (!stack.empty() || (cur < entries_.size() && !seen[cur])) {
        while (cur < entries_.size() && !seen[cur]) {
            seen[cur] = true;
            stack.push_back(cur);
            cur = entries_[cur].left;
        }
        if (stack.empty())
            break;
        const quint32 node = stack.back();
        stack.pop_back();
        out.append(static_cast<int>(node));
        cur = entries_[node].right;
    }
    return out;
}

int CompoundFile::find(int storage, QStringView name) const
{
    for (int i : children(storage))
        if (QStringView(entries_[static_cast<size_t>(i)].name).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int CompoundFile::findPath(QStringView path) const
{
    int at = kRoot;
    for (QStringView part : path.split(u'/')) {
        at = find(at, part);
        if (at < 0)
            return -1;
    }
    return at;
}

Result<QByteArray> CompoundFile::read(int index) const
{
    if (index < 0 || static_cast<size_t>(index) >= entries_.size())
        return bad<QByteArray>("no such stream");
    const Entry &e = entries_[static_cast<size_t>(index)];
    if (e.type != Stream)
        return bad<QByteArray>("not a stream");
    if (e.size < miniCutoff_)
        return readMini(e.start, e.size);
    return readChain(e.start, e.size);
}

} // namespace verbana::hwp
