// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_helpers.h"

#include "editing/tfmcal.h"
#include "platform/clock.h"
#include "store/sermon_record.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTimer>

namespace verbana::test {
namespace {

using editing::TDBComboBox;
using xbase::TableState;

class RecordKeysWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open({{"1999.01.01", "첫째"}, {"1999.02.01", "둘째"}, {"1999.03.01", "셋째"}});
        collection->table().Skip(-1); // the middle sermon
        ASSERT_EQ(edit("TITLE1")->text(), QStringLiteral("둘째"));
    }
    QString title() const { return edit("TITLE1")->text(); }
};

TEST_F(RecordKeysWindowTest, PageKeysMoveBetweenSermonsOnlyWhileBrowsing)
{
    for (const char *box : {"DATE1", "TITLE1", "BIBLENO"}) {
        edit(box)->setFocus();
        press(Qt::Key_PageDown);
        EXPECT_EQ(title(), QStringLiteral("셋째")) << box;
        press(Qt::Key_PageUp);
        EXPECT_EQ(title(), QStringLiteral("둘째")) << box;
    }
    edit("TITLE1")->setFocus();
    press(Qt::Key_PageUp, Qt::AltModifier);
    EXPECT_EQ(title(), QStringLiteral("둘째")) << "Alt+PgUp is left to a one-line box";
    edit("DATE1")->setFocus();
    press(Qt::Key_PageUp, Qt::AltModifier);
    EXPECT_EQ(title(), QStringLiteral("첫째")) << "a date box ignores Alt";
    press(Qt::Key_PageDown);

    press(Qt::Key_F11);
    edit("TITLE1")->setFocus();
    press(Qt::Key_PageDown);
    EXPECT_EQ(title(), QStringLiteral("둘째"));
    EXPECT_EQ(collection->table().RecNo(), 2u);
    child<QTabWidget>("PageControl1")->setCurrentIndex(2);
    edit("DATE2")->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit("DATE2"));
    press(Qt::Key_PageDown);
    EXPECT_EQ(collection->table().RecNo(), 2u);
}

TEST_F(RecordKeysWindowTest, EnterDownAndUpMoveThroughTheBoxes)
{
    press(Qt::Key_F11);
    edit("DATE1")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("TITLE1"));
    press(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), edit("TITLE2"));
    press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), edit("TITLE1"));
    press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), edit("DATE1"));
    press(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), edit("DATE1")) << "Up is not handled in a date box";
    edit("BIBLE1")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), edit("BIBLE2")) << "BIBLENO is skipped";
    edit("TITLE1")->setFocus();
    press(Qt::Key_Down, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), edit("TITLE1"));
}

TEST_F(RecordKeysWindowTest, ChoiceBoxesDropTheirListOnInsert)
{
    auto *stype = child<TDBComboBox>("STYPE");
    stype->addItems({QStringLiteral("제목설교"), QStringLiteral("본문설교")});
    stype->setFocus();
    press(Qt::Key_Insert);
    EXPECT_TRUE(stype->dropped());
    stype->hidePopup();
    stype->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), child<QComboBox>("AIM"));
    press(Qt::Key_Up);
    EXPECT_TRUE(stype->isAncestorOf(QApplication::focusWidget()));
    press(Qt::Key_PageUp);
    EXPECT_EQ(title(), QStringLiteral("첫째"));
}

TEST_F(RecordKeysWindowTest, EnterInADroppedListTakesTheWordAndMovesOn)
{
    auto *stype = child<TDBComboBox>("STYPE");
    stype->addItems({QStringLiteral("제목설교"), QStringLiteral("본문설교")});
    stype->showValue(QStringLiteral("x"));
    press(Qt::Key_F11);
    stype->setFocus();
    press(Qt::Key_Insert);
    ASSERT_TRUE(stype->dropped());
    QWidget *list = stype->view();
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!stype->dropped());
    QTRY_COMPARE(QApplication::focusWidget(), child<QComboBox>("AIM"));
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(2, store::fSTYPE).trimmed(), cp("본문설교"));
}

TEST_F(RecordKeysWindowTest, EnteringAnEmptyChoiceBoxWhileEditingDropsItsList)
{
    auto *aim = child<TDBComboBox>("AIM");
    aim->addItems({QStringLiteral("신앙")});
    press(Qt::Key_F11);
    aim->setFocus();
    QTRY_VERIFY(aim->dropped());
    aim->hidePopup();
}

TEST_F(RecordKeysWindowTest, ChoosingFromTheListFillsTheField)
{
    auto *where = child<TDBComboBox>("WHERE");
    where->addItems({QStringLiteral("예배실"), QStringLiteral("기도실")});
    press(Qt::Key_F11);
    where->setCurrentIndex(1);
    Q_EMIT where->textActivated(where->currentText());
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(2, store::fWHERE).trimmed(), cp("기도실"));
}

TEST_F(RecordKeysWindowTest, MemoBoxesTakeEnterAsALineBreak)
{
    press(Qt::Key_F11);
    auto *better = child<QPlainTextEdit>("BETTER");
    better->setFocus();
    type(better, QStringLiteral("a"));
    press(Qt::Key_Return);
    press(Qt::Key_PageDown);
    type(better, QStringLiteral("b"));
    EXPECT_EQ(better->toPlainText(), QStringLiteral("a\nb"));
    EXPECT_EQ(QApplication::focusWidget(), better);
}

TEST_F(RecordKeysWindowTest, InsertInADateBoxOpensTheCalendarOnlyWhileEditing)
{
    child<QTabWidget>("PageControl1")->setCurrentIndex(2);
    edit("DATE2")->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), edit("DATE2"));
    press(Qt::Key_Insert);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    press(Qt::Key_F11);
    child<QTabWidget>("PageControl1")->setCurrentIndex(2);
    edit("DATE2")->setFocus();
    QPoint shownAt;
    prompts->modal(QStringLiteral("fmcal"), [&](QWidget &calendar) {
        shownAt = calendar.pos();
        QTest::keyClick(&calendar, Qt::Key_PageUp);
        QTest::keyClick(&calendar, Qt::Key_Return);
    });
    press(Qt::Key_Insert);
    EXPECT_EQ(edit("DATE2")->text(), QStringLiteral("2001.11.30"));
    EXPECT_EQ(shownAt.y(), edit("DATE2")->mapToGlobal(QPoint(0, edit("DATE2")->height())).y());
    QApplication::setActiveWindow(window.get());
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(2, store::fDATE2), QByteArrayLiteral("2001.11.30  "));
}

} // namespace
} // namespace verbana::test
