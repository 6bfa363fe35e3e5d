// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/bck_format.h"

#include <gtest/gtest.h>

using namespace verbana;

TEST(BckFormat, DosTimeBothWays)
{
    const QDateTime when(QDate(2003, 4, 5), QTime(6, 7, 9), Qt::LocalTime);
    const quint32 packed = bck::toDosTime(when);
    EXPECT_EQ(packed, (quint32(23 << 9 | 4 << 5 | 5) << 16) | quint32(6 << 11 | 7 << 5 | 4));
    EXPECT_EQ(bck::fromDosTime(packed), when.addSecs(-1)); // two-second steps
    EXPECT_EQ(bck::toDosTime(QDateTime(QDate(1970, 1, 1), QTime(0, 0))), 0x00210000u);
    EXPECT_FALSE(bck::fromDosTime(0).isValid());
    EXPECT_FALSE(bck::fromDosTime(0xFFFFFFFFu).isValid());
}

TEST(BckFormat, StoredNameOfALinuxPath)
{
    EXPECT_EQ(bck::storedName(QStringLiteral("/home/Kim/Verbana/설교/SUL2FILE.dbf")).value(),
              QByteArray("c:\\home\\kim\\verbana\\\xbc\xb3\xb1\xb3\\sul2file.dbf"));
    EXPECT_FALSE(bck::storedName(QStringLiteral("/tmp/\U0001F600")).has_value());
}

TEST(BckFormat, StoredNameFoldsOnlyAsciiLetters)
{
    // 값 is 0xB0 0xAA in CP949 while 넣 is 0xB3 0xD6: a second byte in
    // the range of 'A'..'Z' must stay as it is.
    const QByteArray stored = bck::storedName(QStringLiteral("/\uAC12\uB123AB")).value();
    EXPECT_EQ(stored.mid(3), QByteArray("\xb0\xaa\xb3\xd6" "ab"));
}

TEST(BckFormat, RestorePaths)
{
    EXPECT_EQ(bck::restorePath("c:\\a\\\xbc\xb3\xb1\xb3\\b.txt", true).value(), QStringLiteral("a/설교/b.txt"));
    EXPECT_EQ(bck::restorePath("c:\\a\\b.txt", false).value(), QStringLiteral("b.txt"));
    EXPECT_FALSE(bck::restorePath("c:\\a\\..\\b", true).has_value());
    EXPECT_FALSE(bck::restorePath("c:\\a\\", false).has_value());
}

TEST(BckFormat, VolumeNames)
{
    EXPECT_EQ(bck::volumeName(QStringLiteral("/x/y.z/a.bck"), 2), QStringLiteral("/x/y.z/a.002"));
    EXPECT_EQ(bck::volumeName(QStringLiteral("/x/y.z/noext"), 12), QStringLiteral("/x/y.z/noext.012"));
    EXPECT_EQ(bck::volumeName(QStringLiteral("a.bck"), 1234), QStringLiteral("a.234"));
}

TEST(BckFormat, NextDiskMarkersNameVolumesTwoTo999)
{
    EXPECT_EQ(bck::nextDiskMarker(2), QByteArray("NEXT:DISK002"));
    EXPECT_EQ(bck::nextDiskNumber(bck::nextDiskMarker(999)), 999);
    for (const char *bad : {"NEXT:DISK000", "NEXT:DISK001", "NEXT:DISK1000", "NEXT:DISK02", "NEXT:DISK/..",
                            "NEXT:DISK-01", "next:disk002", "NEXT:DISK002 "})
        EXPECT_FALSE(bck::nextDiskNumber(bad).has_value()) << bad;
}
