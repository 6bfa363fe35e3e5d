// SPDX-License-Identifier: GPL-3.0-or-later
// Manuscript names that lead out of the collection (such tables come with
// any collection restored from an archive or copied from elsewhere): every
// part of the program that reads, copies or deletes a sermon's files by its
// CONTEXT finds nothing outside, and leaves what is outside as it was.
#include "../editing/editing_helpers.h"

#include "app/program_window.h"
#include "editing/tfmverbdesk.h"
#include "exchange/merge_extract.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "search/ui/gather_commands.h"
#include "search/ui/goto_commands.h"
#include "store/convert_hwp.h"
#include "store/sermon_record.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <map>

namespace verbana::test {
namespace {

const QByteArray kOutside = QByteArrayLiteral("OUTSIDE");

// Manuscript names leading out: up and out, absolute, a drive, through a
// linked folder, and a linked file.
const char *const kHostile[] = {"..\\..\\outside\\keep.RTF", "..\\..\\outside\\keep.HWP", "/outside/keep.RTF",
                                "C:\\outside\\keep.RTF",     "d9\\keep.RTF",              "d9\\keep.HWP",
                                "d0\\lnk.RTF"};

class Containment : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<SermonRow> rows;
        for (const char *context : kHostile)
            rows.push_back({"2001.01.01", "hostile", context});
        rows.push_back({"2001.01.02", "inside", "d0\\sul1.RTF"});
        collection = std::make_unique<TestCollection>(rows);
        collection->writeFile(QStringLiteral("data/d0/sul1.RTF"), "{\\rtf1 inside}");
        collection->writeFile(QStringLiteral("text/d0/sul1.txt"), "inside");
        outside = collection->programFolder() + QStringLiteral("/outside");
        plant(outside);
        // The linked folder and file inside the collection lead to it too.
        ASSERT_TRUE(QFile::link(outside, collection->folder() + QStringLiteral("/data/d9")));
        ASSERT_TRUE(QFile::link(outside, collection->folder() + QStringLiteral("/text/d9")));
        ASSERT_TRUE(QFile::link(outside + QStringLiteral("/keep.RTF"),
                                collection->folder() + QStringLiteral("/data/d0/lnk.RTF")));
        ASSERT_TRUE(QFile::link(outside + QStringLiteral("/keep.txt"),
                                collection->folder() + QStringLiteral("/text/d0/lnk.txt")));
        planted = snapshot(outside);
        program = std::make_unique<ProgramWindow>(collection->document());
    }
    void TearDown() override
    {
        program.reset();
        collection.reset();
        store::setHwp2txtPath(QString());
    }

    // What a careless program would read, overwrite or delete: every file
    // marked, the HWP one a real document the converter reads.
    static void plant(const QString &folder)
    {
        QDir().mkpath(folder);
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/keep.RTF"), "{\\rtf1 " + kOutside + "}"));
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/keep.txt"), kOutside + " word"));
        const QString hwp = sharedFixtures() + QStringLiteral("/hwp/hwp5/example.hwp");
        ASSERT_TRUE(writeAll(folder + QStringLiteral("/keep.HWP"), sharedFixtures().isEmpty() ? kOutside : readAll(hwp)));
    }
    // Every file below `folder` with a digest of its bytes.
    static std::map<std::string, std::string> snapshot(const QString &folder)
    {
        std::map<std::string, std::string> files;
        QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            files[QDir(folder).relativeFilePath(path).toStdString()] = QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha1).toHex().toStdString();
        }
        return files;
    }
    // No file below `folder` (links not followed) holds what lies outside.
    static void expectNothingFromOutside(const QString &folder)
    {
        QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            EXPECT_FALSE(readAll(path).contains(kOutside)) << path.toStdString();
        }
    }
    void expectOutsideAsPlanted() { EXPECT_EQ(snapshot(outside), planted); }

    editing::Tfmverbdesk &window() { return program->window(); }
    xbase::TApolloTable &table() { return collection->table(); }
    // Goes to the sermon of a hostile name, by its place in kHostile.
    void goToHostile(size_t i)
    {
        table().SetOrder(0);
        table().Go(uint32_t(i + 1));
    }

    std::unique_ptr<TestCollection> collection;
    std::unique_ptr<ProgramWindow> program;
    QString outside;
    std::map<std::string, std::string> planted;
};

