// SPDX-License-Identifier: GPL-3.0-or-later
// The manuscript page as the user drives it: the built-in editor for a new
// sermon and for a saved one, taking in HWP files, the conversion's
// messages, an HWP manuscript handed to the built-in editor when the
// desktop has no Hancom word processor, and the outside HWP editing.
#include "window_helpers.h"

#include "editing/outside_editing.h"
#include "platform/cp949.h"
#include "richtext/richtext.h"
#include "settings/profile.h"
#include "store/convert_hwp.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "xdg_sandbox.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTextDocument>
#include <QTextEdit>

namespace verbana::test {
namespace {

using xbase::TableState;

class ManuscriptWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH));
        open({{"1999.01.01", "첫째 설교", "d0\\sul0.RTF"},
              {"2000.03.04", "둘째 설교", "d0\\sul1.hwp"},
              {"2000.05.05", "셋째 설교"}});
        // The stand-in editor saves as the editor's Save does, or closes
        // without saving when there is no text.
        window->setBuiltInEditor([this](const QString &file, const QString &textCopy, bool load) {
            calls.push_back({file, textCopy, load});
            if (editorText.isNull())
                return;
            QTextDocument doc(editorText);
            ASSERT_TRUE(richtext::writeRtfFile(doc, file).ok());
            QFile copy(textCopy);
            ASSERT_TRUE(copy.open(QIODevice::WriteOnly));
            copy.write(richtext::plainText(doc).bytes);
        });
        child<QTabWidget>("PageControl1")->setCurrentIndex(1);
    }
    void TearDown() override
    {
        store::setHwp2txtPath(QString());
        editing::setOutsideEditingTimes({});
        WindowTest::TearDown();
    }
    QPushButton *mEdit() const { return child<QPushButton>("btnMEdit"); }
    QString path(const char *relative) const { return collection->folder() + QLatin1Char('/') + QLatin1String(relative); }
    QByteArray context() { return collection->table().GetString(store::fCONTEXT); }
    void go(uint32_t recno)
    {
        collection->table().Go(recno);
        window->RefreshManuscriptView();
    }
    // Clicks the manuscript button and picks an entry of its pop-up menu
    // with the keys.
    void choose(int entry)
    {
        QTest::mouseClick(mEdit(), Qt::LeftButton);
        auto *menu = child<QMenu>("pmManuscript");
        ASSERT_TRUE(menu->isVisible());
        EXPECT_EQ(menu->geometry().topLeft(), mEdit()->mapToGlobal(QPoint(6, mEdit()->height())));
        for (int i = 0; i <= entry; ++i)
            QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        // The offscreen platform does not hand the activation back to the
        // window when a pop-up closes during a command, as a window manager
        // does.
        QApplication::setActiveWindow(window.get());
    }
    // The messages shown (not the choosers' captions).
    QStringList messages() const
    {
        QStringList out;
        for (const PromptRequest &r : prompts->shown())
            if (r.kind == PromptKind::Information)
                out << r.text;
        return out;
    }
    QString viewText() const { return child<QPlainTextEdit>("reManuscript")->toPlainText(); }

    struct Call {
        QString file, textCopy;
        bool load;
    };
    std::vector<Call> calls;
    QString editorText;
};

