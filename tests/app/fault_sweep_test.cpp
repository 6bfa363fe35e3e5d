// SPDX-License-Identifier: GPL-3.0-or-later
// Every walk over the open table, run as the window runs its commands while
// the Nth read (or write) of the table's files fails, for every N until the
// walk runs through: the program never ends, one error is shown, and the
// table, the list and the record boxes are as sound as before.
#include "../editing/editing_helpers.h"

#include "app/program_window.h"
#include "bible/sort_orders.h"
#include "editing/record_boxes.h"
#include "editing/sermon_list_model.h"
#include "editing/tfmverbdesk.h"
#include "exchange/batch_import.h"
#include "exchange/merge_extract.h"
#include "platform/commands.h"
#include "platform/cp949.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"
#include "search/ui/gather_commands.h"
#include "search/ui/goto_commands.h"
#include "stats/sermon_list_report.h"
#include "stats/ui/statistics_commands.h"
#include "support/flaky_file_system.h"
#include "store/batch_scope.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>

#include <gtest/gtest.h>

#include <array>

namespace verbana::test {
namespace {

// Says yes to nothing and keeps what was shown.
class Recorder final : public Prompter {
public:
    Recorder() : previous_(setPrompter(this)) {}
    ~Recorder() override { setPrompter(previous_); }
    PromptAnswer ask(const PromptRequest &request) override
    {
        if (request.kind == PromptKind::Error)
            errors << request.text;
        PromptAnswer a;
        a.accepted = request.kind == PromptKind::Information || request.kind == PromptKind::Error;
        return a;
    }
    QStringList errors;

private:
    Prompter *previous_;
};

// A hundred sermons in twelve months, with manuscripts and references.
std::vector<SermonRow> sermons()
{
    static std::vector<std::array<QByteArray, 4>> values;
    values.clear();
    for (int i = 0; i < 100; ++i)
        values.push_back({QStringLiteral("2001.%1.%2").arg(1 + i % 12, 2, 10, QLatin1Char('0')).arg(1 + i % 28, 2, 10, QLatin1Char('0')).toUtf8(),
                          QByteArrayLiteral("sermon ") + QByteArray::number(i),
                          QByteArrayLiteral("d0\\sul") + QByteArray::number(i) + QByteArrayLiteral(".RTF"),
                          QStringLiteral("창%1:1").arg(1 + i % 50).toUtf8()});
    std::vector<SermonRow> rows;
    for (const auto &v : values)
        rows.push_back({v[0].constData(), v[1].constData(), v[2].constData(), v[3].constData()});
    return rows;
}

class FaultSweep : public ::testing::Test {
protected:
    void SetUp() override
    {
        collection = std::make_unique<TestCollection>(sermons());
        for (int i = 0; i < 100; i += 2)
            collection->writeFile(QStringLiteral("text/d0/sul%1.txt").arg(i), cp949::encodeLossy(QStringLiteral("은혜 %1").arg(i)));
        // Every table file is opened again through the flaky file system.
        store::CollectionDocument &document = collection->document();
        document.releaseTable();
        document.table().setFileSystem(&fs);
        ASSERT_TRUE(document.OpenCollection(collection->tablePath()));
        // A fifth of the sermons have no stored key yet: the counts store them.
        {
            const store::BatchScope quiet(table(), {.busyCursor = false});
            for (uint32_t recno = 1; recno <= 100; recno += 5) {
                table().Go(recno);
                table().Edit();
                table().PutString(store::fBIBLENO, QByteArray());
                table().Post();
            }
        }
        program = std::make_unique<ProgramWindow>(document);
    }
    void TearDown() override
    {
        program.reset();
        collection.reset();
    }
    xbase::TApolloTable &table() { return collection->table(); }
    editing::Tfmverbdesk &window() { return program->window(); }

    // Runs `command` as a command with the Nth read or write failing, for
    // N = 1, 2, ... until it runs through, and checks after each run.
    // Where a command that failed leaves the table: on the sermon current
    // before and in the same order, or (a field gathering, which moves the
    // table whatever happens) anywhere in view. A command whose work ran
    // through, the failure coming after it (the list read again), leaves
    // the table where its work put it.
    enum class Place { Before, Anywhere };
    void sweep(const char *what, const std::function<void()> &command, bool writes, Place place = Place::Before)
    {
        int n = 1;
        int told = 0; // runs that ended with the error shown
        for (; n < 20000; ++n) {
            const uint32_t record = table().Active() ? table().RecNo() : 0;
            const int order = table().Active() ? table().IndexOrd() : 0;
            Recorder prompts;
            if (writes)
                fs.failWriteAt(n);
            else
                fs.failReadAt(n);
            bool ranThrough = false;
            runCommand([&] {
                command();
                ranThrough = true;
            });
            const bool failed = fs.failed();
            fs.failReadAt(0);
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            SCOPED_TRACE(std::string(what) + (writes ? ": write " : ": read ") + std::to_string(n));
            if (!failed) {
                EXPECT_TRUE(prompts.errors.isEmpty()) << prompts.errors.join(QLatin1Char('|')).toStdString();
                break;
            }
            // The engine gets over some failures by reading again (a lost
            // look at the index's change counter reopens the index); the
            // others end the command with one message.
            ASSERT_LE(prompts.errors.size(), 1) << prompts.errors.join(QLatin1Char('|')).toStdString();
            told += int(prompts.errors.size());
            ASSERT_TRUE(table().Active());
            EXPECT_EQ(table().State(), xbase::TableState::Browse);
            EXPECT_FALSE(table().ControlsDisabled());
            if (!ranThrough && place == Place::Before) {
                EXPECT_EQ(table().IndexOrd(), order);
                EXPECT_EQ(table().RecNo(), record);
            }
            expectListAndBoxesShowTheTable();
            if (::testing::Test::HasFatalFailure())
                return;
        }
        EXPECT_GT(told, 0) << what << ": no " << (writes ? "write" : "read") << " failure ever stopped it";
        EXPECT_LT(n, 20000) << what << " never ran through";
    }

