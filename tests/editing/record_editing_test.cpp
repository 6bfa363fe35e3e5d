// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_helpers.h"

#include "platform/cp949.h"
#include "store/sermon_record.h"

#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>

namespace verbana::test {
namespace {

using xbase::TableState;

class RecordEditingTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        open({{"1999.01.01", "첫째 설교", "d0\\sul0.RTF"}, {"2000.03.04", "둘째 설교", "d0\\sul1.hwp"}});
    }
    xbase::TableState state() { return collection->table().State(); }
};

TEST_F(RecordEditingTest, AddTypeAndSaveWritesTheRecord)
{
    const int rows = child<QTableView>("DBGrid1")->model()->rowCount();
    press(Qt::Key_F10);
    ASSERT_EQ(state(), TableState::Inserting);
    EXPECT_TRUE(child("pnlSave")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), edit("DATE1"));
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("2001.12.31"));
    EXPECT_EQ(window->manuscriptCaption(), QStringLiteral("원고 입력"));
    EXPECT_EQ(window->PendingManuscript(), QStringLiteral("d0\\sul2.RTF"));

    press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), edit("TITLE1"));
    type(edit("TITLE1"), QStringLiteral("은혜의 강"));
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    ASSERT_EQ(QApplication::focusWidget(), edit("BIBLE1"));
    type(edit("BIBLE1"), QStringLiteral("창12:1-12"));
    auto *brief = child<QPlainTextEdit>("BRIEF");
    brief->setFocus();
    type(brief, QStringLiteral("첫줄"));
    press(Qt::Key_Return);
    type(brief, QStringLiteral("둘"));
    press(Qt::Key_F12);

    ASSERT_EQ(state(), TableState::Browse);
    EXPECT_FALSE(child("pnlSave")->isVisible());
    EXPECT_TRUE(child("DBGrid1")->isEnabled());
    const uint32_t recno = collection->table().RecNo();
    EXPECT_EQ(recno, 3u);
    EXPECT_EQ(collection->storedField(recno, store::fDATE1), QByteArrayLiteral("2001.12.31  "));
    QByteArray title = cp("은혜의 강");
    title.append(60 - title.size(), ' ');
    EXPECT_EQ(collection->storedField(recno, store::fTITLE1), title);
    EXPECT_EQ(collection->storedField(recno, store::fBIBLE1).trimmed(), cp("창12:1-12"));
    EXPECT_EQ(collection->storedField(recno, store::fBIBLENO), QByteArrayLiteral("01012001  "));
    EXPECT_EQ(collection->storedField(recno, store::fBRIEF).trimmed(), cp("첫줄\r\n둘"));
    EXPECT_EQ(child<QTableView>("DBGrid1")->model()->rowCount(), rows + 1);
    EXPECT_EQ(child<QTableView>("DBGrid1")->currentIndex().row(), rows);
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(RecordEditingTest, TheListIsDisabledHalfASecondAfterAnAddition)
{
    press(Qt::Key_F10);
    EXPECT_TRUE(child("DBGrid1")->isEnabled());
    QTRY_VERIFY(!child("DBGrid1")->isEnabled());
    press(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_TRUE(child("DBGrid1")->isEnabled());
}

TEST_F(RecordEditingTest, RefusedReferenceKeepsEditingWithTheReferenceSelected)
{
    press(Qt::Key_F11);
    ASSERT_EQ(state(), TableState::Editing);
    EXPECT_FALSE(child("DBGrid1")->isEnabled());
    child<QTabWidget>("PageControl1")->setCurrentIndex(2);
    edit("BIBLE1")->clear();
    type(edit("BIBLE1"), QStringLiteral("창세1:1"));
    prompts->ok();
    press(Qt::Key_F12);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("성경본문 구절을 다시 입력하십시오.")});
    EXPECT_EQ(state(), TableState::Editing);
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(QApplication::focusWidget(), edit("BIBLE1"));
    EXPECT_EQ(edit("BIBLE1")->selectedText(), QStringLiteral("창세1:1"));
    EXPECT_TRUE(child("pnlSave")->isVisible());
    EXPECT_EQ(collection->storedField(2, store::fBIBLE1).trimmed(), QByteArray());
}

TEST_F(RecordEditingTest, CancelShowsThePreviousSermonAgain)
{
    press(Qt::Key_F10);
    type(edit("DATE1"), QStringLiteral("x"));
    edit("TITLE1")->setFocus();
    type(edit("TITLE1"), QStringLiteral("버릴 설교"));
    collection->writeFile(QStringLiteral("temp.txt"));
    press(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_EQ(state(), TableState::Browse);
    EXPECT_EQ(collection->table().RecNo(), 2u);
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("둘째 설교"));
    EXPECT_EQ(edit("DATE1")->text(), QStringLiteral("2000.03.04"));
    EXPECT_TRUE(edit("TITLE1")->isReadOnly());
    EXPECT_FALSE(child("pnlSave")->isVisible());
    EXPECT_FALSE(collection->exists(QStringLiteral("temp.txt")));
    EXPECT_EQ(collection->table().RecCount(), 2u);
}

