// SPDX-License-Identifier: GPL-3.0-or-later
// The BCK and ZIP backup windows driven by clicks and keys with scripted
// prompts: what they show, the names they take, and the collections they
// leave behind.
#include "backup/backup_file.h"
#include "backup/collection_restore.h"
#include "backup/ui/taddform.h"
#include "backup/ui/textract.h"
#include "backup/ui/tfmbumain.h"
#include "backup/ui/tfmreback2.h"
#include "backup/ui/tfmzip.h"

#include "../store/program_folder.h"
#include "platform/cp949.h"
#include "support/accessibility.h"
#include "support/scripted_prompter.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFrame>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace verbana::backup::ui {
namespace {

const QString kStart = QStringLiteral(
    "백업파일 재생을 시작합니다.\r상당한 시간이 소요될 수 있습니다.\r완료 메세지가 나올때까지 기다려주십시오.");
const QString kRestored = QStringLiteral("백업파일 재생 완료");
const QString kSetAside = QStringLiteral("백업파일은 재생되었습니다.\r임시보관해두었던 기존파일을 삭제합니다.");

QStringList tree(const QString &folder)
{
    QStringList out;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next().mid(folder.size() + 1);
    out.sort();
    return out;
}

// ASCII comes as key presses, Korean as the input method's commits.
void type(QWidget *w, const QString &text)
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

// A click on an option's mark (the middle of a wide option is beside its caption).
void choose(QRadioButton *option)
{
    QTest::mouseClick(option, Qt::LeftButton, {}, QPoint(6, option->height() / 2));
}

// The list takes the keyboard focus and nobody picks a row: the view then
// makes its first row current, which must not count as a choice.
void tabInto(QListWidget *list)
{
    QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(list->viewport(), &in);
    QApplication::sendEvent(list, &in);
    EXPECT_EQ(list->currentRow(), 0);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// The stored names of a BCK archive.
QStringList archived(const QString &archive)
{
    QStringList names;
    TBackupFile reader;
    EXPECT_TRUE(reader.List(archive, [&](const TBackupFile::ListedFile &f) { names << cp949::decode(f.name); }));
    return names;
}

class BackupWindows : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        for (const char *name : {"가을", "나무"}) {
            const QString c = QString::fromUtf8(name);
            makeCollection(c);
            writeFile(pf(c + QStringLiteral("/data/d0/sul1.rtf")), c.toUtf8() + " rtf");
            writeFile(pf(c + QStringLiteral("/text/d0/sul1.txt")), c.toUtf8() + " text");
        }
        archives = tmp_.path() + QStringLiteral("/archives");
        QDir().mkpath(archives);
    }
    void TearDown() override
    {
        setRemovableMediaCheck({});
        ProgramFolderTest::TearDown();
    }

    // A BCK archive of a collection, made by the component alone.
    QString bckOf(const QString &collection, const QString &name)
    {
        TBackupFile component;
        const QString archive = archives + QLatin1Char('/') + name;
        EXPECT_TRUE(component.Backup({pf(collection) + QStringLiteral("/*.* /s")}, archive));
        return archive;
    }
    // Answers the restore-target window: a new name typed, or a row chosen.
    void target(const QString &newName, int row = -1)
    {
        prompts.modal(QStringLiteral("fmreback2"), [=](QWidget &w) {
            auto &where = static_cast<Tfmreback2 &>(w);
            if (row < 0) {
                choose(where.RadioButton2);
                type(where.Edit1, newName);
            } else {
                where.ListBox1->setCurrentRow(row);
            }
            QTest::mouseClick(where.btnOK, Qt::LeftButton);
        });
    }

    test::ScriptedPrompter prompts;
    QString archives;
};

