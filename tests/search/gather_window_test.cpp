// SPDX-License-Identifier: GPL-3.0-or-later
// Gathering as the user drives it: the dialog's two pages with real keys
// and clicks, the highlight terms, counts, release, the batch deletions
// and their refusals, and the buttons without a collection.
#include "editing/window_helpers.h"
#include "search/ui/gather_commands.h"

#include "editing/sermon_list_model.h"
#include "platform/cp949.h"
#include "store/sermon_record.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace verbana::test {
namespace {

class GatherWindowTest : public WindowTest {
protected:
    void addCommands(editing::Tfmverbdesk &w) override { gathering = new search::ui::GatherCommands(w); }
    void SetUp() override
    {
        WindowTest::SetUp();
        open({{"2001.01.01", "기도의 삶", "d0\\sul0.RTF"},
              {"2001.01.02", "Grace alone", "d0\\sul1.RTF"},
              {"2001.01.03", "감사", "d0\\sul2.hwp"}});
        collection->writeFile(QStringLiteral("text/d0/sul0.txt"), cp("주님께 기도합니다. Amen"));
        collection->writeFile(QStringLiteral("text/d0/sul1.txt"), "grace");
        collection->writeFile(QStringLiteral("text/d0/sul2.txt"), cp("감사 기도"));
        collection->writeFile(QStringLiteral("data/d0/sul0.RTF"));
        collection->writeFile(QStringLiteral("data/d0/sul2.hwp"));
        auto *list = child<QTableView>("DBGrid1");
        tester = std::make_unique<QAbstractItemModelTester>(list->model(),
                                                           QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QAction *action(const char *name) const { return child<QAction>(name); }
    int rows() const { return child<QTableView>("DBGrid1")->model()->rowCount(); }
    QByteArray filter() const { return collection->table().DBFilter(); }

    // Opens the dialog with `key` and lets `act` work it.
    // `more` queues the answers for prompts the dialog's work shows.
    void gather(QKeyCombination key, std::function<void(QWidget &)> act, const std::function<void()> &more = {})
    {
        prompts->modal(QStringLiteral("fmgather"), std::move(act));
        if (more)
            more();
        QApplication::setActiveWindow(window.get());
        QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
    }
    static void chooseField(QWidget &dialog, int row, int field)
    {
        auto *a = dialog.findChild<QAction *>(QStringLiteral("mnField%1_%2").arg(row).arg(field));
        ASSERT_NE(a, nullptr);
        a->trigger();
    }
    static void typeInto(QWidget &dialog, const char *box, const char *utf8)
    {
        auto *b = dialog.findChild<QLineEdit *>(QLatin1String(box));
        ASSERT_NE(b, nullptr);
        b->setFocus();
        type(b, QString::fromUtf8(utf8));
    }
    static void click(QWidget &dialog, const char *name)
    {
        auto *b = dialog.findChild<QAbstractButton *>(QLatin1String(name));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    search::ui::GatherCommands *gathering = nullptr;
    std::unique_ptr<QAbstractItemModelTester> tester;
    // The words the manuscript view shows marked (red, bold).
    QStringList marked() const
    {
        QStringList words;
        const QTextDocument *doc = child<QPlainTextEdit>("reManuscript")->document();
        for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().foreground().color() == QColor(Qt::red)
                    && it.fragment().charFormat().fontWeight() == QFont::Bold)
                    words << it.fragment().text();
        return words;
    }
};

TEST_F(GatherWindowTest, FieldPageBuildsTheExpressionAndReplacesTheGathering)
{
    // Empty boxes: 찾기 does nothing and the dialog stays; 닫기 closes it.
    gather(Qt::CTRL | Qt::Key_F, [](QWidget &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("찾아모으기"));
        EXPECT_EQ(d.findChild<QTabWidget *>(QStringLiteral("pcGather"))->currentIndex(), 0);
        click(d, "btnFind");
        EXPECT_TRUE(d.isVisible());
        click(d, "btnClose");
    });
    EXPECT_EQ(filter(), QByteArray());

    gather(Qt::CTRL | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eWord1", "기도");
        chooseField(d, 2, 10); // 설교방향
        EXPECT_EQ(d.findChild<QPushButton *>(QStringLiteral("btnField2"))->text(), QStringLiteral("설교방향"));
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("eWord2"));
        type(QApplication::focusWidget(), QStringLiteral("~감사"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // on to the next box
        chooseField(d, 3, 15); // 설교일, under 그 외..
        typeInto(d, "eWord3", "=");
        click(d, "btnFind");
    });
    EXPECT_EQ(filter(), cp("(\"기도\" $ UPPER(TITLE1)) .and. (.not.(\"감사\" $ UPPER(AIM))) .and. (DATE2 = \" \")"));
    EXPECT_EQ(rows(), 1);

    // OR, "#", and an unreadable word: the error box, the dialog stays, the
    // gathering in force is kept.
    gather(
        Qt::CTRL | Qt::Key_F,
        [](QWidget &d) {
            typeInto(d, "eWord1", "a\"b");
            click(d, "btnFind");
            EXPECT_TRUE(d.isVisible());
            d.findChild<QLineEdit *>(QStringLiteral("eWord1"))->clear();
            typeInto(d, "eWord1", "grace");
            typeInto(d, "eWord2", "#");
            click(d, "rbOr");
            click(d, "btnFind");
        },
        [this] { prompts->error(); });
    EXPECT_EQ(prompts->texts().last(), QStringLiteral("Invalid Query Expression"));
    EXPECT_EQ(filter(), QByteArray("(\"GRACE\" $ UPPER(TITLE1)) .or. (TITLE1 <> \" \")"));
    EXPECT_EQ(rows(), 3);
}

TEST_F(GatherWindowTest, ManuscriptPageMarksAndKeepsTermsUntilReleased)
{
    gather(Qt::CTRL | Qt::SHIFT | Qt::Key_F, [](QWidget &d) {
        EXPECT_EQ(d.findChild<QTabWidget *>(QStringLiteral("pcGather"))->currentIndex(), 1);
        typeInto(d, "eText1", "기도");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("eText3"));
        type(QApplication::focusWidget(), QStringLiteral("grace"));
        // No more than 100 bytes go into a box.
        auto *four = d.findChild<QLineEdit *>(QStringLiteral("eText4"));
        four->setFocus();
        type(four, QString(51, QChar(u'가')));
        EXPECT_EQ(four->text(), QString(50, QChar(u'가')));
        four->clear();
        click(d, "rbOrText");
        click(d, "btnFindText");
    });
    EXPECT_EQ(filter(), QByteArray(".MARKED."));
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(collection->document().highlightTerms(), QStringLiteral("기도//grace"));
    QTest::keyClick(child<QTableView>("DBGrid1"), Qt::Key_Down);
    window->RefreshManuscriptView();
    const QStringList words = marked();
    ASSERT_FALSE(words.isEmpty());
    for (const QString &w : words)
        EXPECT_TRUE(w == QStringLiteral("기도") || w == QStringLiteral("grace")) << w.toStdString();