TEST_F(Containment, ViewSearchScanAndHwpRefreshReadNothingOutside)
{
    auto *view = window().findChild<QPlainTextEdit *>(QStringLiteral("reManuscript"));
    store::setHwp2txtPath(QStringLiteral(HWP2TXT_PATH));
    for (size_t i = 0; i < std::size(kHostile); ++i) {
        SCOPED_TRACE(kHostile[i]);
        goToHostile(i);
        window().RefreshManuscriptView();
        EXPECT_FALSE(view->toPlainText().contains(QString::fromLatin1(kOutside)));
        // The refresh converts an HWP manuscript again and puts the text in
        // its copy's place.
        window().btnMRefreshClick();
        EXPECT_FALSE(QFile::exists(collection->programFolder() + QStringLiteral("/convhwp.txt")));
    }
    expectOutsideAsPlanted();

    ScriptedPrompter prompts;
    // 설교원고 as the go-to search's item, from the first sermon down.
    window().findChild<QAction *>(QStringLiteral("mnFindGo14"))->trigger();
    window().findChild<QLineEdit *>(QStringLiteral("eFindGo"))->setText(QString::fromLatin1(kOutside));
    table().SetOrder(0);
    table().GoTop();
    prompts.no();
    program->goTo().GoToNext();
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("찾으시는 내용이 더 이상 없습니다.\r\r위쪽 방향으로 찾을까요?")});

    prompts.clear();
    prompts.ok();
    search::ManuscriptQuery query;
    query.words = {kOutside, {}, {}, {}};
    program->gathering().GatherManuscripts(query, nullptr);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("찾는 단어가 설교원고 내용중에 없습니다.")});
    expectOutsideAsPlanted();
}

TEST_F(Containment, MergeAndExtractCopyNothingFromOutsideNorWriteThere)
{
    // A source collection whose names lead to the same outside folder.
    const QString program = collection->programFolder();
    TestCollection source({{"1999.01.01", "from", "..\\..\\outside\\keep.RTF"},
                           {"1999.01.02", "from", "/outside/keep.RTF"},
                           {"1999.01.03", "from", "d9\\keep.RTF"}});
    ASSERT_TRUE(QFile::link(outside, source.folder() + QStringLiteral("/data/d9")));
    ASSERT_TRUE(QFile::link(outside, source.folder() + QStringLiteral("/text/d9")));
    source.document().releaseTable(); // held alone by the merge
    paths::setProgramFolder(program);
    const auto merged = exchange::mergeCollection(collection->document(), source.folder());
    EXPECT_EQ(merged.merged, 3);
    EXPECT_TRUE(merged.error.isEmpty()) << merged.error.toStdString();
    expectNothingFromOutside(collection->folder());

    const QString extracted = program + QStringLiteral("/Extracted");
    exchange::extractCollection(collection->document(), extracted);
    expectNothingFromOutside(extracted);
    EXPECT_TRUE(QFileInfo::exists(extracted + QStringLiteral("/data/d0/sul1.RTF")));
    expectOutsideAsPlanted();
}

TEST_F(Containment, DeletionsDeleteNothingOutside)
{
    ScriptedPrompter prompts;
    // One sermon by itself.
    goToHostile(0);
    prompts.yes();
    window().mnDeleteClick();
    EXPECT_TRUE(table().Deleted() || table().RecNo() != 1);
    // Gathered: the sermons titled "hostile"; then the rest with them gone.
    program->gathering().GatherFields({{2, QByteArrayLiteral("inside")}}, true);
    prompts.yes();
    program->gathering().DeleteNotGathered();
    prompts.yes();
    program->gathering().DeleteGathered();
    EXPECT_EQ(table().Count(), 0u);
    EXPECT_FALSE(QFileInfo::exists(collection->folder() + QStringLiteral("/data/d0/sul1.RTF")));
    expectOutsideAsPlanted();
    // The links themselves are files of the collection, and go with it
    // only as links: what they lead to stays.
    EXPECT_TRUE(QFileInfo::exists(outside + QStringLiteral("/keep.RTF")));
}

} // namespace
} // namespace verbana::test