TEST_F(BackupWindows, TheBackupWindowShowsItsPagesAndBacksUpTwoCollectionsInTurn)
{
    TfmBUmain dlg;
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("백업파일 만들기/되살리기"));
    EXPECT_TRUE(dlg.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(dlg.PageControl1->tabText(0), QStringLiteral("만들기"));
    EXPECT_EQ(dlg.PageControl1->tabText(1), QStringLiteral("되살리기"));
    EXPECT_EQ(dlg.PageControl1->currentIndex(), 0);
    EXPECT_EQ(dlg.btnBackup->text(), QStringLiteral("백업저장 시작!"));
    EXPECT_EQ(dlg.btnClose1->text(), QStringLiteral("취소/닫기"));
    EXPECT_EQ(dlg.btnRestore->text(), QStringLiteral("재생 시작!"));
    EXPECT_EQ(dlg.btnClose2->text(), QStringLiteral("취소 닫기"));
    EXPECT_FALSE(dlg.pnlBackup->isVisible());
    EXPECT_FALSE(dlg.pnlRestore->isVisible());
    EXPECT_EQ(dlg.ListBox1->count(), 2);
    EXPECT_EQ(dlg.ListBox1->item(0)->text(), QStringLiteral("가을"));
    EXPECT_EQ(test::unnamedControls(&dlg), "");

    // While the component runs the tab pages are off and the panel is up.
    bool panelSeen = false;
    dlg.BackupFile1().OnProgress = [&](TBackupFile *, const QString &, int, bool &) {
        panelSeen = panelSeen || (dlg.pnlBackup->isVisible() && !dlg.PageControl1->isEnabled());
    };
    const QString first = archives + QStringLiteral("/first.bck");
    QTest::keyClicks(dlg.edTitle, QStringLiteral("title"));
    QTest::mouseClick(dlg.btnBackup, Qt::LeftButton); // nothing chosen yet: nothing happens
    EXPECT_TRUE(prompts.texts().isEmpty());
    dlg.ListBox1->setCurrentRow(0);
    prompts.file(first).ok();
    QTest::mouseClick(dlg.btnBackup, Qt::LeftButton);
    dlg.ListBox1->setCurrentRow(1);
    prompts.file(archives + QStringLiteral("/second")).ok();
    QTest::mouseClick(dlg.btnBackup, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("백업파일 저장"), QStringLiteral("백업 저장 완료"),
                                            QStringLiteral("백업파일 저장"), QStringLiteral("백업 저장 완료")}));
    EXPECT_EQ(prompts.shown()[0].filter, QStringLiteral("백업파일 (*.bck)"));
    EXPECT_EQ(prompts.shown()[0].directory, pf());
    EXPECT_TRUE(panelSeen);
    EXPECT_FALSE(dlg.pnlBackup->isVisible());
    EXPECT_TRUE(dlg.PageControl1->isEnabled());

    const QStringList a = archived(first), b = archived(archives + QStringLiteral("/second.BCK"));
    EXPECT_EQ(a.filter(QStringLiteral("\\가을\\")).size(), 4);
    EXPECT_TRUE(a.filter(QStringLiteral("\\나무\\")).isEmpty());
    EXPECT_EQ(b.filter(QStringLiteral("\\나무\\")).size(), 4);
    EXPECT_TRUE(b.filter(QStringLiteral("\\가을\\")).isEmpty());

    // The companion tool gives the window's archive back byte for byte.
    const QString out = tmp_.path() + QStringLiteral("/cli");
    QProcess cli;
    cli.start(QStringLiteral(VERBANA_CLI), {QStringLiteral("bck-restore"), first, out});
    ASSERT_TRUE(cli.waitForFinished());
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const QString restored = findRestoredCollection(out);
    ASSERT_FALSE(restored.isEmpty());
    EXPECT_EQ(tree(restored), tree(pf(QStringLiteral("가을"))));
    for (const QString &f : tree(restored))
        EXPECT_EQ(readAll(restored + QLatin1Char('/') + f), readAll(pf(QStringLiteral("가을/")) + f)) << f.toStdString();
}

// While the component runs the window will not close; 중단 asks first and
// stops the run, which then counts as failed.
TEST_F(BackupWindows, StoppingABackupAsksAndTheWindowStaysWhileBusy)
{
    TfmBUmain dlg;
    dlg.show();
    bool refusedToClose = false;
    // The first turn of the event loop comes before the run, the next in it.
    QTimer::singleShot(0, &dlg, [&] {
        QTimer::singleShot(0, &dlg, [&] {
            ASSERT_TRUE(dlg.BackupFile1().Busy());
            dlg.reject();
            refusedToClose = dlg.isVisible();
            QTest::mouseClick(dlg.btnStopBackup, Qt::LeftButton);
        });
    });
    dlg.ListBox1->setCurrentRow(0);
    prompts.file(archives + QStringLiteral("/stopped.bck")).yes().error();
    QTest::mouseClick(dlg.btnBackup, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("백업파일 저장"), QStringLiteral("백업 작업을 중단하시겠습니까?"),
                                            QStringLiteral("백업 저장 실패")}));
    EXPECT_TRUE(refusedToClose);
    EXPECT_FALSE(dlg.pnlBackup->isVisible());
    EXPECT_TRUE(dlg.PageControl1->isEnabled());
}

