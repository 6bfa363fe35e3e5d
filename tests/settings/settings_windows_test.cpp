// SPDX-License-Identifier: GPL-3.0-or-later
// The settings windows as the user works them: the start helper, the
// settings window's two pages, the font window and About, each with what it
// stores in the settings file (the main window's side is in the app tests).
#include "platform/cp949.h"
#include "platform/fonts.h"
#include "platform/help.h"
#include "platform/help_key.h"
#include "platform/paths.h"
#include "settings/help_pages.h"
#include "settings/profile.h"
#include "settings/ui/help_window.h"
#include "settings/ui/tfmabout.h"
#include "settings/ui/tfmconfig.h"
#include "settings/ui/tfmfhelp.h"
#include "settings/ui/tfmfont.h"
#include "platform/described.h"
#include "support/accessibility.h"
#include "support/file_size_limit.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"
#include "support/window_lookup.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace verbana {
namespace {

using test::child;
using test::pressF1;

class SettingsWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(tmp.path());
        settings::setHelpFolder(QStringLiteral(VERBANA_HELP_DIR));
        installFontSubstitutions();
        installHelpKey(*qApp);
        setHelpViewer(&settings::ui::showHelpWindow);
    }
    void TearDown() override
    {
        setHelpViewer({});
        paths::setProgramFolder(QString());
        settings::setHelpFolder(QString());
    }

    QString ini() const { return tmp.path() + QStringLiteral("/verbdesk.ini"); }
    QString iniText() const { return cp949::decode(test::readAll(ini())); }
    static QString shownPage() { return settings::ui::helpWindow()->currentPage(); }

    QTemporaryDir tmp;
    test::ScriptedPrompter prompts;
};

// A screen reader announces the help window as a window.
TEST_F(SettingsWindowsTest, TheHelpWindowIsAWindowToAScreenReader)
{
    installWindowAccessibility();
    settings::ui::showHelpWindow(10);
    QWidget *help = settings::ui::helpWindow();
    ASSERT_NE(help, nullptr);
    QAccessibleInterface *window = QAccessible::queryAccessibleInterface(help);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_TRUE(window->text(QAccessible::Name).startsWith(QStringLiteral("Verbana 도움말")));
    help->close();
}

TEST_F(SettingsWindowsTest, StartHelperOpensTopicsAndWritesItsBoxBothWays)
{
    // At a first start the box is unticked; ticked, it asks for no more.
    prompts.modal(QStringLiteral("Tfmfhelp"), [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("시작 도우미"));
        EXPECT_EQ(test::unnamedControls(&w), "");
        QStringList labels;
        for (int i = 2; i <= 9; ++i)
            labels << child<QLabel>(w, QStringLiteral("Label%1").arg(i).toLatin1().constData())->text();
        EXPECT_EQ(labels.first(), QStringLiteral("1.Verbana 에 대한 대략의 안내문을 보고 싶다."));
        EXPECT_EQ(labels.last(), QStringLiteral("8.통계는 어떤 용도로 쓰이나?"));
        // A label opens its topic in the help window, beside the helper.
        QTest::mouseClick(child<QLabel>(w, "Label9"), Qt::LeftButton);
        EXPECT_EQ(shownPage(), QStringLiteral("2500.html"));
        pressF1(w);
        EXPECT_EQ(shownPage(), QStringLiteral("4000.html"));
        auto *box = child<QCheckBox>(w, "CBnext");
        EXPECT_FALSE(box->isChecked());
        box->setChecked(true);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
    });
    settings::ui::Tfmfhelp::ExecuteAtStart(ini(), nullptr);
    EXPECT_EQ(iniText(), QStringLiteral("[첫화면]\r\nhelp=0\r\n"));

    // From the menu the box shows the file; unticked and closed by the
    // close box, the helper shows at every start again.
    prompts.modal(QStringLiteral("Tfmfhelp"), [&](QWidget &w) {
        auto *box = child<QCheckBox>(w, "CBnext");
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        w.close();
    });
    settings::ui::Tfmfhelp::ExecuteFromMenu(ini(), nullptr);
    EXPECT_EQ(iniText(), QStringLiteral("[첫화면]\r\nhelp=1\r\n"));
}

