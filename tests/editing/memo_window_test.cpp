// SPDX-License-Identifier: GPL-3.0-or-later
// The document editor's window: its wiring, the controls following the
// cursor, and the manuscript's files through the caller's entry point.
#include "editing/memo_controls.h"
#include "editing/tfmmemo.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "settings/profile.h"
#include "support/accessibility.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QScreen>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPrinterInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::editing;

namespace {

// A paragraph in the default font, then a centred, indented one in another
// font, bold, red and 14 points.
const QByteArray kFormatted = "{\\rtf1\\ansi\\ansicpg949{\\fonttbl{\\f0\\fcharset129 Gulim;}{\\f1\\fcharset129 Batang;}}"
                              "{\\colortbl ;\\red255\\green0\\blue0;}\\f0\\fs20 plain\\par"
                              "\\pard\\qc\\li600\\fi-300\\f1\\fs28\\b\\cf1 bold\\par}";

class MemoWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(home.path());
        installFontSubstitutions();
    }
    QString file(const char *name) const { return home.filePath(QLatin1String(name)); }
    static void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, Qt::Key(key), modifiers);
    }
    static void type(QWidget *w, const QString &text)
    {
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, text, Qt::NoModifier);
    }
    template <typename T = QWidget> static T *child(QWidget &w, const char *name)
    {
        T *c = w.findChild<T *>(QLatin1String(name));
        EXPECT_NE(c, nullptr) << name;
        return c;
    }

    QTemporaryDir home;
    test::ScriptedPrompter prompts;
};

TEST_F(MemoWindowTest, CaptionMenusToolBarAndNames)
{
    Tfmmemo w;
    w.show();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("문서작성기"));
    EXPECT_EQ(w.size(), QSize(527, 430));
    const std::pair<const char *, const char *> items[] = {
        {"mnNew", "새 글\tCtrl+N"}, {"mnLoad", "불러오기\tCtrl+O"}, {"mnSave", "저장\tCtrl+S"},
        {"mnExport", "파일로 추출\t"}, {"mnPrint", "인쇄\tCtrl+P"}, {"mnPrintSetup", "인쇄 설정\t"},
        {"mnClose", "닫기\tCtrl+F4"}, {"mnCopy", "복사\tCtrl+C"}, {"mnCut", "자르기\tCtrl+X"},
        {"mnPaste", "붙이기\tCtrl+V"}, {"mnUndo", "실행취소\tCtrl+Z"}, {"mnSelectAll", "전체 선택\tCtrl+A"},
        {"mnCopyAll", "전체 복사\tF5"}, {"mnBlockFont", "블럭부분 글꼴\t"}, {"mnAlignLeft", "왼쪽 정렬\t"},
        {"mnAlignCenter", "가운데 정렬\t"}, {"mnAlignRight", "오른쪽 정렬\t"}, {"mnPageColour", "바탕 화면색\t"},
        {"mnRuler", "눈금자 보이기/감추기\t"}};
    for (const auto &[name, shown] : items) {
        auto *a = child<QAction>(w, name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text() + QLatin1Char('\t') + a->shortcut().toString(), QString::fromUtf8(shown));
    }
    QStringList hints;
    for (QAction *a : child<QToolBar>(w, "ToolBar1")->actions())
        if (QWidget *b = child<QToolBar>(w, "ToolBar1")->widgetForAction(a); b && !a->isSeparator())
            hints << b->accessibleDescription();
    EXPECT_EQ(hints, QStringLiteral("새글|문서편집기 - 파일불러오기|파일로 저장|인쇄|문서작성기 종료|글꼴|문자 크기|문자 기울임|"
                                    "문자 굵게|밑줄 문자|문자색|문단 좌정렬|문단 가운데 정렬|문단 우정렬")
                         .split(QLatin1Char('|')));
    EXPECT_EQ(test::unnamedControls(&w), "");
    EXPECT_EQ(child(w, "Ruler")->toolTip(), QStringLiteral("첫자 들여쓰기\r\n문단 왼쪽 여백 조절자"));
    EXPECT_EQ(child<MemoSizeBox>(w, "eSize")->text(), QStringLiteral("10"));
    auto *fonts = child<QComboBox>(w, "cbFont");
    EXPECT_EQ(fonts->maxVisibleItems(), 16);
    QStringList families;
    for (int i = 0; i < fonts->count(); ++i)
        families << fonts->itemText(i);
    QStringList sorted = families;
    sorted.sort();
    EXPECT_EQ(families, sorted);
    // The list is as wide as its longest name; the box shows a name's start.
    int widest = 0;
    for (const QString &family : families)
        widest = std::max(widest, fonts->view()->fontMetrics().horizontalAdvance(family));
    EXPECT_GE(fonts->view()->minimumWidth(), std::min(widest, fonts->screen()->availableGeometry().width() - 48));
    EXPECT_EQ(fonts->view()->textElideMode(), Qt::ElideNone);
    EXPECT_TRUE(child<QToolButton>(w, "btnAlignLeft")->isChecked());
    QStringList popup;
    for (QAction *a : child<QMenu>(w, "PopupMenu1")->actions())
        if (!a->isSeparator())
            popup << a->text();
    EXPECT_EQ(popup, QStringLiteral("복사|자르기|붙이기|실행취소|전체 선택|전체 복사|닫기").split(QLatin1Char('|')));
    EXPECT_FALSE(w.isModified());
    w.hide();
}

