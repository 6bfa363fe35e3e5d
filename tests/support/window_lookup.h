// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace verbana::test {

// The child of `w` by its object name; a failure when there is none.
template <typename T = QWidget> T *child(QWidget &w, const char *name)
{
    T *c = w.findChild<T *>(QLatin1String(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// F1 where the keyboard focus is in `w`.
inline void pressF1(QWidget &w)
{
    QWidget *focus = w.focusWidget();
    QTest::keyClick(focus ? focus : &w, Qt::Key_F1);
}

} // namespace verbana::test