TEST_F(SettingsWindowsTest, SettingsWindowStoresListsAndGeneralChoicesOrNothing)
{
    settings::Profile(ini()).writeList(QStringLiteral("설교장소"), {QStringLiteral("예배실")});
    int stored = 0; // the lists handed on to the sermon form
    settings::ui::Tfmconfig config(ini(), [&] { ++stored; });
    // "확인" with three lines: three items at once, "수"=3.
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("환경설정"));
        EXPECT_EQ(test::unnamedControls(&w), "");
        EXPECT_EQ(child<QStackedWidget>(w, "Notebook1")->currentIndex(), 1);
        auto *tabs = child<QTabWidget>(w, "tcLists");
        EXPECT_EQ(tabs->tabText(tabs->currentIndex()), QStringLiteral("설교장소"));
        EXPECT_EQ(child<QPlainTextEdit>(w, "Memo5")->toPlainText(), QStringLiteral("예배실"));
        EXPECT_EQ(child<QPushButton>(w, "btnCancel2")->toolTip(), QStringLiteral("저장 X , 적용만 함"));
        child<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("제목설교\n본문설교\n강해설교\n"));
        QTest::mouseClick(child<QPushButton>(w, "btnListOK"), Qt::LeftButton);
    });
    config.Execute(settings::ui::Tfmconfig::pgLists);
    EXPECT_EQ(stored, 1);
    const settings::Profile profile(ini());
    EXPECT_EQ(profile.readList(QStringLiteral("설교형식")),
              (QStringList{QStringLiteral("제목설교"), QStringLiteral("본문설교"), QStringLiteral("강해설교")}));
    EXPECT_EQ(profile.readInteger(QStringLiteral("설교형식"), QStringLiteral("수"), 0), 3);
    EXPECT_EQ(profile.readList(QStringLiteral("설교장소")), QStringList{QStringLiteral("예배실")});

    // "취소" after editing a list: nothing changes.
    const QByteArray before = test::readAll(ini());
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        child<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("다른 것"));
        QTest::mouseClick(child<QPushButton>(w, "btnCancel2"), Qt::LeftButton);
    });
    config.Execute(settings::ui::Tfmconfig::pgLists);
    EXPECT_EQ(test::readAll(ini()), before);
    EXPECT_EQ(stored, 1);

    // A full disk: the error once, neither the file nor the lists change,
    // and what was typed stays in the window.
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        auto *memo = child<QPlainTextEdit>(w, "Memo2");
        EXPECT_EQ(memo->toPlainText(), QStringLiteral("제목설교\n본문설교\n강해설교")); // read again
        memo->setPlainText(QStringLiteral("하나\n둘\n셋\n넷"));
        {
            test::FileSizeLimit full(16);
            QTest::mouseClick(child<QPushButton>(w, "btnListOK"), Qt::LeftButton);
        }
        EXPECT_TRUE(w.isVisible());
        EXPECT_EQ(memo->toPlainText(), QStringLiteral("하나\n둘\n셋\n넷"));
        QTest::mouseClick(child<QPushButton>(w, "btnCancel2"), Qt::LeftButton);
    });
    prompts.error();
    config.Execute(settings::ui::Tfmconfig::pgLists);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("Unable to write to ") + ini());
    EXPECT_EQ(test::readAll(ini()), before);
    EXPECT_EQ(stored, 1);

    // Page 일반: unticking the HWP question writes "Q실행"=1.
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        EXPECT_EQ(child<QStackedWidget>(w, "Notebook1")->currentIndex(), 0);
        EXPECT_TRUE(child<QCheckBox>(w, "cbFirstHelp")->isChecked());
        auto *hwp = child<QCheckBox>(w, "cbHwpMess");
        EXPECT_TRUE(hwp->isChecked());
        pressF1(w);
        EXPECT_EQ(shownPage(), QStringLiteral("10.html"));
        hwp->setChecked(false);
        QTest::mouseClick(child<QPushButton>(w, "btnSaveGen"), Qt::LeftButton);
    });
    config.Execute(settings::ui::Tfmconfig::pgGeneral);
    EXPECT_EQ(settings::Profile(ini()).readRaw(QStringLiteral("하안글"), QStringLiteral("Q실행")), QByteArray("1"));
    EXPECT_EQ(settings::Profile(ini()).readRaw(QStringLiteral("첫화면"), QStringLiteral("help")), QByteArray("1"));
}

