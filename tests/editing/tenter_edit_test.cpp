// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/tenter_edit.h"

#include "support/scripted_prompter.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace verbana::editing {
namespace {

class TEnterEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto *layout = new QVBoxLayout(&dialog);
        for (auto *&e : boxes) {
            e = new TEnterEdit(&dialog);
            layout->addWidget(e);
        }
        dialog.show();
        QApplication::setActiveWindow(&dialog);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        boxes[1]->setFocus();
    }
    void key(int k) { QTest::keyClick(QApplication::focusWidget(), Qt::Key(k)); }

    test::ScriptedPrompter prompts;
    QDialog dialog;
    TEnterEdit *boxes[3] = {};
};

TEST_F(TEnterEditTest, EnterMovesOnAndArrowsFollowStopPosit)
{
    key(Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), boxes[2]);
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), boxes[1]);
    boxes[1]->StopPosit = stpTop;
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), boxes[1]);
    key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), boxes[2]);
    boxes[2]->StopPosit = stpBottom;
    key(Qt::Key_Down);
    EXPECT_EQ(QApplication::focusWidget(), boxes[2]);
    key(Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), boxes[1]);
}

TEST_F(TEnterEditTest, NumOnlyDropsOtherCharacters)
{
    boxes[1]->NumOnly = true;
    QTest::keyClicks(boxes[1], QStringLiteral("1a2.b3"));
    EXPECT_EQ(boxes[1]->text(), QStringLiteral("12.3"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(boxes[1]->text(), QStringLiteral("12."));
}

TEST_F(TEnterEditTest, EscapeKinds)
{
    boxes[0]->setText(QStringLiteral("old"));
    boxes[0]->EscKeyType = estUndo;
    boxes[0]->setFocus();
    QTest::keyClicks(boxes[0], QStringLiteral("er"));
    key(Qt::Key_Escape);
    EXPECT_EQ(boxes[0]->text(), QStringLiteral("old"));

    boxes[1]->EscKeyType = estUp;
    boxes[1]->setFocus();
    key(Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), boxes[0]);

    boxes[2]->EscKeyType = estClose;
    boxes[2]->setFocus();
    prompts.no();
    key(Qt::Key_Escape);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("작업을 중단하고 현재창을 닫으시겠습니까?")});
    prompts.yes();
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(TEnterEditTest, EscapeWithoutKindIsLeftToTheWindow)
{
    key(Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible()) << "the dialog's own Esc closes it";
}

TEST_F(TEnterEditTest, EnteredColourComesAndGoes)
{
    boxes[2]->AllowEntColor = true;
    boxes[2]->EntColor = QColor(Qt::yellow);
    const QColor before = boxes[2]->palette().color(QPalette::Base);
    boxes[2]->setFocus();
    EXPECT_EQ(boxes[2]->palette().color(QPalette::Base), QColor(Qt::yellow));
    boxes[0]->setFocus();
    EXPECT_EQ(boxes[2]->palette().color(QPalette::Base), before);
}

} // namespace
} // namespace verbana::editing