// 블럭부분 글꼴 starts with the selection's name, size, colour and style and
// applies all four.
TEST_F(MemoWindowTest, BlockFontOffersAndAppliesTheColourToo)
{
    Tfmmemo w;
    w.show();
    QTextEdit *edit = w.textArea();
    edit->setPlainText(QStringLiteral("은혜의 말씀"));
    QTextCursor all(edit->document());
    all.select(QTextCursor::Document);
    QTextCharFormat blue;
    blue.setForeground(QColor(Qt::blue));
    all.mergeCharFormat(blue);
    edit->setTextCursor(all);
    QFont chosen(QStringLiteral("Batang"), 14);
    chosen.setBold(true);
    test::ScriptedPrompter prompts;
    prompts.font(chosen.toString(), QStringLiteral("#ff0000"));
    child<QAction>(w, "mnBlockFont")->trigger();
    ASSERT_EQ(prompts.shown().size(), 1u);
    EXPECT_EQ(prompts.shown()[0].colour, QStringLiteral("#0000ff"));
    QTextCursor inside(edit->document());
    inside.setPosition(2);
    EXPECT_EQ(inside.charFormat().foreground().color(), QColor(Qt::red));
    EXPECT_EQ(inside.charFormat().fontPointSize(), 14);
    EXPECT_EQ(inside.charFormat().fontWeight(), QFont::Bold);
}

