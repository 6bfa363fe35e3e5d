// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_helpers.h"

#include "support/accessibility.h"

#include "editing/tfmcal.h"
#include "platform/clock.h"
#include "store/sermon_record.h"

#include <QCalendarWidget>
#include <QLabel>
#include <QPushButton>

namespace verbana::test {
namespace {

using editing::Tfmcal;

class CalendarTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        clock::setFixedNow(QDateTime(QDate(1997, 5, 5), QTime(9, 0)));
    }
    // Runs the calendar window through the prompt seam and presses keys in it.
    QString pick(const std::vector<std::pair<int, Qt::KeyboardModifiers>> &keys)
    {
        Tfmcal calendar;
        prompts->modal(QStringLiteral("fmcal"), [&](QWidget &w) {
            QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &w;
            for (const auto &[key, modifiers] : keys)
                QTest::keyClick(target, Qt::Key(key), modifiers);
            if (w.isVisible())
                calendar.reject();
        });
        runModal(&calendar);
        last = calendar.selectedDate();
        return calendar.Result();
    }
    QDate last;
};

TEST_F(CalendarTest, OpensOnTodayWithItsHeading)
{
    Tfmcal calendar;
    EXPECT_EQ(calendar.windowTitle(), QStringLiteral("달력"));
    EXPECT_EQ(calendar.selectedDate(), QDate(1997, 5, 5));
    EXPECT_EQ(calendar.findChild<QLabel *>(QStringLiteral("lblHeading"))->text(), QStringLiteral("1997년 5월 5일"));
    EXPECT_EQ(calendar.Result(), QStringLiteral("취소"));
    EXPECT_EQ(calendar.findChild<QCalendarWidget *>()->firstDayOfWeek(), Qt::Sunday);
}

TEST_F(CalendarTest, EnterConfirmsTheSelectedDate)
{
    EXPECT_EQ(pick({{Qt::Key_Return, Qt::NoModifier}}), QStringLiteral("1997.05.05"));
}

TEST_F(CalendarTest, MonthAndYearKeys)
{
    EXPECT_EQ(pick({{Qt::Key_PageUp, Qt::NoModifier}, {Qt::Key_Enter, Qt::NoModifier}}), QStringLiteral("1997.04.05"));
    EXPECT_EQ(pick({{Qt::Key_PageDown, Qt::ControlModifier}, {Qt::Key_Return, Qt::NoModifier}}),
              QStringLiteral("1998.05.05"));
    EXPECT_EQ(pick({{Qt::Key_PageUp, Qt::ShiftModifier}, {Qt::Key_Return, Qt::NoModifier}}),
              QStringLiteral("1996.05.05"));
    EXPECT_EQ(pick({{Qt::Key_F9, Qt::NoModifier}, {Qt::Key_F12, Qt::NoModifier}, {Qt::Key_F12, Qt::NoModifier},
                    {Qt::Key_Return, Qt::NoModifier}}),
              QStringLiteral("1996.07.05"));
    EXPECT_EQ(pick({{Qt::Key_F10, Qt::NoModifier}, {Qt::Key_F11, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}}),
              QStringLiteral("1998.04.05"));
}

TEST_F(CalendarTest, SpaceReturnsToToday)
{
    EXPECT_EQ(pick({{Qt::Key_F9, Qt::NoModifier}, {Qt::Key_Space, Qt::NoModifier}, {Qt::Key_Return, Qt::NoModifier}}),
              QStringLiteral("1997.05.05"));
}

TEST_F(CalendarTest, EscapeCancelsAfterMoving)
{
    EXPECT_EQ(pick({{Qt::Key_PageDown, Qt::NoModifier}, {Qt::Key_Escape, Qt::NoModifier}}), QStringLiteral("취소"));
    EXPECT_EQ(last, QDate(1997, 6, 5));
}

TEST_F(CalendarTest, MonthButtonsWrapAroundTheYear)
{
    clock::setFixedNow(QDateTime(QDate(2001, 1, 31), QTime(9, 0)));
    Tfmcal calendar;
    QTest::mouseClick(calendar.findChild<QPushButton *>(QStringLiteral("btnPrevMonth")), Qt::LeftButton);
    EXPECT_EQ(calendar.selectedDate(), QDate(2000, 12, 31));
    QTest::mouseClick(calendar.findChild<QPushButton *>(QStringLiteral("btnNextMonth")), Qt::LeftButton);
    QTest::mouseClick(calendar.findChild<QPushButton *>(QStringLiteral("btnNextMonth")), Qt::LeftButton);
    EXPECT_EQ(calendar.selectedDate(), QDate(2001, 2, 28)) << "the day is lowered to the month's last";
    QTest::mouseClick(calendar.findChild<QPushButton *>(QStringLiteral("btnNextYear")), Qt::LeftButton);
    EXPECT_EQ(calendar.findChild<QLabel *>(QStringLiteral("lblHeading"))->text(), QStringLiteral("2002년 2월 28일"));
}

TEST_F(CalendarTest, CalendarButtonFillsTheFieldOnlyWhileEditing)
{
    open({{"1999.01.01", "첫째"}});
    auto *button = child<QPushButton>("btnCallCal");
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("1999.01.01"));

    press(Qt::Key_F11);
    prompts->modal(QStringLiteral("fmcal"), [](QWidget &calendar) { QTest::keyClick(&calendar, Qt::Key_Escape); });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("1999.01.01")) << "cancelling leaves the field";

    prompts->modal(QStringLiteral("fmcal"), [](QWidget &calendar) {
        QTest::keyClick(&calendar, Qt::Key_F9);
        QTest::mouseClick(calendar.findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("1996.05.05"));
}

} // namespace
} // namespace verbana::test

namespace verbana::test {
namespace {

TEST_F(CalendarTest, EveryControlHasAnAccessibleName)
{
    Tfmcal calendar;
    EXPECT_EQ(unnamedControls(&calendar), "");
}

} // namespace
} // namespace verbana::test
