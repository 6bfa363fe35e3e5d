// SPDX-License-Identifier: GPL-3.0-or-later
// The manuscript page's logic: ConvertHwp with the real converter and with
// stand-ins, the files made before editing, the HWP manuscript turned into
// RTF, and the desktop's default application for HWP documents.
#include "editing/manuscript_files.h"
#include "editing/outside_editing.h"
#include "editing/sermon_editing.h"

#include "editing_helpers.h"
#include "platform/desktop_apps.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "richtext/richtext.h"
#include "store/convert_hwp.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "xdg_sandbox.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <QTimer>

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

using test::cp;
using test::readAll;

class ManuscriptFilesTest : public ::testing::Test {
protected:
    void SetUp() override { store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH)); }
    void TearDown() override { store::setHwp2txtPath(QString()); }
    QString program(const char *name) const { return c.programFolder() + QLatin1Char('/') + QLatin1String(name); }

    test::TestCollection c{{{"1997.05.05", "첫 설교", "d0\\sul0.HWP"}, {"1998.01.01", "둘째 설교"}}};
};

TEST_F(ManuscriptFilesTest, ConvertHwpLeavesTheCopyAndItsTextOrSaysWhyNot)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString source = test::sharedFixtures() + QStringLiteral("/hwp/hwp5/example.hwp");
    ASSERT_EQ(store::ConvertHwp(source), store::hwpConverted);
    EXPECT_EQ(readAll(program("convhwp.hwp")), readAll(source));
    const QByteArray text = readAll(program("convhwp.txt"));
    EXPECT_FALSE(text.isEmpty());
    EXPECT_TRUE(text.endsWith("\r\n"));
    EXPECT_FALSE(store::convertingHwp());

    // The work file itself, in any letter case.
    EXPECT_EQ(store::ConvertHwp(program("CONVHWP.HWP")), store::hwpWorkFile);
    // Empty and missing files.
    c.writeFile(QStringLiteral("empty.hwp"), QByteArray());
    EXPECT_EQ(store::ConvertHwp(c.folder() + QStringLiteral("/empty.hwp")), store::hwpUnreadable);
    EXPECT_EQ(store::ConvertHwp(c.folder() + QStringLiteral("/none.hwp")), store::hwpUnreadable);
    // A document the converter cannot read makes no text: not converted,
    // and the text of the earlier conversion is gone.
    c.writeFile(QStringLiteral("bad.hwp"), QByteArrayLiteral("not an HWP document"));
    EXPECT_EQ(store::ConvertHwp(c.folder() + QStringLiteral("/bad.hwp")), store::hwpNotConverted);
    EXPECT_FALSE(QFileInfo::exists(program("convhwp.txt")));
    // The copy cannot be made where a folder has the work file's name.
    QFile::remove(program("convhwp.hwp"));
    ASSERT_TRUE(QDir().mkpath(program("convhwp.hwp")));
    EXPECT_EQ(store::ConvertHwp(source), store::hwpCopyFailed);
    QDir(program("convhwp.hwp")).removeRecursively();
    // No converter.
    store::setHwp2txtPath(program("missing/Hwp2txt"));
    EXPECT_EQ(store::ConvertHwp(source), store::hwpNotConverted);

    EXPECT_EQ(store::convertTimeLimit(300), 5000);
    EXPECT_EQ(store::convertTimeLimit(209533), 209533);
}

TEST_F(ManuscriptFilesTest, ASecondConversionWhileOneRunsIsRefused)
{
    // A converter that takes its time and then writes the text.
    const QString script = program("slow-converter");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\nsleep 0.3\nprintf 'ok\\r\\n' > \"$2\"\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    store::setHwp2txtPath(script);
    c.writeFile(QStringLiteral("a.hwp"), QByteArrayLiteral("HWP"));
    QString refusal;
    QTimer::singleShot(0, [&] {
        try {
            store::ConvertHwp(c.folder() + QStringLiteral("/a.hwp"));
        } catch (const EUserError &e) {
            refusal = e.text();
        }
    });
    EXPECT_EQ(store::ConvertHwp(c.folder() + QStringLiteral("/a.hwp")), store::hwpConverted);
    EXPECT_EQ(refusal, store::hwpBusyText());
    EXPECT_EQ(readAll(program("convhwp.txt")), QByteArrayLiteral("ok\r\n"));
}

