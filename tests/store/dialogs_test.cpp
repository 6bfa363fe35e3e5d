// SPDX-License-Identifier: GPL-3.0-or-later
// The collection dialogs driven by keys and clicks, with scripted prompts.
#include "program_folder.h"
#include "store_helpers.h"
#include "support/accessibility.h"
#include "support/scripted_prompter.h"

#include "platform/files.h"
#include "store/collection_document.h"
#include "store/collection_files.h"
#include "store/ui/tfmcreate.h"
#include "store/ui/tfminput.h"
#include "store/ui/tfmopen.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace verbana;
using namespace verbana::store;
using namespace verbana::store::ui;

namespace {

const QString kBadChar = QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.");
const QString kExists = QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오.");
const QString kUnderscore = QStringLiteral("파일명의 첫문자로 ( _ )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오.");
const QString kOpenQuestion = QStringLiteral("작성된 파일을 파일열기하시겠습니까?");

class Dialogs : public test::ProgramFolderTest {
protected:
    // ASCII comes as key presses, Korean as the input method's commits.
    static void type(QWidget *w, const QString &text)
    {
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(w, char(c.unicode()));
            } else {
                QInputMethodEvent commit;
                commit.setCommitString(QString(c));
                QApplication::sendEvent(w, &commit);
            }
        }
    }
    void clickRow(Tfmopen &dlg, int row)
    {
        const QRect r = dlg.StringGrid1->visualRect(dlg.StringGrid1->model()->index(row, 0));
        QTest::mouseClick(dlg.StringGrid1->viewport(), Qt::LeftButton, {}, r.center());
    }
    // Scripts the input dialog that is shown next.
    void answerInput(const QString &typed, QString *shownText = nullptr)
    {
        prompts.modal(QStringLiteral("fminput"), [=](QWidget &w) {
            auto &input = static_cast<Tfminput &>(w);
            EXPECT_EQ(input.windowTitle(), QStringLiteral("입력 대화상자"));
            if (shownText)
                *shownText = input.lbText->text();
            type(input.Edit1, typed);
            QTest::keyClick(input.Edit1, Qt::Key_Return);
        });
    }

    test::ScriptedPrompter prompts;
    CollectionDocument document;
};

TEST_F(Dialogs, CreateDialogLooksAndRefusesKeys)
{
    Tfmcreate dlg(document, QPoint(14, 60));
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("새 설교집 만들기"));
    EXPECT_EQ(dlg.Label1->text(), QStringLiteral("새 설교집 이름:"));
    EXPECT_EQ(dlg.btnCreate->text(), QStringLiteral("만들기"));
    EXPECT_EQ(dlg.btnCancel->text(), QStringLiteral("취소"));
    EXPECT_TRUE(dlg.btnCreate->isDefault());
    EXPECT_EQ(dlg.pos(), QPoint(14, 60));
    type(dlg.eName, QStringLiteral("a*b/c:d<e>f?g\\h|i\"j.k;l 설교"));
    EXPECT_EQ(dlg.eName->text(), QStringLiteral("abcdefghij.k;l 설교"));
    QTest::keyClick(dlg.eName, Qt::Key_Escape);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(Dialogs, CreateDialogNameRulesKeepItOpen)
{
    makeCollection(QStringLiteral("Grace"));
    Tfmcreate dlg{document, QPoint()};
    dlg.show();
    struct Case {
        QString typed, message;
    };
    const Case cases[] = {
        {QStringLiteral(" 설교."), kBadChar},
        {QStringLiteral("   "), kExists},
        {QStringLiteral("_숨김"), kUnderscore},
        {QStringLiteral("GRACE"), kExists},
    };
    for (const Case &c : cases) {
        dlg.eName->clear();
        type(dlg.eName, c.typed);
        prompts.ok();
        QTest::keyClick(dlg.eName, Qt::Key_Return);
        EXPECT_EQ(prompts.texts().value(0), c.message) << c.typed.toStdString();
        prompts.clear();
        EXPECT_TRUE(dlg.isVisible());
        EXPECT_EQ(dlg.eName->selectedText(), dlg.eName->text());
    }
    EXPECT_EQ(QDir(pf()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Grace")});
}

TEST_F(Dialogs, CreateAndOpen)
{
    Tfmcreate dlg{document, QPoint()};
    dlg.show();
    prompts.yes();
    type(dlg.eName, QStringLiteral("  새 설교집 "));
    QTest::mouseClick(dlg.btnCreate, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{kOpenQuestion});
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.createResult(), 1);
    EXPECT_TRUE(document.isOpen());
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Verbana - 새 설교집"));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새 설교집/data"))).isDir());
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새 설교집/text"))).isDir());
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새 설교집/sul2file.cdx"))).isFile());
    EXPECT_EQ(document.table().TagCount(), 4);
}

