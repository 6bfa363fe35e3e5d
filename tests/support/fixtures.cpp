// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fixtures.h"

#include <QDir>
#include <QFile>

namespace verbana::test {

QString sharedFixtures()
{
    QByteArray env = qgetenv("VERBANA_SHARED_DIR");
    QString base = env.isEmpty() ? QString::fromUtf8(VERBANA_SHARED_DIR) : QString::fromLocal8Bit(env);
    const QString dir = base + QStringLiteral("/fixtures");
    return QDir(dir).exists() ? QDir(dir).absolutePath() : QString();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fromHex(const char *hex)
{
    QByteArray h(hex);
    h.replace(' ', QByteArray());
    return QByteArray::fromHex(h);
}

} // namespace verbana::test
