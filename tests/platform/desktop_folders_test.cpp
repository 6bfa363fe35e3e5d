// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/files.h"
#include "platform/paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace verbana {
namespace {

class DesktopFolders : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(tmp.isValid());
        savedDataHome = qgetenv("XDG_DATA_HOME");
        savedWorking = QDir::currentPath();
        qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome()));
    }
    void TearDown() override
    {
        QDir::setCurrent(savedWorking);
        if (savedDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", savedDataHome);
    }
    // A user who never had a data folder.
    QString dataHome() const { return tmp.path() + QStringLiteral("/home/.local/share"); }
    static unsigned modeOf(const QString &path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
    }

    QTemporaryDir tmp;
    QByteArray savedDataHome;
    QString savedWorking;
};

TEST_F(DesktopFolders, TheTrashIsMadeForAUserWhoHasNone)
{
    const QString working = tmp.path() + QStringLiteral("/working");
    const QString victim = tmp.path() + QStringLiteral("/설교집");
    ASSERT_TRUE(QDir().mkpath(working) && QDir().mkpath(victim + QStringLiteral("/data")));
    ASSERT_TRUE(QDir::setCurrent(working));

    ASSERT_TRUE(files::moveToTrash(victim));
    const QString trash = dataHome() + QStringLiteral("/Trash");
    EXPECT_TRUE(QFileInfo(trash + QStringLiteral("/files/설교집/data")).isDir());
    EXPECT_TRUE(QFileInfo(trash + QStringLiteral("/info/설교집.trashinfo")).isFile());
    for (const QString &folder : {trash, trash + QStringLiteral("/files"), trash + QStringLiteral("/info")})
        EXPECT_EQ(modeOf(folder), 0700u) << qPrintable(folder);
    EXPECT_FALSE(QFileInfo::exists(victim));
    // Nothing lands in the working folder.
    EXPECT_TRUE(QDir(working).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(DesktopFolders, OnlyAPortableFolderIsTheProgramFolder)
{
    const QString bin = tmp.path() + QStringLiteral("/bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    EXPECT_EQ(paths::portableFolder(bin), QString());
    QFile marker(bin + QLatin1Char('/') + paths::portableMarker());
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    EXPECT_EQ(paths::portableFolder(bin), bin);

    // This test's own folder is writable but no portable install: the
    // program keeps its collections in the user's data folder.
    paths::setProgramFolder(QString());
    qunsetenv("VERBANA_HOME");
    EXPECT_EQ(paths::programFolder(), dataHome() + QStringLiteral("/Verbana"));
}

} // namespace
} // namespace verbana
