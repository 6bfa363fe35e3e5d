// SPDX-License-Identifier: GPL-3.0-or-later
// The printed sermon lists read back from the PDF files they make
// (pdftotext -bbox-layout): the title, the captions and every value in the
// order in force, where each column starts in millimetres, values cut at
// their column's edge, the Bible text whole; only the gathered sermons;
// pages and their bands; a stopped print leaves an older file alone.
#include "../editing/editing_helpers.h"

#include "platform/cp949.h"
#include "search/gathering.h"
#include "stats/sermon_list_report.h"
#include "store/sermon_record.h"
#include "support/recorded_progress.h"

#include <QFile>
#include <QFont>
#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace verbana::test {
namespace {

using stats::ListPage;

constexpr double kMmPerPoint = 25.4 / 72;
constexpr double kSlack = 0.5; // mm

// A word as pdftotext places it, in millimetres from the paper's corner.
struct Word {
    int page = 0;
    double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    QString text;
};
// The words of one printed line, left to right.
using Line = std::vector<Word>;

// The lines of every page, top to bottom.
std::vector<std::vector<Line>> readBack(const QString &pdf)
{
    const QString html = pdf + QStringLiteral(".html");
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox-layout"), pdf, html});
    EXPECT_TRUE(run.waitForFinished(60000));
    EXPECT_EQ(run.exitCode(), 0) << run.readAllStandardError().constData();
    QFile file(html);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    std::vector<std::vector<Word>> words;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("page"))
            words.emplace_back();
        if (xml.name() == QLatin1String("word")) {
            const auto a = xml.attributes();
            const auto mm = [&](const char *n) { return a.value(QLatin1String(n)).toDouble() * kMmPerPoint; };
            words.back().push_back({int(words.size()), mm("xMin"), mm("yMin"), mm("xMax"), mm("yMax"),
                                    xml.readElementText()});
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    std::vector<std::vector<Line>> pages;
    for (auto &page : words) {
        std::sort(page.begin(), page.end(), [](const Word &a, const Word &b) {
            return std::abs(a.y1 - b.y1) > 1.5 ? a.y1 < b.y1 : a.x0 < b.x0;
        });
        std::vector<Line> lines;
        for (const Word &w : page) {
            if (lines.empty() || std::abs(lines.back().front().y1 - w.y1) > 1.5)
                lines.emplace_back();
            lines.back().push_back(w);
        }
        pages.push_back(std::move(lines));
    }
    return pages;
}

// The words of a line that start in [from, to), joined by blanks.
QString textBetween(const Line &line, double from, double to, const Word **last = nullptr)
{
    QStringList parts;
    for (const Word &w : line) {
        if (w.x0 >= from - kSlack && w.x0 < to - kSlack) {
            parts << w.text;
            if (last)
                *last = &w;
        }
    }
    return parts.join(QLatin1Char(' '));
}

struct Sermon {
    const char *date, *title, *bible, *subject, *stype, *aim;
};

// Record order; date order (the order in force) is 2, 3, 1, 4.
const Sermon kSermons[] = {
    {"2001.03.01", "사랑의 계명", "요13:34", "사랑", "강해", "교훈"},
    {"2001.01.01", "하나님의 나라와 그의 의를 먼저 구하라 그리하면 모든 것을", "창1:1", "창조와 섭리", "주제", "권면"},
    // The Bible text runs past the next columns, left empty for it.
    {"2001.02.01", "Grace alone", "창세기1:1-2:3,요한복음1:1-18", "", "", ""},
    {"2001.04.01", "믿음", "히11:1", "Faith", "본문", "위로"},
};
const int kDateOrder[] = {1, 2, 0, 3};

class SermonListPrint : public ::testing::TestWithParam<int> {
protected:
    static void SetUpTestSuite()
    {
        // The program's substitution for the Windows font (see fonts.cpp).
        QFont::insertSubstitutions(QStringLiteral("굴림체"),
                                   {QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic")});
    }
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
        std::vector<SermonRow> rows;
        for (const Sermon &s : kSermons)
            rows.push_back({s.date, s.title, "", s.bible});
        c = std::make_unique<TestCollection>(rows);
        for (uint32_t r = 1; r <= std::size(kSermons); ++r) {
            const Sermon &s = kSermons[r - 1];
            c->table().Go(r);
            c->table().Edit();
            c->table().PutString(store::fSUBJECT, cp(s.subject));
            c->table().PutString(store::fSTYPE, cp(s.stype));
            c->table().PutString(store::fAIM, cp(s.aim));
            c->table().Post();
        }
    }
    // Lists what is in view a few sermons at a time and prints it all.
    std::vector<std::vector<Line>> print(int layout, const QString &title = QStringLiteral("GRACE 설교목록"))
    {
        stats::SermonListReport report(c->table(), stats::listLayout(layout), title);
        {
            stats::ViewListing listing(c->table());
            while (!listing.step(2))
                report.setRows(listing.rows());
            report.setRows(listing.takeRows());
        }
        const QString pdf = c->programFolder() + QStringLiteral("/list.pdf");
        EXPECT_TRUE(stats::printToPdf(report, pdf, stats::allPages(report)));
        return readBack(pdf);
    }
    static QString field(const Sermon &s, int f)
    {
        switch (f) {
        case store::fDATE1: return QString::fromUtf8(s.date);
        case store::fTITLE1: return QString::fromUtf8(s.title);
        case store::fBIBLE1: return QString::fromUtf8(s.bible);
        case store::fSUBJECT: return QString::fromUtf8(s.subject);
        case store::fSTYPE: return QString::fromUtf8(s.stype);
        default: return QString::fromUtf8(s.aim);
        }
    }
    std::unique_ptr<TestCollection> c;
};

TEST_P(SermonListPrint, PrintsTitleCaptionsAndEveryValueWhereItsColumnIs)
{
    const stats::ListLayout &layout = stats::listLayout(GetParam());
    const double left = layout.leftMargin;
    const auto pages = print(GetParam());
    ASSERT_EQ(pages.size(), 1u);
    const auto &lines = pages[0];
    ASSERT_EQ(lines.size(), 2 + std::size(kSermons));

    // The title, centred in its box.
    const Line &title = lines[0];
    EXPECT_EQ(textBetween(title, 0, 300), QStringLiteral("GRACE 설교목록"));
    EXPECT_NEAR((title.front().x0 + title.back().x1) / 2, left + ListPage::kTitleLeft + ListPage::kTitleWidth / 2,
                kSlack);

    // The captions, each where it starts.
    const Line &captions = lines[1];
    for (size_t i = 0; i < layout.captions.size(); ++i) {
        const double from = left + layout.captions[i].x;
        const double to = i + 1 < layout.captions.size() ? left + layout.captions[i + 1].x : 300;
        EXPECT_EQ(textBetween(captions, from, to), layout.captions[i].text) << i;
        const auto first = std::find_if(captions.begin(), captions.end(), [&](const Word &w) { return w.x0 >= from - kSlack; });
        ASSERT_NE(first, captions.end());
        EXPECT_NEAR(first->x0, from, kSlack) << i;
    }

    // Every value, sermon by sermon in date order: whole and where its
    // column starts, or cut at the column's right edge.
    auto values = layout.values;
    std::sort(values.begin(), values.end(), [](const auto &a, const auto &b) { return a.x < b.x; });
    for (size_t row = 0; row < std::size(kSermons); ++row) {
        const Sermon &s = kSermons[kDateOrder[row]];
        const Line &line = lines[2 + row];
        for (size_t i = 0; i < values.size(); ++i) {
            const stats::ListValue &v = values[i];
            const double from = left + v.x;
            const double to = i + 1 < values.size() ? left + values[i + 1].x : 300;
            const QString expected = field(s, v.field);
            const Word *last = nullptr;
            const QString printed = textBetween(line, from, to, &last);
            SCOPED_TRACE(testing::Message() << "row " << row << " field " << v.field);
            if (expected.isEmpty()) {
                EXPECT_EQ(printed, QString());
                continue;
            }
            ASSERT_NE(last, nullptr);
            const auto first = std::find_if(line.begin(), line.end(), [&](const Word &w) { return w.x0 >= from - kSlack; });
            EXPECT_NEAR(first->x0, from, kSlack);
            const bool cutHere = !v.grows() && v.field == store::fTITLE1 && kDateOrder[row] == 1;
            if (cutHere) {
                // A proper start of the title, ending at most one character
                // short of the edge and never past it.
                EXPECT_TRUE(expected.startsWith(printed)) << printed.toStdString();
                EXPECT_LT(printed.size(), expected.size());
                EXPECT_LE(last->x1, from + v.width + 0.1);
                EXPECT_GT(last->x1, from + v.width - 3.6);
            } else {
                EXPECT_EQ(printed, expected);
                if (!v.grows()) {
                    EXPECT_LE(last->x1, from + v.width + 0.1);
                }
            }
            if (v.field == store::fBIBLE1 && kDateOrder[row] == 2) {
                // The Bible text grows past where the next column starts.
                ASSERT_LT(i + 1, values.size());
                EXPECT_GT(last->x1, left + values[i + 1].x);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FiveLayouts, SermonListPrint, ::testing::Values(1, 2, 3, 4, 5));

TEST_F(SermonListPrint, AGatheringOfThreePrintsThoseThreeOverPagesOfFixedBands)
{
    search::markGathered(c->table(), {1, 3, 4});
    c->table().Go(3);
    auto pages = print(2);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 5u);
    const QStringList dates{QStringLiteral("2001.02.01"), QStringLiteral("2001.03.01"), QStringLiteral("2001.04.01")};
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(pages[0][size_t(2 + row)].front().text, dates[row]);
    EXPECT_EQ(c->table().RecNo(), 3u);
    EXPECT_FALSE(c->table().ControlsDisabled());

    // 36 sermons under the title on the first page, 39 on the others, the
    // captions on every page, the title on the first only.
    c->table().Query(QByteArray());
    for (int i = 0; i < 80 - 4; ++i) {
        c->table().Append();
        c->table().PutString(store::fDATE1, QByteArray("2002.01.01"));
        c->table().PutString(store::fTITLE1, QByteArray::number(i));
        c->table().Post();
    }
    pages = print(2);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].size(), 2u + 36);
    EXPECT_EQ(pages[1].size(), 1u + 39);
    EXPECT_EQ(pages[2].size(), 1u + 5);
    EXPECT_EQ(pages[1][0].front().text, QStringLiteral("작성일"));
    EXPECT_NEAR(pages[1][1].front().y0 - pages[1][0].front().y0, ListPage::kHeaderBand, kSlack);
    EXPECT_NEAR(pages[1][2].front().y0 - pages[1][1].front().y0, ListPage::kDetailBand, kSlack);
    EXPECT_EQ(ListPage::pageCount(0), 0);
}

TEST_F(SermonListPrint, TitlesFromTheFolderAndAStoppedPrintLeavesTheOldFile)
{
    EXPECT_EQ(stats::listTitle(QStringLiteral("/p/sermons2001")), QStringLiteral("SERMONS2001 설교목록"));
    EXPECT_EQ(stats::listTitle(QStringLiteral("/p/주일설교b")), QStringLiteral("주일설교B 설교목록"));

    stats::SermonListReport report(c->table(), stats::listLayout(1), QStringLiteral("x"));
    std::vector<uint32_t> many(100, 1);
    report.setRows(many);
    const QString pdf = c->programFolder() + QStringLiteral("/old.pdf");
    {
        QFile old(pdf);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    RecordedProgress stopAtTwo([&](const Progress::Report &r) {
        if (r.done == 2)
            stopAtTwo.requestStop();
    });
    EXPECT_FALSE(stats::printToPdf(report, pdf, stats::allPages(report), &stopAtTwo));
    EXPECT_EQ(stopAtTwo.done().back(), 2u);
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
}

} // namespace
} // namespace verbana::test
