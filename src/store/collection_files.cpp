// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/collection_files.h"

#include "store/xbase/apollo_table.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QFile>
#include <QFileInfo>

namespace verbana::store {

QString NewManuscriptName(quint32 recordCount, const QString &collectionFolder)
{
    quint64 n = recordCount;
    const QString folder = QStringLiteral("d") + QString::number(n / 1000);
    auto name = [&] { return QStringLiteral("sul") + QString::number(n) + QStringLiteral(".txt"); };
    while (!paths::resolveExisting(collectionFolder, QStringLiteral("text/") + folder + QLatin1Char('/') + name()).isEmpty())
        ++n;
    return folder + QLatin1Char('\\') + name();
}

QString NewManuscriptName(xbase::TApolloTable &table, const QString &collectionFolder)
{
    return NewManuscriptName(table.RecCount(), collectionFolder);
}

QString ReplaceExtension(const QString &name, const QString &extension)
{
    const qsizetype n = name.size();
    if (n == 0)
        return QString();
    for (int len = 4; len >= 2; --len)
        if (n >= len && name[n - len] == QLatin1Char('.'))
            return name.left(n - len) + extension;
    return name;
}

QString CollectionLabel(const QString &path)
{
    qsizetype cut = std::max(path.lastIndexOf(QLatin1Char('\\')), path.lastIndexOf(QLatin1Char('/')));
    QString label = path.mid(cut + 1);
    for (QChar &c : label)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 32);
    return label;
}

QString DateText(const QDate &date)
{
    if (!date.isValid() || date == QDate(1899, 12, 30))
        return QString();
    return date.toString(QStringLiteral("yyyy.MM.dd"));
}

bool DeleteFolder(const QString &path, bool toRecycleBin)
{
    QString p = path;
    while (p.size() > 1 && (p.endsWith(QLatin1Char('/')) || p.endsWith(QLatin1Char('\\'))))
        p.chop(1);
    if (!QFileInfo(p).isDir())
        return false;
    return toRecycleBin ? files::moveToTrash(p) : files::removeFolder(p);
}

bool TcopyFile::DoCopy()
{
    QFile source(Forigin);
    if (!QFileInfo(Forigin).isFile() || !source.open(QIODevice::ReadOnly))
        return false;
    if (QFileInfo::exists(Fdestination) && Warning
        && !confirm(Fdestination + QStringLiteral("파일을 덮어쓸까요 ?")))
        return false;
    QFile target(Fdestination);
    if (!target.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(64000, Qt::Uninitialized);
    for (;;) {
        const qint64 got = source.read(block.data(), block.size());
        if (got < 0)
            return false;
        if (got == 0)
            break;
        if (target.write(block.constData(), got) != got)
            return false;
    }
    return target.flush();
}

} // namespace verbana::store