TEST_F(SettingsWindowsTest, FontWindowStoresNameSizeAndColoursButNotBoldOrItalic)
{
    QFont chosen(QStringLiteral("NanumGothic"));
    chosen.setPointSize(12);
    chosen.setBold(true);
    chosen.setItalic(true);
    prompts.modal(QStringLiteral("Tfmfont"), [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("글꼴/바탕색"));
        EXPECT_EQ(test::unnamedControls(&w), "");
        auto *sample = child<QLineEdit>(w, "eGen");
        EXPECT_EQ(sample->text(), QStringLiteral("하늘에 계신 우리 아버지"));
        QTest::mouseClick(child<QPushButton>(w, "btnFont1"), Qt::LeftButton);
        EXPECT_TRUE(sample->font().bold());
        EXPECT_TRUE(child<QLabel>(w, "LaGen")->font().italic());
        QTest::mouseClick(child<QPushButton>(w, "btnColor1"), Qt::LeftButton);
        EXPECT_EQ(sample->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
    });
    prompts.font(chosen.toString()).colour(QStringLiteral("#ffffc0"));
    settings::ui::FontLook manuscript, general;
    manuscript.font = QFont(QStringLiteral("굴림체"), 9);
    general.font = QFont(QStringLiteral("굴림체"), 10);
    int applied = 0;
    const auto onScreen = [](colours::TColor c) {
        return c & colours::kSystemBase ? QColor(Qt::white)
                                        : QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
    };
    settings::ui::Tfmfont::Execute(manuscript, general, onScreen, ini(), [&] { ++applied; }, nullptr);
    EXPECT_EQ(applied, 1);
    const settings::Profile p(ini());
    const QString fonts = QStringLiteral("글꼴");
    EXPECT_EQ(p.readString(fonts, QStringLiteral("일반명")), QStringLiteral("NanumGothic"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반고")), QByteArray("12"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반바탕색")), QByteArray("$00C0FFFF"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반색")), QByteArray("clWindowText"));
    EXPECT_EQ(p.readString(fonts, QStringLiteral("원고명")), QStringLiteral("굴림체"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("원고고")), QByteArray("9"));
    EXPECT_FALSE(iniText().contains(QStringLiteral("bold"), Qt::CaseInsensitive));
}

TEST_F(SettingsWindowsTest, AboutClosesOnlyByItsPictureAndItsLinkOpensTheHomePage)
{
    prompts.modal(QStringLiteral("Tfmabout"), [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("About"));
        EXPECT_EQ(w.size(), QSize(508, 318));
        EXPECT_EQ(child<QLabel>(w, "lblVer")->text(), QStringLiteral("Ver."));
        EXPECT_EQ(child<QLabel>(w, "lblVersion")->text(), settings::ui::Tfmabout::versionText());
        for (const char *label : {"lblVer", "lblVersion", "lblDate"}) {
            QTest::mouseClick(child<QLabel>(w, label), Qt::LeftButton);
            EXPECT_TRUE(w.isVisible()) << label;
        }
        auto *link = child<settings::ui::LinkLabel>(w, "lblHome");
        QTest::mousePress(link, Qt::LeftButton);
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::red));
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(-5, -5)); // outside: nothing opens
        EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QTest::mouseClick(link, Qt::LeftButton);
        EXPECT_TRUE(link->visited());
        EXPECT_EQ(shownPage(), QStringLiteral("verbana.html"));
        EXPECT_TRUE(w.isVisible());
        QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(20, 300));
    });
    settings::ui::Tfmabout::Execute(nullptr);
    EXPECT_EQ(prompts.pending(), 0);
}

} // namespace
} // namespace verbana
