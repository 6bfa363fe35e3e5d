// SPDX-License-Identifier: GPL-3.0-or-later
// The compound index against files written by another xBase engine, byte
// compatibility of what we write, cursors, the update mark and damaged files.
#include "cdx_test_util.h"

#include "store/xbase/cdx_index.h"
#include "support/fixtures.h"

#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana::xbase;
using namespace verbana::test;
using namespace verbana::test::cdx;

namespace {

QString fixture(const char *name) { return sharedFixtures() + QStringLiteral("/xbase/") + QLatin1String(name); }

class CdxFixture : public ::testing::TestWithParam<const char *> {};

TEST_P(CdxFixture, TagsAndOrdersMatchTheOtherEngine)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = fixture(GetParam());
    const QJsonObject exp = expected(folder).value(QStringLiteral("index")).toObject();
    auto file = openFile(folder + QStringLiteral("/sul2file.cdx"), OpenMode::ReadOnly);
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index) << index.status().message().toStdString();
    CdxIndex &ix = **index;
    EXPECT_FALSE(ix.wasInterrupted());
    const QJsonArray tags = exp.value(QStringLiteral("tags")).toArray();
    ASSERT_EQ(ix.tags().size(), static_cast<size_t>(tags.size()));
    ASSERT_TRUE(ix.verify(0));
    for (int i = 0; i < tags.size(); ++i) {
        const QJsonObject t = tags[i].toObject();
        const TagInfo &info = ix.tags()[static_cast<size_t>(i)];
        SCOPED_TRACE(info.name.toStdString());
        EXPECT_EQ(info.name, t.value(QStringLiteral("name")).toString().toLatin1());
        EXPECT_EQ(info.keyExpression, t.value(QStringLiteral("key_expression")).toString().toLatin1());
        EXPECT_EQ(info.forExpression, QByteArray());
        EXPECT_EQ(info.keyLength, t.value(QStringLiteral("key_length")).toInt());
        EXPECT_EQ(info.headerOffset, static_cast<uint32_t>(t.value(QStringLiteral("header_offset")).toInt()));
        EXPECT_FALSE(info.descending);
        EXPECT_FALSE(info.unique);
        EXPECT_EQ(ix.tagNumber(info.name.toLower()), i + 1);

        std::vector<uint32_t> want;
        for (const QJsonValue &v : t.value(QStringLiteral("order_all")).toArray())
            want.push_back(static_cast<uint32_t>(v.toInt()));
        const auto forward = walk(ix, i + 1);
        EXPECT_EQ(recnos(forward), want);

        auto checked = ix.verify(i + 1);
        ASSERT_TRUE(checked) << checked.status().message().toStdString();
        EXPECT_EQ(recnos(*checked), want);

        std::vector<uint32_t> backward;
        auto c = ix.cursor(i + 1);
        ASSERT_TRUE(c->last());
        while (c->valid()) {
            backward.push_back(c->recno());
            ASSERT_TRUE(c->prev());
        }
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, want);
    }
    EXPECT_EQ(ix.tagNumber("nosuch"), 0);
    // Every page is a header, a node of one tree or free (sermons-many has
    // five free pages).
    Status pages = ix.verifyPages();
    EXPECT_TRUE(pages) << pages.message().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Fixtures, CdxFixture, ::testing::Values("sermons", "sermons-many"));

TEST(CdxSeek, PrefixSeekLandsOnTheFirstKeyWithThatStart)
{
    VERBANA_REQUIRE_FIXTURES();
    auto file = openFile(fixture("sermons-many") + QStringLiteral("/sul2file.cdx"), OpenMode::ReadOnly);
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    const int date1 = (*index)->tagNumber("DATE1");
    const auto all = walk(**index, date1);
    auto c = (*index)->cursor(date1);
    ASSERT_TRUE(c->seek("1998."));
    ASSERT_TRUE(c->valid());
    auto firstOf1998 = std::find_if(all.begin(), all.end(), [](const KeyEntry &e) { return e.key.startsWith("1998."); });
    ASSERT_NE(firstOf1998, all.end());
    EXPECT_EQ(c->recno(), firstOf1998->recno);
    EXPECT_TRUE(c->prev());
    EXPECT_FALSE(c->key().startsWith("1998."));
    // Each full entry can be found again exactly, and a seek past the end
    // leaves the cursor after the last entry.
    for (size_t i = 0; i < all.size(); i += 37) {
        ASSERT_TRUE(c->seek(all[i].key, all[i].recno));
        ASSERT_TRUE(c->valid());
        EXPECT_EQ(c->recno(), all[i].recno);
    }
    ASSERT_TRUE(c->seek("9999"));
    EXPECT_FALSE(c->valid());
    ASSERT_TRUE(c->prev());
    EXPECT_EQ(c->recno(), all.back().recno);
}