TEST_F(ManuscriptFilesTest, FilesBeforeEditingAndTheHwpManuscriptTurnedIntoRtf)
{
    SermonEditing editing;
    editing.bind(&c.table(), c.folder());
    c.table().Go(2);
    ASSERT_EQ(editing.context(), QString());
    editing.setContext(QStringLiteral("d0\\sul5.RTF"));
    EXPECT_EQ(c.storedField(2, store::fCONTEXT).trimmed(), QByteArrayLiteral("d0\\sul5.RTF"));
    const ManuscriptFiles made = ManuscriptPaths(editing);
    prepareManuscriptFiles(made);
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul5.txt")), QByteArrayLiteral("\r\n"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/data/d0/sul5.RTF")), QByteArrayLiteral("\r\n"));

    c.table().Go(1);
    c.writeFile(QStringLiteral("data/d0/sul0.HWP"), QByteArrayLiteral("HWP"));
    c.writeFile(QStringLiteral("text/d0/sul0.txt"), cp("첫 줄\r\n둘째 줄\r\n"));
    turnIntoBuiltIn(editing);
    EXPECT_EQ(c.storedField(1, store::fCONTEXT).trimmed(), QByteArrayLiteral("d0\\sul0.rtf"));
    EXPECT_FALSE(c.exists(QStringLiteral("data/d0/sul0.HWP")));
    const QByteArray rtf = readAll(c.folder() + QStringLiteral("/data/d0/sul0.rtf"));
    ASSERT_TRUE(richtext::isRtf(rtf));
    EXPECT_EQ(richtext::plainTextOf(rtf).bytes, cp("첫 줄\r\n둘째 줄\r\n"));
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/text/d0/sul0.txt")), cp("첫 줄\r\n둘째 줄\r\n"));
}

TEST_F(ManuscriptFilesTest, HwpxManuscriptsTakeTheWaysOfHwpOnes)
{
    VERBANA_REQUIRE_FIXTURES();
    EXPECT_EQ(manuscriptType(QStringLiteral("d0\\sul3.hwpx")), ManuscriptType::Hwp);
    EXPECT_EQ(extensionOf(QStringLiteral("d0\\sul3.HWPX")), QStringLiteral(".HWPX"));

    // Converted through its own work copy, which a new sermon takes in as
    // temp.hwpx; the binary work copy of an earlier conversion is gone.
    const QString source = test::sharedFixtures() + QStringLiteral("/hwpx/headerfooter.hwpx");
    ASSERT_TRUE(test::writeAll(program("convhwp.hwp"), QByteArrayLiteral("HWP")));
    ASSERT_EQ(store::ConvertHwp(source), store::hwpConverted);
    EXPECT_FALSE(QFileInfo::exists(program("convhwp.hwp")));
    EXPECT_EQ(readAll(program("convhwp.hwpx")), readAll(source));
    EXPECT_EQ(readAll(program("convhwp.txt")), cp("\r\n꼬리말\r\n\r\n머리말 테스트\r\n"));
    EXPECT_EQ(store::ConvertHwp(program("ConvHwp.HWPX")), store::hwpWorkFile);
    takeInConverted(c.folder());
    EXPECT_EQ(readAll(c.folder() + QStringLiteral("/temp.hwpx")), readAll(source));
    EXPECT_TRUE(c.exists(QStringLiteral("temp.txt")));

    // Its text copy is named as an HWP manuscript's; turned into RTF, it
    // loses the whole ".HWPX".
    SermonEditing editing;
    editing.bind(&c.table(), c.folder());
    c.table().Go(1);
    editing.setContext(QStringLiteral("d0\\sul0.HWPX"));
    c.writeFile(QStringLiteral("data/d0/sul0.HWPX"), QByteArrayLiteral("PK"));
    c.writeFile(QStringLiteral("text/d0/sul0.txt"), cp("본문\r\n"));
    EXPECT_EQ(ManuscriptPaths(editing).textCopy, c.folder() + QStringLiteral("/text/d0/sul0.txt"));
    turnIntoBuiltIn(editing);
    EXPECT_EQ(c.storedField(1, store::fCONTEXT).trimmed(), QByteArrayLiteral("d0\\sul0.rtf"));
    EXPECT_FALSE(c.exists(QStringLiteral("data/d0/sul0.HWPX")));
    EXPECT_EQ(richtext::plainTextOf(readAll(c.folder() + QStringLiteral("/data/d0/sul0.rtf"))).bytes, cp("본문\r\n"));
}

