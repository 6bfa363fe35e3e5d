// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a file named by stored data: only a plain file opens; a link in
// its place, a folder, a pipe or a device is refused at once, never
// followed and never waited on.
#include "platform/file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace verbana::files {
namespace {

TEST(StoredFiles, OnlyAPlainFileOpens)
{
    QTemporaryDir dir;
    const auto at = [&](const char *name) { return dir.filePath(QLatin1String(name)); };
    {
        QFile plain(at("plain"));
        ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
        plain.write("stored");
    }
    ASSERT_TRUE(QFile::link(at("plain"), at("link")));
    ASSERT_TRUE(QDir().mkdir(at("folder")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("pipe")).constData(), 0600), 0);

    FileSystem &fs = FileSystem::posix();
    auto plain = fs.open(at("plain"), OpenMode::ReadStored);
    ASSERT_TRUE(plain) << plain.status().message().toStdString();
    char bytes[6];
    ASSERT_TRUE((*plain)->readAt(0, bytes));
    EXPECT_EQ(QByteArray(bytes, 6), QByteArray("stored"));
    EXPECT_FALSE((*plain)->writeAt(0, std::span<const char>("x", 1)));

    for (const QString &refused : {at("link"), at("folder"), at("pipe"), QStringLiteral("/dev/null")}) {
        auto r = fs.open(refused, OpenMode::ReadStored);
        ASSERT_FALSE(r) << refused.toStdString();
        EXPECT_EQ(r.status().kind(), StatusKind::NotRegular) << refused.toStdString();
        EXPECT_TRUE(r.status().message().startsWith(refused)) << r.status().message().toStdString();
    }
    for (const QString &missing : {at("none"), at("plain/below")})
        EXPECT_EQ(fs.open(missing, OpenMode::ReadStored).status().kind(), StatusKind::NotFound) << missing.toStdString();
}

} // namespace
} // namespace verbana::files