// Building the four tags of the 15-record table from its records gives the
// file the other engine wrote, page for page: the same layout (directory,
// then each tag's header and root leaf in creation order), the same headers
// and the same leaf packing.
TEST(CdxBuild, ReproducesTheOtherEnginesFileByteForByte)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = fixture("sermons");
    const QByteArray theirs = readAll(folder + QStringLiteral("/sul2file.cdx"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ours.cdx"));
    {
        auto file = openFile(path, OpenMode::Create);
        ASSERT_TRUE(CdxIndex::build(*file, sermonTags(folder)));
    }
    const QByteArray ours = readAll(path);
    ASSERT_EQ(ours.size(), theirs.size());
    for (int page = 0; page < ours.size() / 512; ++page)
        EXPECT_EQ(ours.mid(page * 512, 512).toHex(), theirs.mid(page * 512, 512).toHex()) << "page at " << page * 512;
}

TEST(CdxBuild, ManyRecordsGiveTheSameOrdersAsTheOtherEngine)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = fixture("sermons-many");
    const QJsonArray tags = expected(folder).value(QStringLiteral("index")).toObject().value(QStringLiteral("tags")).toArray();
    QTemporaryDir dir;
    auto file = openFile(dir.filePath(QStringLiteral("x.cdx")), OpenMode::Create);
    ASSERT_TRUE(CdxIndex::build(*file, sermonTags(folder)));
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    for (int i = 0; i < tags.size(); ++i) {
        std::vector<uint32_t> want;
        for (const QJsonValue &v : tags[i].toObject().value(QStringLiteral("order_all")).toArray())
            want.push_back(static_cast<uint32_t>(v.toInt()));
        auto checked = (*index)->verify(i + 1);
        ASSERT_TRUE(checked) << checked.status().message().toStdString();
        EXPECT_EQ(recnos(*checked), want);
    }
}

// The way the other engine made sermons-many: tags created on the empty
// table, then every record appended with all tags kept up to date.
TEST(CdxInsert, AppendingRecordOneByOneGivesTheOtherEnginesOrders)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = fixture("sermons-many");
    const QJsonArray tags = expected(folder).value(QStringLiteral("index")).toObject().value(QStringLiteral("tags")).toArray();
    std::vector<TagBuild> full = sermonTags(folder);
    std::vector<TagBuild> empty;
    for (const TagBuild &t : full) {
        TagBuild e = t;
        e.entries.clear();
        empty.push_back(e);
    }
    QTemporaryDir dir;
    auto file = openFile(dir.filePath(QStringLiteral("x.cdx")), OpenMode::Create);
    ASSERT_TRUE(CdxIndex::build(*file, empty));
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    CdxIndex &ix = **index;
    for (size_t r = 0; r < full[0].entries.size(); ++r) {
        ASSERT_TRUE(ix.beginUpdate());
        for (int t = 0; t < 4; ++t)
            ASSERT_TRUE(ix.insert(t + 1, full[static_cast<size_t>(t)].entries[r].key, full[static_cast<size_t>(t)].entries[r].recno));
        ASSERT_TRUE(ix.endUpdate());
    }
    for (int i = 0; i < tags.size(); ++i) {
        std::vector<uint32_t> want;
        for (const QJsonValue &v : tags[i].toObject().value(QStringLiteral("order_all")).toArray())
            want.push_back(static_cast<uint32_t>(v.toInt()));
        EXPECT_EQ(recnos(walk(ix, i + 1)), want);
    }
    Status pages = ix.verifyPages();
    EXPECT_TRUE(pages) << pages.message().toStdString();
    EXPECT_EQ(*ix.readChangeCounter(), 800u);
}