TEST_F(ManuscriptWindowTest, ANewSermonWrittenInTheBuiltInEditor)
{
    press(Qt::Key_F10);
    EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 입력"));
    EXPECT_EQ(mEdit()->accessibleDescription(), QStringLiteral("설교문 작성/수정"));
    EXPECT_EQ(child<QPushButton>("btnMRefresh")->toolTip(),
              QStringLiteral("원본 파일과 TXT 사본이\r\n맞지 않을 때,\r\n    새로 고침"));
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("  "));

    // Closed without saving: nothing changes.
    choose(0);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, path("temp.RTF"));
    EXPECT_EQ(calls[0].textCopy, path("temp.txt"));
    EXPECT_FALSE(calls[0].load);
    EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 입력"));
    EXPECT_TRUE(context().trimmed().isEmpty());

    editorText = QStringLiteral("은혜의 강 첫 줄");
    choose(0);
    EXPECT_TRUE(richtext::isRtf(readAll(path("temp.RTF"))));
    EXPECT_EQ(readAll(path("temp.txt")), cp("은혜의 강 첫 줄\r\n"));
    EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 수정"));
    EXPECT_EQ(viewText(), editorText);
    EXPECT_EQ(context().trimmed(), QByteArrayLiteral("d0\\sul3.RTF"));

    press(Qt::Key_F12);
    ASSERT_EQ(collection->table().State(), TableState::Browse);
    EXPECT_TRUE(richtext::isRtf(readAll(path("data/d0/sul3.RTF"))));
    EXPECT_EQ(readAll(path("text/d0/sul3.TXT")), cp("은혜의 강 첫 줄\r\n"));
    EXPECT_FALSE(QFileInfo::exists(path("temp.RTF")) || QFileInfo::exists(path("temp.txt")));
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("자체편집기"));

    // A cancelled sermon takes its work files with it.
    press(Qt::Key_F10);
    choose(0);
    EXPECT_TRUE(QFileInfo::exists(path("temp.RTF")) && QFileInfo::exists(path("temp.txt")));
    press(Qt::Key_F12, Qt::ShiftModifier);
    EXPECT_FALSE(QFileInfo::exists(path("temp.RTF")) || QFileInfo::exists(path("temp.txt")));
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(ManuscriptWindowTest, EditingASavedSermonWithoutManuscriptNamesItAtOnce)
{
    ASSERT_EQ(collection->table().RecNo(), 3u);
    EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 수정"));
    QTest::mouseClick(mEdit(), Qt::LeftButton);
    EXPECT_EQ(collection->storedField(3, store::fCONTEXT).trimmed(), QByteArrayLiteral("d0\\sul3.RTF"));
    EXPECT_EQ(collection->table().State(), TableState::Browse);
    EXPECT_EQ(readAll(path("text/d0/sul3.txt")), QByteArrayLiteral("\r\n"));
    EXPECT_EQ(readAll(path("data/d0/sul3.RTF")), QByteArrayLiteral("\r\n"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, path("data/d0/sul3.RTF"));
    EXPECT_EQ(calls[0].textCopy, path("text/d0/sul3.txt"));
    EXPECT_TRUE(calls[0].load);
}

// What Hwp2txt makes of a file, run by itself: the test's oracle.
QByteArray converted(const QString &file, bool &ok)
{
    QTemporaryDir dir;
    QProcess p;
    p.start(QStringLiteral(HWP2TXT_PATH), {file, dir.path() + QStringLiteral("/out.txt"), QStringLiteral("/ks")});
    ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    return readAll(dir.path() + QStringLiteral("/out.txt"));
}

TEST_F(ManuscriptWindowTest, EveryHwpFixtureTakenIn)
{
    VERBANA_REQUIRE_FIXTURES();
    QDirIterator it(sharedFixtures() + QStringLiteral("/hwp"), {QStringLiteral("*.hwp")}, QDir::Files,
                    QDirIterator::Subdirectories);
    int taken = 0, refused = 0;
    while (it.hasNext()) {
        const QString file = it.next();
        SCOPED_TRACE(file.toStdString());
        bool readable = false;
        const QByteArray text = converted(file, readable);
        press(Qt::Key_F10);
        prompts->file(file);
        if (!readable)
            prompts->ok();
        choose(1);
        if (readable) {
            ++taken;
            EXPECT_EQ(readAll(path("temp.hwp")), readAll(file));
            EXPECT_EQ(readAll(path("temp.txt")), text);
            EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 수정"));
            EXPECT_EQ(context().trimmed(), QByteArrayLiteral("d0\\sul3.HWP"));
            EXPECT_FALSE(QFileInfo::exists(collection->programFolder() + QStringLiteral("/convhwp.hwp")));
        } else {
            ++refused;
            EXPECT_EQ(messages().last(), QStringLiteral("아래아 한글 파일을 변환하지 못하겠습니다."));
            EXPECT_FALSE(QFileInfo::exists(path("temp.hwp")));
            EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 입력"));
        }
        EXPECT_TRUE(QFileInfo::exists(file));
        EXPECT_TRUE(mEdit()->isEnabled());
        press(Qt::Key_F12, Qt::ShiftModifier);
        EXPECT_FALSE(QFileInfo::exists(path("temp.hwp")) || QFileInfo::exists(path("temp.txt")));
    }
    EXPECT_GE(taken, 14);
    EXPECT_GE(refused, 1); // the password-protected document

    // Saved, the two files move under the sermon's name.
    const QString example = sharedFixtures() + QStringLiteral("/hwp/hwp5/example.hwp");
    press(Qt::Key_F10);
    prompts->file(example);
    choose(1);
    press(Qt::Key_F12);
    EXPECT_EQ(readAll(path("data/d0/sul3.HWP")), readAll(example));
    EXPECT_FALSE(readAll(path("text/d0/sul3.TXT")).isEmpty());
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("아래아 한글"));
}

