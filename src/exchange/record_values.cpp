// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/record_values.h"

#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "store/collection_paths.h"
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

QString makeFolder(const store::CollectionPaths &collection, const QString &relativeFolder)
{
    const QString path = collection.resolve(relativeFolder);
    if (path.isEmpty())
        throw EUserError(paths::join(collection.folder(), relativeFolder) + QStringLiteral(" 폴더를 만들 수 없습니다."));
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

QString unreadableReason(const xbase::TableFit &fit)
{
    if (!fit.headerFits)
        return QStringLiteral("파일 머리에 적힌 머리 길이(%1바이트)가 필드 목록(%2바이트)과 맞지 않아, 자료를 바르게 읽을 수 "
                              "없습니다.")
            .arg(fit.headerLength)
            .arg(fit.fieldListEnd);
    if (fit.badFlags)
        return QStringLiteral("자료 %1개의 삭제 표시가 잘못되어(처음은 %2번째 자료), 자료를 바르게 읽을 수 없습니다.")
            .arg(fit.badFlags)
            .arg(fit.firstBadFlag);
    return QString();
}

} // namespace verbana::exchange