TEST(CdxBuild, RefusesBadTags)
{
    QTemporaryDir dir;
    auto file = openFile(dir.filePath(QStringLiteral("x.cdx")), OpenMode::Create);
    TagBuild t;
    t.name = "A";
    t.keyExpression = "a";
    t.keyLength = 4;
    t.entries = {{"abcd", 1}, {"abcd", 1}};
    EXPECT_EQ(CdxIndex::build(*file, {t}).kind(), StatusKind::InvalidArgument);
    t.entries = {{"abc", 1}};
    EXPECT_EQ(CdxIndex::build(*file, {t}).kind(), StatusKind::InvalidArgument);
    t.entries = {};
    t.name = "ELEVENCHARS";
    EXPECT_EQ(CdxIndex::build(*file, {t}).kind(), StatusKind::InvalidArgument);
    t.name = "A B";
    EXPECT_EQ(CdxIndex::build(*file, {t}).kind(), StatusKind::InvalidArgument);
}

TEST(CdxBuild, EmptyTagsCanBeFilledAndEmptiedAgain)
{
    QTemporaryDir dir;
    auto file = openFile(dir.filePath(QStringLiteral("x.cdx")), OpenMode::Create);
    TagBuild t;
    t.name = "date1";
    t.keyExpression = "date1";
    t.keyLength = 12;
    ASSERT_TRUE(CdxIndex::build(*file, {t}));
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    CdxIndex &ix = **index;
    EXPECT_EQ(ix.tags()[0].name, QByteArray("DATE1"));
    auto c = ix.cursor(1);
    ASSERT_TRUE(c->first());
    EXPECT_FALSE(c->valid());
    for (uint32_t r = 1; r <= 3000; ++r)
        ASSERT_TRUE(ix.insert(1, QByteArray::number(2000 + r % 30) + ".01.01  ", r));
    ASSERT_TRUE(ix.verify(1));
    EXPECT_EQ(walk(ix, 1).size(), 3000u);
    for (uint32_t r = 1; r <= 3000; ++r)
        ASSERT_TRUE(ix.remove(1, QByteArray::number(2000 + r % 30) + ".01.01  ", r));
    auto left = ix.verify(1);
    ASSERT_TRUE(left) << left.status().message().toStdString();
    EXPECT_TRUE(left->empty());
    EXPECT_EQ(ix.remove(1, "2001.01.01  ", 1).kind(), StatusKind::NotFound);
    ASSERT_TRUE(ix.flush());
}

TEST(CdxCursor, StaysOnItsEntryAcrossChanges)
{
    QTemporaryDir dir;
    auto file = openFile(dir.filePath(QStringLiteral("x.cdx")), OpenMode::Create);
    TagBuild t;
    t.name = "K";
    t.keyExpression = "k";
    t.keyLength = 6;
    for (uint32_t r = 1; r <= 2000; ++r)
        t.add(QByteArray::number(r * 10).rightJustified(6, '0'), r);
    ASSERT_TRUE(CdxIndex::build(*file, {t}));
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    CdxIndex &ix = **index;
    auto c = ix.cursor(1);
    ASSERT_TRUE(c->seek("005000"));
    ASSERT_EQ(c->recno(), 500u);
    // Insert right after the cursor's entry: next() must see it.
    ASSERT_TRUE(ix.insert(1, "005001", 9001));
    ASSERT_TRUE(c->next());
    EXPECT_EQ(c->recno(), 9001u);
    // Remove the entry under the cursor: next() lands on its successor,
    // prev() on its predecessor.
    ASSERT_TRUE(ix.remove(1, "005001", 9001));
    ASSERT_TRUE(c->next());
    EXPECT_EQ(c->recno(), 501u);
    ASSERT_TRUE(ix.remove(1, "005010", 501));
    ASSERT_TRUE(c->prev());
    EXPECT_EQ(c->recno(), 500u);
    ASSERT_TRUE(c->last());
    EXPECT_EQ(c->recno(), 2000u);
    ASSERT_TRUE(c->next());
    EXPECT_FALSE(c->valid());
    EXPECT_EQ(c->seek("0000001").kind(), StatusKind::InvalidArgument);
    EXPECT_EQ(ix.insert(1, "000010", 1).kind(), StatusKind::InvalidArgument);
    EXPECT_EQ(ix.insert(1, "12345", 1).kind(), StatusKind::InvalidArgument);
    EXPECT_EQ(ix.cursor(2), nullptr);
}

