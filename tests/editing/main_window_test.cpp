// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_helpers.h"

#include "support/accessibility.h"

#include "platform/cp949.h"
#include "platform/paths.h"
#include "settings/profile.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace verbana::test {
namespace {

using editing::Tfmverbdesk;

class MainWindowTest : public WindowTest {};

TEST_F(MainWindowTest, FirstStartWithoutSettingsFile)
{
    openWithoutCollection();
    ASSERT_FALSE(QFile::exists(iniPath()));
    EXPECT_EQ(window->pos(), QPoint(10, 10));
    EXPECT_EQ(window->size(), QSize(527, 430));
    EXPECT_EQ(child("pnlGrid")->width(), 185);
    EXPECT_FALSE(window->isMaximized());
    for (const char *name : {"STYPE", "AIM", "SACRE", "WHERE"})
        EXPECT_EQ(child<QComboBox>(name)->count(), 0) << name;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
    EXPECT_EQ(edit("DATE1")->font().family(), QStringLiteral("굴림체"));
    EXPECT_EQ(edit("DATE1")->font().pointSize(), 9);
    EXPECT_FALSE(QFile::exists(iniPath())) << "starting writes nothing";
    // The preaching time shows its 20 bytes whole.
    QLineEdit *time = edit("LONG");
    EXPECT_GE(time->width() - 8, time->fontMetrics().horizontalAdvance(QStringLiteral("오전11:00 부터 30분")));
}

TEST_F(MainWindowTest, NoCollectionControls)
{
    openWithoutCollection();
    EXPECT_FALSE(child("DBGrid1")->isVisible());
    auto *hint = child<QLabel>("lblNoCollection");
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), QStringLiteral(" \r\n파일을 열려면\r\n[파일]메뉴의 [파일열기]를 선택하십시오."));
    auto *pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->currentIndex(), 0);
    for (int i = 0; i < pages->count(); ++i)
        EXPECT_FALSE(pages->widget(i)->isEnabled());
    for (const char *name : {"btnAppend", "btnEdit", "btnDelete", "btnSave", "btnCancel"})
        EXPECT_FALSE(child<QPushButton>(name)->isEnabled()) << name;
    EXPECT_TRUE(child<QPushButton>("btnExit")->isEnabled());
    EXPECT_FALSE(child<QMenu>("mnData")->isEnabled());
    press(Qt::Key_F10);
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(MainWindowTest, SettingsGiveTheWindowItsPlaceFontsAndWords)
{
    bare = std::make_unique<QTemporaryDir>();
    paths::setProgramFolder(bare->path());
    const settings::Profile profile(iniPath());
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("gridpan"), 240);
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("top"), 30);
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("left"), 40);
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("width"), 800);
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("height"), 600);
    profile.writeInteger(QStringLiteral("글꼴"), QStringLiteral("일반고"), 12);
    profile.writeList(QStringLiteral("설교형식"), {QStringLiteral("제목설교"), QStringLiteral("본문설교")});
    profile.writeList(QStringLiteral("설교장소"), {QStringLiteral("예배실")});
    bareDocument = std::make_unique<store::CollectionDocument>();
    window = std::make_unique<Tfmverbdesk>(*bareDocument);
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    EXPECT_EQ(window->pos(), QPoint(40, 30));
    EXPECT_EQ(window->size(), QSize(800, 600));
    EXPECT_EQ(child("pnlGrid")->width(), 240);
    auto *stype = child<QComboBox>("STYPE");
    ASSERT_EQ(stype->count(), 2);
    EXPECT_EQ(stype->itemText(1), QStringLiteral("본문설교"));
    EXPECT_EQ(child<QComboBox>("WHERE")->count(), 1);
    EXPECT_EQ(child<QComboBox>("AIM")->count(), 0);
    EXPECT_EQ(edit("TITLE1")->font().pointSize(), 12) << "the general font goes to every box";
    EXPECT_EQ(child<QComboBox>("SACRE")->font().pointSize(), 12);
}

TEST_F(MainWindowTest, BindingShowsTheLastSermonAndTheList)
{
    open({{"1999.01.01", "첫째"}, {"2000.03.04", "마지막"}, {"1999.06.01", "가운데"}});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana - GRACE"));
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("마지막"));
    EXPECT_TRUE(edit("TITLE1")->isReadOnly());
    auto *grid = child<QTableView>("DBGrid1");
    EXPECT_TRUE(grid->isVisible());
    EXPECT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(grid->currentIndex().row(), 2);
    EXPECT_FALSE(child("lblNoCollection")->isVisible());
    EXPECT_TRUE(child<QPushButton>("btnAppend")->isEnabled());
    window->unbindCollection();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Verbana"));
    EXPECT_TRUE(edit("TITLE1")->text().isEmpty());
    EXPECT_FALSE(child<QPushButton>("btnAppend")->isEnabled());
}

