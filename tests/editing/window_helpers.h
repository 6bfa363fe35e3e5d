// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/record_boxes.h"
#include "editing/tfmverbdesk.h"
#include "editing_helpers.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace verbana::test {

// A main window under the offscreen platform, shown and active, with a
// scripted prompter and a fixed "today" of 31 December 2001. With rows it
// is bound to a test collection of those sermons.
class WindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Makes and shows the window on a test collection of these sermons, or
    // on no collection.
    void open(const std::vector<SermonRow> &rows);
    void openWithoutCollection();
    // Called as the window is made, before it is shown: the commands of the
    // other parts of the program that a test needs join it here (made with
    // `new`: the window owns them).
    virtual void addCommands(editing::Tfmverbdesk &) {}

    template <typename T = QWidget>
    T *child(const char *name) const
    {
        T *w = window->findChild<T *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    editing::TDBEdit *edit(const char *field) const { return child<editing::TDBEdit>(field); }
    // Presses a key where the keyboard focus is (the window when none).
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    QString iniPath() const;
    // Types text into a widget one character at a time, as key presses.
    static void type(QWidget *widget, const QString &text);
    // Closes the window for good at the end of a test.
    void closeWindow();

    std::unique_ptr<TestCollection> collection;
    std::unique_ptr<QTemporaryDir> bare;
    std::unique_ptr<store::CollectionDocument> bareDocument;
    std::unique_ptr<ScriptedPrompter> prompts;
    std::unique_ptr<editing::Tfmverbdesk> window;
};

} // namespace verbana::test
