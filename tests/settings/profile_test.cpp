// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile.h"
#include "support/file_size_limit.h"
#include "support/fixtures.h"

#include "platform/cp949.h"
#include "platform/user_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::settings;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString path = tmp.path() + QStringLiteral("/verbdesk.ini");
    Profile ini{path};

    void writeFile(const QByteArray &utf8)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(cp949::encode(QString::fromUtf8(utf8)).bytes);
    }
    QString fileText() const { return cp949::decode(test::readAll(path)); }
};

TEST_F(ProfileTest, MissingFileGivesEveryDefault)
{
    EXPECT_EQ(ini.readInteger(QStringLiteral("화면"), QStringLiteral("gridpan"), 185), 185);
    EXPECT_FALSE(ini.readBool(QStringLiteral("화면"), QStringLiteral("full"), false));
    EXPECT_EQ(ini.readString(QStringLiteral("글꼴"), QStringLiteral("원고명"), QStringLiteral("굴림체")), QStringLiteral("굴림체"));
    EXPECT_EQ(ini.readColour(QStringLiteral("글꼴"), QStringLiteral("원고색"), QStringLiteral("clWindowtext")),
              colours::clWindowText);
    EXPECT_TRUE(ini.readList(QStringLiteral("설교형식")).isEmpty());
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(ProfileTest, WritesCp949AndKeepsTheRestOfTheFile)
{
    writeFile("; 설정\r\n[File]\r\nLAST=옛것\r\nother=1\r\n\r\n[기타]\r\nx=y\r\n");
    ini.writeString(QStringLiteral("file"), QStringLiteral("last"), QStringLiteral("GRACE1 설교"));
    ini.writeInteger(QStringLiteral("화면"), QStringLiteral("gridpan"), 200);
    ini.writeString(QStringLiteral("기타"), QStringLiteral("z"), QStringLiteral("w"));
    EXPECT_EQ(fileText(), QStringLiteral("; 설정\r\n[File]\r\nLAST=GRACE1 설교\r\nother=1\r\n\r\n[기타]\r\nx=y\r\nz=w\r\n"
                                         "\r\n[화면]\r\ngridpan=200\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("FILE"), QStringLiteral("Last")), QStringLiteral("GRACE1 설교"));
    EXPECT_EQ(ini.readInteger(QStringLiteral("화면"), QStringLiteral("GRIDPAN"), 0), 200);
}

TEST_F(ProfileTest, IntegersBooleansAndColoursInTheirForms)
{
    writeFile("[a]\r\nhex=$1F\r\nbad=abc\r\nyes=2\r\nno=0\r\nc1=clwindowtext\r\nc2=$00C0FFFF\r\nc3=255\r\nc4=nonsense\r\n");
    EXPECT_EQ(ini.readInteger(QStringLiteral("a"), QStringLiteral("hex"), 0), 31);
    EXPECT_EQ(ini.readInteger(QStringLiteral("a"), QStringLiteral("bad"), 7), 7);
    EXPECT_TRUE(ini.readBool(QStringLiteral("a"), QStringLiteral("yes"), false));
    EXPECT_FALSE(ini.readBool(QStringLiteral("a"), QStringLiteral("no"), true));
    EXPECT_EQ(ini.readColour(QStringLiteral("a"), QStringLiteral("c1"), QStringLiteral("clBlack")), colours::clWindowText);
    EXPECT_EQ(ini.readColour(QStringLiteral("a"), QStringLiteral("c2"), QStringLiteral("clBlack")), 0x00C0FFFFu);
    EXPECT_EQ(ini.readColour(QStringLiteral("a"), QStringLiteral("c3"), QStringLiteral("clBlack")), 0xFFu);
    EXPECT_EQ(ini.readColour(QStringLiteral("a"), QStringLiteral("c4"), QStringLiteral("clWindow")), colours::clWindow);

    ini.writeColour(QStringLiteral("b"), QStringLiteral("pale"), 0x00C0FFFF);
    ini.writeColour(QStringLiteral("b"), QStringLiteral("red"), 0x0000FF);
    ini.writeColour(QStringLiteral("b"), QStringLiteral("win"), colours::clWindow);
    ini.writeBool(QStringLiteral("b"), QStringLiteral("flag"), true);
    EXPECT_TRUE(fileText().endsWith(QStringLiteral("[b]\r\npale=$00C0FFFF\r\nred=clRed\r\nwin=clWindow\r\nflag=1\r\n")));
}

TEST_F(ProfileTest, ListsKeepOldKeysBeyondTheCount)
{
    ini.writeList(QStringLiteral("설교형식"), {QStringLiteral("가"), QStringLiteral("나"), QStringLiteral("다"),
                                              QStringLiteral("라"), QStringLiteral("마")});
    ini.writeList(QStringLiteral("설교형식"), {QStringLiteral("하나"), QString(), QStringLiteral("셋")});
    EXPECT_EQ(ini.readList(QStringLiteral("설교형식")), (QStringList{QStringLiteral("하나"), QString(), QStringLiteral("셋")}));
    EXPECT_TRUE(fileText().contains(QStringLiteral("4=라\r\n5=마\r\n")));
}

TEST_F(ProfileTest, AHugeListCountReadsAsTheLongestList)
{
    writeFile("[설교형식]\r\n수=2000000000\r\n1=가\r\n3=다\r\n");
    const QStringList words = ini.readList(QStringLiteral("설교형식"));
    ASSERT_EQ(words.size(), 1000);
    EXPECT_EQ(words.mid(0, 4), (QStringList{QStringLiteral("가"), QString(), QStringLiteral("다"), QString()}));
}

TEST_F(ProfileTest, AnUnwritableFileRaisesTheWriteError)
{
    // A folder standing where the file should be cannot be written, even
    // with the rights of an administrator.
    const QString blocked = tmp.path() + QStringLiteral("/blocked.ini");
    QDir().mkpath(blocked);
    Profile ro(blocked);
    try {
        ro.writeInteger(QStringLiteral("화면"), QStringLiteral("top"), 1);
        FAIL();
    } catch (const EUserError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + blocked);
    }
}

TEST_F(ProfileTest, SeveralKeysAreWrittenTogetherOrNotAtAll)
{
    writeFile("[첫화면]\r\nhelp=1\r\n");
    const QByteArray before = test::readAll(path);
    Profile::Changes changes;
    changes.boolean(QStringLiteral("하안글"), QStringLiteral("Q실행"), true)
        .boolean(QStringLiteral("첫화면"), QStringLiteral("help"), false)
        .list(QStringLiteral("설교장소"), {QStringLiteral("예배실"), QStringLiteral("가정")});
    {
        // The disk is full: the error names the file and nothing changes.
        test::FileSizeLimit full(16);
        try {
            ini.write(changes);
            FAIL();
        } catch (const EUserError &e) {
            EXPECT_EQ(e.text(), QStringLiteral("Unable to write to ") + path);
        }
    }
    EXPECT_EQ(test::readAll(path), before);
    ini.write(changes);
    EXPECT_EQ(fileText(), QStringLiteral("[첫화면]\r\nhelp=0\r\n\r\n[하안글]\r\nQ실행=1\r\n\r\n"
                                         "[설교장소]\r\n수=2\r\n1=예배실\r\n2=가정\r\n"));
}

} // namespace
