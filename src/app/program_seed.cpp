// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_seed.h"

#include "platform/folder_walk.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace verbana {

QString installedSamplesFolder()
{
    return QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/verbana/samples")).absolutePath();
}

bool seedProgramFolder(const QString &folder, const QString &samples)
{
    const QDir target(folder);
    const QDir source(samples);
    if (!source.exists() || !target.exists())
        return false;
    if (!target.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
        return false;
    (void)files::walkFolder(samples, files::WalkOrder::FilesFirst, [&](const files::WalkEntry &entry) {
        const QString to = folder + QLatin1Char('/') + entry.relative;
        if (entry.folder)
            QDir().mkpath(to);
        else
            QFile::copy(entry.path, to);
        return true;
    });
    return true;
}

} // namespace verbana
