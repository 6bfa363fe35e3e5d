// SPDX-License-Identifier: GPL-3.0-or-later
// The menu 도우미 in the main window: the start helper and its key, the
// settings and font windows, About, the help window on F1 in every window,
// and qarch.
#include "app/helper_commands.h"

#include "editing/tfmcal.h"
#include "editing/tfmmemo.h"
#include "editing/tfmqhwp.h"
#include "editing/tfmverbdesk.h"
#include "platform/cp949.h"
#include "platform/fonts.h"
#include "platform/help_key.h"
#include "platform/paths.h"
#include "settings/help_pages.h"
#include "settings/profile.h"
#include "settings/ui/help_window.h"
#include "settings/ui/tfmabout.h"
#include "settings/ui/tfmfhelp.h"
#include "store/collection_document.h"
#include "store/ui/tfmcreate.h"
#include "store/ui/tfmopen.h"
#include "support/accessibility.h"
#include "support/file_size_limit.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace verbana {
namespace {

class HelperCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(tmp.path());
        settings::setHelpFolder(QStringLiteral(VERBANA_HELP_DIR));
        installFontSubstitutions();
        installHelpKey(*qApp);
        window = std::make_unique<editing::Tfmverbdesk>(document);
        helpers = std::make_unique<HelperCommands>(*window);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override
    {
        helpers.reset();
        window.reset();
        paths::setProgramFolder(QString());
        settings::setHelpFolder(QString());
    }

    QString ini() const { return tmp.path() + QStringLiteral("/verbdesk.ini"); }
    QString iniText() const { return cp949::decode(test::readAll(ini())); }
    QAction *action(const char *name) const { return window->findChild<QAction *>(QLatin1String(name)); }
    template <typename T = QWidget> static T *child(QWidget &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    static QString shownPage() { return settings::ui::helpWindow()->currentPage(); }
    // F1 where the keyboard focus is in `w`.
    static void pressF1(QWidget &w)
    {
        QWidget *focus = w.focusWidget();
        QTest::keyClick(focus ? focus : &w, Qt::Key_F1);
    }
    static QStringList items(QComboBox *box)
    {
        QStringList l;
        for (int i = 0; i < box->count(); ++i)
            l << box->itemText(i);
        return l;
    }

    QTemporaryDir tmp;
    test::ScriptedPrompter prompts;
    store::CollectionDocument document;
    std::unique_ptr<editing::Tfmverbdesk> window;
    std::unique_ptr<HelperCommands> helpers;
};

TEST_F(HelperCommandsTest, StartHelperAtFirstStartAndFromTheMenuWritesHelpBothWays)
{
    // A first start: no settings file; the helper follows 300 ms later.
    helpers->start();
    EXPECT_TRUE(helpers->firstTimer().isActive());
    EXPECT_TRUE(helpers->firstTimer().isSingleShot());
    EXPECT_EQ(helpers->firstTimer().interval(), 300);
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompts.pending() == 0; }));
    EXPECT_EQ(iniText(), QStringLiteral("[첫화면]\r\nhelp=0\r\n"));

    // The next start shows none (an unscripted window would fail the test).
    helpers->firstTimer().start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !helpers->firstTimer().isActive(); }));
    QTest::qWait(20);

    // From the menu the box shows the file; unticked and closed by the
    // close box, the helper shows at every start again.
    prompts.modal(QStringLiteral("Tfmfhelp"), [&](QWidget &w) {
        auto *box = child<QCheckBox>(w, "CBnext");
        EXPECT_TRUE(box->isChecked());
        box->setChecked(false);
        w.close();
    });
    action("N33")->trigger();
    EXPECT_EQ(iniText(), QStringLiteral("[첫화면]\r\nhelp=1\r\n"));
}

TEST_F(HelperCommandsTest, SettingsWindowListsAndGeneralChoices)
{
    settings::Profile(ini()).writeList(QStringLiteral("설교장소"), {QStringLiteral("예배실")});
    auto *stype = window->findChild<QComboBox *>(QStringLiteral("STYPE"));
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
    action("mnConfig2")->trigger();
    EXPECT_EQ(items(stype), (QStringList{QStringLiteral("제목설교"), QStringLiteral("본문설교"), QStringLiteral("강해설교")}));
    const settings::Profile profile(ini());
    EXPECT_EQ(profile.readInteger(QStringLiteral("설교형식"), QStringLiteral("수"), 0), 3);
    EXPECT_EQ(profile.readList(QStringLiteral("설교장소")), QStringList{QStringLiteral("예배실")});

    // "취소" after editing a list (재설정 opens the same page): nothing changes.
    const QByteArray before = test::readAll(ini());
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        child<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("다른 것"));
        QTest::mouseClick(child<QPushButton>(w, "btnCancel2"), Qt::LeftButton);
    });
    // (The outline page is disabled while no collection is open.)
    auto *reset = window->findChild<QPushButton *>(QStringLiteral("btnReset"));
    EXPECT_EQ(reset->toolTip(), QStringLiteral("형식/방향/분류 의 \r\n예정단어 다시 지정"));
    Q_EMIT reset->clicked();
    EXPECT_EQ(test::readAll(ini()), before);
    EXPECT_EQ(items(stype).size(), 3);

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
    action("mnConfig2")->trigger();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("Unable to write to ") + ini());
    EXPECT_EQ(test::readAll(ini()), before);
    EXPECT_EQ(items(stype).size(), 3);

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
    action("mnConfig1")->trigger();
    EXPECT_EQ(settings::Profile(ini()).readRaw(QStringLiteral("하안글"), QStringLiteral("Q실행")), QByteArray("1"));
    EXPECT_EQ(settings::Profile(ini()).readRaw(QStringLiteral("첫화면"), QStringLiteral("help")), QByteArray("1"));
}

