// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_folder.h"

#include "store_helpers.h"

#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace verbana::test {

void ProgramFolderTest::SetUp()
{
    ASSERT_TRUE(tmp_.isValid());
    programFolder_ = tmp_.path() + QStringLiteral("/prog");
    ASSERT_TRUE(QDir().mkpath(programFolder_));
    paths::setProgramFolder(programFolder_);
    savedDataHome_ = qgetenv("XDG_DATA_HOME");
    ASSERT_TRUE(QDir().mkpath(tmp_.path() + QStringLiteral("/xdg")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(tmp_.path() + QStringLiteral("/xdg")));
}

void ProgramFolderTest::TearDown()
{
    paths::setProgramFolder(QString());
    if (savedDataHome_.isEmpty())
        qunsetenv("XDG_DATA_HOME");
    else
        qputenv("XDG_DATA_HOME", savedDataHome_);
}

QString ProgramFolderTest::pf(const QString &name) const
{
    return name.isEmpty() ? programFolder_ : programFolder_ + QLatin1Char('/') + name;
}

QString ProgramFolderTest::makeCollection(const QString &name, bool withIndex) const
{
    const QString folder = pf(name);
    QDir().mkpath(folder + QStringLiteral("/data"));
    QDir().mkpath(folder + QStringLiteral("/text"));
    const QString path = makeSermonTable(folder);
    if (!withIndex)
        QFile::remove(folder + QStringLiteral("/sul2file.cdx"));
    return path;
}

QStringList ProgramFolderTest::trashed() const
{
    return QDir(tmp_.path() + QStringLiteral("/xdg/Trash/files")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

void ProgramFolderTest::writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace verbana::test