TEST_F(Dialogs, CreateWithoutOpeningAndCutTo100Bytes)
{
    Tfmcreate dlg{document, QPoint()};
    dlg.show();
    prompts.no();
    type(dlg.eName, QStringLiteral("a") + QString(50, QChar(u'가')));
    QTest::keyClick(dlg.eName, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(document.isOpen());
    const QString name = QStringLiteral("a") + QString(49, QChar(u'가'));
    EXPECT_TRUE(QFileInfo(pf(name + QStringLiteral("/sul2file.dbf"))).isFile());
    // The index is made at the first opening.
    EXPECT_FALSE(QFileInfo(pf(name + QStringLiteral("/sul2file.cdx"))).exists());
}

TEST_F(Dialogs, OpenDialogListsCountsAndOpensByDoubleClick)
{
    auto t = test::openTable(makeCollection(QStringLiteral("b")));
    test::appendSermons(*t, {{"1999.01.01", "a"}, {"1999.01.02", "b"}});
    t->Close();
    makeCollection(QStringLiteral("A"));
    makeCollection(QStringLiteral("열린 설교집"));
    ASSERT_TRUE(document.OpenCollection(pf(QStringLiteral("열린 설교집/sul2file.dbf"))));

    Tfmopen dlg(document.openLabel(), QPoint(20, 30));
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("설교파일 열기"));
    EXPECT_EQ(dlg.pos(), QPoint(20, 30));
    ASSERT_EQ(dlg.StringGrid1->rowCount(), 2);
    EXPECT_EQ(dlg.nameAt(0), QStringLiteral("A"));
    EXPECT_EQ(dlg.nameAt(1), QStringLiteral("b"));
    EXPECT_EQ(dlg.StringGrid1->columnWidth(0), 174);
    EXPECT_EQ(dlg.StringGrid1->columnWidth(1), 67);
    EXPECT_EQ(dlg.StringGrid1->rowHeight(0), 19);
    EXPECT_TRUE(dlg.countAt(0).isEmpty());
    EXPECT_TRUE(dlg.countAt(1).isEmpty());
    for (QPushButton *b : {dlg.btnOpen, dlg.btnCancel, dlg.btnRename, dlg.btnDelete})
        EXPECT_TRUE(b->isVisible());
    EXPECT_EQ(dlg.btnOpen->text(), QStringLiteral("열기"));
    EXPECT_EQ(dlg.btnRename->text(), QStringLiteral("수정"));
    EXPECT_EQ(dlg.btnDelete->text(), QStringLiteral("삭제"));

    clickRow(dlg, 1);
    EXPECT_EQ(dlg.countAt(1), QStringLiteral("2"));
    const QRect r = dlg.StringGrid1->visualRect(dlg.StringGrid1->model()->index(1, 0));
    QTest::mouseDClick(dlg.StringGrid1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.selectedName(), QStringLiteral("b"));
    // A good collection opens silently.
    EXPECT_TRUE(document.openNamedCollection(dlg.selectedName()));
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Verbana - B"));
}