TEST_F(RecordEditingTest, SavePanelButtonsSaveAndCancel)
{
    QTest::mouseClick(child<QPushButton>("btnEdit"), Qt::LeftButton);
    ASSERT_EQ(state(), TableState::Editing);
    type(edit("TITLE1"), QStringLiteral("!"));
    QTest::mouseClick(child<QPushButton>("btnSave"), Qt::LeftButton);
    EXPECT_EQ(state(), TableState::Browse);
    EXPECT_EQ(collection->storedField(2, store::fTITLE1).trimmed(), cp("!둘째 설교"));
    QTest::mouseClick(child<QPushButton>("btnAppend"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>("btnCancel"), Qt::LeftButton);
    EXPECT_EQ(state(), TableState::Browse);
}

TEST_F(RecordEditingTest, DeleteRemovesTheRecordAndItsTwoFiles)
{
    collection->writeFile(QStringLiteral("data/d0/sul1.hwp"));
    collection->writeFile(QStringLiteral("text/d0/sul1.txt"));
    collection->writeFile(QStringLiteral("text/d0/sul0.txt"), cp("첫째 원고"));
    prompts->yes();
    press(Qt::Key_F8);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("현재 설교자료(1편)를 삭제하시겠습니까?")});
    EXPECT_FALSE(collection->exists(QStringLiteral("data/d0/sul1.hwp")));
    EXPECT_FALSE(collection->exists(QStringLiteral("text/d0/sul1.txt")));
    EXPECT_TRUE(collection->exists(QStringLiteral("text/d0/sul0.txt")));
    EXPECT_EQ(collection->recnos(), (std::vector<uint32_t>{1}));
    EXPECT_EQ(child<QTableView>("DBGrid1")->model()->rowCount(), 1);
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("첫째 설교"));
    QTRY_COMPARE(child<QPlainTextEdit>("reManuscript")->toPlainText(), QStringLiteral("첫째 원고"));
}

TEST_F(RecordEditingTest, DeleteAnsweredNoKeepsEverything)
{
    collection->writeFile(QStringLiteral("text/d0/sul1.txt"));
    prompts->no();
    QTest::mouseClick(child<QPushButton>("btnDelete"), Qt::LeftButton);
    EXPECT_TRUE(collection->exists(QStringLiteral("text/d0/sul1.txt")));
    EXPECT_EQ(collection->recnos().size(), 2u);
}

TEST_F(RecordEditingTest, DeleteAndAddAreRefusedWhileChanging)
{
    press(Qt::Key_F11);
    prompts->ok().ok();
    press(Qt::Key_F8);
    press(Qt::Key_F10);
    EXPECT_EQ(prompts->texts(),
              (QStringList{QStringLiteral("자료 수정/추가 중입니다.\r먼저 저장이나 취소 후에 실행하십시오."),
                           QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.")}));
    EXPECT_EQ(state(), TableState::Editing);
    press(Qt::Key_F11);
    EXPECT_EQ(state(), TableState::Editing) << "edit while editing changes nothing";
    prompts->ok();
    EXPECT_TRUE(window->RefuseWhileEditing());
}

TEST_F(RecordEditingTest, BrowsingBoxesTakeNoTyping)
{
    type(edit("TITLE1"), QStringLiteral("abc"));
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("둘째 설교"));
    EXPECT_EQ(state(), TableState::Browse);
}

TEST_F(RecordEditingTest, BoxesRefuseTextBeyondTheFieldWidth)
{
    press(Qt::Key_F11);
    auto *title = edit("TITLE1");
    title->clear();
    type(title, QString(31, QChar(0xAC00)));
    EXPECT_EQ(title->text(), QString(30, QChar(0xAC00)));
    type(title, QStringLiteral("a"));
    EXPECT_EQ(title->text().size(), 30);
    auto *brief = child<QPlainTextEdit>("BRIEF");
    brief->setFocus();
    type(brief, QString(120, QLatin1Char('x')));
    press(Qt::Key_Return);
    type(brief, QString(100, QLatin1Char('y')));
    EXPECT_EQ(cp949::byteLength(brief->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"))), 199);
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(2, store::fTITLE1), cp949::encode(QString(30, QChar(0xAC00))).bytes);
    EXPECT_EQ(collection->storedField(2, store::fBRIEF).size(), 200);
    EXPECT_EQ(collection->storedField(2, store::fBRIEF).at(199), ' ');
}

TEST_F(RecordEditingTest, CharactersCp949CannotHoldAreRefusedByName)
{
    press(Qt::Key_F11);
    const QString notCp949 = QString(QChar(0x0E01)); // a Thai letter
    prompts->ok();
    type(edit("SUBJECT"), notCp949);
    EXPECT_EQ(prompts->texts(),
              QStringList{QStringLiteral("'") + notCp949
                          + QStringLiteral("' 문자는 설교 자료에 저장할 수 없습니다.\r다른 문자로 입력하십시오.")});
    EXPECT_TRUE(edit("SUBJECT")->text().isEmpty());
}

TEST_F(RecordEditingTest, ManuscriptPageShowsTheTextCopy)
{
    collection->writeFile(QStringLiteral("text/D0/SUL1.TXT"), cp("본문 첫 줄\r\n둘째 줄\r\n"));
    collection->table().Skip(-1);
    collection->table().Skip(1);
    QTRY_COMPARE(child<QPlainTextEdit>("reManuscript")->toPlainText(), QStringLiteral("본문 첫 줄\n둘째 줄"));
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("아래아 한글"));
    EXPECT_EQ(window->manuscriptCaption(), QStringLiteral("원고 수정"));
    EXPECT_EQ(window->PendingManuscript(), QStringLiteral("d0\\sul1.hwp"));
    EXPECT_TRUE(child<QPlainTextEdit>("reManuscript")->isReadOnly());
    press(Qt::Key_F10);
    EXPECT_TRUE(child<QPlainTextEdit>("reManuscript")->toPlainText().isEmpty());
    QTRY_COMPARE(child<QLabel>("lblManuType")->text(), QStringLiteral("  "));
}

} // namespace
} // namespace verbana::test

