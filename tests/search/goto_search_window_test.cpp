// SPDX-License-Identifier: GPL-3.0-or-later
// The toolbar's search group as the user drives it: choosing the item,
// typing the word, Enter and 찾기, the direction buttons, the questions at
// the ends of the list, and a word found in a manuscript.
#include "editing/window_helpers.h"
#include "search/ui/goto_commands.h"

#include "platform/cp949.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

namespace verbana::test {
namespace {

const QString kNoMoreDown = QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r위쪽 방향으로 찾을까요?");
const QString kBottomEnd = QStringLiteral("파일의 아래쪽 끝입니다.\r\r위쪽 방향으로 찾을까요?");
const QString kTopEnd = QStringLiteral("파일의 윗쪽 끝입니다.\r\r아래쪽 방향으로 찾을까요?");

class GoToSearchTest : public WindowTest {
protected:
    void addCommands(editing::Tfmverbdesk &w) override { goTo = new search::ui::GoToCommands(w); }
    search::ui::GoToCommands *goTo = nullptr;

    // Sermons in date order; the title of each is what the tests look for.
    void openSermons()
    {
        open({{"1999.01.01", "은혜의 강", "d0\\sul0.RTF"},
              {"2000.01.01", "Amen 사랑", "d0\\sul1.RTF"},
              {"2001.01.01", "은혜 위에 은혜", "d0\\sul2.hwp"},
              {"2002.01.01", "똠햏 가나", "d0\\sul3.RTF"}});
        collection->writeFile(QStringLiteral("text/d0/sul1.TXT"), cp("첫 줄\r\n둘째 줄에 은혜 AMEN\r\n"));
        collection->writeFile(QStringLiteral("text/d0/sul2.txt"), cp("Amen") + '\0' + cp("은혜"));
        collection->table().GoTop();
    }
    QByteArray title() { return collection->table().GetString(2); }
    void search(const QString &word)
    {
        child<QLineEdit>("eFindGo")->clear();
        type(child<QLineEdit>("eFindGo"), word);
        QTest::mouseClick(child<QPushButton>("btnLetGo"), Qt::LeftButton);
    }
    void choose(int number)
    {
        auto *a = window->findChild<QAction *>(QStringLiteral("mnFindGo%1").arg(number));
        ASSERT_NE(a, nullptr);
        a->trigger();
    }
};

TEST_F(GoToSearchTest, GroupShowsItsCaptionsHintsAndMenu)
{
    openSermons();
    auto *item = child<QToolButton>("btnFindGo");
    EXPECT_EQ(item->text(), QStringLiteral("제목"));
    // The hint is the tooltip as written and, read out, the description.
    const auto described = [](QWidget *w) {
        QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
        EXPECT_EQ(a->text(QAccessible::Description), w->toolTip().simplified());
        return a->text(QAccessible::Name) + QLatin1Char('|') + w->toolTip();
    };
    EXPECT_EQ(described(item), QStringLiteral("제목|찾아가기 대상 항목(클릭)"));
    EXPECT_EQ(described(child<QLineEdit>("eFindGo")), QStringLiteral("찾아가기 단어|찾아가기 단어 (직접입력)"));
    EXPECT_EQ(described(child<QPushButton>("btnLetGo")), QStringLiteral("찾기|  찾기..\r\n 다음 찾기\r\n(입력후 클릭)"));
    EXPECT_EQ(described(child<QToolButton>("btnUp")), QStringLiteral("위로 찾기|[검색방향]\r\n 위로 찾기"));
    EXPECT_EQ(described(child<QToolButton>("btnDown")), QStringLiteral("아래로 찾기|[검색방향]\r\n아래로 찾기"));

    QStringList menu, further;
    for (QAction *a : item->menu()->actions())
        if (!a->menu())
            menu << a->text();
        else
            for (QAction *b : a->menu()->actions())
                further << a->text() + QLatin1Char(':') + b->text();
    EXPECT_EQ(menu.join(QLatin1Char(' ')), QStringLiteral("제목 부제목 주제 성경 참고구절 설교형식 설교방향 예배종류 비고 요약 설교원고"));
    EXPECT_EQ(further.size(), 9);
    EXPECT_EQ(further.front(), QStringLiteral("그 외..:작성일"));
    EXPECT_EQ(further.back(), QStringLiteral("그 외..:개선점"));

    // Choosing an item: the chooser takes its caption, the word box the focus.
    choose(15);
    EXPECT_EQ(item->text(), QStringLiteral("설교일"));
    EXPECT_EQ(goTo->goToItem(), 15);
    EXPECT_EQ(described(item), QStringLiteral("설교일|찾아가기 대상 항목(클릭)"));
    EXPECT_EQ(QApplication::focusWidget(), child<QLineEdit>("eFindGo"));

    // The direction buttons release each other; down is pressed at start.
    EXPECT_TRUE(child<QToolButton>("btnDown")->isChecked());
    QTest::mouseClick(child<QToolButton>("btnUp"), Qt::LeftButton);
    EXPECT_TRUE(child<QToolButton>("btnUp")->isChecked());
    EXPECT_FALSE(child<QToolButton>("btnDown")->isChecked());
}

// Open, the field menu is in the tree a screen reader walks: a child of the
// application with its items; closed, it is gone again.
TEST_F(GoToSearchTest, OpenFieldMenuIsAChildOfTheApplication)
{
    openSermons();
    QMenu *menu = child<QToolButton>("btnFindGo")->menu();
    QAccessibleInterface *app = QAccessible::queryAccessibleInterface(qApp);
    const auto indexOfMenu = [&] {
        for (int i = 0; i < app->childCount(); ++i)
            if (app->child(i)->object() == menu)
                return i;
        return -1;
    };
    ASSERT_EQ(indexOfMenu(), -1);
    menu->popup(window->mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
    const int index = indexOfMenu();
    ASSERT_GE(index, 0);
    QAccessibleInterface *open = app->child(index);
    EXPECT_EQ(app->indexOfChild(open), index);
    EXPECT_EQ(open->parent()->object(), qApp);
    EXPECT_EQ(open->role(), QAccessible::PopupMenu);
    EXPECT_EQ(open->child(0)->text(QAccessible::Name), QStringLiteral("제목"));
    menu->hide();
    EXPECT_EQ(indexOfMenu(), -1);
}

TEST_F(GoToSearchTest, TitleSearchWalksDownAsksAtTheEndAndTurnsBack)
{
    openSermons();
    // Enter in the word box searches; the current sermon is not tested.
    type(child<QLineEdit>("eFindGo"), QStringLiteral("은혜"));
    QTest::keyClick(child<QLineEdit>("eFindGo"), Qt::Key_Return);
    EXPECT_EQ(title(), cp("은혜 위에 은혜"));
    EXPECT_EQ(window->findChild<QTableView *>(QStringLiteral("DBGrid1"))->currentIndex().row(), 2);

    prompts->no();
    QTest::mouseClick(child<QPushButton>("btnLetGo"), Qt::LeftButton);
    EXPECT_EQ(title(), cp("똠햏 가나"));
    prompts->yes();
    QTest::mouseClick(child<QPushButton>("btnLetGo"), Qt::LeftButton);
    EXPECT_EQ(prompts->texts(), (QStringList{kNoMoreDown, kBottomEnd}));
    EXPECT_TRUE(child<QToolButton>("btnUp")->isChecked());
    EXPECT_EQ(title(), cp("은혜 위에 은혜"));

    // Searching from the last sermon, reached without running off the end
    // (as a click in the list does), tests that sermon itself.
    prompts->clear();
    QTest::mouseClick(child<QToolButton>("btnDown"), Qt::LeftButton);
    collection->table().Go(4);
    search(QStringLiteral("가나"));
    EXPECT_EQ(title(), cp("똠햏 가나"));
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(GoToSearchTest, LettersFoldOnlyInFieldsAndNeverOnSecondBytes)
{
    openSermons();
    search(QStringLiteral("amen"));
    EXPECT_EQ(title(), cp("Amen 사랑"));
    // 똠 ends in "c" and 햏 in "d"; "〕" is the second byte of 가 with the
    // first of 나. None of them is found in "똠햏 가나".
    for (const char *word : {"c", "d", "〕"}) {
        collection->table().GoTop();
        prompts->no();
        search(QString::fromUtf8(word));
        EXPECT_EQ(title(), cp("똠햏 가나")) << word;
    }
    EXPECT_EQ(prompts->texts(), (QStringList{kNoMoreDown, kNoMoreDown, kNoMoreDown}));

    // In a manuscript the word is found only as written, and only up to the
    // text copy's first zero byte; a sermon without a text copy is passed.
    prompts->clear();
    choose(14);
    collection->table().GoTop();
    prompts->no();
    search(QStringLiteral("amen"));
    EXPECT_EQ(prompts->texts(), QStringList{kNoMoreDown});
    collection->table().GoTop();
    search(QStringLiteral("AMEN"));
    EXPECT_EQ(title(), cp("Amen 사랑"));
    prompts->no();
    search(QStringLiteral("은혜"));
    EXPECT_EQ(title(), cp("똠햏 가나"));
}

TEST_F(GoToSearchTest, AManuscriptHitShowsThePageWithTheWordMarked)
{
    openSermons();
    choose(14);
    search(QStringLiteral("은혜"));
    EXPECT_EQ(title(), cp("Amen 사랑"));
    auto *view = child<QPlainTextEdit>("reManuscript");
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), view);
    EXPECT_EQ(view->textCursor().position(), 0);
    EXPECT_FALSE(view->textCursor().hasSelection());
    QStringList red;
    for (QTextBlock b = view->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() == QColor(Qt::red)
                && it.fragment().charFormat().fontWeight() == QFont::Bold)
                red << it.fragment().text();
    EXPECT_EQ(red, QStringList{QStringLiteral("은혜")});
}

TEST_F(GoToSearchTest, EmptyViewAlternatesTheEndQuestionsWithoutMoving)
{
    openSermons();
    // A gathering that holds only the first and third sermon: the others
    // are never found.
    collection->table().Query(cp("(\"은혜\" $ TITLE1)"));
    collection->table().GoTop();
    ASSERT_EQ(title(), cp("은혜의 강"));
    prompts->no();
    search(QStringLiteral("사랑"));
    EXPECT_EQ(title(), cp("은혜 위에 은혜"));

    collection->table().Query(cp("(\"없는 말\" $ TITLE1)"));
    collection->table().GoTop();
    ASSERT_TRUE(collection->table().Eof() && collection->table().Bof());
    prompts->clear();
    prompts->yes().yes().no();
    search(QStringLiteral("은혜"));
    EXPECT_EQ(prompts->texts(), (QStringList{kBottomEnd, kTopEnd, kBottomEnd}));
    EXPECT_TRUE(child<QToolButton>("btnDown")->isChecked());
    EXPECT_EQ(collection->table().RecNo(), 0u);
}

TEST_F(GoToSearchTest, NothingHappensWithoutAWordWhileEditingOrWithoutACollection)
{
    openSermons();
    prompts->ok();
    search(QStringLiteral("  "));
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral(
                                    "먼저 왼쪽의 검색단어 입력란에\r찾을 단어를 입력하신 후, [찾기]단추를 클릭하십시오.")});
    EXPECT_EQ(title(), cp("은혜의 강"));
    // Enter in an empty box is left alone.
    child<QLineEdit>("eFindGo")->clear();
    QTest::keyClick(child<QLineEdit>("eFindGo"), Qt::Key_Return);
    EXPECT_EQ(prompts->texts().size(), 1);

    window->mnEditClick();
    search(QStringLiteral("은혜"));
    EXPECT_EQ(title(), cp("은혜의 강"));
    window->mnCancelClick();

    window->unbindCollection();
    search(QStringLiteral("은혜"));
    EXPECT_EQ(prompts->texts().size(), 1);
}

} // namespace
} // namespace verbana::test