    // The gathering is kept through an order change.
    collection->table().SetOrder(collection->table().TagArea("title1"));
    EXPECT_EQ(filter(), QByteArray(".MARKED."));
    EXPECT_EQ(collection->document().highlightTerms(), QStringLiteral("기도//grace"));

    // AND with "Amen" finds one; a field gathering then clears the terms.
    gather(Qt::CTRL | Qt::SHIFT | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eText2", "Amen");
        click(d, "btnFindText");
    });
    EXPECT_EQ(rows(), 1);
    gather(Qt::CTRL | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eWord1", "#");
        click(d, "btnFind");
    });
    EXPECT_TRUE(collection->document().highlightTerms().isEmpty());

    // Nothing found: the message, no gathering; OR without words finds none.
    gather(
        Qt::CTRL | Qt::SHIFT | Qt::Key_F,
        [](QWidget &d) {
            click(d, "rbOrText");
            click(d, "btnFindText");
        },
        [this] { prompts->ok(); });
    EXPECT_EQ(prompts->texts().last(), QStringLiteral("찾는 단어가 설교원고 내용중에 없습니다."));
    EXPECT_EQ(filter(), QByteArray());
    EXPECT_EQ(rows(), 3);

    gather(Qt::CTRL | Qt::SHIFT | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eText1", "Amen");
        click(d, "btnFindText");
    });
    QApplication::setActiveWindow(window.get());
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::AltModifier);
    EXPECT_TRUE(collection->document().highlightTerms().isEmpty());
    EXPECT_EQ(filter(), QByteArray());
    EXPECT_EQ(rows(), 3);
    // Closing the table ends the gathering with its terms.
    gather(Qt::CTRL | Qt::SHIFT | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eText1", "Amen");
        click(d, "btnFindText");
    });
    collection->document().releaseTable();
    EXPECT_TRUE(collection->document().highlightTerms().isEmpty());
}

