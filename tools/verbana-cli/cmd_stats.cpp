// SPDX-License-Identifier: GPL-3.0-or-later
// stats, print: the 통계 page's counts and the printed sermon list, from
// scripts.
#include "cli.h"
#include "collection_cli.h"
#include "csv.h"

#include "stats/sermon_counts.h"
#include "stats/sermon_list_report.h"
#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <optional>

namespace verbana::cli {
namespace {

std::optional<stats::ChartPoints> count(xbase::TApolloTable &table, const QString &kind, Progress &progress)
{
    using stats::Category;
    if (kind == QLatin1String("testament"))
        return stats::CountByTestament(table, &progress);
    if (kind == QLatin1String("old-books"))
        return stats::CountByBook(table, stats::Testament::Old, &progress);
    if (kind == QLatin1String("new-books"))
        return stats::CountByBook(table, stats::Testament::New, &progress);
    const std::pair<const char *, Category> categories[] = {
        {"form", Category::SermonType}, {"direction", Category::Aim}, {"service", Category::Service},
        {"place", Category::Place}};
    for (const auto &[name, category] : categories)
        if (kind == QLatin1String(name))
            return stats::CountByCategory(table, category, &progress);
    return std::nullopt;
}

void show(const stats::ChartPoints &points, bool json)
{
    if (!json) {
        out(QStringLiteral("label,count\n"));
        for (const stats::ChartPoint &p : points)
            out(csv::quote(p.label) + QLatin1Char(',') + QString::number(p.count) + QLatin1Char('\n'));
        return;
    }
    QJsonArray rows;
    for (const stats::ChartPoint &p : points)
        rows.append(QJsonObject{{QStringLiteral("label"), p.label}, {QStringLiteral("count"), qint64(p.count)}});
    out(QString::fromUtf8(QJsonDocument(rows).toJson()));
}

const QStringList &kinds()
{
    static const QStringList k{QStringLiteral("testament"), QStringLiteral("old-books"), QStringLiteral("new-books"),
                               QStringLiteral("form"),      QStringLiteral("direction"), QStringLiteral("service"),
                               QStringLiteral("place")};
    return k;
}

int statistics(const QStringList &args)
{
    Options o;
    if (!parseOptions(args, {QStringLiteral("format")}, {}, o) || o.positional.size() != 2
        || !kinds().contains(o.positional[1]))
        return usageError("stats");
    const QString format = o.values.value(QStringLiteral("format"), QStringLiteral("csv"));
    if (format != QLatin1String("csv") && format != QLatin1String("json"))
        return usageError("stats");
    return withCollection(o.positional[0], Change::No, [&](store::CollectionDocument &document) {
        std::optional<stats::ChartPoints> points;
        {
            TerminalProgress progress(QStringLiteral("stats"));
            points = count(document.table(), o.positional[1], progress);
        }
        if (!points) {
            err(QStringLiteral("the sermons could not be counted"));
            return int(Failed);
        }
        show(*points, format == QLatin1String("json"));
        return int(Ok);
    });
}

int print(const QStringList &args)
{
    Options o;
    const QStringList withValue{QStringLiteral("layout"), QStringLiteral("order")};
    if (!parseOptions(args, withValue, {QStringLiteral("overwrite")}, o) || o.positional.size() != 2)
        return usageError("print");
    bool ok = false;
    const int layout = o.values.value(QStringLiteral("layout")).toInt(&ok);
    if (!ok || layout < 1 || layout > 5) {
        err(QStringLiteral("--layout needs a layout number from 1 to 5"));
        return Usage;
    }
    const QString pdf = o.positional[1];
    if (refuseExisting(pdf, o.has(QStringLiteral("overwrite"))))
        return Failed;
    return withCollection(o.positional[0], Change::No, [&](store::CollectionDocument &document) {
        xbase::TApolloTable &table = document.table();
        if (o.has(QStringLiteral("order"))) {
            const int order = table.TagArea(o.values.value(QStringLiteral("order")).toLatin1());
            if (order == 0) {
                err(QStringLiteral("no tag %1").arg(o.values.value(QStringLiteral("order"))));
                return int(Failed);
            }
            table.SetOrder(order);
        }
        stats::SermonListReport report(table, stats::listLayout(layout), stats::listTitle(document.collectionFolder()));
        {
            stats::ViewListing listing(table);
            while (!listing.step(1000)) {
            }
            report.setRows(listing.takeRows());
        }
        if (report.rows().empty()) {
            err(QStringLiteral("no sermons to print; nothing was written"));
            return int(Failed);
        }
        bool printed = false;
        {
            TerminalProgress progress(QStringLiteral("print"));
            printed = stats::printToPdf(report, pdf, stats::allPages(report), &progress);
        }
        if (!printed) {
            err(QStringLiteral("stopped; nothing was written"));
            return int(Failed);
        }
        out(QStringLiteral("%1 sermons on %2 pages\n").arg(report.rows().size()).arg(report.pageCount()));
        return int(Ok);
    });
}

const Registration statsCommand(
    {"stats", "DIR testament|old-books|new-books|form|direction|service|place [--format csv|json]",
     "the counts of the 통계 page over the sermons of the collection DIR: by testament, by book of the Old or the New "
     "Testament, or by sermon form (설교형식), direction (설교방향), kind of service (예배종류) or place (설교장소); "
     "label and count per line as CSV (the default) or a JSON array. Like the page, the testament and Old "
     "Testament counts store the Bible keys they derive from the references (unless the collection is read-only).",
     statistics});
const Registration printCommand(
    {"print", "DIR --layout 1..5 [--order TAG] [--overwrite] OUT.pdf",
     "the printed sermon list (설교목록 인쇄) of the collection DIR in one of its five layouts, into the PDF file "
     "OUT.pdf; in date order, or in the order of the index tag TAG (title1, date1, date2, BIBLENO). An existing "
     "OUT.pdf is refused unless --overwrite is given, and is replaced only when every page is printed.",
     print, true});

} // namespace
} // namespace verbana::cli
