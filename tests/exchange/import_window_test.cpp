// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"
#include "exchange/ui/tfmfnote.h"
#include "exchange/ui/tfmhwp.h"
#include "store/sermon_record.h"
#include "support/accessibility.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QComboBox>
#include <QDir>
#include <QStackedWidget>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace verbana;
using exchange::ui::BatchImportWindow;

namespace {

class ImportWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char *folder : {"one", "two"})
            QDir(src.path()).mkdir(QLatin1String(folder));
        for (const char *name : {"one/b.txt", "one/a.RTF", "one/c.cap", "one/skip.doc", "one/d.hwp", "one/f.HWPX",
                                 "two/b.txt", "two/e.txt"})
            test::writeAll(src.path() + QLatin1Char('/') + QLatin1String(name), QByteArray("text of ") + name);
    }
    QString folder(const char *name) const { return src.path() + QLatin1Char('/') + QLatin1String(name); }
    static void click(QPushButton *b) { QTest::mouseClick(b, Qt::LeftButton); }
    static void selectFiles(BatchImportWindow &w, std::initializer_list<int> rows)
    {
        w.FList->clearSelection();
        for (int r : rows)
            w.FList->item(r)->setSelected(true);
    }

    QTemporaryDir src;
    test::TestCollection collection;
    test::ScriptedPrompter prompts;
};

QStringList texts(QListWidget *list)
{
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
        out << list->item(i)->text();
    return out;
}


TEST_F(ImportWindowTest, ChosenListTakesEachNameOnceAndRemovesRanges)
{
    exchange::ui::TfmRTF w(collection.document());
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("TXT, RTF, CAP 파일들 불러넣기"));
    EXPECT_EQ(test::unnamedControls(&w), "");
    EXPECT_EQ(w.chosenNames(), QStringList{QString()});
    EXPECT_EQ(w.laEA->text(), QStringLiteral("0"));
    EXPECT_EQ(w.Gauge1->height(), 2);

    w.setFolder(folder("one"));
    EXPECT_EQ(texts(w.FList), (QStringList{QStringLiteral("a.RTF"), QStringLiteral("b.txt"), QStringLiteral("c.cap")}));
    selectFiles(w, {0, 2});
    click(w.btnAppend);
    EXPECT_EQ(w.chosenNames(), (QStringList{QStringLiteral("a.RTF"), QStringLiteral("c.cap")}));
    EXPECT_EQ(w.laEA->text(), QStringLiteral("2"));
    selectFiles(w, {2});
    click(w.btnAppend); // already chosen: becomes the current row
    EXPECT_EQ(w.laEA->text(), QStringLiteral("2"));
    EXPECT_EQ(w.fileGrid->currentRow(), 1);
    click(w.btnAppendAll);
    EXPECT_EQ(w.chosenNames(),
              (QStringList{QStringLiteral("a.RTF"), QStringLiteral("c.cap"), QStringLiteral("b.txt")}));

    // Another folder keeps the chosen files, each with its own folder; a
    // name already chosen is not taken twice.
    w.setFolder(folder("two"));
    EXPECT_EQ(texts(w.FList), (QStringList{QStringLiteral("b.txt"), QStringLiteral("e.txt")}));
    click(w.btnAppendAll);
    EXPECT_EQ(w.chosenNames(), (QStringList{QStringLiteral("a.RTF"), QStringLiteral("c.cap"), QStringLiteral("b.txt"),
                                            QStringLiteral("e.txt")}));
    EXPECT_EQ(w.chosenPaths()[2], folder("one") + QStringLiteral("/b.txt"));
    EXPECT_EQ(w.laEA->text(), QStringLiteral("4"));

    // "<" on rows 1 and 2: the rows below move up, the current row keeps
    // its index.
    w.fileGrid->clearSelection();
    w.fileGrid->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 0), true);
    click(w.btnDelete);
    EXPECT_EQ(w.chosenNames(), (QStringList{QStringLiteral("a.RTF"), QStringLiteral("e.txt")}));
    EXPECT_EQ(w.fileGrid->currentRow(), 1);
    EXPECT_EQ(w.laEA->text(), QStringLiteral("2"));
    w.fileGrid->clearSelection();
    w.fileGrid->setCurrentCell(1, 0);
    click(w.btnDelete);
    EXPECT_EQ(w.fileGrid->currentRow(), 0);
    click(w.btnDeleteAll);
    EXPECT_EQ(w.chosenNames(), QStringList{QString()});
    EXPECT_EQ(w.laEA->text(), QStringLiteral("0"));
    EXPECT_TRUE(w.chosenPaths().isEmpty());
}

