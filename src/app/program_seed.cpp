// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_seed.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

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
    QDirIterator it(samples, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString to = folder + QLatin1Char('/') + source.relativeFilePath(entry.filePath());
        if (entry.isDir())
            QDir().mkpath(to);
        else
            QFile::copy(entry.filePath(), to);
    }
    return true;
}

} // namespace verbana
