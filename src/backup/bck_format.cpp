// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/bck_format.h"

#include "platform/cp949.h"

#include <QFileInfo>

namespace verbana::bck {

void putInt32(char (&out)[4], qint32 value)
{
    const auto v = static_cast<quint32>(value);
    out[0] = char(v & 0xFF);
    out[1] = char((v >> 8) & 0xFF);
    out[2] = char((v >> 16) & 0xFF);
    out[3] = char((v >> 24) & 0xFF);
}

void putInt32(QByteArray &out, qint32 value)
{
    char b[4];
    putInt32(b, value);
    out.append(b, 4);
}

qint32 getInt32(const char *bytes)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes);
    return static_cast<qint32>(quint32(b[0]) | (quint32(b[1]) << 8) | (quint32(b[2]) << 16) | (quint32(b[3]) << 24));
}

quint32 toDosTime(const QDateTime &when)
{
    const QDateTime local = when.toLocalTime();
    const QDate d = local.date();
    const QTime t = local.time();
    if (!d.isValid() || d.year() < 1980)
        return (1u << 5 | 1u) << 16; // 1980-01-01 00:00:00
    if (d.year() > 2107)
        return (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | 29u;
    const quint32 date = quint32(d.year() - 1980) << 9 | quint32(d.month()) << 5 | quint32(d.day());
    const quint32 time = quint32(t.hour()) << 11 | quint32(t.minute()) << 5 | quint32(t.second() / 2);
    return date << 16 | time;
}

QDateTime fromDosTime(quint32 packed)
{
    const quint32 date = packed >> 16;
    const quint32 time = packed & 0xFFFF;
    const QDate d(int(date >> 9) + 1980, int((date >> 5) & 0x0F), int(date & 0x1F));
    const QTime t(int(time >> 11), int((time >> 5) & 0x3F), int(time & 0x1F) * 2);
    if (!d.isValid() || !t.isValid())
        return {};
    return QDateTime(d, t, Qt::LocalTime);
}

std::optional<QByteArray> storedName(const QString &absolutePath)
{
    QString path = absolutePath.normalized(QString::NormalizationForm_C);
    while (path.startsWith(QLatin1Char('/')))
        path.remove(0, 1);
    path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    const cp949::Encoded encoded = cp949::encode(path);
    if (!encoded.ok())
        return std::nullopt;
    return QByteArrayLiteral("c:\\") + cp949::lowerAscii(encoded.bytes);
}

std::optional<QString> restorePath(const QByteArray &stored, bool fullPath)
{
    QString name = cp949::decode(stored);
    for (QChar c : name)
        if (c.unicode() < 0x20)
            return std::nullopt;
    name.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (fullPath) {
        name.remove(0, 3);
    } else {
        if (name.endsWith(QLatin1Char('/')))
            return std::nullopt;
        name = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
    }
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.endsWith(QLatin1Char('/')))
        return std::nullopt;
    if (name.size() >= 2 && name[1] == QLatin1Char(':'))
        return std::nullopt;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (part.isEmpty() || part == QLatin1String("..") || part == QLatin1String("."))
            return std::nullopt;
    return name;
}

QByteArray nextDiskMarker(int next)
{
    Q_ASSERT(next >= 2 && next <= kMaxVolumes);
    return QByteArray(kNextDisk) + QByteArray::number(next).rightJustified(3, '0');
}

std::optional<int> nextDiskNumber(QByteArrayView marker)
{
    const QByteArrayView prefix(kNextDisk);
    if (marker.size() != prefix.size() + 3 || !marker.startsWith(prefix))
        return std::nullopt;
    int n = 0;
    for (char ch : marker.sliced(prefix.size())) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        n = n * 10 + (ch - '0');
    }
    if (n < 2 || n > kMaxVolumes)
        return std::nullopt;
    return n;
}

QString volumeNameWithDigits(const QString &archive, const QString &digits)
{
    const qsizetype slash = archive.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = archive.lastIndexOf(QLatin1Char('.'));
    const QString base = dot > slash ? archive.left(dot) : archive;
    return base + QLatin1Char('.') + digits;
}

QString volumeName(const QString &archive, int n)
{
    return volumeNameWithDigits(archive, QStringLiteral("%1").arg(n % 1000, 3, 10, QLatin1Char('0')));
}

} // namespace verbana::bck