TEST(CdxUpdate, MarkTellsThatAWriterDiedAndTheCounterMoves)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.cdx"));
    auto file = openFile(path, OpenMode::Create);
    TagBuild t;
    t.name = "K";
    t.keyExpression = "k";
    t.keyLength = 4;
    ASSERT_TRUE(CdxIndex::build(*file, {t}));
    auto index = CdxIndex::open(*file);
    ASSERT_TRUE(index);
    EXPECT_EQ(*(*index)->readChangeCounter(), 0u);
    ASSERT_TRUE((*index)->beginUpdate());
    ASSERT_TRUE((*index)->insert(1, "abcd", 1));
    {
        // Another opening while the update is under way sees the mark.
        auto otherFile = openFile(path, OpenMode::ReadOnly);
        auto other = CdxIndex::open(*otherFile);
        ASSERT_TRUE(other);
        EXPECT_TRUE((*other)->wasInterrupted());
    }
    ASSERT_TRUE((*index)->endUpdate());
    EXPECT_EQ(*(*index)->readChangeCounter(), 1u);
    EXPECT_EQ((*index)->knownChangeCounter(), 1u);
    auto again = openFile(path, OpenMode::ReadOnly);
    auto reopened = CdxIndex::open(*again);
    ASSERT_TRUE(reopened);
    EXPECT_FALSE((*reopened)->wasInterrupted());
    EXPECT_EQ(walk(**reopened, 1).size(), 1u);
    // The mark lies in bytes no other engine uses; the rest of the header is
    // what a fresh build writes.
    const QByteArray bytes = readAll(path);
    EXPECT_EQ(bytes.mid(8, 4).toHex(), QByteArray("00000001"));
    EXPECT_EQ(bytes.mid(24, 4).toHex(), QByteArray("00000000"));
    EXPECT_EQ(bytes.mid(20, 4), QByteArray("RCHB"));
}

// Two openings of one file, as two programs sharing a table: each notices
// the other's changes through the change counter and reads them after
// dropping its cache, cursors included.
TEST(CdxShared, EachOpeningSeesTheOthersChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("s.cdx"));
    auto file = openFile(path, OpenMode::Create);
    TagBuild t;
    t.name = "K";
    t.keyExpression = "k";
    t.keyLength = 8;
    for (uint32_t r = 1; r <= 3000; ++r)
        t.add(QByteArray::number(r * 2).rightJustified(8, '0'), r);
    ASSERT_TRUE(CdxIndex::build(*file, {t}));
    auto fileA = openFile(path, OpenMode::ReadWrite);
    auto fileB = openFile(path, OpenMode::ReadWrite);
    auto a = std::move(*CdxIndex::open(*fileA));
    auto b = std::move(*CdxIndex::open(*fileB));
    auto cb = b->cursor(1);
    ASSERT_TRUE(cb->seek("00001000"));
    ASSERT_EQ(cb->recno(), 500u);

    for (uint32_t r = 5001; r <= 5600; ++r) {
        ASSERT_TRUE(a->beginUpdate());
        ASSERT_TRUE(a->insert(1, QByteArray::number((r - 5000) * 2 + 1).rightJustified(8, '0'), r));
        ASSERT_TRUE(a->endUpdate());
    }
    EXPECT_EQ(*b->readChangeCounter(), a->knownChangeCounter());
    EXPECT_NE(*b->readChangeCounter(), b->knownChangeCounter());
    ASSERT_TRUE(b->dropCache());
    EXPECT_EQ(*b->readChangeCounter(), b->knownChangeCounter());
    ASSERT_TRUE(cb->next());
    EXPECT_EQ(cb->key(), QByteArray("00001001"));
    auto seen = b->verify(1);
    ASSERT_TRUE(seen) << seen.status().message().toStdString();
    EXPECT_EQ(seen->size(), 3600u);

    ASSERT_TRUE(b->beginUpdate());
    ASSERT_TRUE(b->remove(1, "00001001", 5500));
    ASSERT_TRUE(b->insert(1, "99999999", 9999));
    ASSERT_TRUE(b->endUpdate());
    ASSERT_TRUE(a->dropCache());
    auto back = a->verify(1);
    ASSERT_TRUE(back) << back.status().message().toStdString();
    EXPECT_EQ(back->size(), 3600u);
    EXPECT_EQ(back->back().recno, 9999u);
}