TEST_F(Dialogs, OpenOnAnEmptyListReportsTheProgramFolder)
{
    Tfmopen dlg{QString(), QPoint()};
    dlg.show();
    ASSERT_EQ(dlg.StringGrid1->rowCount(), 1);
    EXPECT_TRUE(dlg.nameAt(0).isEmpty());
    QTest::mouseClick(dlg.btnOpen, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    prompts.ok().ok();
    EXPECT_FALSE(document.openNamedCollection(dlg.selectedName()));
    EXPECT_EQ(prompts.texts(),
              (QStringList{pf() + QStringLiteral(" 파일이 없습니다.\r[파일]메뉴의 [파일열기]을 선택하여 파일을 다시 여십시오."),
                           QStringLiteral("파일이 알맞지 않습니다.")}));
}

TEST_F(Dialogs, RenameThroughTheInputDialog)
{
    auto t = test::openTable(makeCollection(QStringLiteral("old")));
    test::appendSermons(*t, {{"1999.01.01", "a"}});
    t->Close();
    makeCollection(QStringLiteral("taken"));
    Tfmopen dlg(QString(), QPoint(5, 5));
    dlg.show();
    clickRow(dlg, 0);
    ASSERT_EQ(dlg.nameAt(0), QStringLiteral("old"));
    EXPECT_EQ(dlg.countAt(0), QStringLiteral("1"));

    QString shown;
    answerInput(QStringLiteral("새*이.름,"), &shown);
    QTest::mouseClick(dlg.btnRename, Qt::LeftButton);
    EXPECT_EQ(shown, QStringLiteral("새로운 파일명을 아래에 입력하십시오."));
    EXPECT_EQ(dlg.nameAt(0), QStringLiteral("새이름"));
    EXPECT_EQ(dlg.countAt(0), QStringLiteral("1"));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새이름/sul2file.dbf"))).isFile());
    EXPECT_FALSE(QFileInfo(pf(QStringLiteral("old"))).exists());

    prompts.clear();
    answerInput(QStringLiteral("taken"));
    prompts.ok();
    QTest::mouseClick(dlg.btnRename, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(),
              (QStringList{QStringLiteral("fminput"), QStringLiteral("알 수 없는 이유로 수정할 수 없습니다.")}));
    EXPECT_EQ(dlg.nameAt(0), QStringLiteral("새이름"));
}

TEST_F(Dialogs, DeleteSendsTheCollectionToTheTrash)
{
    makeCollection(QStringLiteral("a"));
    makeCollection(QStringLiteral("b"));
    Tfmopen dlg{QString(), QPoint()};
    dlg.show();
    prompts.no();
    QTest::mouseClick(dlg.btnDelete, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("[a] 파일을 삭제하시겠습니까?\r삭제하시면 파일 속에 입력되었던 모든 "
                                                          "설교문이 삭제됩니다.")});
    EXPECT_EQ(dlg.StringGrid1->rowCount(), 2);
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("a"))).isDir());

    prompts.yes();
    QTest::mouseClick(dlg.btnDelete, Qt::LeftButton);
    ASSERT_EQ(dlg.StringGrid1->rowCount(), 1);
    EXPECT_EQ(dlg.nameAt(0), QStringLiteral("b"));
    EXPECT_FALSE(QFileInfo(pf(QStringLiteral("a"))).exists());
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("a")});
    for (QWidget *w : std::initializer_list<QWidget *>{dlg.StringGrid1, dlg.btnOpen, dlg.btnDelete})
        EXPECT_TRUE(w->isEnabled());

    // Where no trash takes it, the collection goes for good only when the
    // user says so; kept, it keeps its row.
    files::setTrashForTesting([](const QString &) { return false; });
    const QString question = QStringLiteral("[b] 파일을 삭제하시겠습니까?\r삭제하시면 파일 속에 입력되었던 모든 설교문이 삭제됩니다.");
    const QString forGood = trashRefusedQuestion(QDir::toNativeSeparators(pf(QStringLiteral("b"))));
    EXPECT_EQ(forGood, QStringLiteral("휴지통에 넣을 수 없습니다.\r") + pf(QStringLiteral("b"))
                           + QStringLiteral("\r완전히 삭제하시겠습니까?"));
    prompts.clear();
    prompts.yes().no();
    QTest::mouseClick(dlg.btnDelete, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{question, forGood}));
    EXPECT_EQ(dlg.nameAt(0), QStringLiteral("b"));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("b"))).isDir());
    prompts.yes().yes();
    QTest::mouseClick(dlg.btnDelete, Qt::LeftButton);
    files::setTrashForTesting({});
    ASSERT_EQ(dlg.StringGrid1->rowCount(), 1);
    EXPECT_TRUE(dlg.nameAt(0).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(pf(QStringLiteral("b"))));
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("a")});
    // With no name left, delete and rename ask nothing.
    QTest::mouseClick(dlg.btnDelete, Qt::LeftButton);
    QTest::mouseClick(dlg.btnRename, Qt::LeftButton);
    QTest::mouseClick(dlg.btnCancel, Qt::LeftButton);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(Dialogs, ExecuteOpensTheChosenCollection)
{
    makeCollection(QStringLiteral("first"));
    makeCollection(QStringLiteral("second"));
    ASSERT_TRUE(document.OpenCollection(pf(QStringLiteral("first/sul2file.dbf"))));
    prompts.modal(QStringLiteral("fmopen"), [](QWidget &w) {
        auto &dlg = static_cast<Tfmopen &>(w);
        EXPECT_EQ(dlg.StringGrid1->rowCount(), 1); // the open one is not listed
        QTest::keyClick(dlg.StringGrid1, Qt::Key_Return);
    });
    EXPECT_TRUE(Tfmopen::Execute(document, QPoint()));
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Verbana - SECOND"));

    prompts.modal(QStringLiteral("fmcreate"),
                  [](QWidget &w) { QTest::keyClick(static_cast<Tfmcreate &>(w).eName, Qt::Key_Escape); });
    EXPECT_EQ(Tfmcreate::Execute(document, QPoint()), 0);
    EXPECT_TRUE(document.isOpen());
}