TEST_F(GatherWindowTest, CountsAndBatchDeletions)
{
    prompts->ok();
    action("mnCount")->trigger();
    gather(Qt::CTRL | Qt::Key_F, [](QWidget &d) {
        typeInto(d, "eWord1", "grace");
        click(d, "btnFind");
    });
    prompts->ok();
    action("mnCount")->trigger();
    EXPECT_EQ(prompts->texts().first(), QStringLiteral("현재 설교는 모두 3 편 입니다."));
    EXPECT_EQ(prompts->texts().last(), QStringLiteral("현재 검색되어 모아진 설교는 1 편 입니다."));

    // While a sermon is edited both deletions refuse.
    prompts->clear();
    window->mnEditClick();
    prompts->ok().ok();
    action("mnDeleteGathered")->trigger();
    action("mnDeleteNotGathered")->trigger();
    const QString refusal = QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.");
    EXPECT_EQ(prompts->texts(), (QStringList{refusal, refusal}));
    window->mnCancelClick();

    // 아니오 keeps everything; 예 deletes the other sermons.
    prompts->clear();
    prompts->no().yes();
    action("mnDeleteNotGathered")->trigger();
    EXPECT_EQ(rows(), 1);
    action("mnDeleteNotGathered")->trigger();
    EXPECT_EQ(prompts->texts().first(),
              QStringLiteral("현재 파일에서 찾아모아진 자료 외의 자료들은\r모두 삭제 됩니다.\r\r계속 하시겠습니까?"));
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(filter(), QByteArray());
    EXPECT_FALSE(collection->exists(QStringLiteral("data/d0/sul0.RTF")));

    // Without a gathering: DeleteNotGathered only says so; DeleteGathered
    // asks and deletes every sermon with its files.
    prompts->clear();
    prompts->ok().yes();
    action("mnDeleteNotGathered")->trigger();
    action("mnDeleteGathered")->trigger();
    EXPECT_EQ(prompts->texts(),
              (QStringList{QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다."),
                           QStringLiteral("현재 상태는 찾아모으기 상태가 아닙니다.\r계속 진행하면 현재 파일의 모든 "
                                          "자료가 삭제됩니다.\r계속 하시겠습니까?")}));
    EXPECT_EQ(rows(), 0);
    EXPECT_FALSE(collection->exists(QStringLiteral("text/d0/sul1.txt")));
}

class GatherWithoutCollection : public WindowTest {
protected:
    void addCommands(editing::Tfmverbdesk &w) override { new search::ui::GatherCommands(w); }
};

TEST_F(GatherWithoutCollection, ButtonsDoNothingAndTheMenuIsOff)
{
    openWithoutCollection();
    EXPECT_FALSE(child<QMenu>("mnGather")->isEnabled());
    auto *gatherButton = child<QPushButton>("btnGather");
    EXPECT_EQ(gatherButton->text(), QStringLiteral("찾아모으기"));
    EXPECT_EQ(gatherButton->toolTip(), QStringLiteral("찾아 모으기"));
    QTest::mouseClick(gatherButton, Qt::LeftButton);
    QTest::mouseClick(child<QAbstractButton>("btnRelease"), Qt::LeftButton);
    EXPECT_TRUE(prompts->shown().empty());
}

} // namespace
} // namespace verbana::test
