// SPDX-License-Identifier: GPL-3.0-or-later
// Spelling in the windows: the marks and the context menu of the document
// editor and of the main window's memo boxes, the 환경 item, and saving.
#include "editing/record_boxes.h"
#include "editing/spell_marks.h"
#include "editing/tfmmemo.h"
#include "platform/paths.h"
#include "settings/profile.h"
#include "window_helpers.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTextEdit>

using namespace verbana;
using namespace verbana::editing;

namespace {

bool installed() { return spelling::findDictionaries(spelling::dictionaryFolders()).korean(); }

// Waits for the marks of a box to be `words`.
bool markedAre(SpellMarks *marks, const QStringList &words)
{
    return QTest::qWaitFor([&] { return marks->markedWords() == words; }, 60000);
}

// Asks for the context menu over the `nth` character of a box, as a right
// click does, and gives back the menu shown.
template <typename Box> QMenu *contextMenuAt(Box *box, int nth)
{
    QTextCursor c = box->textCursor();
    c.setPosition(nth);
    Q_EMIT box->customContextMenuRequested(box->cursorRect(c).center());
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *menu = qobject_cast<QMenu *>(w); menu && menu->isVisible())
            return menu;
    return nullptr;
}

QStringList captions(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

QAction *item(QMenu *menu, const QString &caption)
{
    for (QAction *a : menu->actions())
        if (a->text() == caption)
            return a;
    return nullptr;
}

class SpellingWindowTest : public test::WindowTest {
protected:
    void SetUp() override
    {
        if (!installed())
            GTEST_SKIP() << "hunspell-ko is not installed";
        WindowTest::SetUp();
        paths::setProgramFolder(home.path());
    }
    QTemporaryDir home;
};

TEST_F(SpellingWindowTest, EditorMarksOffersSuggestionsAndFollowsTheSetting)
{
    Tfmmemo w;
    w.show();
    QTextEdit *edit = w.textArea();
    type(edit, QStringLiteral("말씀 셜교"));
    // Not while the word is being typed; once the cursor moves on.
    QTest::qWait(50);
    EXPECT_TRUE(w.spellMarks()->markedWords().isEmpty());
    type(edit, QStringLiteral(" "));
    EXPECT_TRUE(markedAre(w.spellMarks(), {QStringLiteral("셜교")}));

    QMenu *menu = contextMenuAt(edit, 4);
    ASSERT_NE(menu, nullptr);
    const QStringList shown = captions(menu);
    const qsizetype added = shown.indexOf(QStringLiteral("사전에 추가"));
    ASSERT_GE(added, 1);
    EXPECT_LE(added, 5);
    EXPECT_TRUE(shown.first(added).contains(QStringLiteral("설교")));
    EXPECT_EQ(shown.mid(added, 4), QStringLiteral("사전에 추가|무시|-|복사").split(u'|'));
    item(menu, QStringLiteral("설교"))->trigger();
    menu->close();
    EXPECT_EQ(edit->toPlainText(), QStringLiteral("말씀 설교 "));
    EXPECT_TRUE(markedAre(w.spellMarks(), {}));
    // A word that is not marked gets the menu of the text area alone.
    menu = contextMenuAt(edit, 1);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->objectName(), QStringLiteral("PopupMenu1"));
    menu->close();

    type(edit, QStringLiteral("됬다 "));
    EXPECT_TRUE(markedAre(w.spellMarks(), {QStringLiteral("됬다")}));
    auto *setting = w.findChild<QAction *>(QStringLiteral("mnSpelling"));
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(setting->text(), QStringLiteral("맞춤법 검사"));
    EXPECT_TRUE(setting->isEnabled() && setting->isChecked());
    setting->trigger();
    EXPECT_FALSE(setting->isChecked());
    EXPECT_TRUE(markedAre(w.spellMarks(), {}));
    const settings::Profile profile(settings::iniPath());
    EXPECT_EQ(profile.readRaw(QStringLiteral("문서편집기"), QStringLiteral("맞춤법검사")), QByteArray("0"));
    setting->trigger();
    EXPECT_TRUE(markedAre(w.spellMarks(), {QStringLiteral("됬다")}));
    // 무시 passes the word over for this editor.
    menu = contextMenuAt(edit, 7);
    ASSERT_NE(menu, nullptr);
    item(menu, QStringLiteral("무시"))->trigger();
    menu->close();
    EXPECT_TRUE(markedAre(w.spellMarks(), {}));
    w.textArea()->document()->setModified(false);
    w.hide();
}

