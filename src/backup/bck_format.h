// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>

#include <cstdint>
#include <optional>

// The layout of a BCK archive: a header (title, byte total, file count),
// then entries (name, DOS date, segment) and a name length of 0 at the end.
// A segment is "EC2\0", chunks (a length and that many bytes: a zlib stream
// when positive, the raw piece when negative) and a 0. Integers are 32-bit
// little-endian; texts are CP949 without terminator.
namespace verbana::bck {

inline constexpr int kPieceSize = 16384; // largest piece, and largest chunk either way
inline constexpr int kVolumeReserve = kPieceSize + 100; // room kept free for one more chunk
inline constexpr int kMaxNameLength = 8192; // longer names are damage, not paths
inline constexpr int kMaxTitleLength = kPieceSize;
inline constexpr char kSegmentTag[4] = {'E', 'C', '2', '\0'};
inline constexpr char kNextDisk[] = "NEXT:DISK"; // + three digits of the next volume
// Volume numbers have three digits and the archive itself is volume 1, so a
// chain holds at most 999 volumes: x.bck, x.002 ... x.999.
inline constexpr int kMaxVolumes = 999;
inline constexpr char kFileList[] = "FILE:LIST";

void putInt32(QByteArray &out, qint32 value);
void putInt32(char (&out)[4], qint32 value);
qint32 getInt32(const char *bytes);

// Last-write time in DOS packed form (local time, two-second steps);
// times before 1980 give 1980-01-01 00:00, after 2107 the last DOS time.
quint32 toDosTime(const QDateTime &when);
// An invalid QDateTime when the packed value holds no real date.
QDateTime fromDosTime(quint32 packed);

// The stored form of a file path of this system: "c:\" and the absolute
// path without its leading "/", separators as "\", ASCII letters lower
// case, CP949. Empty when the path holds a character CP949 cannot store.
std::optional<QByteArray> storedName(const QString &absolutePath);

// The relative path (with "/") that a stored name restores to. With
// fullPath, the name less its drive (first three characters); otherwise
// its last component. Empty when the result would leave the target folder
// or names no file: an empty name, a ".." or "." component, a drive or an
// absolute path left over, a name ending in a separator, a control character.
std::optional<QString> restorePath(const QByteArray &stored, bool fullPath);

// The marker entry's name that ends a full volume and names volume `next`
// (2 <= next <= kMaxVolumes), and the volume such a name gives: nothing
// when it is not "NEXT:DISK" and three digits of a number in that range.
QByteArray nextDiskMarker(int next);
std::optional<int> nextDiskNumber(QByteArrayView marker);

// Volume n (n >= 2) of an archive: its extension replaced by n in three
// digits (x.bck, x.002, x.003 ...). `digits` names the extension directly.
QString volumeName(const QString &archive, int n);
QString volumeNameWithDigits(const QString &archive, const QString &digits);

} // namespace verbana::bck
