// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/calendar_date.h"
#include "editing/field_text.h"
#include "editing/record_keys.h"

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

using A = KeyAction;

struct KeyRow {
    BoxKind kind;
    bool changing;
    bool dropped;
    int key;
    Qt::KeyboardModifiers modifiers;
    KeyAction expected;
};

constexpr Qt::KeyboardModifiers kNone = Qt::NoModifier;
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;

const KeyRow kRows[] = {
    // Date boxes: Alt changes nothing.
    {BoxKind::Date, false, false, Qt::Key_Return, kNone, A::NextControl},
    {BoxKind::Date, false, false, Qt::Key_Down, kAlt, A::NextControl},
    {BoxKind::Date, false, false, Qt::Key_Up, kNone, A::NotHandled},
    {BoxKind::Date, false, false, Qt::Key_PageUp, kNone, A::PreviousSermon},
    {BoxKind::Date, false, false, Qt::Key_PageDown, kAlt, A::NextSermon},
    {BoxKind::Date, true, false, Qt::Key_PageDown, kNone, A::NotHandled},
    {BoxKind::Date, true, false, Qt::Key_Insert, kNone, A::PickDate},
    {BoxKind::Date, false, false, Qt::Key_Insert, kAlt, A::PickDate},
    // One-line boxes.
    {BoxKind::Line, false, false, Qt::Key_Enter, kNone, A::NextControl},
    {BoxKind::Line, false, false, Qt::Key_Return, kAlt, A::NextControl},
    {BoxKind::Line, true, false, Qt::Key_Down, kNone, A::NextControl},
    {BoxKind::Line, true, false, Qt::Key_Up, kNone, A::PreviousControl},
    {BoxKind::Line, false, false, Qt::Key_Up, kAlt, A::NotHandled},
    {BoxKind::Line, false, false, Qt::Key_PageDown, kNone, A::NextSermon},
    {BoxKind::Line, false, false, Qt::Key_PageUp, kAlt, A::NotHandled},
    {BoxKind::Line, true, false, Qt::Key_PageDown, kNone, A::NotHandled},
    {BoxKind::Line, true, false, Qt::Key_Insert, kNone, A::NotHandled},
    // Choice boxes, list closed and open.
    {BoxKind::Choice, false, false, Qt::Key_Return, kNone, A::NextControl},
    {BoxKind::Choice, false, false, Qt::Key_Up, kNone, A::PreviousControl},
    {BoxKind::Choice, false, false, Qt::Key_PageUp, kNone, A::PreviousSermon},
    {BoxKind::Choice, true, false, Qt::Key_Insert, kNone, A::DropDown},
    {BoxKind::Choice, true, false, Qt::Key_Insert, kAlt, A::DropDown},
    {BoxKind::Choice, true, false, Qt::Key_Down, kAlt, A::NotHandled},
    {BoxKind::Choice, true, true, Qt::Key_Return, kNone, A::NextControl},
    {BoxKind::Choice, true, true, Qt::Key_Down, kNone, A::NotHandled},
    {BoxKind::Choice, true, true, Qt::Key_Insert, kNone, A::NotHandled},
    {BoxKind::Choice, false, true, Qt::Key_PageDown, kNone, A::NotHandled},
    // Memo boxes keep every key.
    {BoxKind::Memo, true, false, Qt::Key_Return, kNone, A::NotHandled},
    {BoxKind::Memo, false, false, Qt::Key_PageDown, kNone, A::NotHandled},
    {BoxKind::Memo, false, false, Qt::Key_Down, kNone, A::NotHandled},
};

TEST(RecordKeysTest, KeyTable)
{
    int i = 0;
    for (const KeyRow &row : kRows) {
        EXPECT_EQ(recordBoxKey({row.kind, row.changing, row.dropped}, row.key, row.modifiers), row.expected)
            << "row " << i;
        ++i;
    }
}

TEST(CalendarDateTest, MonthsAndYearsWrapAndClampTheDay)
{
    EXPECT_EQ(moveDate(QDate(2001, 1, 15), CalendarMove::PreviousMonth), QDate(2000, 12, 15));
    EXPECT_EQ(moveDate(QDate(2001, 12, 24), CalendarMove::NextMonth), QDate(2002, 1, 24));
    EXPECT_EQ(moveDate(QDate(2001, 3, 31), CalendarMove::PreviousMonth), QDate(2001, 2, 28));
    EXPECT_EQ(moveDate(QDate(2000, 2, 29), CalendarMove::NextYear), QDate(2001, 2, 28));
    EXPECT_EQ(moveDate(QDate(1997, 5, 5), CalendarMove::PreviousYear), QDate(1996, 5, 5));
}

TEST(CalendarDateTest, ResultAndHeadingTexts)
{
    EXPECT_EQ(dateResultText(QDate(1997, 5, 5)), QStringLiteral("1997.05.05"));
    EXPECT_EQ(dateResultText(QDate(2001, 12, 24)), QStringLiteral("2001.12.24"));
    EXPECT_EQ(dateResultText(QDate(987, 1, 2)), QStringLiteral("0987.01.02"));
    EXPECT_EQ(calendarHeading(QDate(1997, 5, 5)), QStringLiteral("1997년 5월 5일"));
}

TEST(FieldTextTest, WidthCountsCp949Bytes)
{
    EXPECT_TRUE(fitField(QStringLiteral("가나다라마바"), 12).ok());
    EXPECT_EQ(fitField(QStringLiteral("가나다라마바a"), 12).kind, FieldFit::TooLong);
    EXPECT_TRUE(fitField(QStringLiteral("1997.05.05ab"), 12).ok());
}

TEST(FieldTextTest, UnmappableCharacterIsNamed)
{
    const QString emoji = QString::fromUtf8("\xF0\x9F\x98\x80");
    const FieldFit fit = fitField(QStringLiteral("설교 ") + emoji + QStringLiteral("x"), 60);
    EXPECT_EQ(fit.kind, FieldFit::Unmappable);
    EXPECT_EQ(fit.character, QString::fromUtf8("\xF0\x9F\x98\x80"));
}

} // namespace
} // namespace verbana::editing