    // The list holds the sermons in view in the order in force, its current
    // row is the current sermon, and the boxes show that sermon.
    void expectListAndBoxesShowTheTable()
    {
        const uint32_t current = table().RecNo();
        std::vector<uint32_t> inView;
        {
            // Only the moves are kept away from the window: nothing thaws.
            const store::BatchScope look(table(), {.busyCursor = false, .freeze = false});
            inView = store::recordsInView(table());
        }
        auto *list = window().findChild<QTableView *>(QStringLiteral("DBGrid1"));
        const auto *model = static_cast<const editing::SermonListModel *>(list->model());
        std::vector<uint32_t> listed;
        for (int row = 0; row < model->rowCount(); ++row)
            listed.push_back(model->recnoAt(row));
        ASSERT_EQ(listed, inView);
        auto *title = window().findChild<editing::TDBEdit *>(QStringLiteral("TITLE1"));
        EXPECT_EQ(title->text(), cp949::decode(table().GetString(store::fTITLE1)));
        if (current != 0) {
            const auto at = std::find(inView.begin(), inView.end(), current);
            if (at != inView.end()) {
                EXPECT_EQ(list->currentIndex().row(), int(at - inView.begin()));
            }
        }
    }

    FlakyFileSystem fs;
    std::unique_ptr<TestCollection> collection;
    std::unique_ptr<ProgramWindow> program;
};

TEST_F(FaultSweep, CountsKeepTheSermonAndSayOnce)
{
    table().Go(37);
    // Writes first, while there are keys to store.
    sweep("신약/구약 storing keys", [&] { program->statistics().CountStatistics(0); }, true);
    sweep("신약/구약", [&] { program->statistics().CountStatistics(0); }, false);
    sweep("구약책별", [&] { program->statistics().CountStatistics(1); }, false);
    sweep("설교장소", [&] { program->statistics().CountStatistics(8); }, false);
}

TEST_F(FaultSweep, GatheringsAndTheGoToSearch)
{
    table().Go(37);
    search::ManuscriptQuery query;
    query.words = {cp949::encodeLossy(QStringLiteral("은혜")), {}, {}, {}};
    sweep("설교원고에서 찾아모으기", [&] {
        program->gathering().GatherManuscripts(query, nullptr);
        program->gathering().ReleaseGathering();
    }, false);
    sweep("개요/평가에서 찾아모으기", [&] {
        program->gathering().GatherFields({{2, QByteArrayLiteral("sermon 1")}}, true);
        program->gathering().ReleaseGathering();
    }, false, Place::Anywhere);
    window().findChild<QLineEdit *>(QStringLiteral("eFindGo"))->setText(QStringLiteral("없는 말"));
    table().Go(37);
    sweep("찾기", [&] { program->goTo().GoToNext(); }, false);
}

TEST_F(FaultSweep, PrintListingBulkAdditionsMergeAndExtract)
{
    table().Go(37);
    sweep("설교목록 인쇄", [&] {
        stats::ViewListing listing(table());
        while (!listing.step(16)) {
        }
    }, false);

    QTemporaryDir sources;
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        files << sources.path() + QStringLiteral("/s%1.txt").arg(i);
        QFile f(files.last());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("text " + QByteArray::number(i));
    }
    for (bool writes : {false, true})
        sweep("TXT 일괄입력", [&] {
            const auto outcome = exchange::runBatchImport(exchange::ImportKind::Text, collection->document(), files);
            if (!outcome.error.isEmpty())
                throw EUserError(outcome.message());
        }, writes);

    TestCollection source({{"1999.01.01", "merged one", "d0\\sul0.RTF"}, {"1999.01.02", "merged two"}});
    source.writeFile(QStringLiteral("data/d0/sul0.RTF"), "{\\rtf1 one}");
    source.writeFile(QStringLiteral("text/d0/sul0.txt"), "one");
    source.document().releaseTable(); // held alone by the merge
    paths::setProgramFolder(collection->programFolder());
    for (bool writes : {false, true})
        sweep("합치기", [&] {
            const auto outcome = exchange::mergeCollection(collection->document(), source.folder());
            if (!outcome.error.isEmpty())
                throw EUserError(outcome.message());
        }, writes);

    int made = 0;
    sweep("뽑아내기", [&] {
        exchange::extractCollection(collection->document(),
                                    collection->programFolder() + QStringLiteral("/extract %1").arg(++made));
    }, false);
}

TEST_F(FaultSweep, IndexRebuildAndFileDietReopenWhereTheyWere)
{
    table().Go(37);
    for (bool writes : {false, true}) {
        sweep("인덱스 재생성", [&] { bible::rebuildIndex(collection->document()); }, writes);
        table().Go(37);
        sweep("파일 다이어트", [&] { bible::fileDiet(collection->document()); }, writes);
        table().Go(37);
    }
}

} // namespace
} // namespace verbana::test
