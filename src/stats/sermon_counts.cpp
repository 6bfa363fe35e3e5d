// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/sermon_counts.h"

#include "bible/bible_books.h"
#include "bible/bible_keys.h"
#include "platform/cp949.h"
#include "platform/progress.h"
#include "store/batch_scope.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/apollo_table.h"

#include <QHash>

#include <array>

namespace verbana::stats {
namespace {

// Walks the sermons in view with the table quiet, calling `visit` on each
// as the current record, then `finish` while the table is still quiet.
// Nothing is written during the walk itself: a key stored there could move
// the record in a key order and skip or repeat a sermon, so such work is
// left to `finish`, which goes to the records by number.
template<typename Visit, typename Finish>
bool walk(xbase::TApolloTable &table, Progress *progress, Visit visit, Finish finish)
{
    if (table.State() != xbase::TableState::Browse)
        return false;
    store::BatchScope quiet(table);
    store::forEachInView(table, progress, visit);
    finish();
    return true;
}

template<typename Visit>
bool walk(xbase::TApolloTable &table, Progress *progress, Visit visit)
{
    return walk(table, progress, visit, [] {});
}

// Gives each record whose stored key is empty the key derived from its
// reference (stored in the record), and hands every key found to `count`.
// A collection opened read-only is counted the same, its keys derived but
// not stored. Storing costs more than reading: the records are reported
// to `progress` as a second pass.
template<typename Count>
void deriveKeys(xbase::TApolloTable &table, const std::vector<uint32_t> &keyless, Progress *progress, Count count)
{
    if (progress && !keyless.empty())
        progress->start(keyless.size());
    for (uint32_t recno : keyless) {
        table.Go(recno);
        count(table.ReadOnly ? bible::DeriveBibleNo(table) : bible::RefreshBibleNo(table));
        if (progress)
            progress->tick();
    }
}

bool inRange(QByteArrayView key, const char *from, const char *below)
{
    return key >= QByteArrayView(from) && key < QByteArrayView(below);
}

// The book a key's first two characters give; 0 when they are no number.
int bookOf(const QByteArray &key)
{
    bool ok = false;
    const int book = key.first(2).toInt(&ok);
    return ok ? book : 0;
}

int fieldOf(Category category)
{
    switch (category) {
    case Category::SermonType:
        return store::fSTYPE;
    case Category::Aim:
        return store::fAIM;
    case Category::Service:
        return store::fSACRE;
    case Category::Place:
        return store::fWHERE;
    }
    return store::fSTYPE;
}

} // namespace

std::optional<ChartPoints> CountByTestament(xbase::TApolloTable &table, Progress *progress)
{
    uint32_t oldCount = 0;
    uint32_t newCount = 0;
    const auto count = [&](const QByteArray &key) {
        if (inRange(key, "01001001", "40000000"))
            ++oldCount;
        else if (inRange(key, "40001001", "67000000"))
            ++newCount;
    };
    std::vector<uint32_t> keyless;
    const bool walked = walk(
        table, progress,
        [&] {
            const QByteArray key = table.GetString(store::fBIBLENO);
            if (key.isEmpty())
                keyless.push_back(table.RecNo());
            else
                count(key);
        },
        [&] { deriveKeys(table, keyless, progress, count); });
    if (!walked)
        return std::nullopt;
    return ChartPoints{{QStringLiteral("구약"), oldCount, QColor(Qt::red)},
                       {QStringLiteral("신약"), newCount, QColor(0, 255, 0)}};
}

std::optional<ChartPoints> CountByBook(xbase::TApolloTable &table, Testament testament, Progress *progress)
{
    std::array<uint32_t, 67> counts{};
    const bool old = testament == Testament::Old;
    const auto count = [&](const QByteArray &key) {
        if (key.size() <= 1)
            return;
        if (old ? !inRange(key, "01001001", "40000000") : !inRange(key, "40001001", "67000000"))
            return;
        const int book = bookOf(key);
        if (book > (old ? 0 : 39) && book <= 66)
            ++counts[book];
    };
    // Only the Old Testament count derives the keys it finds missing.
    std::vector<uint32_t> keyless;
    const bool walked = walk(
        table, progress,
        [&] {
            const QByteArray key = table.GetString(store::fBIBLENO);
            if (key.isEmpty() && old)
                keyless.push_back(table.RecNo());
            else
                count(key);
        },
        [&] { deriveKeys(table, keyless, progress, count); });
    if (!walked)
        return std::nullopt;
    ChartPoints points;
    const auto &abbrevs = bible::books().BookAbbrevs;
    for (int book = old ? 1 : 40; book <= (old ? 39 : 66); ++book) {
        if (counts[book] > 0)
            points.push_back({cp949::decode(abbrevs.at(book - 1)), counts[book], QColor()});
    }
    return points;
}

std::optional<ChartPoints> CountByCategory(xbase::TApolloTable &table, Category category,
                                           Progress *progress)
{
    const int field = fieldOf(category);
    ChartPoints points;
    QHash<QByteArray, qsizetype> known; // the folded value → its point
    const bool walked = walk(table, progress, [&] {
        const QByteArray value = table.GetString(field);
        if (value.isEmpty())
            return;
        const QByteArray folded = cp949::upperAscii(value);
        const auto found = known.constFind(folded);
        if (found != known.constEnd()) {
            ++points[size_t(*found)].count;
            return;
        }
        known.insert(folded, qsizetype(points.size()));
        points.push_back({cp949::decode(value), 1, QColor()});
    });
    if (!walked)
        return std::nullopt;
    return points;
}

} // namespace verbana::stats