// Under a new name ("?" cannot be typed into it), then over an existing
// collection, which is set aside until the restored one is in place.
TEST_F(BackupWindows, RestoresUnderANewNameAndOverAnExistingCollection)
{
    bckOf(QStringLiteral("가을"), QStringLiteral("a.bck"));
    TfmBUmain dlg;
    dlg.show();
    dlg.setFolder(archives);
    ASSERT_EQ(dlg.FileListBox1->count(), 1);
    dlg.PageControl1->setCurrentIndex(1);
    // No archive is taken before the user picks one.
    tabInto(dlg.FileListBox1);
    prompts.ok();
    QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("왼쪽리스트에서 백업할 파일을 선택한 후, 시작 단추를 클릭하십시오.")});
    prompts.clear();

    dlg.FileListBox1->setCurrentRow(0);
    target(QStringLiteral("새?설교"));
    prompts.ok().ok();
    QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("fmreback2"), kStart, kRestored}));
    EXPECT_EQ(tree(pf(QStringLiteral("새설교"))), tree(pf(QStringLiteral("가을"))));
    EXPECT_EQ(readAll(pf(QStringLiteral("새설교/text/d0/sul1.txt"))), QByteArray("가을 text"));

    prompts.clear();
    writeFile(pf(QStringLiteral("나무/text/only-here.txt")), "gone with the old");
    dlg.FileListBox1->setCurrentRow(0);
    target(QString(), 1); // 나무
    prompts.ok().ok().ok();
    QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("fmreback2"), kStart, kSetAside, kRestored}));
    EXPECT_EQ(readAll(pf(QStringLiteral("나무/text/d0/sul1.txt"))), QByteArray("가을 text"));
    EXPECT_EQ(tree(pf(QStringLiteral("나무"))), tree(pf(QStringLiteral("가을"))));
    EXPECT_EQ(trashed(), QStringList{QStringLiteral("_delete")});
    EXPECT_FALSE(QFile::exists(rebackFolder()));
    EXPECT_FALSE(QFile::exists(deleteFolder()));
}

TEST_F(BackupWindows, TheRestoreTargetWindowKeepsItsNameRules)
{
    Tfmreback2 where;
    where.show();
    EXPECT_EQ(where.windowTitle(), QStringLiteral("백업파일 재생 위치"));
    EXPECT_TRUE(where.RadioButton1->isChecked());
    EXPECT_TRUE(where.ListBox1->isEnabled());
    EXPECT_FALSE(where.Edit1->isEnabled());
    EXPECT_EQ(test::unnamedControls(&where), "");
    choose(where.RadioButton2);
    EXPECT_FALSE(where.ListBox1->isEnabled());
    EXPECT_TRUE(where.Edit1->isEnabled());
    QTest::keyClicks(where.Edit1, QStringLiteral("a\"*/:<>?\\|.b"));
    EXPECT_EQ(where.Edit1->text(), QStringLiteral("a.b"));
    where.Edit1->clear();
    prompts.ok().ok().ok();
    QTest::mouseClick(where.btnOK, Qt::LeftButton);
    type(where.Edit1, QStringLiteral("  가을 "));
    QTest::mouseClick(where.btnOK, Qt::LeftButton);
    where.Edit1->setText(QStringLiteral("_delete"));
    QTest::mouseClick(where.btnOK, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(),
              (QStringList{QStringLiteral("새 파일명을 입력하십시오."),
                           QStringLiteral("이미 존재하는 파일명입니다.\r새로운 파일명을 입력하십시오."),
                           QStringLiteral("파일명의 첫문자로 ( _ )나 ( . )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오.")}));
    EXPECT_TRUE(where.isVisible());
    EXPECT_EQ(where.focusWidget(), where.Edit1);
    // Over an existing collection with no row: the window turns to a new name.
    prompts.clear();
    choose(where.RadioButton1);
    tabInto(where.ListBox1);
    prompts.ok();
    QTest::mouseClick(where.btnOK, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("새로운 파일명을 입력해주십시오.")});
    EXPECT_TRUE(where.RadioButton2->isChecked());
    where.Edit1->setText(QStringLiteral(" 겨울 "));
    QTest::mouseClick(where.btnOK, Qt::LeftButton);
    EXPECT_EQ(where.result(), QDialog::Accepted);
    EXPECT_EQ(where.targetName(), QStringLiteral("겨울"));
}

