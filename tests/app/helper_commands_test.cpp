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
#include "support/window_lookup.h"

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

using test::child;
using test::pressF1;

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
    static QString shownPage() { return settings::ui::helpWindow()->currentPage(); }
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

TEST_F(HelperCommandsTest, TheStartHelperFollowsTheFirstStartAndTheMenu)
{
    // A first start: no settings file; the helper follows 300 ms later.
    helpers->start();
    EXPECT_TRUE(helpers->firstTimer().isActive());
    EXPECT_TRUE(helpers->firstTimer().isSingleShot());
    EXPECT_EQ(helpers->firstTimer().interval(), 300);
    prompts.modal(QStringLiteral("Tfmfhelp"), [&](QWidget &w) {
        child<QCheckBox>(w, "CBnext")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return prompts.pending() == 0; }));
    // The next start shows none (an unscripted window would fail the test).
    helpers->firstTimer().start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !helpers->firstTimer().isActive(); }));
    QTest::qWait(20);
    // The menu shows it whatever the file says.
    prompts.modal(QStringLiteral("Tfmfhelp"), [&](QWidget &w) {
        EXPECT_TRUE(child<QCheckBox>(w, "CBnext")->isChecked());
        w.close();
    });
    action("N33")->trigger();
    EXPECT_EQ(prompts.pending(), 0);
}

TEST_F(HelperCommandsTest, TheSettingsWindowsReachTheMainWindow)
{
    // 환경설정 - 설교항목: the new words are in the form's lists at once.
    auto *stype = window->findChild<QComboBox *>(QStringLiteral("STYPE"));
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        EXPECT_EQ(child<QStackedWidget>(w, "Notebook1")->currentIndex(), 1);
        child<QPlainTextEdit>(w, "Memo2")->setPlainText(QStringLiteral("제목설교\n본문설교\n강해설교\n"));
        QTest::mouseClick(child<QPushButton>(w, "btnListOK"), Qt::LeftButton);
    });
    action("mnConfig2")->trigger();
    EXPECT_EQ(items(stype), (QStringList{QStringLiteral("제목설교"), QStringLiteral("본문설교"), QStringLiteral("강해설교")}));
    // 재설정 of the outline page opens the same page; 환경설정 - 일반 the other.
    auto *reset = window->findChild<QPushButton *>(QStringLiteral("btnReset"));
    EXPECT_EQ(reset->toolTip(), QStringLiteral("형식/방향/분류 의 \r\n예정단어 다시 지정"));
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        EXPECT_EQ(child<QStackedWidget>(w, "Notebook1")->currentIndex(), 1);
        QTest::mouseClick(child<QPushButton>(w, "btnCancel2"), Qt::LeftButton);
    });
    Q_EMIT reset->clicked();
    prompts.modal(QStringLiteral("Tfmconfig"), [&](QWidget &w) {
        EXPECT_EQ(child<QStackedWidget>(w, "Notebook1")->currentIndex(), 0);
        w.close();
    });
    action("mnConfig1")->trigger();

    // 글꼴/바탕색: applied at once to the boxes, in a plain style.
    QFont chosen(QStringLiteral("NanumGothic"));
    chosen.setPointSize(12);
    chosen.setBold(true);
    prompts.modal(QStringLiteral("Tfmfont"), [&](QWidget &w) {
        QTest::mouseClick(child<QPushButton>(w, "btnFont1"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "btnColor1"), Qt::LeftButton);
        QTest::mouseClick(child<QPushButton>(w, "Button1"), Qt::LeftButton);
    });
    prompts.font(chosen.toString()).colour(QStringLiteral("#ffffc0"));
    action("N44")->trigger();
    auto *title = window->findChild<QLineEdit *>(QStringLiteral("TITLE1"));
    EXPECT_EQ(title->font().pointSize(), 12);
    EXPECT_FALSE(title->font().bold() || title->font().italic());
    EXPECT_EQ(title->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xC0));

    prompts.modal(QStringLiteral("Tfmabout"), [&](QWidget &w) { QTest::mouseClick(&w, Qt::LeftButton, {}, QPoint(20, 300)); });
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