namespace verbana::test {
namespace {

// Whatever changes a memo box's text (its context menu, undo, a drop)
// reaches the record, as typing does.
TEST_F(RecordEditingTest, MemoChangesFromTheContextMenuReachTheRecord)
{
    collection->table().Go(1);
    press(Qt::Key_F11);
    auto *brief = child<QPlainTextEdit>("BRIEF");
    brief->setFocus();
    type(brief, QStringLiteral("지울 요약"));
    brief->selectAll();
    const std::unique_ptr<QMenu> menu(brief->createStandardContextMenu());
    auto *deleteAction = menu->findChild<QAction *>(QStringLiteral("edit-delete"));
    ASSERT_NE(deleteAction, nullptr);
    deleteAction->trigger();
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(1, store::fBRIEF).trimmed(), QByteArray());

    press(Qt::Key_F11);
    brief->setFocus();
    type(brief, QStringLiteral("남길 요약"));
    brief->selectAll();
    brief->cut();
    brief->undo();
    press(Qt::Key_F12);
    EXPECT_EQ(collection->storedField(1, store::fBRIEF).trimmed(), cp("남길 요약"));
}

// A stored value that is not whole CP949 (a syllable cut at the field's end
// by another program) is shown with a visible replacement and never blocks
// browsing or editing; it is written back as it was unless its box changed.
TEST_F(RecordEditingTest, BrokenStoredBytesAreShownAndKeptUnlessEdited)
{
    xbase::TApolloTable &t = collection->table();
    t.Go(1);
    t.Edit();
    const QByteArray broken = cp("제목") + QByteArrayLiteral("\xB0");
    t.PutString(store::fTITLE1, broken);
    t.PutString(store::fSUBJECT, broken);
    t.PutString(store::fBRIEF, broken);
    t.Post();
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("제목\uFFFD"));
    EXPECT_EQ(child<QPlainTextEdit>("BRIEF")->toPlainText(), QStringLiteral("제목\uFFFD"));

    press(Qt::Key_F11);
    edit("TITLE1")->setFocus();
    edit("TITLE1")->end(false);
    type(edit("TITLE1"), QStringLiteral("들"));
    EXPECT_EQ(edit("TITLE1")->text(), QStringLiteral("제목\uFFFD들"));
    press(Qt::Key_F12);
    EXPECT_EQ(t.State(), TableState::Browse);
    EXPECT_EQ(collection->storedField(1, store::fTITLE1).trimmed(), cp("제목들"));
    EXPECT_EQ(collection->storedField(1, store::fSUBJECT).trimmed(), broken);
    EXPECT_EQ(collection->storedField(1, store::fBRIEF).trimmed(), broken);
    EXPECT_TRUE(prompts->texts().isEmpty());
}

// F12 while another program holds the table's append lock: the engine's
// message in the general error box, the sermon still being added, and
// nothing lost once the lock is gone.
TEST_F(RecordEditingTest, ASaveRefusedByTheEngineKeepsTheSermonBeingAdded)
{
    press(Qt::Key_F10);
    type(edit("TITLE1"), QStringLiteral("잠긴 날의 설교"));
    {
        HeldAppendLock lock(collection->tablePath());
        prompts->error();
        press(Qt::Key_F12);
        EXPECT_EQ(prompts->texts(),
                  QStringList{QStringLiteral("Record Lock Failure. May be locked by another user or task.")});
        EXPECT_EQ(state(), TableState::Inserting);
        EXPECT_TRUE(child("pnlSave")->isVisible());
    }
    press(Qt::Key_F12);
    ASSERT_EQ(state(), TableState::Browse);
    EXPECT_EQ(collection->storedField(3, store::fTITLE1).trimmed(), cp("잠긴 날의 설교"));
}

} // namespace
} // namespace verbana::test