TEST_F(ManuscriptWindowTest, AnHwpxDocumentTakenInSavedAndRefreshed)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString table = sharedFixtures() + QStringLiteral("/hwpx/table.hwpx");
    bool readable = false;
    const QByteArray text = converted(table, readable);
    ASSERT_TRUE(readable);
    press(Qt::Key_F10);
    prompts->file(table);
    choose(1);
    EXPECT_EQ(prompts->shown().back().filter, QStringLiteral("아래아 한글 (*.hwp *.hwpx)"));
    EXPECT_EQ(readAll(path("temp.hwpx")), readAll(table));
    EXPECT_EQ(context().trimmed(), QByteArrayLiteral("d0\\sul3.HWPX"));
    press(Qt::Key_F12);
    EXPECT_EQ(readAll(path("data/d0/sul3.HWPX")), readAll(table));
    EXPECT_EQ(readAll(path("text/d0/sul3.TXT")), text);
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("아래아 한글"));

    collection->writeFile(QStringLiteral("text/d0/sul3.TXT"), QByteArrayLiteral("old\r\n"));
    QTest::mouseClick(child<QPushButton>("btnMRefresh"), Qt::LeftButton);
    EXPECT_EQ(readAll(path("text/d0/sul3.TXT")), text);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(ManuscriptWindowTest, EveryConversionFailureHasItsMessage)
{
    const QString program = collection->programFolder();
    collection->writeFile(QStringLiteral("empty.hwp"), QByteArray());
    collection->writeFile(QStringLiteral("some.hwp"), QByteArrayLiteral("HWP Document File V3.00"));
    QFile work(program + QStringLiteral("/convhwp.hwp"));
    ASSERT_TRUE(work.open(QIODevice::WriteOnly));
    work.close();
    press(Qt::Key_F10);
    prompts->file(path("empty.hwp")).ok();
    choose(1);
    prompts->file(program + QStringLiteral("/convhwp.hwp")).ok();
    choose(1);
    QFile::remove(program + QStringLiteral("/convhwp.hwp"));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/convhwp.hwp")));
    prompts->file(path("some.hwp")).ok();
    choose(1);
    QDir(program + QStringLiteral("/convhwp.hwp")).removeRecursively();
    store::setHwp2txtPath(program + QStringLiteral("/nowhere/Hwp2txt"));
    prompts->file(path("some.hwp")).ok();
    choose(1);
    EXPECT_EQ(messages(),
              (QStringList{QStringLiteral("다른 프로그램이 사용중인 파일이거나,\r변환이 불가능한 파일입니다."),
                           QStringLiteral("본 프로그램이 내부적으로 사용하는 파일입니다."),
                           QStringLiteral("부정확한 원인으로 실행할 수 없습니다."),
                           QStringLiteral("아래아 한글 파일을 변환하지 못하겠습니다.")}));
    EXPECT_EQ(mEdit()->text(), QStringLiteral("원고 입력"));
    EXPECT_TRUE(mEdit()->isEnabled());
    press(Qt::Key_F12, Qt::ShiftModifier);

    // The refresh button's own text for an empty HWP manuscript; the old
    // text copy stays.
    collection->writeFile(QStringLiteral("data/d0/sul1.hwp"), QByteArray());
    collection->writeFile(QStringLiteral("text/d0/sul1.txt"), QByteArrayLiteral("old\r\n"));
    go(2);
    prompts->clear();
    prompts->ok();
    QTest::mouseClick(child<QPushButton>("btnMRefresh"), Qt::LeftButton);
    EXPECT_EQ(prompts->texts(), QStringList{QStringLiteral("다른 프로그램이 사용중입니다.")});
    EXPECT_EQ(readAll(path("text/d0/sul1.txt")), QByteArrayLiteral("old\r\n"));
    EXPECT_TRUE(mEdit()->isEnabled() && child("btnMRefresh")->isEnabled());
}

TEST_F(ManuscriptWindowTest, WithoutAHancomEditorTheHwpManuscriptBecomesRtf)
{
    XdgSandbox xdg;
    xdg.addApplication(QStringLiteral("org.example.Viewer.desktop"), QStringLiteral("HWP Viewer"),
                       QStringLiteral("true %f"));
    xdg.setDefault(QStringLiteral("application/x-hwp"), QStringLiteral("org.example.Viewer.desktop"));
    collection->writeFile(QStringLiteral("data/d0/sul1.hwp"), QByteArrayLiteral("HWP"));
    collection->writeFile(QStringLiteral("text/d0/sul1.txt"), cp("둘째 설교 본문\r\n"));
    go(2);
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("아래아 한글"));

    prompts->no();
    QTest::mouseClick(mEdit(), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(path("data/d0/sul1.hwp")));
    EXPECT_TRUE(calls.empty());

    prompts->yes();
    QTest::mouseClick(mEdit(), Qt::LeftButton);
    EXPECT_EQ(prompts->texts().last(),
              QStringLiteral("이 컴퓨터에는 Verbana 1.3 과\r호환되지 않는 아래아 한글이 설치되어 있어서\r"
                             "아래아 한글로 현재 파일을 편집할 수 없습니다.\r\r자체편집기로 편집하시겠습니까?\r\r"
                             "자체편집기로 편집하게 되면\r아래아한글 파일의 글꼴,줄간격 등의\r서식은 없어집니다."));
    EXPECT_EQ(collection->storedField(2, store::fCONTEXT).trimmed(), QByteArrayLiteral("d0\\sul1.rtf"));
    EXPECT_FALSE(QFileInfo::exists(path("data/d0/sul1.hwp")));
    const QByteArray rtf = readAll(path("data/d0/sul1.rtf"));
    ASSERT_TRUE(richtext::isRtf(rtf));
    EXPECT_EQ(richtext::plainTextOf(rtf).bytes, cp("둘째 설교 본문\r\n"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].file, path("data/d0/sul1.rtf"));
    EXPECT_EQ(collection->table().State(), TableState::Browse);
    EXPECT_EQ(child<QLabel>("lblManuType")->text(), QStringLiteral("자체편집기"));
}