TEST_F(ManuscriptFilesTest, TheDefaultHwpApplicationComesFromTheDesktopsLists)
{
    test::XdgSandbox xdg;
    EXPECT_FALSE(hwpEditorFor(QStringLiteral("/x.hwp")).compatible);
    EXPECT_TRUE(hwpEditorFor(QStringLiteral("/x.hwp")).id.isEmpty());

    xdg.addApplication(QStringLiteral("org.example.Viewer.desktop"), QStringLiteral("HWP Viewer"),
                       QStringLiteral("hwpview --open %U"));
    xdg.addApplication(QStringLiteral("hnc-hwp.desktop"), QStringLiteral("Hancom Office Hwp"),
                       QStringLiteral("\"/opt/hnc/hoffice/Bin/hwp\" %f --no-splash %i"));
    xdg.setDefault(QStringLiteral("application/haansofthwp"), QStringLiteral("org.example.Viewer.desktop"));
    HwpEditor editor = hwpEditorFor(QStringLiteral("/d/a b.hwp"));
    EXPECT_EQ(editor.id, QStringLiteral("org.example.Viewer.desktop"));
    EXPECT_FALSE(editor.compatible);
    EXPECT_EQ(editor.command, (QStringList{QStringLiteral("hwpview"), QStringLiteral("--open"), QStringLiteral("/d/a b.hwp")}));

    // application/x-hwp comes first; a missing desktop file is passed over.
    xdg.setDefault(QStringLiteral("application/x-hwp"), QStringLiteral("gone.desktop;hnc-hwp.desktop"));
    editor = hwpEditorFor(QStringLiteral("/d/a b.hwp"));
    EXPECT_EQ(editor.id, QStringLiteral("hnc-hwp.desktop"));
    EXPECT_TRUE(editor.compatible);
    EXPECT_EQ(editor.command, (QStringList{QStringLiteral("/opt/hnc/hoffice/Bin/hwp"), QStringLiteral("/d/a b.hwp"),
                                           QStringLiteral("--no-splash")}));

    // An HWPX document: the binary types' application unless
    // application/hwp+zip has its own.
    EXPECT_EQ(hwpEditorFor(QStringLiteral("/d/a.HWPX")).id, QStringLiteral("hnc-hwp.desktop"));
    xdg.addApplication(QStringLiteral("hnc-hwpx.desktop"), QStringLiteral("Hancom Office Hwp"),
                       QStringLiteral("hwpx %f"));
    xdg.setDefault(QStringLiteral("application/hwp+zip"), QStringLiteral("hnc-hwpx.desktop"));
    editor = hwpEditorFor(QStringLiteral("/d/a.hwpx"));
    EXPECT_EQ(editor.id, QStringLiteral("hnc-hwpx.desktop"));
    EXPECT_TRUE(editor.compatible);
    EXPECT_EQ(hwpEditorFor(QStringLiteral("/d/a b.hwp")).id, QStringLiteral("hnc-hwp.desktop"));
}

} // namespace
} // namespace verbana::editing
