// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/record_values.h"

#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "store/xbase/apollo_table.h"

#include <QDir>
#include <QStringList>

namespace verbana::exchange {

void putCut(xbase::TApolloTable &table, const QByteArray &name, QByteArrayView value)
{
    const int pos = table.FieldPos(name);
    if (pos == 0) {
        table.PutString(name, value.toByteArray()); // the engine's own error
        return;
    }
    table.PutString(pos, cp949::cut(value, table.FieldWidth(pos)));
}

QString kFolderOf(const QString &manuscriptName)
{
    const qsizetype cut = manuscriptName.indexOf(QLatin1Char('\\'));
    return cut < 0 ? QString() : manuscriptName.left(cut);
}

QString makeFolder(const QString &base, const QString &relativeFolder)
{
    const QString path = paths::resolve(base, relativeFolder);
    if (!QDir().mkpath(path))
        throw EUserError(path + QStringLiteral(" 폴더를 만들 수 없습니다."));
    return path;
}

QString freshPath(const QString &kFolderPath, const QString &manuscriptName)
{
    return kFolderPath + QLatin1Char('/') + manuscriptName.mid(manuscriptName.lastIndexOf(QLatin1Char('\\')) + 1);
}

void removeMade(const QStringList &made)
{
    for (const QString &p : made)
        files::removeFileOnly(p);
}

QString ManuscriptNames::next(quint32 recordCount)
{
    quint64 n = recordCount;
    const quint64 k = n / 1000;
    const QString kFolder = QStringLiteral("d") + QString::number(k);
    auto found = taken_.find(k);
    if (found == taken_.end()) {
        QSet<QString> stems;
        for (const char *part : {"text/", "data/"}) {
            const QString dir = paths::resolveExisting(folder_, QLatin1String(part) + kFolder);
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

} // namespace verbana::exchange
