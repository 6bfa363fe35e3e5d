// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "hwp/result.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <vector>

namespace verbana::hwp {

// A reader of OLE compound files (the container of HWP 5.x documents) over
// the whole file in memory. Every sector number, chain and tree link comes
// from the file and is checked: a chain that loops, leaves the file or
// stops short, and a directory tree that loops, make the file damaged.
class CompoundFile {
public:
    static constexpr QByteArrayView kSignature{"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8};

    enum Type { Empty = 0, Storage = 1, Stream = 2, Root = 5 };
    struct Entry {
        QString name;
        int type = Empty;
        quint32 left = kNoStream;
        quint32 right = kNoStream;
        quint32 child = kNoStream;
        quint32 start = 0;
        quint64 size = 0;
    };
    static constexpr quint32 kNoStream = 0xFFFFFFFF;
    static constexpr int kRoot = 0;

    static bool looksLike(QByteArrayView data) { return data.startsWith(kSignature); }

    // Parses the header, the allocation tables and the directory. `data`
    // must outlive the object.
    static Result<CompoundFile> open(QByteArrayView data);

    qsizetype fileSize() const { return data_.size(); }
    const Entry &entry(int index) const { return entries_[static_cast<size_t>(index)]; }
    // The entries directly inside a storage, in tree order.
    QList<int> children(int storage) const;
    // The child of `storage` called `name` (compared without regard to
    // letter case, as the format does), or -1.
    int find(int storage, QStringView name) const;
    // Follows "A/B/C" from the root; -1 when a part is missing.
    int findPath(QStringView path) const;
    // The whole content of a stream entry.
    Result<QByteArray> read(int index) const;

    CompoundFile() = default;

private:
    Result<std::vector<quint32>> chain(const std::vector<quint32> &table, quint32 start) const;
    QByteArrayView sector(quint32 n) const;
    Result<QByteArray> readChain(quint32 start, quint64 size) const;
    Result<QByteArray> readMini(quint32 start, quint64 size) const;

    QByteArrayView data_;
    qsizetype sectorSize_ = 512;
    qsizetype miniSectorSize_ = 64;
    quint32 miniCutoff_ = 4096;
    quint32 miniFatStart_ = kNoStream;
    std::vector<quint32> fat_;
    std::vector<quint32> miniFat_;
    std::vector<Entry> entries_;
    QByteArray miniStream_;
};

} // namespace verbana::hwp
