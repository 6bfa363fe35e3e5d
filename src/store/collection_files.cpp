// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/collection_files.h"

#include "store/collection_paths.h"
#include "store/xbase/apollo_table.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace verbana::store {

QString NewManuscriptName(quint32 recordCount, const QString &collectionFolder)
{
    return ManuscriptNames(collectionFolder).next(recordCount);
}

QString ManuscriptNames::next(quint32 recordCount)
{
    quint64 n = recordCount;
    const quint64 k = n / 1000;
    const QString kFolder = QStringLiteral("d") + QString::number(k);
    auto found = taken_.find(k);
    if (found == taken_.end()) {
        // The names without extension, lower-cased, of the files in the
        // k-folders ("sul17" for SUL17.RTF).
        QSet<QString> stems;
        const CollectionPaths paths(folder_);
        for (const char *part : {"text/", "data/"}) {
            const QString dir = paths.existing(QLatin1String(part) + kFolder);
            if (dir.isEmpty())
                continue;
            for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
                const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
                stems.insert((dot < 0 ? name : name.left(dot)).toLower());
            }
        }
        found = taken_.insert(k, stems);
    }
    auto stem = [&] { return QStringLiteral("sul") + QString::number(n); };
    while (found->contains(stem()))
        ++n;
    found->insert(stem());
    return kFolder + QLatin1Char('\\') + stem() + QStringLiteral(".txt");
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

bool isHwpxName(const QString &name) { return name.endsWith(kHwpxExtension, Qt::CaseInsensitive); }

QString replaceManuscriptExtension(const QString &name, const QString &extension)
{
    if (isHwpxName(name))
        return name.chopped(kHwpxExtension.size()) + extension;
    return ReplaceExtension(name, extension);
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
    if (!toRecycleBin)
        return files::removeFolder(p);
    if (files::moveToTrash(p))
        return true;
    return confirm(trashRefusedQuestion(QDir::toNativeSeparators(p))) && files::removeFolder(p);
}

QString trashRefusedQuestion(const QString &path)
{
    return QStringLiteral("휴지통에 넣을 수 없습니다.\r%1\r완전히 삭제하시겠습니까?").arg(path);
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