TEST_F(MainWindowTest, AnEmptyCollectionTakesItsFirstSermon)
{
    open({});
    auto *grid = child<QTableView>("DBGrid1");
    EXPECT_EQ(grid->model()->rowCount(), 0);
    press(Qt::Key_F11);
    press(Qt::Key_F8);
    EXPECT_EQ(collection->table().State(), xbase::TableState::Browse);
    EXPECT_FALSE(child("pnlSave")->isVisible());
    press(Qt::Key_F10);
    EXPECT_EQ(edit("DATE1")->selectedText(), QStringLiteral("2001.12.31")) << "ready to be typed over";
    type(edit("TITLE1"), QStringLiteral("x"));
    press(Qt::Key_F12);
    EXPECT_EQ(grid->model()->rowCount(), 1);
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("2001.12.31"));
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(MainWindowTest, ChoosingARowInTheListShowsThatSermon)
{
    open({{"1999.01.01", "첫째"}, {"2000.03.04", "마지막"}});
    auto *grid = child<QTableView>("DBGrid1");
    grid->setFocus();
    press(Qt::Key_Up);
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("첫째"));
    EXPECT_EQ(collection->table().RecNo(), 1u);
}

TEST_F(MainWindowTest, ListKeysRefreshTheManuscriptOnceOnRelease)
{
    open({{"1999.01.01", "첫째", "d0\\sul0.RTF"}, {"2000.03.04", "마지막", "d0\\sul1.RTF"}});
    collection->writeFile(QStringLiteral("text/d0/sul0.txt"), cp("첫 원고"));
    auto *grid = child<QTableView>("DBGrid1");
    auto *view = child<QPlainTextEdit>("reManuscript");
    QTRY_VERIFY(view->toPlainText().isEmpty());
    grid->setFocus();
    QTest::keyPress(grid, Qt::Key_Up);
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("첫째"));
    QTest::qWait(250);
    EXPECT_TRUE(view->toPlainText().isEmpty()) << "no refresh while the key is held";
    QTest::keyRelease(grid, Qt::Key_Up);
    EXPECT_EQ(view->toPlainText(), QStringLiteral("첫 원고"));
}

TEST_F(MainWindowTest, CtrlDeleteInTheListDeletes)
{
    open({{"1999.01.01", "첫째"}, {"2000.03.04", "마지막"}});
    child<QTableView>("DBGrid1")->setFocus();
    prompts->yes();
    press(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("현재 설교자료(1편)를 삭제하시겠습니까?")});
    EXPECT_EQ(collection->recnos(), (std::vector<uint32_t>{1}));
    press(Qt::Key_Delete);
    EXPECT_EQ(collection->recnos(), (std::vector<uint32_t>{1})) << "Delete alone does nothing";
}

TEST_F(MainWindowTest, ClosingIsRefusedWhileASermonIsBeingAdded)
{
    open({{"1999.01.01", "첫째"}});
    press(Qt::Key_F10);
    prompts->ok();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("자료의 수정/추가 중입니다.")});
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(MainWindowTest, ClosingAnsweredNoKeepsTheWindow)
{
    open({{"1999.01.01", "첫째"}});
    prompts->no();
    EXPECT_FALSE(window->close());
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("Verbana를 종료하시겠습니까?")});
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(MainWindowTest, ClosingWritesTheSettingsAndForgetsUsefile)
{
    open({{"1999.01.01", "첫째"}});
    QFile usefile(collection->programFolder() + QStringLiteral("/usefile.sys"));
    ASSERT_TRUE(usefile.open(QIODevice::WriteOnly));
    usefile.write("GRACE\r\n");
    usefile.close();
    window->move(20, 25);
    window->resize(600, 450);
    closeWindow();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(usefile.exists());
    const settings::Profile profile(iniPath());
    EXPECT_EQ(profile.readRaw(QStringLiteral("file"), QStringLiteral("last")), QByteArrayLiteral("GRACE"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("gridpan")), QByteArrayLiteral("185"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("full")), QByteArrayLiteral("0"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("top")), QByteArrayLiteral("25"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("left")), QByteArrayLiteral("20"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("height")), QByteArrayLiteral("450"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("width")), QByteArrayLiteral("600"));
}

TEST_F(MainWindowTest, UnwritableSettingsAreReportedAndTheProgramEnds)
{
    openWithoutCollection();
    QDir().mkpath(iniPath()); // a folder where the file should be
    prompts->yes().error();
    EXPECT_TRUE(window->close());
    ASSERT_EQ(prompts->texts().size(), 2);
    EXPECT_EQ(prompts->texts()[1], QStringLiteral("Unable to write to ") + iniPath());
}

TEST_F(MainWindowTest, ClosingWithoutCollectionWritesLastEmpty)
{
    openWithoutCollection();
    closeWindow();
    const settings::Profile profile(iniPath());
    EXPECT_EQ(profile.readRaw(QStringLiteral("file"), QStringLiteral("last")), QByteArray());
}

