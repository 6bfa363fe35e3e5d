// SPDX-License-Identifier: GPL-3.0-or-later
// 설교목록 인쇄 as the user drives it: the sub-menu's five layouts, the
// preview shown maximised with its page and work controls, PDF 저장 and
// 인쇄 through the printer dialog, and the refusals.
#include "app/print_commands.h"

#include "../editing/editing_helpers.h"
#include "editing/tfmverbdesk.h"
#include "platform/fonts.h"
#include "platform/paths.h"
#include "stats/ui/sermon_list_preview.h"
#include "support/accessibility.h"
#include "support/scripted_prompter.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace verbana::test {
namespace {

using stats::ui::SermonListPreview;

QByteArray head(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.read(5) : QByteArray();
}

class PrintCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        installFontSubstitutions();
        collection = std::make_unique<TestCollection>(std::vector<SermonRow>{
            {"2001.01.03", "셋째"}, {"2001.01.01", "첫째"}, {"2001.01.02", "둘째"}});
        paths::setProgramFolder(collection->programFolder());
        window = std::make_unique<editing::Tfmverbdesk>(collection->document());
        commands = std::make_unique<PrintCommands>(*window);
        window->show();
    }
    void TearDown() override
    {
        if (window->changing())
            window->mnCancelClick();
        window->unbindCollection();
        commands.reset();
        window.reset();
        prompts.reset();
        paths::setProgramFolder(QString());
    }
    QAction *item(int layout) const
    {
        return window->findChild<QAction *>(QStringLiteral("mnPrintList%1").arg(layout));
    }
    static void click(QWidget &w, const char *name)
    {
        auto *b = w.findChild<QPushButton *>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }

    std::unique_ptr<ScriptedPrompter> prompts = std::make_unique<ScriptedPrompter>();
    std::unique_ptr<TestCollection> collection;
    std::unique_ptr<editing::Tfmverbdesk> window;
    std::unique_ptr<PrintCommands> commands;
};

TEST_F(PrintCommandsTest, TheSubMenuHoldsFiveLayoutsAndDoesNothingWithoutACollection)
{
    collection->document().CloseCollection();
    QMenu *menu = commands->printMenu();
    EXPECT_EQ(menu->title(), QStringLiteral("설교목록 인쇄"));
    QStringList captions;
    for (QAction *a : menu->actions())
        captions << a->text();
    EXPECT_EQ(captions, (QStringList{QStringLiteral("제목+성경+주제+형식+방향"), QStringLiteral("작성일+제목+성경+형식+방향"),
                                     QStringLiteral("작성일+제목+성경+주제+방향"), QStringLiteral("작성일+제목+성경+주제+형식"),
                                     QStringLiteral("작성일+제목+성경+주제+형식+방향")}));
    // In the file menu: the sub-menu, a separator line, 종료.
    const QList<QAction *> file = window->fileMenu()->actions();
    ASSERT_GE(file.size(), 3);
    EXPECT_EQ(file[file.size() - 3], menu->menuAction());
    EXPECT_TRUE(file[file.size() - 2]->isSeparator());
    // No collection: no preview, no message.
    for (int layout = 1; layout <= 5; ++layout)
        item(layout)->trigger();
    EXPECT_TRUE(prompts->texts().isEmpty());
}

TEST_F(PrintCommandsTest, ThePreviewShowsTheListMaximisedAndPrintsToPdfAndToThePrinter)
{
    collection->table().Go(3);
    const QString pdf = collection->programFolder() + QStringLiteral("/list.pdf");
    const QString printed = collection->programFolder() + QStringLiteral("/printed.pdf");
    prompts->modal(QStringLiteral("SermonListPreview"), [&](QWidget &w) {
        auto &preview = static_cast<SermonListPreview &>(w);
        QTRY_VERIFY(preview.listingDone());
        EXPECT_EQ(preview.windowTitle(), QStringLiteral("설교목록"));
        EXPECT_TRUE(preview.windowState() & Qt::WindowMaximized);
        EXPECT_EQ(preview.report().title(), QStringLiteral("GRACE 설교목록"));
        EXPECT_EQ(preview.report().rows(), (std::vector<uint32_t>{2, 3, 1}));
        EXPECT_EQ(w.findChild<QLabel *>(QStringLiteral("lblPages"))->text(), QStringLiteral("/ 1 쪽"));
        EXPECT_FALSE(w.findChild<QPushButton *>(QStringLiteral("btnNext"))->isEnabled());
        EXPECT_FALSE(w.findChild<QPushButton *>(QStringLiteral("btnStop"))->isVisible());
        EXPECT_EQ(unnamedControls(&w), "");

        prompts->saveAs(pdf, QStringLiteral("PDF 파일 (*.pdf)"));
        click(w, "btnPdf");
        EXPECT_EQ(head(pdf), QByteArray("%PDF-"));

        // The printer dialog chooses a printer (here its PDF file) and pages.
        prompts->modal(QStringLiteral("PrintDialog"), [&](QWidget &d) {
            QPrinter *printer = static_cast<QPrintDialog &>(d).printer();
            EXPECT_EQ(printer->docName(), QStringLiteral("설교목록"));
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            printer->setPrintRange(QPrinter::CurrentPage);
            static_cast<QDialog &>(d).done(QDialog::Accepted);
        });
        click(w, "btnPrint");
        EXPECT_EQ(head(printed), QByteArray("%PDF-"));
        click(w, "btnClose");
    });
    item(2)->trigger();
    EXPECT_EQ(prompts->pending(), 0);
    EXPECT_EQ(collection->table().RecNo(), 3u);
    EXPECT_FALSE(collection->table().ControlsDisabled());
}

TEST_F(PrintCommandsTest, RefusedWhileASermonIsEditedWhichStaysPending)
{
    window->mnEditClick();
    prompts->ok();
    item(1)->trigger();
    EXPECT_EQ(prompts->texts(),
              QStringList{QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.")});
    EXPECT_EQ(collection->table().State(), xbase::TableState::Editing);
}

} // namespace
} // namespace verbana::test
