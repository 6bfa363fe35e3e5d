// SPDX-License-Identifier: GPL-3.0-or-later
// What a damaged, interrupted or hostile folder cannot make the engine do:
// count padding as a record, drop records its header forgot, rewrite a
// table it misreads, follow a planted link, leave half a batch appended, or
// write to a table opened read-only.
#include "store_helpers.h"
#include "support/fixtures.h"

#include "store/sermon_record.h"
#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/memory_file.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

using namespace verbana;
using namespace verbana::test;
using xbase::EApolloError;
using xbase::TApolloTable;

namespace {

constexpr int kHeader = 706, kRecord = 1085;

enum class Mode { ReadOnly, Shared, Exclusive };

// Four sermons, the second deleted, in memory.
struct MemTable {
    xbase::MemoryFileSystem fs;
    MemTable()
    {
        static const std::pair<QByteArray, QByteArray> base = [] {
            xbase::MemoryFileSystem m;
            TApolloTable creator;
            creator.setFileSystem(&m);
            EXPECT_EQ(store::createSermonTableFile(creator, kMemoryTable), 1);
            auto t = open(m, Mode::Exclusive);
            store::createSermonTags(*t);
            appendSermons(*t, {{"2003", "다"}, {"2001", "가"}, {"2002", "나"}, {"2004", "라"}});
            t->Go(2);
            t->Delete();
            return std::pair{m.get(kMemoryTable), m.get(kMemoryIndex)};
        }();
        fs.put(kMemoryTable, base.first);
        fs.put(kMemoryIndex, base.second);
    }
    static std::unique_ptr<TApolloTable> open(xbase::FileSystem &fs, Mode mode)
    {
        auto t = std::make_unique<TApolloTable>();
        t->setFileSystem(&fs);
        t->DatabaseName = QStringLiteral("/mem");
        t->TableName = QStringLiteral("sul2file.dbf");
        t->Exclusive = mode == Mode::Exclusive;
        t->ReadOnly = mode == Mode::ReadOnly;
        t->Open();
        return t;
    }
    std::unique_ptr<TApolloTable> open(Mode mode) { return open(fs, mode); }
    QByteArray files() const { return fs.get(kMemoryTable) + fs.get(kMemoryIndex); }
    void edit(const std::function<void(QByteArray &)> &change)
    {
        QByteArray bytes = fs.get(kMemoryTable);
        change(bytes);
        fs.put(kMemoryTable, bytes);
    }
};

void setCount(QByteArray &bytes, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        bytes[4 + i] = char((n >> (8 * i)) & 0xFF);
}

std::vector<QByteArray> liveTitles(TApolloTable &t)
{
    std::vector<QByteArray> titles;
    t.SetOrder(0);
    for (uint32_t r : walk(t))
        titles.push_back((t.Go(r), t.GetString("TITLE1")));
    return titles;
}

// Runs `op` on a fresh table whose Nth write fails, for N = 1, 2, ... until
// it succeeds; `afterFailure` checks what each failure left (`before`: the
// files before). Returns how many writes made it fail.
int failEveryWrite(Mode mode, const std::function<void(TApolloTable &)> &op,
                   const std::function<void(MemTable &, TApolloTable &, const QByteArray &, const std::string &)>
                       &afterFailure)
{
    for (int failAt = 1;; ++failAt) {
        MemTable m;
        auto t = m.open(mode);
        const QByteArray before = m.files();
        m.fs.failWriteAfter(failAt);
        try {
            op(*t);
            return failAt - 1;
        } catch (const EApolloError &) {
        }
        m.fs.failWriteAfter(0);
        afterFailure(m, *t, before, "write " + std::to_string(failAt));
    }
}

// A header that disagrees with its file, in every opening mode: the whole
// records in the file are the table's, what follows them is never taken for
// a record, an opening that may write mends the header's count, and a pack
// keeps every live record and the tail in a file beside the table.
TEST(TableExtent, EveryOpeningCountsTheWholeRecordsAndPackKeepsThem)
{
    struct Shape {
        const char *name;
        std::function<void(QByteArray &)> damage;
        qsizetype tail;
    };
    const Shape shapes[] = {
        {"header one record behind", [](QByteArray &b) { setCount(b, 3); }, 0},
        {"header count 0", [](QByteArray &b) { setCount(b, 0); }, 0},
        {"header count beyond the file", [](QByteArray &b) { setCount(b, 9); }, 0},
        {"padding after the end marker",
         [](QByteArray &b) {
             setCount(b, 3);
             b.append(QByteArray(kRecord + 10, '\0'));
         },
         1 + kRecord + 10},
        {"a record cut short", [](QByteArray &b) { b.append(QByteArray(500, ' ')); }, 501},
    };
    const std::vector<QByteArray> live{k("다"), k("나"), k("라")};
    for (const Shape &shape : shapes) {
        for (Mode mode : {Mode::ReadOnly, Mode::Shared, Mode::Exclusive}) {
            const std::string context = std::string(shape.name) + ", mode " + std::to_string(int(mode));
            MemTable m;
            m.edit(shape.damage);
            const QByteArray damaged = m.fs.get(kMemoryTable);
            auto t = m.open(mode);
            EXPECT_EQ(t->RecCount(), 4u) << context;
            EXPECT_EQ(liveTitles(*t), live) << context;
            if (mode == Mode::ReadOnly) {
                EXPECT_EQ(m.fs.get(kMemoryTable), damaged) << context;
                continue;
            }
            const QByteArray mended = m.fs.get(kMemoryTable);
            EXPECT_EQ(xbase::dbf::decodeRecordCount(mended.constData()), 4u) << context;
            EXPECT_EQ(mended.mid(8), damaged.mid(8)) << context;
            t = m.open(Mode::Exclusive);
            t->Pack();
            EXPECT_EQ(t->RecCount(), 3u) << context;
            EXPECT_EQ(liveTitles(*t), live) << context;
            EXPECT_EQ(t->tailKeptAs().isEmpty(), shape.tail == 0) << context;
            if (shape.tail) {
                EXPECT_EQ(m.fs.get(t->tailKeptAs()), damaged.mid(kHeader + 4 * kRecord)) << context;
            }
            EXPECT_EQ(indexFault(*t), "") << context;
        }
    }
}

// Pack and index rebuild refuse what they cannot do right, and a pack that
// fails at any write, leave the old files exactly as they were, with
// nothing of theirs beside them.
TEST(TablePack, AllOrNothing)
{
    struct Refusal {
        const char *name;
        std::function<void(MemTable &)> setUp;
        bool index; // the index rebuild too
        const char *text;
    };
    auto foreignTag = [](MemTable &m) {
        auto file = m.fs.open(kMemoryIndex, xbase::OpenMode::Create);
        std::vector<xbase::TagBuild> tags(1);
        tags[0].name = "SHORT";
        tags[0].keyExpression = "LEFT(TITLE1,2)";
        tags[0].keyLength = 2;
        for (uint32_t r = 1; r <= 4; ++r)
            tags[0].add("ab", r);
        ASSERT_TRUE(xbase::CdxIndex::build(**file, std::move(tags)).isOk());
    };
    auto headerLength = [](int length) {
        return [length](MemTable &m) {
            m.edit([length](QByteArray &b) {
                b[8] = char(length & 0xFF);
                b[9] = char(length >> 8);
            });
        };
    };
    const Refusal refusals[] = {
        {"a tag with a key this engine cannot compute", foreignTag, false, "Invalid key expression: LEFT(TITLE1,2)"},
        {"header length one too long", headerLength(kHeader + 1), true,
         "Table is damaged: the header length 707 does not fit the field list, which ends at byte 705"},
        {"header length one too short", headerLength(kHeader - 1), true,
         "Table is damaged: 1 records have an invalid deletion flag, the first is record 1"},
    };
    for (const Refusal &r : refusals) {
        MemTable m;
        r.setUp(m);
        const QByteArray before = m.files();
        auto t = m.open(Mode::Exclusive);
        for (int op = 0; op < (r.index ? 2 : 1); ++op) {
            try {
                op == 0 ? t->Pack() : store::createSermonTags(*t);
                ADD_FAILURE() << r.name << ": not refused";
            } catch (const EApolloError &e) {
                EXPECT_EQ(e.text().toStdString(), r.text) << r.name;
            }
            EXPECT_EQ(m.files(), before) << r.name;
        }
    }
    const int failures = failEveryWrite(
        Mode::Exclusive,
        [](TApolloTable &t) {
            t.Pack();
            EXPECT_EQ(t.RecCount(), 3u);
        },
        [](MemTable &m, TApolloTable &t, const QByteArray &before, const std::string &context) {
            EXPECT_EQ(m.files(), before) << context;
            EXPECT_FALSE(m.fs.exists(kMemoryTable + QStringLiteral(".pack")) || m.fs.exists(kMemoryIndex + QStringLiteral(".new")));
            EXPECT_EQ(t.RecCount(), 4u) << context;
        });
    EXPECT_GT(failures, 3);
}

// The fixed names of the temporary files may be taken by a link to a file
// elsewhere: it is neither written through nor renamed into place. A plain
// file left there by an interrupted run is cleared.
TEST(TableTemporaries, APlantedLinkIsNeverFollowedNorRenamedIntoPlace)
{
    for (const char *temp : {"sul2file.dbf.pack", "sul2file.cdx.new"}) {
        for (bool link : {true, false}) {
            for (bool pack : {true, false}) {
                const std::string context = std::string(temp) + (link ? " link" : " stale file") + (pack ? " pack" : " reindex");
                QTemporaryDir tmp;
                const QString path = makeSermonTable(tmp.path());
                openTable(path)->Close();
                const QString outside = tmp.path() + QStringLiteral("/outside.txt");
                const QString planted = tmp.path() + QLatin1Char('/') + QLatin1String(temp);
                QFile o(outside);
                ASSERT_TRUE(o.open(QIODevice::WriteOnly) && o.write("keep") == 4);
                o.close();
                if (link)
                    ASSERT_TRUE(QFile::link(outside, planted));
                else
                    ASSERT_TRUE(QFile::copy(outside, planted));
                auto t = openTable(path, true);
                bool refused = false;
                try {
                    pack ? t->Pack() : store::createSermonTags(*t);
                } catch (const EApolloError &) {
                    refused = true;
                }
                const bool used = pack || QByteArray(temp).endsWith(".new");
                EXPECT_EQ(refused, link && used) << context;
                EXPECT_EQ(readAll(outside), QByteArray("keep")) << context;
                EXPECT_FALSE(QFileInfo(path).isSymLink()) << context;
                EXPECT_FALSE(QFileInfo(tmp.path() + QStringLiteral("/sul2file.cdx")).isSymLink()) << context;
                EXPECT_EQ(QFileInfo::exists(planted), link || !used) << context;
            }
        }
    }
}

// Records appended in a batch go in all together or not at all: a failure
// at any write leaves the table with its old records and an index in step.
TEST(TableAppendBatch, AFailureAtAnyWriteLeavesTheOldRecords)
{
    const int failures = failEveryWrite(
        Mode::Shared,
        [](TApolloTable &t) {
            t.BeginAppendBatch();
            appendSermons(t, {{"2005", "마"}, {"2006", "바"}, {"2007", "사"}});
            t.CommitAppendBatch();
            EXPECT_EQ(t.RecCount(), 7u);
        },
        [](MemTable &m, TApolloTable &t, const QByteArray &, const std::string &context) {
            EXPECT_FALSE(t.InAppendBatch());
            EXPECT_EQ(t.RecordsLeftByBatch(), 0u) << context;
            auto again = m.open(Mode::Shared);
            EXPECT_EQ(again->RecCount(), 4u) << context;
            EXPECT_EQ(indexFault(*again), "") << context;
        });
    EXPECT_GT(failures, 5);
    MemTable m;
    auto t = m.open(Mode::Shared);
    t->BeginAppendBatch();
    appendSermons(*t, {{"2005", "마"}});
    t->RollbackAppendBatch();
    EXPECT_EQ(t->RecCount(), 4u);
    EXPECT_EQ(indexFault(*t), "");
}

// Read-only: tables on read-only media open, walk and sort; nothing writes,
// not even the repair of an index found damaged.
TEST(TableReadOnly, ReadsEverythingAndWritesNothing)
{
    for (bool damagedIndex : {false, true}) {
        MemTable m;
        if (damagedIndex)
            m.fs.put(kMemoryIndex, QByteArray(1536, '\x5a'));
        const QByteArray before = m.files();
        m.fs.setReadOnly(true);
        EXPECT_THROW(m.open(Mode::Shared), EApolloError);
        auto t = m.open(Mode::ReadOnly);
        EXPECT_EQ(t->RecCount(), 4u);
        EXPECT_EQ(t->indexProblem().isEmpty(), !damagedIndex);
        if (!damagedIndex) {
            t->SetOrder(t->TagArea("title1"));
            EXPECT_EQ(walk(*t), (std::vector<uint32_t>{3, 1, 4}));
        }
        const std::function<void()> writes[] = {
            [&] { t->Append(); }, [&] { t->Go(1), t->Edit(); }, [&] { t->Go(1), t->Delete(); },
            [&] { t->Pack(); },   [&] { store::createSermonTags(*t); },
        };
        for (const auto &write : writes) {
            try {
                write();
                ADD_FAILURE() << "a write went through";
            } catch (const EApolloError &e) {
                EXPECT_EQ(e.kind(), xbase::StatusKind::ReadOnly);
                EXPECT_EQ(e.text(), xbase::texts::readOnly());
            }
        }
        t->Close();
        EXPECT_EQ(m.files(), before);
        EXPECT_TRUE(t->damagedIndexKeptAs().isEmpty());
    }
}

// Read-only and held alone (a merge source): nobody else opens the table
// meanwhile, and still nothing is written, not even a header count found
// behind the file.
TEST(TableReadOnly, HeldAloneItKeepsOthersOutAndWritesNothing)
{
    QTemporaryDir dir;
    const QString path = makeSermonTable(dir.path());
    appendSermons(*openTable(path, true), {{"2001", "가"}, {"2002", "나"}});
    QByteArray bytes = readAll(path);
    setCount(bytes, 1);
    ASSERT_TRUE(writeAll(path, bytes));
    const QString index = dir.path() + QStringLiteral("/sul2file.cdx");
    const QByteArray before = bytes + readAll(index);

    auto opening = [&](bool exclusive, bool readOnly) {
        auto t = std::make_unique<TApolloTable>();
        t->DatabaseName = dir.path();
        t->TableName = QStringLiteral("sul2file.dbf");
        t->Exclusive = exclusive;
        t->ReadOnly = readOnly;
        return t;
    };
    auto held = opening(true, true);
    held->Open();
    EXPECT_EQ(held->RecCount(), 2u);
    EXPECT_EQ(held->fit().missing(), 0u);
    for (bool readOnly : {false, true}) {
        try {
            opening(false, readOnly)->Open();
            ADD_FAILURE() << "opened beside a table held alone";
        } catch (const EApolloError &e) {
            EXPECT_EQ(e.kind(), xbase::StatusKind::Locked);
        }
    }
    try {
        held->Append();
        ADD_FAILURE() << "a write went through";
    } catch (const EApolloError &e) {
        EXPECT_EQ(e.kind(), xbase::StatusKind::ReadOnly);
    }
    held->Close();
    EXPECT_EQ(readAll(path) + readAll(index), before);
}

} // namespace