TEST_F(ManuscriptWindowTest, AnHwpManuscriptEditedInTheDesktopsHancomEditor)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString example = sharedFixtures() + QStringLiteral("/hwp/hwp5/example.hwp");
    XdgSandbox xdg;
    // The stand-in word processor notes what it was given and "saves"
    // another document over it.
    const QString script = xdg.path() + QStringLiteral("/hwp-standin");
    QFile f(script);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\necho \"$@\" > '" + QFile::encodeName(xdg.path()) + "/args'\ncp '" + QFile::encodeName(example)
            + "' \"$1\"\n");
    f.close();
    f.setPermissions(f.permissions() | QFileDevice::ExeOwner);
    xdg.addApplication(QStringLiteral("hnc-hwp.desktop"), QStringLiteral("Hancom Office Hwp"), script + QStringLiteral(" %f"));
    xdg.setDefault(QStringLiteral("application/x-hwp"), QStringLiteral("hnc-hwp.desktop"));
    collection->writeFile(QStringLiteral("data/d0/sul1.hwp"), QByteArrayLiteral("HWP"));
    collection->writeFile(QStringLiteral("text/d0/sul1.txt"), QByteArrayLiteral("old\r\n"));
    go(2);
    // The stand-in exits at once, as one handing the document to a running
    // copy does: the editing ends a moment later.
    editing::setOutsideEditingTimes({60000, 100});

    std::vector<bool> shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        shown.push_back(window->isVisible());
        if (store::convertingHwp()) {
            EXPECT_FALSE(mEdit()->isEnabled());
            EXPECT_FALSE(child("btnMRefresh")->isEnabled());
        }
    });
    prompts->modal(QStringLiteral("fmQhwp"), [&](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("아래아 한글을 실행할까요?"));
        EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("lblTitle"))->text(), QStringLiteral("아래아 한글을 실행하시겠습니까?"));
        EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("lblQuestion"))->text(),
                  QStringLiteral("아래아 한글에서 \r\n현재 설교자료를 수정하시겠습니까?"));
        EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("lblNote"))->text(),
                  QStringLiteral("아래아 한글을 실행하면\r\nVerbana가 보이지 않게 됩니다.\r\n하지만 아래아 한글에서 "
                                 "작업을 끝내고\r\n종료하면 다시 Verbana가 나타납니다."));
        auto *run = w.findChild<QPushButton *>(QStringLiteral("btnRun"));
        EXPECT_TRUE(run->isDefault());
        EXPECT_EQ(w.findChild<QPushButton *>(QStringLiteral("btnCancel"))->text(), QStringLiteral("취소"));
        QTest::mouseClick(w.findChild<QCheckBox *>(QStringLiteral("cbNoMore")), Qt::LeftButton);
        watch.start(10);
        QTest::mouseClick(run, Qt::LeftButton);
    });
    QTest::mouseClick(mEdit(), Qt::LeftButton);
    watch.stop();

    EXPECT_NE(std::find(shown.begin(), shown.end(), false), shown.end());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(readAll(xdg.path() + QStringLiteral("/args")).trimmed(), QFile::encodeName(path("data/d0/sul1.hwp")));
    bool readable = false;
    EXPECT_EQ(readAll(path("text/d0/sul1.txt")), converted(example, readable));
    EXPECT_TRUE(readable);
    EXPECT_TRUE(settings::Profile(iniPath()).readBool(QStringLiteral("하안글"), QStringLiteral("Q실행"), false));
    EXPECT_TRUE(mEdit()->isEnabled() && child("btnMRefresh")->isEnabled());

    // Told not to ask, the next editing starts the word processor at once.
    QFile::remove(xdg.path() + QStringLiteral("/args"));
    QTest::mouseClick(mEdit(), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo::exists(xdg.path() + QStringLiteral("/args")));
}

} // namespace
} // namespace verbana::test