// A file whose writes fail while `failing` is set.
class FlakyFile final : public File {
public:
    explicit FlakyFile(File &inner) : inner_(inner) {}
    Status readAt(uint64_t o, std::span<char> d, size_t *got) override { return inner_.readAt(o, d, got); }
    Status writeAt(uint64_t o, std::span<const char> d) override
    {
        if (failing)
            return Status::ioError(QStringLiteral("disk full"));
        return inner_.writeAt(o, d);
    }
    Result<uint64_t> size() override { return inner_.size(); }
    Status truncate(uint64_t s) override { return inner_.truncate(s); }
    Status sync() override { return inner_.sync(); }
    Status tryLock(uint64_t o, uint64_t l, LockMode m) override { return inner_.tryLock(o, l, m); }
    Status unlock(uint64_t o, uint64_t l) override { return inner_.unlock(o, l); }
    QString path() const override { return inner_.path(); }
    bool failing = false;

private:
    File &inner_;
};

// A failed write loses nothing: the changes stay in the cache and reach the
// file with the next flush, and the mark keeps telling that the file on disk
// is not to be trusted meanwhile.
TEST(CdxUpdate, FailedWritesAreRetriedByTheNextFlush)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("f.cdx"));
    auto real = openFile(path, OpenMode::Create);
    TagBuild t;
    t.name = "K";
    t.keyExpression = "k";
    t.keyLength = 8;
    for (uint32_t r = 1; r <= 2000; ++r)
        t.add(QByteArray::number(r * 3).rightJustified(8, '0'), r);
    ASSERT_TRUE(CdxIndex::build(*real, {t}));
    FlakyFile flaky(*real);
    auto ix = std::move(*CdxIndex::open(flaky));
    ix->setCacheLimit(8 * 1024);
    ASSERT_TRUE(ix->beginUpdate());
    for (uint32_t r = 2001; r <= 3000; ++r)
        ASSERT_TRUE(ix->insert(1, QByteArray::number(r * 3 - 6000 + 1).rightJustified(8, '0'), r));
    flaky.failing = true;
    EXPECT_EQ(ix->endUpdate().kind(), StatusKind::IOError);
    {
        auto otherFile = openFile(path, OpenMode::ReadOnly);
        auto other = CdxIndex::open(*otherFile);
        ASSERT_TRUE(other);
        EXPECT_TRUE((*other)->wasInterrupted());
    }
    flaky.failing = false;
    ASSERT_TRUE(ix->beginUpdate());
    ASSERT_TRUE(ix->endUpdate());
    auto again = openFile(path, OpenMode::ReadOnly);
    auto reopened = CdxIndex::open(*again);
    ASSERT_TRUE(reopened);
    EXPECT_FALSE((*reopened)->wasInterrupted());
    auto all = (*reopened)->verify(1);
    ASSERT_TRUE(all) << all.status().message().toStdString();
    EXPECT_EQ(all->size(), 3000u);
}

