// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_bytes.h"

#include <QFile>

#include <zlib.h>

namespace verbana::test {

ArchiveBytes &ArchiveBytes::int32(qint32 v)
{
    const auto u = static_cast<quint32>(v);
    for (int i = 0; i < 4; ++i)
        bytes_.append(char((u >> (8 * i)) & 0xFF));
    return *this;
}

ArchiveBytes &ArchiveBytes::raw(const QByteArray &b)
{
    bytes_ += b;
    return *this;
}

ArchiveBytes &ArchiveBytes::header(const QByteArray &title, qint32 total, qint32 count)
{
    return int32(qint32(title.size())).raw(title).int32(total).int32(count);
}

ArchiveBytes &ArchiveBytes::entry(const QByteArray &name, quint32 dosDate)
{
    return int32(qint32(name.size())).raw(name).int32(qint32(dosDate));
}

ArchiveBytes &ArchiveBytes::segmentStart() { return raw(QByteArray("EC2\0", 4)); }

ArchiveBytes &ArchiveBytes::zlibChunk(const QByteArray &piece, int level)
{
    const QByteArray z = zlibStream(piece, level);
    return int32(qint32(z.size())).raw(z);
}

ArchiveBytes &ArchiveBytes::storedChunk(const QByteArray &piece) { return int32(-qint32(piece.size())).raw(piece); }

ArchiveBytes &ArchiveBytes::segmentEnd() { return int32(0); }

ArchiveBytes &ArchiveBytes::file(const QByteArray &name, quint32 dosDate, const QByteArray &data)
{
    entry(name, dosDate).segmentStart();
    for (qsizetype at = 0; at < data.size(); at += 16384)
        zlibChunk(data.mid(at, 16384));
    return segmentEnd();
}

ArchiveBytes &ArchiveBytes::nextDisk(int n)
{
    const QByteArray marker = "NEXT:DISK" + QByteArray::number(n).rightJustified(3, '0');
    return int32(qint32(marker.size())).raw(marker);
}

ArchiveBytes &ArchiveBytes::end() { return int32(0); }

bool ArchiveBytes::save(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes_) == bytes_.size();
}

QByteArray zlibStream(const QByteArray &data, int level)
{
    uLongf size = compressBound(uLong(data.size()));
    QByteArray out(qsizetype(size), Qt::Uninitialized);
    compress2(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(data.constData()),
              uLong(data.size()), level);
    out.resize(qsizetype(size));
    return out;
}

static QByteArray inflateAll(const QByteArray &z)
{
    QByteArray out(1 << 20, Qt::Uninitialized);
    uLongf size = uLongf(out.size());
    if (uncompress(reinterpret_cast<Bytef *>(out.data()), &size, reinterpret_cast<const Bytef *>(z.constData()),
                   uLong(z.size()))
        != Z_OK)
        return QByteArrayLiteral("<bad zlib>");
    out.resize(qsizetype(size));
    return out;
}

QByteArray ParsedEntry::data() const
{
    QByteArray all;
    for (const ParsedSegment &s : segments)
        for (const ParsedChunk &c : s.chunks)
            all += c.data;
    return all;
}

namespace {

struct Cursor {
    const std::vector<QByteArray> &volumes;
    size_t volume = 0;
    qsizetype at = 0;
    bool take(qsizetype n, QByteArray &out)
    {
        const QByteArray &v = volumes[volume];
        if (n < 0 || at + n > v.size())
            return false;
        out = v.mid(at, n);
        at += n;
        return true;
    }
    bool int32(qint32 &value)
    {
        QByteArray b;
        if (!take(4, b))
            return false;
        const auto *u = reinterpret_cast<const unsigned char *>(b.constData());
        value = qint32(quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24);
        return true;
    }
};

bool parseSegment(Cursor &c, ParsedEntry &e, QString &problem)
{
    QByteArray tag;
    if (!c.take(4, tag) || tag != QByteArray("EC2\0", 4)) {
        problem = QStringLiteral("segment tag");
        return false;
    }
    ParsedSegment seg;
    for (;;) {
        qint32 len = 0;
        if (!c.int32(len)) {
            problem = QStringLiteral("chunk length");
            return false;
        }
        if (len == 0)
            break;
        QByteArray data;
        if (!c.take(len > 0 ? len : -len, data)) {
            problem = QStringLiteral("chunk data");
            return false;
        }
        seg.chunks.push_back({len, len > 0 ? inflateAll(data) : data});
    }
    e.segments.push_back(seg);
    return true;
}

} // namespace

ParsedArchive parseArchive(const std::vector<QByteArray> &volumes)
{
    ParsedArchive a;
    Cursor c{volumes};
    qint32 t = 0;
    if (volumes.empty() || !c.int32(t) || !c.take(t, a.title) || !c.int32(a.total) || !c.int32(a.count)) {
        a.problem = QStringLiteral("header");
        return a;
    }
    for (;;) {
        qint32 n = 0;
        if (!c.int32(n)) {
            a.problem = QStringLiteral("name length");
            return a;
        }
        if (n == 0) {
            a.ended = true;
            return a;
        }
        QByteArray name;
        if (!c.take(n, name)) {
            a.problem = QStringLiteral("name");
            return a;
        }
        if (name.startsWith("NEXT:DISK")) {
            if (c.volume + 1 >= volumes.size()) {
                a.problem = QStringLiteral("missing volume");
                return a;
            }
            ++c.volume;
            c.at = 0;
            if (a.entries.empty() || !parseSegment(c, a.entries.back(), a.problem))
                return a;
            continue;
        }
        ParsedEntry e;
        e.name = name;
        qint32 date = 0;
        if (!c.int32(date)) {
            a.problem = QStringLiteral("date");
            return a;
        }
        e.date = quint32(date);
        if (!parseSegment(c, e, a.problem))
            return a;
        a.entries.push_back(e);
    }
}

quint32 dosDate(int y, int mo, int d, int h, int mi, int s)
{
    return quint32((y - 1980) << 9 | mo << 5 | d) << 16 | quint32(h << 11 | mi << 5 | s / 2);
}

} // namespace verbana::test
