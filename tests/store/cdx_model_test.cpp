// SPDX-License-Identifier: GPL-3.0-or-later
// Random inserts and removes checked against a plain ordered set, and another
// engine reading what we wrote.
#include "cdx_test_util.h"

#include "store/xbase/cdx_index.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <set>

using namespace verbana::xbase;
using namespace verbana::test::cdx;

namespace {

using Model = std::set<std::pair<QByteArray, uint32_t>>;

// Keys built to stress the leaf compression: blank keys, keys that differ in
// their last byte only, CP949 text whose second bytes look like ASCII letters
// (똠 8C 63, 햏 C1 64, 쏼 9C 58) and ordinary Hangul.
class KeyMaker {
public:
    KeyMaker(int keyLength, uint32_t seed) : k_(keyLength), rng_(seed) {}
    QByteArray make()
    {
        static const char *const pieces[] = {"\x8c\x63", "\xc1\x64", "\x9c\x58", "\xb0\xa1", "\xb0\xa8", "\xb1\xe2",
            "\xb5\xb5", "\xbb\xe7", " ", "A", "a", "1", "\xe3\xe1"};
        QByteArray key;
        switch (rng_() % 6) {
        case 0:
            break; // blank
        case 1: {
            // long keys that share little: a varied start and end
            key.append(static_cast<char>('a' + rng_() % 26));
            key.append(static_cast<char>('a' + rng_() % 26));
            key.append(QByteArray(std::max(0, k_ - 3), 'x'));
            key.append(static_cast<char>('a' + rng_() % 5));
            break;
        }
        default: {
            const int parts = 1 + static_cast<int>(rng_() % 8);
            for (int i = 0; i < parts; ++i)
                key.append(pieces[rng_() % (sizeof pieces / sizeof *pieces)]);
            break;
        }
        }
        key.truncate(k_);
        if (key.size() == k_ - 1 && static_cast<uint8_t>(key.back()) >= 0x81)
            key.chop(1); // never leave half a character
        return key.leftJustified(k_, ' ');
    }
    uint32_t recno()
    {
        // Mostly small numbers, some beyond 4096 and 65536 so leaf widths change.
        switch (rng_() % 4) {
        case 0:
            return 4000 + rng_() % 200;
        case 1:
            return 65500 + rng_() % 100;
        default:
            return 1 + rng_() % 3000;
        }
    }
    std::mt19937 &rng() { return rng_; }

private:
    int k_;
    std::mt19937 rng_;
};

void expectSame(CdxIndex &ix, int tag, const Model &model)
{
    auto v = ix.verify(tag);
    ASSERT_TRUE(v) << v.status().message().toStdString();
    ASSERT_EQ(v->size(), model.size());
    size_t i = 0;
    for (const auto &[key, recno] : model) {
        ASSERT_EQ((*v)[i].key, key) << "entry " << i;
        ASSERT_EQ((*v)[i].recno, recno) << "entry " << i;
        ++i;
    }
    const auto walked = walk(ix, tag);
    ASSERT_EQ(walked.size(), model.size());
}

struct ModelCase {
    int keyLength;
    size_t cacheLimit;
    uint32_t seed;
};

class CdxModel : public ::testing::TestWithParam<ModelCase> {};

TEST_P(CdxModel, RandomChangesMatchAnOrderedSet)
{
    const ModelCase mc = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("m.cdx"));
    KeyMaker keys(mc.keyLength, mc.seed);
    Model model;
    TagBuild t;
    t.name = "M";
    t.keyExpression = "m";
    t.keyLength = mc.keyLength;
    while (model.size() < 400) {
        auto e = std::make_pair(keys.make(), keys.recno());
        if (model.insert(e).second)
            t.add(e.first, e.second);
    }
    auto file = openFile(path, OpenMode::Create);
    ASSERT_TRUE(CdxIndex::build(*file, {t}));
    auto opened = CdxIndex::open(*file);
    ASSERT_TRUE(opened);
    std::unique_ptr<CdxIndex> ix = std::move(*opened);
    ix->setCacheLimit(mc.cacheLimit);
    expectSame(*ix, 1, model);