TEST_F(MemoWindowTest, ControlsFollowTheCursorAndFormatTheText)
{
    ASSERT_TRUE(test::writeAll(file("f.rtf"), kFormatted));
    Tfmmemo w;
    ASSERT_TRUE(w.loadDocument(file("f.rtf")));
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    QTextEdit *edit = w.textArea();
    auto *ruler = child<MemoRuler>(w, "Ruler");
    auto *bold = child<QToolButton>(w, "btnBold");
    auto *size = child<MemoSizeBox>(w, "eSize");

    press(Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(bold->isChecked());
    EXPECT_TRUE(child<QToolButton>(w, "btnAlignCenter")->isChecked());
    EXPECT_FALSE(child<QToolButton>(w, "btnAlignLeft")->isChecked());
    EXPECT_EQ(size->text(), QStringLiteral("14"));
    EXPECT_EQ(child<QComboBox>(w, "cbColour")->currentData(Qt::ToolTipRole).toString(), QStringLiteral("Red"));
    EXPECT_EQ(child<QComboBox>(w, "cbFont")->currentText(), QStringLiteral("Batang"));
    EXPECT_EQ(child<QComboBox>(w, "cbFont")->lineEdit()->cursorPosition(), 0);
    // 40 pixels of left margin, the first line 20 back: 15 and 15 points.
    EXPECT_EQ(ruler->firstMarker(), 22);
    EXPECT_EQ(ruler->leftMarker(), 42);
    press(Qt::Key_Home, Qt::ControlModifier);
    EXPECT_FALSE(bold->isChecked());
    EXPECT_TRUE(child<QToolButton>(w, "btnAlignLeft")->isChecked());
    EXPECT_EQ(size->text(), QStringLiteral("10"));
    EXPECT_EQ(ruler->firstMarker(), 2);
    EXPECT_FALSE(w.isModified()) << "bringing the controls into line changed the text";

    // Dragging the first-line marker to 40 pixels: a first-line indent of 30.
    QTest::mousePress(ruler, Qt::LeftButton, {}, QPoint(2, 3));
    QTest::mouseMove(ruler, QPoint(40, 3));
    QTest::mouseRelease(ruler, Qt::LeftButton, {}, QPoint(40, 3));
    EXPECT_EQ(memo::indentsOf(edit->textCursor().blockFormat()).firstLine, 30);
    EXPECT_EQ(ruler->firstMarker(), 42);

    // The size box takes 1a2 as 12 and ignores 200.
    QLineEdit *sizeText = size->findChild<QLineEdit *>();
    sizeText->setFocus();
    sizeText->selectAll();
    QTest::keyClicks(sizeText, QStringLiteral("1a2"));
    QTest::keyClick(sizeText, Qt::Key_Return);
    EXPECT_EQ(edit->currentCharFormat().fontPointSize(), 12.0);
    sizeText->selectAll();
    QTest::keyClicks(sizeText, QStringLiteral("200"));
    QTest::keyClick(sizeText, Qt::Key_Return);
    EXPECT_EQ(edit->currentCharFormat().fontPointSize(), 12.0);

    // Bold by the button, for the selection only.
    edit->setFocus();
    press(Qt::Key_Right, Qt::ShiftModifier);
    QTest::mouseClick(bold, Qt::LeftButton);
    EXPECT_EQ(edit->document()->begin().begin().fragment().charFormat().fontWeight(), QFont::Bold);
    EXPECT_TRUE(w.isModified());
    w.setTextCopyPath(file("f.txt"));
    w.setFilePath(file("f.rtf"));
    prompts.no();
    w.close();
    EXPECT_FALSE(w.isVisible());
}

TEST_F(MemoWindowTest, LoadThenSaveWritesTheManuscriptsFiles)
{
    ASSERT_TRUE(test::writeAll(file("work.rtf"), "{\\rtf1 old\\par}"));
    ASSERT_TRUE(test::writeAll(file("work.txt"), "old\r\n"));
    ASSERT_TRUE(test::writeAll(file("Other.rtf"), kFormatted));
    prompts.modal(QStringLiteral("Tfmmemo"), [&](QWidget &w) {
        prompts.file(file("Other.rtf"));
        press(Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(w.windowTitle(), QStringLiteral("문서작성기 - ") + file("Other.rtf").toLower());
        EXPECT_TRUE(static_cast<Tfmmemo &>(w).isModified()) << "the loaded content is not the manuscript's yet";
        press(Qt::Key_S, Qt::ControlModifier);
        press(Qt::Key_F4, Qt::ControlModifier);
    });
    editWithBuiltInEditor(nullptr, file("work.rtf"), file("work.txt"), true);
    EXPECT_EQ(test::readAll(file("work.txt")), QByteArray("plain\r\nbold\r\n"));
    EXPECT_TRUE(test::readAll(file("work.rtf")).contains("\\qc"));
    EXPECT_EQ(test::readAll(file("Other.rtf")), kFormatted);
}

TEST_F(MemoWindowTest, ClosingUnsavedAnsweredNoLeavesTheFilesAndWritesTheSettings)
{
    ASSERT_TRUE(test::writeAll(file("work.rtf"), "{\\rtf1 old\\par}"));
    ASSERT_TRUE(test::writeAll(file("work.txt"), "old\r\n"));
    prompts.modal(QStringLiteral("Tfmmemo"), [&](QWidget &w) {
        type(QApplication::focusWidget(), QStringLiteral("new"));
        prompts.colour(QStringLiteral("#c0ffff"));
        child<QAction>(w, "mnPageColour")->trigger();
        prompts.no();
        press(Qt::Key_F4, Qt::ControlModifier);
    });
    editWithBuiltInEditor(nullptr, file("work.rtf"), file("work.txt"), true);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("추가입력된 부분이 저장되지 않았습니다.\r저장하시겠습니까?"));
    EXPECT_EQ(test::readAll(file("work.rtf")), QByteArray("{\\rtf1 old\\par}"));
    EXPECT_EQ(test::readAll(file("work.txt")), QByteArray("old\r\n"));
    const settings::Profile ini(file("verbdesk.ini"));
    EXPECT_EQ(ini.readRaw(QStringLiteral("문서편집기"), QStringLiteral("바탕색")), QByteArray("$00FFFFC0"));
    EXPECT_EQ(ini.readRaw(QStringLiteral("memo화면"), QStringLiteral("눈금자")), QByteArray("1"));
    EXPECT_EQ(ini.readRaw(QStringLiteral("memo화면"), QStringLiteral("full")), QByteArray("0"));
    EXPECT_EQ(ini.readRaw(QStringLiteral("memo화면"), QStringLiteral("width")), QByteArray("527"));
}

TEST_F(MemoWindowTest, SaveTellsWhichCharactersTheTextCopyCannotHoldAndUnrtfReadsTheRtf)
{
    prompts.modal(QStringLiteral("Tfmmemo"), [&](QWidget &w) {
        QTest::mouseClick(child<QToolButton>(w, "btnAlignCenter"), Qt::LeftButton);
        QTest::mouseClick(child<QToolButton>(w, "btnBold"), Qt::LeftButton);
        type(QApplication::focusWidget(), QStringLiteral(u"굵은 글\U0001F600"));
        prompts.ok();
        press(Qt::Key_S, Qt::ControlModifier);
        press(Qt::Key_F4, Qt::ControlModifier);
    });
    editWithBuiltInEditor(nullptr, file("new.rtf"), file("new.txt"), true);
    EXPECT_EQ(prompts.texts().last(), QStringLiteral(u"'\U0001F600' 문자는 문자열 사본에 저장할 수 없어 \"?\"로 바꾸었습니다.\r"
                                                     u"원고 파일에는 그대로 저장되었습니다."));
    EXPECT_EQ(test::readAll(file("new.txt")), QByteArray("\xb1\xbd\xc0\xba \xb1\xdb?\r\n"));

    const QString unrtf = QStandardPaths::findExecutable(QStringLiteral("unrtf"));
    if (unrtf.isEmpty())
        GTEST_SKIP() << "unrtf is not installed (Debian package unrtf): outside-reader check skipped";
    QProcess p;
    p.start(unrtf, {QStringLiteral("--html"), file("new.rtf")});
    ASSERT_TRUE(p.waitForFinished(30000));
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    for (const QString &seen : {QStringLiteral("<center>"), QStringLiteral("<b>"), QStringLiteral("&#44405;")})
        EXPECT_TRUE(html.contains(seen)) << seen.toStdString() << "\n" << html.toStdString();
}

TEST_F(MemoWindowTest, PrintPreviewPageSetupAndExportGoThroughTheirDialogs)
{
    Tfmmemo w;
    w.show();
    type(w.textArea(), QStringLiteral("abc"));
    prompts.modal(QStringLiteral("dlgPreview"), [](QWidget &d) {
        EXPECT_EQ(d.windowTitle(), QStringLiteral("미리보기"));
        d.close();
    });
    child<QAction>(w, "mnPrint")->trigger();
    // Qt's page set-up warns on a machine without a printer (it then sets up
    // the PDF printer), and a warning fails a test.
    if (!QPrinterInfo::availablePrinters().isEmpty()) {
        prompts.modal(QStringLiteral("dlgPageSetup"), [](QWidget &d) {
            EXPECT_EQ(d.windowTitle(), QStringLiteral("쪽 설정"));
            d.close();
        });
        child<QAction>(w, "mnPrintSetup")->trigger();
    }
    // The name memo with the second filter: memo.TXT in plain text.
    prompts.saveAs(file("memo"), QStringLiteral("Text (*.txt)"));
    child<QAction>(w, "mnExport")->trigger();
    EXPECT_EQ(test::readAll(file("memo.TXT")), QByteArray("abc\r\n"));
    EXPECT_TRUE(w.isModified()) << "an export is no save";
    prompts.no();
    w.close();
}

} // namespace