// An archive whose header cannot be read ends the restore with its message
// and closes the window; the collection it was meant to replace is whole.
TEST_F(BackupWindows, ADamagedArchiveClosesTheWindowAndLeavesTheCollection)
{
    writeFile(archives + QStringLiteral("/broken.bck"), "not an archive at all");
    const QStringList before = tree(pf(QStringLiteral("나무")));
    TfmBUmain dlg;
    dlg.show();
    dlg.setFolder(archives);
    dlg.FileListBox1->setCurrentRow(0);
    target(QString(), 1);
    prompts.ok().error();
    QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("fmreback2"), kStart,
                                            QStringLiteral("백업파일 재생 실패\r백업파일에 문제가 있는 것 같습니다.")}));
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(tree(pf(QStringLiteral("나무"))), before);
    EXPECT_FALSE(QFile::exists(rebackFolder()));
    EXPECT_FALSE(QFile::exists(deleteFolder()));

    // With no archive in the folder there is none to restore.
    TfmBUmain again;
    again.show();
    again.setFolder(pf(QStringLiteral("나무")));
    prompts.clear();
    prompts.ok();
    QTest::mouseClick(again.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("왼쪽리스트에서 백업할 파일을 선택한 후, 시작 단추를 클릭하십시오.")});
    EXPECT_TRUE(again.isVisible());
    EXPECT_EQ(tree(pf(QStringLiteral("나무"))), before);
}

// On removable media the archive is cut into volumes of about 1.4 MB; the
// next disk is asked for while writing and again while reading.
TEST_F(BackupWindows, RemovableMediaGetVolumesAndTheDiskQuestion)
{
    QByteArray noise(2000000, Qt::Uninitialized);
    QRandomGenerator gen(7);
    gen.fillRange(reinterpret_cast<quint32 *>(noise.data()), noise.size() / 4);
    writeFile(pf(QStringLiteral("가을/data/d0/sul2.hwp")), noise);
    QStringList asked;
    setRemovableMediaCheck([&](const QString &path) {
        asked << path;
        return true;
    });
    TfmBUmain dlg;
    dlg.show();
    const QString archive = archives + QStringLiteral("/floppy.bck");
    dlg.ListBox1->setCurrentRow(0);
    prompts.file(archive).ok().okOrCancel(true).ok();
    QTest::mouseClick(dlg.btnBackup, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("백업파일 저장"),
                                            QStringLiteral("지정하신 드라이버는 FDD입니다. 공 디스켓을 넣어주십시오."),
                                            QStringLiteral(" 2 번 디스켓을 넣고 [ OK ]를 클릭하십시오."),
                                            QStringLiteral("백업 저장 완료")}));
    EXPECT_EQ(asked, QStringList{archive});
    EXPECT_EQ(dlg.BackupFile1().MaxSize(), 1400000);
    EXPECT_LE(QFileInfo(archive).size(), 1400000);
    EXPECT_TRUE(QFile::exists(archives + QStringLiteral("/floppy.002")));

    prompts.clear();
    dlg.setFolder(archives);
    dlg.FileListBox1->setCurrentRow(0);
    target(QStringLiteral("플로피"));
    prompts.ok().okOrCancel(true).ok();
    QTest::mouseClick(dlg.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("fmreback2"), kStart,
                                            QStringLiteral(" 2 번 디스켓을 넣고 [ OK ]를 클릭하십시오."), kRestored}));
    EXPECT_EQ(readAll(pf(QStringLiteral("플로피/data/d0/sul2.hwp"))), noise);
}