    auto &rng = keys.rng();
    for (int batch = 0; batch < 12; ++batch) {
        ASSERT_TRUE(ix->beginUpdate());
        // Early batches grow the tree, later ones shrink it to almost nothing.
        const int insertShare = batch < 6 ? 70 : 25;
        for (int op = 0; op < 600; ++op) {
            if (static_cast<int>(rng() % 100) < insertShare || model.empty()) {
                auto e = std::make_pair(keys.make(), keys.recno());
                Status st = ix->insert(1, e.first, e.second);
                if (model.insert(e).second) {
                    ASSERT_TRUE(st) << st.message().toStdString();
                } else {
                    ASSERT_EQ(st.kind(), StatusKind::InvalidArgument);
                }
            } else {
                auto it = model.begin();
                std::advance(it, rng() % model.size());
                ASSERT_TRUE(ix->remove(1, it->first, it->second)) << "remove " << it->second;
                model.erase(it);
                if (rng() % 10 == 0) {
                    ASSERT_EQ(ix->remove(1, keys.make(), 999999).kind(), StatusKind::NotFound);
                }
            }
        }
        ASSERT_TRUE(ix->endUpdate());
        expectSame(*ix, 1, model);
        Status pages = ix->verifyPages();
        ASSERT_TRUE(pages) << pages.message().toStdString();
        if (qEnvironmentVariableIsSet("CDX_KEEP"))
            QFile::copy(path, QStringLiteral("/tmp/cdxx/model-%1-%2.cdx").arg(mc.seed).arg(batch));
    }
    ASSERT_TRUE(ix->flush());
    ix.reset();
    auto again = openFile(path, OpenMode::ReadOnly);
    auto reopened = CdxIndex::open(*again);
    ASSERT_TRUE(reopened);
    EXPECT_FALSE((*reopened)->wasInterrupted());
    expectSame(**reopened, 1, model);
}

INSTANTIATE_TEST_SUITE_P(Keys, CdxModel,
    ::testing::Values(ModelCase{60, 16u << 20, 1}, ModelCase{12, 16u << 20, 2}, ModelCase{10, 1u << 14, 3},
        ModelCase{60, 1u << 15, 4}, ModelCase{3, 16u << 20, 5},
        ModelCase{240, 1u << 16, 6}));

bool perlXBaseAvailable()
{
    QProcess p;
    p.start(QStringLiteral("perl"), {QStringLiteral("-MXBase::Index"), QStringLiteral("-e1")});
    return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

std::vector<uint32_t> perlOrder(const QString &path, const char *tag)
{
    QProcess p;
    p.start(QStringLiteral("perl"),
        {QStringLiteral("-MXBase::Index"), QStringLiteral("-e"),
            QStringLiteral("$i=XBase::Index->new($ARGV[0], tag=>$ARGV[1], type=>'C') or die XBase::Index->errstr; "
                           "$i->prepare_select; while(($k,$v)=$i->fetch){print \"$v\\n\"}"),
            path, QLatin1String(tag)});
    EXPECT_TRUE(p.waitForFinished(120000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    std::vector<uint32_t> out;
    for (const QByteArray &line : p.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            out.push_back(line.toUInt());
    return out;
}

// Debian's XBase::Index (libdbd-xbase-perl) walks our trees from the root.
TEST(CdxInterop, AnotherEngineReadsTheOrdersWeWrite)
{
    if (!perlXBaseAvailable())
        GTEST_SKIP() << "perl XBase::Index (Debian libdbd-xbase-perl) is not installed";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("interop.cdx"));
    KeyMaker titles(60, 11);
    KeyMaker dates(12, 12);
    Model titleModel;
    Model dateModel;
    TagBuild title;
    title.name = "title1";
    title.keyExpression = "title1";
    title.keyLength = 60;
    TagBuild date;
    date.name = "date1";
    date.keyExpression = "date1";
    date.keyLength = 12;
    for (uint32_t r = 1; r <= 6000; ++r) {
        const QByteArray tk = titles.make();
        const QByteArray dk = QByteArray::number(1990 + r % 35) + "." + QByteArray::number(10 + r % 3) + ".0" + QByteArray::number(r % 10) + "  ";
        title.add(tk, r);
        date.add(dk, r);
        titleModel.insert({tk, r});
        dateModel.insert({dk, r});
    }
    auto file = openFile(path, OpenMode::Create);
    ASSERT_TRUE(CdxIndex::build(*file, {title, date}));
    {
        auto opened = CdxIndex::open(*file);
        ASSERT_TRUE(opened);
        CdxIndex &ix = **opened;
        std::mt19937 rng(5);
        ASSERT_TRUE(ix.beginUpdate());
        for (int op = 0; op < 4000; ++op) {
            if (rng() % 3 != 0) {
                const uint32_t r = 6001 + static_cast<uint32_t>(op) * 17; // crosses 65536
                const QByteArray tk = titles.make();
                ASSERT_TRUE(ix.insert(1, tk, r));
                titleModel.insert({tk, r});
            } else {
                auto it = titleModel.begin();
                std::advance(it, rng() % titleModel.size());
                ASSERT_TRUE(ix.remove(1, it->first, it->second));
                titleModel.erase(it);
                auto d = dateModel.begin();
                std::advance(d, rng() % dateModel.size());
                ASSERT_TRUE(ix.remove(2, d->first, d->second));
                dateModel.erase(d);
            }
        }
        ASSERT_TRUE(ix.endUpdate());
        expectSame(ix, 1, titleModel);
        expectSame(ix, 2, dateModel);
        ASSERT_TRUE(ix.verifyPages());
        EXPECT_EQ(perlOrder(path, "TITLE1"), recnos(walk(ix, 1)));
        EXPECT_EQ(perlOrder(path, "DATE1"), recnos(walk(ix, 2)));
    }
}

} // namespace
