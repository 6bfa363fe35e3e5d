// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as the program composes it from its command groups.
#include "app/program_window.h"
#include "editing/tfmverbdesk.h"
#include "../editing/editing_helpers.h"

#include <QLayout>

#include <gtest/gtest.h>

namespace verbana::test {
namespace {

// The toolbar left to right: the record buttons, the go-to search group,
// the gathering's two buttons, 종료.
TEST(ProgramWindowTest, TheToolbarRunsInItsOrder)
{
    TestCollection collection(std::vector<SermonRow>{{"2001.01.01", "title"}});
    ProgramWindow program(collection.document());
    QLayout *row = program.window().toolbar()->layout();
    ASSERT_NE(row, nullptr);
    QStringList order;
    for (int i = 0; i < row->count(); ++i)
        if (QWidget *w = row->itemAt(i)->widget(); w && !w->objectName().isEmpty())
            order << w->objectName();
    const QStringList expected{QStringLiteral("btnDelete"), QStringLiteral("btnFindGo"), QStringLiteral("eFindGo"),
                               QStringLiteral("btnLetGo"),  QStringLiteral("btnUp"),     QStringLiteral("btnDown"),
                               QStringLiteral("btnGather"), QStringLiteral("btnRelease"), QStringLiteral("btnExit")};
    const qsizetype first = order.indexOf(expected.first());
    ASSERT_GE(first, 0) << order.join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(order.mid(first, expected.size()), expected) << order.join(QLatin1Char(' ')).toStdString();
}

} // namespace
} // namespace verbana::test