TEST_F(BackupWindows, TheZipWindowBacksUpAndRestoresUnderAnotherName)
{
    TfmZip zip;
    zip.show();
    EXPECT_EQ(zip.windowTitle(), QStringLiteral("백업 저장/해제"));
    EXPECT_EQ(zip.btnBackup->text(), QStringLiteral("백업 저장"));
    EXPECT_EQ(zip.btnRestore->text(), QStringLiteral("백업 되살리기"));
    EXPECT_EQ(zip.btnClose->text(), QStringLiteral("닫기"));
    EXPECT_EQ(test::unnamedControls(&zip), "");

    const QString archive = archives + QStringLiteral("/가을.zip");
    prompts.modal(QStringLiteral("AddForm"), [&](QWidget &w) {
        auto &add = static_cast<TAddForm &>(w);
        EXPECT_EQ(add.windowTitle(), QStringLiteral("압축 저장"));
        EXPECT_EQ(test::unnamedControls(&add), "");
        tabInto(add.ListBox1);
        QTest::mouseClick(add.btnStart, Qt::LeftButton);
        add.ListBox1->setCurrentRow(0);
        QTest::mouseClick(add.btnStart, Qt::LeftButton);
    });
    prompts.ok().file(archives + QStringLiteral("/가을"));
    QTest::mouseClick(zip.btnBackup, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("AddForm"), QStringLiteral("저장할 대상파일을 다시 선택하십시오."),
                                            QStringLiteral("무슨 이름으로 저장할까요?")}));
    EXPECT_EQ(prompts.shown()[2].filter, QStringLiteral("압축파일(zip) (*.zip)"));
    EXPECT_FALSE(zip.isVisible()); // done without a message
    EXPECT_EQ(zip.ProgressBar2->value(), 100);
    ASSERT_TRUE(QFile::exists(archive));

    // "a.b" pasted as the new name becomes "ab".
    TfmZip again;
    again.show();
    prompts.clear();
    prompts.file(archive);
    prompts.modal(QStringLiteral("Extract"), [&](QWidget &w) {
        auto &extract = static_cast<TExtract &>(w);
        EXPECT_EQ(extract.windowTitle(), QStringLiteral("압축 해제"));
        EXPECT_TRUE(extract.RadioButton1->isChecked());
        EXPECT_EQ(test::unnamedControls(&extract), "");
        QApplication::clipboard()->setText(QStringLiteral("a.b"));
        extract.Edit1->paste();
        EXPECT_EQ(extract.Edit1->text(), QStringLiteral("ab"));
        QTest::mouseClick(extract.btnStart, Qt::LeftButton);
    });
    QTest::mouseClick(again.btnRestore, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("압축 파일 풀기"), QStringLiteral("Extract")}));
    EXPECT_FALSE(again.isVisible());
    EXPECT_EQ(tree(pf(QStringLiteral("ab"))), tree(pf(QStringLiteral("가을"))));
}

// A refused or failed restore says why and leaves the window open; nothing
// of the new name is left behind.
TEST_F(BackupWindows, TheZipWindowRefusesWhatIsNoCollectionBackup)
{
    writeFile(archives + QStringLiteral("/broken.zip"), "garbage, no archive");
    QProcess zipTool;
    zipTool.setWorkingDirectory(pf(QStringLiteral("가을")));
    zipTool.start(QStringLiteral("zip"), {QStringLiteral("-q"), QStringLiteral("-j"), archives + QStringLiteral("/top.zip"),
                                          QStringLiteral("sul2file.dbf")});
    if (!zipTool.waitForFinished() || zipTool.exitCode() != 0)
        GTEST_SKIP() << "zip is not installed";
    TfmZip zip;
    zip.show();
    auto newName = [&](const QString &name) {
        prompts.modal(QStringLiteral("Extract"), [=](QWidget &w) {
            auto &extract = static_cast<TExtract &>(w);
            type(extract.Edit1, name);
            QTest::keyClick(extract.Edit1, Qt::Key_Return);
        });
    };
    prompts.file(archives + QStringLiteral("/top.zip"));
    newName(QStringLiteral("위"));
    prompts.error();
    QTest::mouseClick(zip.btnRestore, Qt::LeftButton);
    prompts.file(archives + QStringLiteral("/broken.zip"));
    newName(QStringLiteral("빈"));
    prompts.error();
    QTest::mouseClick(zip.btnRestore, Qt::LeftButton);
    const QStringList texts = prompts.texts();
    ASSERT_EQ(texts.size(), 6);
    EXPECT_EQ(texts[2], QStringLiteral("Verbana 용 압축파일이 아닌 것 같습니다."));
    EXPECT_FALSE(texts[5].isEmpty()); // the library's own words
    EXPECT_TRUE(zip.isVisible());
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("위"))));
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("빈"))));

    // The name rules of the restore-target window.
    TExtract extract;
    extract.show();
    QTest::keyClicks(extract.Edit1, QStringLiteral("x.y?"));
    EXPECT_EQ(extract.Edit1->text(), QStringLiteral("xy"));
    extract.Edit1->setText(QStringLiteral("나무"));
    prompts.clear();
    prompts.ok().ok();
    QTest::mouseClick(extract.btnStart, Qt::LeftButton);
    choose(extract.RadioButton2);
    tabInto(extract.ListBox1);
    QTest::mouseClick(extract.btnStart, Qt::LeftButton);
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("이미 존재하는 설교집입니다."),
                                            QStringLiteral("기존설교집을 다시 선택하여 주십시오.")}));
    EXPECT_TRUE(extract.RadioButton1->isChecked());
    EXPECT_TRUE(extract.isVisible());
}

} // namespace
} // namespace verbana::backup::ui