// Damaged files: each must give a Corruption, never a crash or a hang.
class CdxDamage : public ::testing::Test {
protected:
    void SetUp() override
    {
        TagBuild t;
        t.name = "T";
        t.keyExpression = "t";
        t.keyLength = 20;
        for (uint32_t r = 1; r <= 3000; ++r)
            t.add(QByteArray::number(r * 7919 % 100000).leftJustified(20, ' '), r);
        path = dir.filePath(QStringLiteral("d.cdx"));
        auto file = openFile(path, OpenMode::Create);
        ASSERT_TRUE(CdxIndex::build(*file, {t}));
        good = readAll(path);
    }
    // Writes `bytes`, opens, verifies and walks both ways; returns the first
    // failure or ok.
    Status tryAll(const QByteArray &bytes)
    {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        auto file = openFile(path, OpenMode::ReadOnly);
        auto index = CdxIndex::open(*file);
        if (!index)
            return index.status();
        for (int tag = 0; tag <= static_cast<int>((*index)->tags().size()); ++tag) {
            auto v = (*index)->verify(tag);
            if (!v)
                return v.status();
        }
        XB_TRY((*index)->verifyPages());
        auto c = (*index)->cursor(1);
        Status st = c->first();
        while (st && c->valid())
            st = c->next();
        if (!st)
            return st;
        st = c->last();
        while (st && c->valid())
            st = c->prev();
        return st;
    }
    static void put32(QByteArray &b, int at, uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
    }
    QTemporaryDir dir;
    QString path;
    QByteArray good;
};

TEST_F(CdxDamage, IntactFileIsAccepted) { EXPECT_TRUE(tryAll(good)); }

TEST_F(CdxDamage, FaultsAreReportedAsCorruption)
{
    // Tag header at 0x600, its leaves from 0xA00 on, root last.
    const int leaf1 = 0xA00;
    const int leaf2 = 0xC00;
    struct Case {
        const char *what;
        std::function<void(QByteArray &)> damage;
    } cases[] = {
        {"truncated file", [](QByteArray &b) { b.truncate(700); }},
        {"directory root outside", [](QByteArray &b) { put32(b, 0, 0x7FFFFE00); }},
        {"tag root outside", [](QByteArray &b) { put32(b, 0x600, 0x10000000); }},
        {"tag root at the header", [](QByteArray &b) { put32(b, 0x600, 0x400); }},
        {"key count beyond the node", [&](QByteArray &b) { b[leaf1 + 2] = char(0xFF); b[leaf1 + 3] = 0x7F; }},
        {"right sibling loops back", [&](QByteArray &b) { put32(b, leaf2 + 8, leaf1); }},
        {"right sibling is itself", [&](QByteArray &b) { put32(b, leaf1 + 8, leaf1); }},
        {"garbage leaf", [&](QByteArray &b) { for (int i = 12; i < 512; ++i) b[leaf2 + i] = char(i * 37); }},
        {"entry width lies", [&](QByteArray &b) { b[leaf1 + 23] = 9; }},
        {"root points to itself",
            [&](QByteArray &b) {
                const uint32_t root = uint8_t(b[0x600]) | uint8_t(b[0x601]) << 8 | uint8_t(b[0x602]) << 16;
                // first child pointer of the root (big-endian after key and recno)
                const int at = int(root) + 12 + 20 + 4;
                b[at] = char(root >> 24);
                b[at + 1] = char(root >> 16);
                b[at + 2] = char(root >> 8);
                b[at + 3] = char(root);
            }},
        {"attributes garbage", [&](QByteArray &b) { b[leaf1] = 0x55; }},
        {"free list loops", [](QByteArray &b) { put32(b, 4, 0xA00); }},
        {"stray page at the end", [](QByteArray &b) { b.append(QByteArray(512, '\0')); }},
        {"tag header expression unterminated", [](QByteArray &b) { for (int i = 0; i < 512; ++i) b[0x600 + 512 + i] = 'x'; }},
    };
    for (const Case &c : cases) {
        QByteArray bytes = good;
        c.damage(bytes);
        Status st = tryAll(bytes);
        EXPECT_EQ(st.kind(), StatusKind::Corruption) << c.what << ": " << st.message().toStdString();
    }
}

} // namespace
