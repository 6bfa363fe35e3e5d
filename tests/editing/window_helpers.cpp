// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_helpers.h"

#include "platform/clock.h"
#include "platform/fonts.h"
#include "platform/paths.h"

namespace verbana::test {

void WindowTest::SetUp()
{
    clock::setFixedNow(QDateTime(QDate(2001, 12, 31), QTime(9, 0)));
    installFontSubstitutions();
    prompts = std::make_unique<ScriptedPrompter>();
}

void WindowTest::TearDown()
{
    if (window) {
        if (window->table() && window->changing())
            window->mnCancelClick();
        window->unbindCollection();
        window->hide();
        window.reset();
    }
    collection.reset();
    bareDocument.reset();
    prompts.reset();
    clock::setFixedNow(QDateTime());
}

void WindowTest::open(const std::vector<SermonRow> &rows)
{
    collection = std::make_unique<TestCollection>(rows);
    window = std::make_unique<editing::Tfmverbdesk>(collection->document());
    addCommands(*window);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void WindowTest::openWithoutCollection()
{
    bare = std::make_unique<QTemporaryDir>();
    paths::setProgramFolder(bare->path());
    bareDocument = std::make_unique<store::CollectionDocument>();
    window = std::make_unique<editing::Tfmverbdesk>(*bareDocument);
    addCommands(*window);
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
}

void WindowTest::press(int key, Qt::KeyboardModifiers modifiers)
{
    QWidget *target = QApplication::focusWidget();
    QTest::keyClick(target ? target : window.get(), Qt::Key(key), modifiers);
}

void WindowTest::type(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

QString WindowTest::iniPath() const { return paths::programFolder() + QStringLiteral("/verbdesk.ini"); }

void WindowTest::closeWindow()
{
    prompts->yes();
    window->close();
}

} // namespace verbana::test