TEST_F(ImportWindowTest, TheHwpWindowEmptiesTheListInAnotherFolder)
{
    exchange::ui::Tfmhwp w(collection.document());
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("아래아 한글 파일들 불러넣기"));
    w.setFolder(folder("one"));
    EXPECT_EQ(texts(w.FList), (QStringList{QStringLiteral("d.hwp"), QStringLiteral("f.HWPX")}));
    click(w.btnAppendAll);
    EXPECT_EQ(w.laEA->text(), QStringLiteral("2"));
    w.setFolder(folder("two"));
    EXPECT_EQ(w.chosenNames(), QStringList{QString()});
    EXPECT_EQ(w.laEA->text(), QStringLiteral("0"));
    click(w.SpeedButton5); // an empty list: nothing happens
    EXPECT_TRUE(prompts.texts().isEmpty());
}

TEST_F(ImportWindowTest, ARunImportsTheChosenFilesFromTheirFoldersAndKeepsTheFailedListed)
{
    exchange::ui::TfmRTF w(collection.document());
    int refreshed = 0;
    w.setAfterRun([&] { ++refreshed; });
    w.show();
    w.setFolder(folder("one"));
    click(w.btnAppendAll);
    w.setFolder(folder("two"));
    selectFiles(w, {1});
    click(w.btnAppend);
    ASSERT_TRUE(QFile::remove(folder("one") + QStringLiteral("/c.cap")));
    prompts.ok();
    click(w.SpeedButton5);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("3개 파일을 불러 넣었습니다.")});
    EXPECT_EQ(w.chosenNames(), QStringList{QStringLiteral("c.cap")});
    EXPECT_EQ(w.laEA->text(), QStringLiteral("1"));
    EXPECT_EQ(w.Gauge1->value(), 4);
    EXPECT_EQ(refreshed, 1);
    EXPECT_TRUE(w.SpeedButton5->isEnabled() && w.fileGrid->isEnabled());
    EXPECT_EQ(collection.table().RecCount(), 3u);
    // b.txt came from the folder it was chosen in, not the one shown.
    EXPECT_EQ(test::readAll(collection.folder() + QStringLiteral("/data/d0/sul1.RTF")), QByteArray("text of one/b.txt"));
    EXPECT_EQ(test::readAll(collection.folder() + QStringLiteral("/data/d0/sul2.RTF")), QByteArray("text of two/e.txt"));

    // Every file failing: the count 0, all still listed.
    QFile::remove(folder("one") + QStringLiteral("/a.RTF"));
    w.setFolder(folder("one"));
    click(w.btnAppendAll);
    QFile::remove(folder("one") + QStringLiteral("/b.txt"));
    prompts.ok();
    click(w.SpeedButton5);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("0개 파일을 불러 넣었습니다."));
    EXPECT_EQ(w.chosenNames(), (QStringList{QStringLiteral("c.cap"), QStringLiteral("b.txt")}));
    EXPECT_EQ(collection.table().RecCount(), 3u);
}

TEST_F(ImportWindowTest, TheNotaviaWindowOpensAFileThenCopiesWithTheChosenFields)
{
    VERBANA_REQUIRE_FIXTURES();
    exchange::ui::Tfmfnote w(collection.document());
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("\"Notavia\"용 파일 내용 복사"));
    EXPECT_EQ(test::unnamedControls(&w), "");
    EXPECT_EQ(w.ComboBox1->count(), 17);
    EXPECT_EQ(w.ComboBox4->currentText(), QStringLiteral("비고"));
    click(w.SpeedButton2); // no file yet: stays on the first page
    EXPECT_EQ(w.Notebook1->currentIndex(), 0);

    // A sermon table is no note file.
    prompts.file(collection.tablePath()).ok();
    click(w.btnOpenfile);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("Notavia용 파일이 아닙니다."));
    click(w.SpeedButton2);
    EXPECT_EQ(w.Notebook1->currentIndex(), 0);

    prompts.file(test::sharedFixtures() + QStringLiteral("/xbase/foreign-notes/NOTE1.smt"));
    click(w.btnOpenfile);
    EXPECT_EQ(w.laEA->text(), QStringLiteral("자료수: 4"));
    EXPECT_EQ(w.DBGrid1->item(1, 2)->text(), QStringLiteral("요한일서"));
    click(w.SpeedButton2);
    EXPECT_EQ(w.Notebook1->currentIndex(), 1);
    w.ComboBox2->setCurrentText(QStringLiteral("제목"));
    prompts.ok();
    click(w.SpeedButton3);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("내용 복사 완료 (4개)"));
    EXPECT_EQ(w.result(), QDialog::Accepted);
    collection.table().SetOrder(0);
    collection.table().Go(2);
    EXPECT_EQ(collection.table().GetString(store::fTITLE1), test::cp("하나님은 사랑이시라"));
}

} // namespace