TEST_F(Dialogs, InputDialogKeys)
{
    Tfminput dlg(QPoint(3, 4));
    dlg.show();
    EXPECT_EQ(dlg.lbText->text(), QStringLiteral("아래에 입력하십시오."));
    EXPECT_EQ(dlg.btnOK->text(), QStringLiteral("확인"));
    EXPECT_EQ(dlg.btnCancel->text(), QStringLiteral("취소"));
    type(dlg.Edit1, QStringLiteral("a,b.c*d"));
    EXPECT_EQ(dlg.text(), QStringLiteral("a,b.c*d"));
    dlg.Edit1->clear();
    dlg.setFileNameOnly(true);
    type(dlg.Edit1, QStringLiteral("a,b.c*d/e:f<g>h?i\\j|k\"l 말"));
    EXPECT_EQ(dlg.text(), QStringLiteral("abcdefghijkl 말"));
    QTest::keyClick(dlg.Edit1, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);

    Tfminput other{QPoint()};
    other.show();
    QTest::keyClick(other.Edit1, Qt::Key_Escape);
    EXPECT_EQ(other.result(), QDialog::Rejected);
}

} // namespace

namespace {

TEST_F(Dialogs, EveryControlHasAnAccessibleName)
{
    makeCollection(QStringLiteral("a"));
    Tfmopen open{QString(), QPoint()};
    Tfmcreate create{document, QPoint()};
    Tfminput input{QPoint()};
    for (QDialog *d : std::initializer_list<QDialog *>{&open, &create, &input})
        EXPECT_EQ(test::unnamedControls(d), "") << d->windowTitle().toStdString();
}

} // namespace