TEST_F(HelperCommandsTest, FontWindowStoresNameSizeAndColoursButNotBoldOrItalic)
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
    action("N44")->trigger();
    const settings::Profile p(ini());
    const QString fonts = QStringLiteral("글꼴");
    EXPECT_EQ(p.readString(fonts, QStringLiteral("일반명")), QStringLiteral("NanumGothic"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반고")), QByteArray("12"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반바탕색")), QByteArray("$00C0FFFF"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("일반색")), QByteArray("clWindowText"));
    EXPECT_EQ(p.readString(fonts, QStringLiteral("원고명")), QStringLiteral("굴림체"));
    EXPECT_EQ(p.readRaw(fonts, QStringLiteral("원고고")), QByteArray("9"));
    EXPECT_FALSE(iniText().contains(QStringLiteral("bold"), Qt::CaseInsensitive));
    // Applied at once, in a plain style.
    auto *title = window->findChild<QLineEdit *>(QStringLiteral("TITLE1"));
    EXPECT_EQ(title->font().pointSize(), 12);
    EXPECT_FALSE(title->font().bold() || title->font().italic());
    EXPECT_EQ(title->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));
}

TEST_F(HelperCommandsTest, AboutClosesOnlyByItsPictureAndItsLinkOpensTheHomePage)
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
    action("mnAbout")->trigger();
    EXPECT_EQ(prompts.pending(), 0);
}

TEST_F(HelperCommandsTest, F1InEveryWindowShowsItsTopic)
{
    QTest::keyClick(window.get(), Qt::Key_F1);
    EXPECT_EQ(shownPage(), QStringLiteral("10.html"));
    EXPECT_EQ(settings::ui::helpWindow()->windowTitle(), QStringLiteral("Verbana 도움말 - 주 화면"));
    action("mnHome")->trigger();
    EXPECT_EQ(shownPage(), QStringLiteral("verbana.html"));
    // The topic list follows the page.
    auto *topics = settings::ui::helpWindow()->findChild<QListWidget *>(QStringLiteral("lbTopics"));
    ASSERT_NE(topics->currentItem(), nullptr);
    EXPECT_EQ(topics->currentItem()->text(), QStringLiteral("Verbana 와 만든 사람들"));

    store::CollectionDocument session;
    editing::Tfmmemo memo(window.get());
    store::ui::Tfmopen open(QString(), QPoint(), window.get());
    store::ui::Tfmcreate create(session, QPoint(), window.get());
    editing::Tfmcal calendar(window.get());
    editing::TfmQhwp question(window.get());
    settings::ui::Tfmfhelp helper(ini(), false, window.get());
    const std::pair<QWidget *, const char *> windows[] = {
        {&memo, "5000.html"}, {&open, "2110.html"}, {&create, "2100.html"}, {&calendar, "10.html"},
        {&question, "10.html"}, {&helper, "4000.html"}};
    for (const auto &[w, page] : windows) {
        w->show();
        QApplication::setActiveWindow(w);
        pressF1(*w);
        EXPECT_EQ(shownPage(), QLatin1String(page)) << w->objectName().toStdString();
        w->hide();
    }
    helper.done(0); // the helper writes its key when it closes
}

TEST_F(HelperCommandsTest, QarchRunsFromTheProgramFolderOrIsDisabledWithTheReason)
{
    auto *button = window->findChild<QToolButton *>(QStringLiteral("SpeedButton6"));
    EXPECT_FALSE(button->isEnabled());
    EXPECT_FALSE(action("N46")->isEnabled());
    EXPECT_EQ(button->toolTip(), QStringLiteral("qarch 실행\r\n(프로그램 폴더에 qarch가 없어서 실행할 수 없습니다)"));

    QFile qarch(tmp.path() + QStringLiteral("/QArch"));
    ASSERT_TRUE(qarch.open(QIODevice::WriteOnly));
    qarch.write("#!/bin/sh\ntouch \"$PWD/started\"\n");
    qarch.close();
    qarch.setPermissions(qarch.permissions() | QFile::ExeOwner);
    Q_EMIT window->findChild<QMenu *>(QStringLiteral("mnHelper"))->aboutToShow();
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->toolTip(), QStringLiteral("qarch 실행"));
    action("N46")->trigger();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(tmp.path() + QStringLiteral("/started")); }));
}

} // namespace
} // namespace verbana