TEST_F(MainWindowTest, MaximisedWindowWritesOnlyFull)
{
    openWithoutCollection();
    const settings::Profile profile(iniPath());
    profile.writeInteger(QStringLiteral("화면"), QStringLiteral("top"), 77);
    window->showMaximized();
    QTRY_VERIFY(window->isMaximized());
    closeWindow();
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("full")), QByteArrayLiteral("1"));
    EXPECT_EQ(profile.readRaw(QStringLiteral("화면"), QStringLiteral("top")), QByteArrayLiteral("77"));
    for (const char *key : {"left", "height", "width"})
        EXPECT_FALSE(profile.readRaw(QStringLiteral("화면"), QLatin1String(key)).has_value()) << key;
}

TEST_F(MainWindowTest, LongBoxesFollowThePageWidth)
{
    EXPECT_EQ(Tfmverbdesk::longBoxWidth(340), 253);
    EXPECT_EQ(Tfmverbdesk::longBoxWidth(400), 313);
    open({});
    window->resize(900, 500);
    auto *pages = child("PageControl1");
    QTRY_COMPARE(edit("TITLE1")->width(), Tfmverbdesk::longBoxWidth(pages->width()));
    EXPECT_EQ(edit("SELFDIC")->width(), edit("TITLE1")->width());
}

// The form at the first start's size and at a larger one, browsing and
// adding: the list keeps its width (the save panel lies over its top), the
// Bible text box has room for 40 bytes, the long boxes follow the page, and
// every box of the outline page shows whole without scrolling.
TEST_F(MainWindowTest, TheFormFitsTheWindowWhileBrowsingAndAdding)
{
    open({{"1999.01.01", "첫째"}});
    auto *pages = child<QTabWidget>("PageControl1");
    auto *outline = qobject_cast<QScrollArea *>(pages->widget(0));
    ASSERT_NE(outline, nullptr);
    auto *bible1 = edit("BIBLE1");
    const int fortyBytes = bible1->fontMetrics().horizontalAdvance(QString(40, QLatin1Char('0')));
    for (const QSize size : {QSize(527, 430), QSize(1024, 700)}) {
        window->resize(size);
        for (const bool adding : {false, true}) {
            const std::string state = std::to_string(size.width()) + (adding ? " adding" : " browsing");
            if (adding)
                press(Qt::Key_F10);
            QApplication::processEvents();
            EXPECT_EQ(child("pnlGrid")->width(), 185) << state;
            EXPECT_EQ(child("DBGrid1")->width(), 185) << state;
            EXPECT_EQ(child("pnlSave")->isVisible(), adding) << state;
            if (adding) {
                EXPECT_EQ(child("pnlSave")->geometry().topLeft(), QPoint(0, 0)) << state;
                EXPECT_EQ(child("pnlSave")->width(), 185) << state;
            }
            EXPECT_FALSE(outline->horizontalScrollBar()->isVisible()) << state;
            EXPECT_FALSE(outline->verticalScrollBar()->isVisible()) << state;
            EXPECT_EQ(edit("TITLE1")->width(), Tfmverbdesk::longBoxWidth(pages->width())) << state;
            EXPECT_GE(bible1->width(), fortyBytes) << state;
            const QRect shown = outline->viewport()->rect();
            for (QWidget *box : outline->widget()->findChildren<QWidget *>())
                if (qobject_cast<QLineEdit *>(box) || qobject_cast<QPlainTextEdit *>(box)) {
                    const QRect at(box->mapTo(outline->viewport(), QPoint(0, 0)), box->size());
                    EXPECT_TRUE(!box->isVisible() || shown.contains(at))
                        << state << " " << box->objectName().toStdString();
                }
            EXPECT_GE(child("BRIEF")->height(), child("BRIEF")->fontMetrics().lineSpacing() * 2) << state;
            if (adding)
                press(Qt::Key_F12, Qt::ShiftModifier);
        }
    }
}

} // namespace
} // namespace verbana::test

namespace verbana::test {
namespace {

// Screen readers find every control of the window by its caption or label.
TEST_F(MainWindowTest, EveryControlHasAnAccessibleName)
{
    open({{"1999.01.01", "첫째"}});
    EXPECT_EQ(unnamedControls(window.get()), "");
    EXPECT_EQ(edit("BIBLE1")->accessibleName(), QStringLiteral("성경본문"));
    EXPECT_EQ(edit("BIBLE1")->toolTip(), QStringLiteral("< F3 >사용,  ex)  창21:6-9 "));
    EXPECT_TRUE(edit("BIBLE1")->accessibleDescription().contains(QStringLiteral("F3을 누르면")));
    EXPECT_EQ(child<QPushButton>("btnSave")->accessibleDescription(), QStringLiteral("입력된 데이타 저장 F12"));
}

} // namespace
} // namespace verbana::test
