// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <vector>

// Builds BCK archives byte by byte from the layout, without the writer,
// and reads written ones back without the reader.
namespace verbana::test {

class ArchiveBytes {
public:
    ArchiveBytes &int32(qint32 v);
    ArchiveBytes &raw(const QByteArray &b);
    ArchiveBytes &header(const QByteArray &title, qint32 total, qint32 count);
    ArchiveBytes &entry(const QByteArray &name, quint32 dosDate); // name length, name, date
    ArchiveBytes &segmentStart();
    ArchiveBytes &zlibChunk(const QByteArray &piece, int level = 6); // positive length
    ArchiveBytes &storedChunk(const QByteArray &piece); // negative length
    ArchiveBytes &segmentEnd();
    // A whole file: entry and one segment cut into 16384-byte compressed pieces.
    ArchiveBytes &file(const QByteArray &name, quint32 dosDate, const QByteArray &data);
    ArchiveBytes &nextDisk(int n);
    ArchiveBytes &end();
    const QByteArray &bytes() const { return bytes_; }
    bool save(const QString &path) const;

private:
    QByteArray bytes_;
};

QByteArray zlibStream(const QByteArray &data, int level = 6);

// One chunk of a written segment: its stored length and decoded bytes.
struct ParsedChunk {
    qint32 length = 0;
    QByteArray data;
};
struct ParsedSegment {
    std::vector<ParsedChunk> chunks;
};
struct ParsedEntry {
    QByteArray name;
    quint32 date = 0;
    std::vector<ParsedSegment> segments; // one, or one per volume it spans
    QByteArray data() const;
};
struct ParsedArchive {
    QByteArray title;
    qint32 total = 0;
    qint32 count = 0;
    std::vector<ParsedEntry> entries;
    bool ended = false; // the end marker was found
    QString problem; // why parsing stopped early
};

// Parses a single volume or a chain (volumes in order).
ParsedArchive parseArchive(const std::vector<QByteArray> &volumes);

// 1980-based DOS date for the given local time.
quint32 dosDate(int y, int mo, int d, int h, int mi, int s);

} // namespace verbana::test
