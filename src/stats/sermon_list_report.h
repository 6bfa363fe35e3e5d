// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class QPagedPaintDevice;
class QPainter;

namespace verbana {
class Progress;
}
namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class BatchScope;
class ViewWalk;
}

// The printed sermon list (설교목록 인쇄): one line per sermon in view, in
// the order in force, in one of five column layouts on A4 portrait paper
// measured in millimetres. No widgets: the preview window shows the pages
// this paints, and printers and PDF files take the same pages.
namespace verbana::stats {

// A caption of the column header band: its text and where it starts.
struct ListCaption {
    QString text;
    double x = 0; // mm from the left margin
};

// A value of the detail band: its field, where it starts and how wide its
// column is (0: the box grows with its text, which is printed whole).
struct ListValue {
    int field = 0;
    double x = 0; // mm from the left margin
    double width = 0; // mm; 0 = grows
    int pointSize = 10;
    bool grows() const { return width <= 0; }
};

struct ListLayout {
    int number = 0; // 1..5, as the menu numbers them
    QString menuCaption; // the item of 설교목록 인쇄
    double leftMargin = 20; // mm
    double printWidth = 170.1; // mm
    std::vector<ListCaption> captions;
    std::vector<ListValue> values;
};

// The page and its bands, in millimetres.
struct ListPage {
    static constexpr double kWidth = 210.0, kHeight = 297.0;
    static constexpr double kTopMargin = 20.0, kBottomMargin = 20.0;
    static constexpr double kTitleBand = 17.7, kTitleTop = 5.3, kTitleLeft = 9.8, kTitleWidth = 150.5;
    static constexpr int kTitlePoints = 20;
    static constexpr double kHeaderBand = 6.9, kDetailBand = 6.3, kTextTop = 1.1;
    static constexpr int kCaptionPoints = 10;
    // Detail bands that fit under the title and header bands on the first
    // page, and under the header band on the others.
    static int rowsOnFirstPage();
    static int rowsOnLaterPages();
    // Pages for `rows` sermons: none for none.
    static int pageCount(uint32_t rows);
};

// The five layouts; `number` outside 1..5 gives layout 1.
const ListLayout &listLayout(int number);
// The reports' own title: the name of print jobs and of the preview.
QString reportTitle();
// The list title: the collection's label (its folder's own name, a..z
// upper-cased) followed by " 설교목록".
QString listTitle(const QString &collectionFolder);
// The font the list is printed in: 굴림체, which the program substitutes.
QString listFontFamily();

// Lists the sermons in view, first to last in the order in force, a few at
// a time so that events can run between the steps. While it lives the
// table is kept quiet (store::BatchScope), which puts the sermon current
// before it back when it ends. It refuses (done at once, nothing
// listed) while a sermon is being added or edited: the walk would have to
// post or drop it.
class ViewListing {
public:
    explicit ViewListing(xbase::TApolloTable &table);
    ~ViewListing();
    ViewListing(const ViewListing &) = delete;
    ViewListing &operator=(const ViewListing &) = delete;

    bool refused() const { return refused_; }
    // Walks up to `count` more sermons; true when the last one is listed
    // (the table is then left as found).
    bool step(uint32_t count);
    bool done() const { return done_; }
    // The sermons in view (for the progress: may be counted once, at start).
    uint32_t total() const { return total_; }
    const std::vector<uint32_t> &rows() const { return rows_; }
    std::vector<uint32_t> takeRows() { return std::move(rows_); }

private:
    void finish();

    xbase::TApolloTable &table_;
    std::unique_ptr<store::BatchScope> quiet_;
    std::unique_ptr<store::ViewWalk> walk_;
    std::vector<uint32_t> rows_;
    uint32_t total_ = 0;
    bool refused_ = false;
    bool done_ = false;
};

// The pages of one list: the layout, the title and the record numbers of
// the sermons listed, in order. Values are read from the table's file by
// record number when a page is painted, so pages are laid out only when
// they are shown or printed.
class SermonListReport {
public:
    SermonListReport(xbase::TApolloTable &table, const ListLayout &layout, QString title);

    const ListLayout &layout() const { return layout_; }
    const QString &title() const { return title_; }
    // The rows listed so far; more may follow while the listing goes on.
    void setRows(std::vector<uint32_t> rows) { rows_ = std::move(rows); }
    const std::vector<uint32_t> &rows() const { return rows_; }
    int pageCount() const { return ListPage::pageCount(uint32_t(rows_.size())); }
    // Whether page `page` (0-based) has all its rows among those listed.
    bool pageComplete(int page, bool listingDone) const;

    // Paints page `page` (0-based) with `painter`, whose device's top-left
    // corner is the paper's; millimetres and points follow the device's
    // resolution.
    void paintPage(QPainter &painter, int page) const;

    // The longest start of `text`, in whole characters, that fits into
    // `width` millimetres at `points` in the list's font (the text itself
    // when it fits).
    static QString cut(const QString &text, double width, int points);

private:
    QString value(const QByteArray &record, int field) const;

    xbase::TApolloTable &table_;
    const ListLayout &layout_;
    QString title_;
    std::vector<uint32_t> rows_;
};

// Prints the pages `pages` (0-based, in order) of `report` on `device`
// (a printer or a PDF writer set up for A4 portrait): each page begins on a
// new sheet. `progress` is started with the number of pages and ticked after
// each; a stop asked for there ends the printing after the page at hand:
// false then (the pages so far are printed; the caller throws them away).
bool printPages(const SermonListReport &report, QPagedPaintDevice &device, const std::vector<int> &pages,
                Progress *progress = nullptr);

// Every page of `report`, in order (0-based).
std::vector<int> allPages(const SermonListReport &report);

// Prints the pages `pages` of `report` into the PDF file `path`, written
// beside it first and put in place only when every page is printed, so that
// a stop or a failure leaves a file already there as it was. False when
// stopped; EUserError when the file cannot be written. No pages, nothing
// written.
bool printToPdf(const SermonListReport &report, const QString &path, const std::vector<int> &pages,
                Progress *progress = nullptr);

} // namespace verbana::stats