// A long manuscript is laid out a piece at a time after it is shown; the
// words in view are marked meanwhile.
TEST_F(SpellingWindowTest, ALongManuscriptIsMarkedInViewWhileItIsLaidOut)
{
    QFile text(home.filePath(QStringLiteral("long.txt")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QStringLiteral("셜교 말씀\n").toUtf8());
    for (int n = 0; n < 20000; ++n)
        text.write(QStringLiteral("하나님의 말씀을 전하는 설교\n").toUtf8());
    text.close();
    Tfmmemo w;
    ASSERT_TRUE(w.loadDocument(text.fileName()));
    w.show();
    EXPECT_TRUE(markedAre(w.spellMarks(), {QStringLiteral("셜교")}));
    w.hide();
}

// A word added from a memo box is unmarked there and in the editor, and
// stays in the personal list.
TEST_F(SpellingWindowTest, AddingAWordUnmarksItInTheMemoBoxesAndTheEditor)
{
    open({{"2001.01.07", "Grace"}});
    auto *brief = child<TDBMemo>("BRIEF");
    ASSERT_NE(brief, nullptr);
    Tfmmemo editor;
    editor.show();
    type(editor.textArea(), QStringLiteral("셜교 "));
    EXPECT_TRUE(markedAre(editor.spellMarks(), {QStringLiteral("셜교")}));

    window->activateWindow();
    window->mnEditClick();
    brief->setFocus();
    type(brief, QStringLiteral("셜교 요약 "));
    auto *marks = brief->findChild<SpellMarks *>();
    ASSERT_NE(marks, nullptr);
    EXPECT_TRUE(markedAre(marks, {QStringLiteral("셜교")}));
    QMenu *menu = contextMenuAt(brief, 1);
    ASSERT_NE(menu, nullptr);
    ASSERT_NE(item(menu, QStringLiteral("설교")), nullptr);
    item(menu, QStringLiteral("사전에 추가"))->trigger();
    menu->close();
    EXPECT_TRUE(markedAre(marks, {}));
    EXPECT_TRUE(markedAre(editor.spellMarks(), {}));
    QFile list(spelling::personalListPath());
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    EXPECT_EQ(list.readAll(), QStringLiteral("셜교\n").toUtf8());
    editor.textArea()->document()->setModified(false);
    editor.hide();
}

// The marks are the window's only: the files saved are the same bytes
// whether checking is on or off.
TEST_F(SpellingWindowTest, SavingWithMarksWritesTheSameBytesAsWithout)
{
    Tfmmemo w;
    w.show();
    type(w.textArea(), QStringLiteral("셜교 됬다 말씀"));
    QTest::keyClick(w.textArea(), Qt::Key_Return);
    type(w.textArea(), QStringLiteral("믿음 sermn "));
    EXPECT_TRUE(markedAre(w.spellMarks(), {QStringLiteral("셜교"), QStringLiteral("됬다"), QStringLiteral("sermn")}));
    const auto saved = [&](const QString &name) {
        w.setFilePath(home.filePath(name + QStringLiteral(".rtf")));
        w.setTextCopyPath(home.filePath(name + QStringLiteral(".txt")));
        w.mnSaveClick();
        QByteArray bytes;
        for (const QString &ext : {QStringLiteral(".rtf"), QStringLiteral(".txt")}) {
            QFile f(home.filePath(name + ext));
            EXPECT_TRUE(f.open(QIODevice::ReadOnly));
            bytes += f.readAll() + '|';
        }
        return bytes;
    };
    const QByteArray marked = saved(QStringLiteral("on"));
    w.findChild<QAction *>(QStringLiteral("mnSpelling"))->trigger();
    EXPECT_TRUE(markedAre(w.spellMarks(), {}));
    EXPECT_EQ(saved(QStringLiteral("off")), marked);
    w.hide();
}

TEST_F(SpellingWindowTest, WithoutADictionaryTheItemIsDisabledWithItsHint)
{
    QTemporaryDir empty;
    const auto installedChecker = spelling::SpellChecker::replaceShared(std::make_shared<spelling::SpellChecker>(
        spelling::findDictionaries({empty.path()}), spelling::personalListPath()));
    {
        Tfmmemo w;
        w.show();
        auto *setting = w.findChild<QAction *>(QStringLiteral("mnSpelling"));
        ASSERT_NE(setting, nullptr);
        EXPECT_FALSE(setting->isEnabled());
        EXPECT_FALSE(setting->isChecked());
        EXPECT_EQ(setting->toolTip(), spelling::missingDictionaryHint());
        type(w.textArea(), QStringLiteral("셜교 "));
        QTest::qWait(50);
        EXPECT_TRUE(w.spellMarks()->markedWords().isEmpty());
        QMenu *menu = contextMenuAt(w.textArea(), 1);
        ASSERT_NE(menu, nullptr);
        EXPECT_EQ(menu->objectName(), QStringLiteral("PopupMenu1"));
        menu->close();
        w.textArea()->document()->setModified(false);
        w.hide();
    }
    spelling::SpellChecker::replaceShared(installedChecker);
}

} // namespace
