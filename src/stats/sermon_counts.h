// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace verbana {
class Progress;
}
namespace verbana::xbase {
class TApolloTable;
}

// The counts behind the statistics charts (통계): the sermons in view are
// walked once, first to last in the order in force, and counted by
// testament, by Bible book or by one of four classification fields. No
// widgets: the page turns the points into bars and slices.
namespace verbana::stats {

// One bar or slice: its label, its count, and its colour (invalid when the
// chart picks its own).
struct ChartPoint {
    QString label;
    uint32_t count = 0;
    QColor colour;
    bool operator==(const ChartPoint &) const = default;
};
using ChartPoints = std::vector<ChartPoint>;

// Every count takes an optional Progress: it is started with the number of
// sermons in view and ticked after each. A count that stores keys then
// starts it again with the number of sermons it stores them in.
// The two book counts (their button numbers).
enum class Testament { Old = 1, New = 2 };
// The classification counts (their button numbers) and their fields.
enum class Category { SermonType = 5, Aim = 6, Service = 7, Place = 8 };

// Every count refuses (no value, nothing touched) while the table holds a
// sermon being added or edited: the walk would have to post or drop it.
// Otherwise the table is kept quiet for the walk (store::BatchScope), and the
// sermon current before it and the order are in force again after it (also
// when reading or storing fails: EApolloError, for the command to report).

// 구약 (red) and 신약 (lime), both always given. A sermon without a stored
// key gets one from its reference, stored in the record.
std::optional<ChartPoints> CountByTestament(xbase::TApolloTable &table, Progress *progress = nullptr);
// The books of one testament with a count above zero, in book order,
// labelled with their abbreviations. Only the Old Testament count derives
// missing keys (and stores them).
std::optional<ChartPoints> CountByBook(xbase::TApolloTable &table, Testament testament,
                                       Progress *progress = nullptr);
// The non-empty values of the field in the order first met, letter case of
// a..z ignored, each labelled with the value as first met. Every distinct
// value is counted, however many there are.
std::optional<ChartPoints> CountByCategory(xbase::TApolloTable &table, Category category,
                                           Progress *progress = nullptr);

} // namespace verbana::stats
