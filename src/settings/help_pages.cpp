// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/help_pages.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace verbana::settings {

QString topicPage(int topic) { return QString::number(topic) + QStringLiteral(".html"); }

namespace {
QString &fixedFolder()
{
    static QString folder;
    return folder;
}
} // namespace

void setHelpFolder(const QString &folder) { fixedFolder() = folder; }

QString helpFolder()
{
    if (!fixedFolder().isEmpty())
        return fixedFolder();
    const QString program = QCoreApplication::applicationDirPath();
    for (const QString &candidate : {program + QStringLiteral("/help"),
                                     program + QStringLiteral("/../share/verbana/help")}) {
        if (QFileInfo::exists(candidate + QLatin1Char('/') + QLatin1String(kContentsPage)))
            return QDir(candidate).absolutePath();
    }
    return {};
}

} // namespace verbana::settings
