// SPDX-License-Identifier: GPL-3.0-or-later
// The 일괄입력 menu and the merge and extraction of the 파일 menu, as the
// main window runs them.
#include "app/collection_commands.h"
#include "app/exchange_commands.h"

#include "editing/tfmverbdesk.h"
#include "exchange/ui/tfmextract.h"
#include "exchange/ui/tfmhwp.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "search/ui/gather_commands.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/ui/tfmopen.h"
#include "store/xbase/apollo_table.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace verbana {
namespace {

void makeCollection(const QString &dir, std::initializer_list<const char *> titles)
{
    QDir().mkpath(dir + QStringLiteral("/data"));
    QDir().mkpath(dir + QStringLiteral("/text"));
    xbase::TApolloTable creator;
    ASSERT_EQ(store::createSermonTableFile(creator, dir + QStringLiteral("/sul2file.dbf")), 1);
    xbase::TApolloTable t;
    t.DatabaseName = dir;
    t.TableName = QStringLiteral("sul2file.dbf");
    t.Open();
    for (const char *title : titles) {
        t.Append();
        t.PutString("TITLE1", cp949::encode(QString::fromUtf8(title)).bytes);
        t.Post();
    }
}

class ExchangeCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        paths::setProgramFolder(tmp.path());
        makeCollection(tmp.path() + QStringLiteral("/주일 설교"), {"하나", "둘"});
        makeCollection(tmp.path() + QStringLiteral("/수요 설교"), {"셋", "넷", "다섯"});
    }
    void TearDown() override { paths::setProgramFolder(QString()); }
    QAction *action(const char *name) { return window->findChild<QAction *>(QLatin1String(name)); }

    QTemporaryDir tmp;
    test::ScriptedPrompter prompts;
    store::CollectionDocument document;
    std::unique_ptr<editing::Tfmverbdesk> window = std::make_unique<editing::Tfmverbdesk>(document);
    search::ui::GatherCommands *gathering = new search::ui::GatherCommands(*window);
    CollectionCommands commands{*window};
    ExchangeCommands exchange{*window};
};

TEST_F(ExchangeCommandsTest, TheBatchMenuStandsBeforeGatheringAndNeedsACollection)
{
    QStringList menus;
    for (QAction *a : window->menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus.indexOf(QStringLiteral("  일괄입력  ")) + 1, menus.indexOf(QStringLiteral("  찾아모으기  ")));
    EXPECT_EQ(exchange.batchMenu()->actions().size(), 5);
    EXPECT_EQ(action("mnBiblora")->text(), QStringLiteral("\"Biblora\"의 Verbana파일에서"));
    EXPECT_EQ(action("N37")->text(), QStringLiteral("\"Notavia\" 파일에서"));
    EXPECT_EQ(action("mnBatchHWP")->text(), QStringLiteral("HWP 파일들 불러넣기"));
    EXPECT_EQ(action("mnBatchTXT")->text(), QStringLiteral("TXT, RTF 파일들 불러넣기"));
    EXPECT_FALSE(exchange.batchMenu()->isEnabled());

    // Merging and extracting without a collection are refused at once.
    prompts.ok().ok();
    action("N55")->trigger();
    action("N54")->trigger();
    EXPECT_EQ(prompts.texts(), QStringList(2, QStringLiteral("열려 있는 설교집이 없습니다.\r먼저 설교집을 여십시오.")));

    ASSERT_TRUE(document.openNamedCollection(QStringLiteral("주일 설교")));
    EXPECT_TRUE(exchange.batchMenu()->isEnabled());
    // The collection's own table is no Biblora table.
    prompts.file(tmp.path() + QStringLiteral("/수요 설교/sul2file.dbf")).ok();
    action("mnBiblora")->trigger();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("Biblora의 Verbana 파일이 아닙니다."));
    if (!test::sharedFixtures().isEmpty()) {
        prompts.file(test::sharedFixtures() + QStringLiteral("/xbase/foreign-sermon/SULGYO.DBF")).ok();
        action("mnBiblora")->trigger();
        EXPECT_EQ(prompts.texts().last(), QStringLiteral("내용 복사 완료 (5개)"));
        EXPECT_EQ(document.table().RecCount(), 7u);
    }
    prompts.modal(QStringLiteral("fmRTF"), [](QWidget &w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("TXT, RTF, CAP 파일들 불러넣기"));
        w.findChild<QPushButton *>(QStringLiteral("SpeedButton6"))->click();
    });
    action("mnBatchTXT")->trigger();
}

TEST_F(ExchangeCommandsTest, MergeThenExtractIntoANewCollectionAndOpenIt)
{
    ASSERT_TRUE(document.openNamedCollection(QStringLiteral("주일 설교")));
    prompts.modal(QStringLiteral("fmopen"), [](QWidget &w) {
        auto &chooser = static_cast<store::ui::Tfmopen &>(w);
        EXPECT_EQ(chooser.nameAt(0), QStringLiteral("수요 설교"));
        chooser.StringGrid1->setCurrentCell(0, 0);
        chooser.btnOpen->click();
    });
    prompts.ok();
    action("N55")->trigger();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("설교집 합치기를 완료하였습니다."));
    EXPECT_EQ(document.table().RecCount(), 5u);
    EXPECT_FALSE(document.table().ControlsDisabled());

    prompts.modal(QStringLiteral("fmExtract"), [](QWidget &w) {
        auto &d = static_cast<exchange::ui::TfmExtract &>(w);
        EXPECT_TRUE(d.btnCreate->isDefault());
        EXPECT_FALSE(d.testAttribute(Qt::WA_Moved)); // shown centred over the window
        QTest::keyClicks(d.eFname, QStringLiteral("a.b"));
        d.btnCreate->click(); // refused, the window stays
        d.eFname->setText(QStringLiteral("  2004 설교 "));
        d.btnCreate->click();
    });
    prompts.ok().yes();
    action("N54")->trigger();
    EXPECT_EQ(prompts.texts().mid(2),
              (QStringList{QStringLiteral("fmExtract"),
                           QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오."),
                           QStringLiteral("새로 만들어진 설교집을 열어 보시겠습니까?")}));
    ASSERT_TRUE(document.isOpen());
    EXPECT_EQ(document.collectionFolder(), tmp.path() + QStringLiteral("/2004 설교"));
    EXPECT_EQ(document.table().RecCount(), 5u);
}

TEST_F(ExchangeCommandsTest, TheOpenCollectionUnderASecondNameIsNotMergedIntoItself)
{
    ASSERT_TRUE(document.openNamedCollection(QStringLiteral("주일 설교")));
    ASSERT_TRUE(QFile::link(tmp.path() + QStringLiteral("/주일 설교"), tmp.path() + QStringLiteral("/Link")));
    prompts.modal(QStringLiteral("fmopen"), [](QWidget &w) {
        auto &chooser = static_cast<store::ui::Tfmopen &>(w);
        ASSERT_EQ(chooser.nameAt(0), QStringLiteral("Link"));
        chooser.StringGrid1->setCurrentCell(0, 0);
        chooser.btnOpen->click();
    });
    prompts.error();
    action("N55")->trigger();
    EXPECT_EQ(prompts.texts().last(), QStringLiteral("열려 있는 설교집에는 자기 자신을 합칠 수 없습니다."));
    EXPECT_EQ(document.table().RecCount(), 2u);
    EXPECT_FALSE(document.table().ControlsDisabled());
}

} // namespace
} // namespace verbana
