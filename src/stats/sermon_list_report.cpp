// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/sermon_list_report.h"

#include "platform/cp949.h"
#include "platform/progress.h"
#include "platform/user_error.h"
#include "store/batch_scope.h"
#include "store/collection_files.h"
#include "store/view_walk.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/dbf_format.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <cmath>

namespace verbana::stats {

using namespace store;

namespace {

std::array<ListLayout, 5> makeLayouts()
{
    const auto s = [](const char *utf8) { return QString::fromUtf8(utf8); };
    std::array<ListLayout, 5> l;
    l[0] = {1, s("제목+성경+주제+형식+방향"), 20, 170.1,
            {{s("설교 제목"), 20.1}, {s("성경구절"), 70.9}, {s("주제"), 97.4}, {s("설교형식"), 129.1}, {s("설교방향"), 150.3}},
            {{fTITLE1, 1.1, 64.8}, {fBIBLE1, 72.0, 0}, {fSUBJECT, 88.9, 35.2}, {fSTYPE, 128.1, 19.3}, {fAIM, 150.3, 17.2}}};
    l[1] = {2, s("작성일+제목+성경+형식+방향"), 20, 170.1,
            {{s("작성일"), 2.1}, {s("설교 제목"), 41.3}, {s("성경구절"), 101.6}, {s("설교형식"), 125.9}, {s("설교방향"), 150.3}},
            {{fDATE1, 1.1, 19.3, 9}, {fTITLE1, 23.3, 71.2}, {fBIBLE1, 102.7, 0}, {fSTYPE, 124.9, 20.4}, {fAIM, 150.3, 17.2}}};
    l[2] = {3, s("작성일+제목+성경+주제+방향"), 20, 170.1,
            {{s("작성일"), 1.1}, {s("설교 제목"), 42.3}, {s("성경구절"), 93.1}, {s("주제"), 119.6}, {s("설교방향"), 150.3}},
            {{fDATE1, 1.1, 19.3, 9}, {fTITLE1, 23.3, 64.8}, {fBIBLE1, 94.2, 0}, {fSUBJECT, 111.1, 35.2}, {fAIM, 150.3, 17.2}}};
    l[3] = {4, s("작성일+제목+성경+주제+형식"), 20, 170.1,
            {{s("작성일"), 1.1}, {s("설교 제목"), 42.3}, {s("성경구절"), 93.1}, {s("주제"), 119.6}, {s("설교형식"), 150.3}},
            {{fDATE1, 1.1, 19.3, 9}, {fTITLE1, 23.3, 64.8}, {fBIBLE1, 94.2, 0}, {fSUBJECT, 111.1, 35.2}, {fSTYPE, 150.3, 17.2}}};
    // Layout 5 has the narrower margins; form and direction share a caption.
    l[4] = {5, s("작성일+제목+성경+주제+형식+방향"), 16, 178.1,
            {{s("작성일"), 1.1}, {s("설교 제목"), 39.2}, {s("성경"), 90.0}, {s("주제"), 111.1}, {s("형식/방향"), 147.1}},
            {{fDATE1, 1.1, 18.3, 9}, {fTITLE1, 20.1, 64.8}, {fBIBLE1, 90.0, 0}, {fSUBJECT, 104.8, 35.2}, {fSTYPE, 143.9, 0},
             {fAIM, 161.9, 0}}};
    return l;
}

QFont listFont(int points)
{
    QFont f(listFontFamily());
    f.setPointSize(points);
    f.setStyleHint(QFont::TypeWriter);
    // Outlines as designed, so widths are the same on screen and on paper.
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}

// The device every cut is measured on, so a line is cut alike on the
// screen, on a printer and in a PDF file.
const QPaintDevice &measuringDevice()
{
    static const QImage device = [] {
        QImage image(1, 1, QImage::Format_RGB32);
        const int dotsPerMetre = int(std::lround(1200 / 0.0254));
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
        return image;
    }();
    return device;
}

// The metrics of the list's font at `points` on the measuring device, and
// its millimetres per unit, made once per size.
struct Measure {
    QFontMetricsF metrics;
    double mmPerUnit;
};
const Measure &measure(int points)
{
    static std::vector<std::pair<int, std::unique_ptr<Measure>>> made;
    for (const auto &[size, m] : made) {
        if (size == points)
            return *m;
    }
    const QPaintDevice &device = measuringDevice();
    made.emplace_back(points, std::make_unique<Measure>(
                                  Measure{QFontMetricsF(listFont(points), &device), 25.4 / device.logicalDpiX()}));
    return *made.back().second;
}

// Millimetres to the device's units.
struct DeviceScale {
    double x, y;
    explicit DeviceScale(const QPaintDevice &d) : x(d.logicalDpiX() / 25.4), y(d.logicalDpiY() / 25.4) {}
};

} // namespace

int ListPage::rowsOnFirstPage()
{
    return int((kHeight - kTopMargin - kBottomMargin - kTitleBand - kHeaderBand) / kDetailBand);
}

int ListPage::rowsOnLaterPages() { return int((kHeight - kTopMargin - kBottomMargin - kHeaderBand) / kDetailBand); }

int ListPage::pageCount(uint32_t rows)
{
    const auto first = uint32_t(rowsOnFirstPage());
    if (rows == 0)
        return 0;
    if (rows <= first)
        return 1;
    const auto later = uint32_t(rowsOnLaterPages());
    return int(1 + (rows - first + later - 1) / later);
}

const ListLayout &listLayout(int number)
{
    static const std::array<ListLayout, 5> layouts = makeLayouts();
    return layouts[size_t(number >= 1 && number <= 5 ? number - 1 : 0)];
}

QString reportTitle() { return QStringLiteral("설교목록"); }

QString listTitle(const QString &collectionFolder)
{
    return CollectionLabel(collectionFolder) + QStringLiteral(" 설교목록");
}

QString listFontFamily() { return QStringLiteral("굴림체"); }

// ---- ViewListing ----

ViewListing::ViewListing(xbase::TApolloTable &table) : table_(table)
{
    if (!table_.Active() || table_.State() != xbase::TableState::Browse) {
        refused_ = done_ = true;
        return;
    }
    quiet_ = std::make_unique<store::BatchScope>(table_, store::BatchScope::Options{.busyCursor = false});
    try {
        total_ = table_.Count();
        walk_ = std::make_unique<store::ViewWalk>(table_);
    } catch (...) {
        finish();
        throw;
    }
}

ViewListing::~ViewListing() { finish(); }

bool ViewListing::step(uint32_t count)
{
    if (done_)
        return true;
    try {
        for (uint32_t i = 0; i < count; ++i) {
            if (walk_->done()) {
                finish();
                return true;
            }
            rows_.push_back(walk_->record());
            walk_->next();
        }
    } catch (...) {
        finish();
        throw;
    }
    return false;
}

void ViewListing::finish()
{
    done_ = true;
    walk_.reset();
    quiet_.reset();
}

// ---- SermonListReport ----

SermonListReport::SermonListReport(xbase::TApolloTable &table, const ListLayout &layout, QString title)
    : table_(table), layout_(layout), title_(std::move(title))
{
}

bool SermonListReport::pageComplete(int page, bool listingDone) const
{
    if (listingDone)
        return page >= 0 && page < pageCount();
    const int first = ListPage::rowsOnFirstPage();
    const size_t end = size_t(page == 0 ? first : first + page * ListPage::rowsOnLaterPages());
    return page >= 0 && rows_.size() >= end;
}

QString SermonListReport::cut(const QString &text, double width, int points)
{
    const Measure &m = measure(points);
    const double room = width / m.mmPerUnit;
    if (m.metrics.horizontalAdvance(text) <= room)
        return text;
    // The boundaries between whole characters, then the last that fits.
    std::vector<qsizetype> ends;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isHighSurrogate())
            ends.push_back(i + 1);
    }
    size_t lo = 0, hi = ends.size(); // ends[0..lo) fit, ends[hi..) do not
    while (lo < hi) {
        const size_t mid = (lo + hi) / 2;
        if (m.metrics.horizontalAdvance(text.first(ends[mid])) <= room)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo == 0 ? QString() : text.first(ends[lo - 1]);
}

QString SermonListReport::value(const QByteArray &record, int field) const
{
    const auto &fields = table_.fields();
    if (field < 1 || size_t(field) > fields.size())
        return {};
    const auto &f = fields[size_t(field - 1)];
    if (f.offset + f.length > record.size())
        return {};
    return cp949::decode(cp949::trimRight(QByteArrayView(record).sliced(f.offset, f.length)));
}

void SermonListReport::paintPage(QPainter &painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    const DeviceScale mm(*painter.device());
    // The three sizes the list uses, with their ascent on this device.
    struct Face {
        int points;
        QFont font;
        double ascent;
    };
    std::vector<Face> faces;
    for (int points : {ListPage::kTitlePoints, ListPage::kCaptionPoints, 9}) {
        const QFont font = listFont(points);
        faces.push_back({points, font, QFontMetricsF(font, painter.device()).ascent()});
    }
    const Face *inUse = nullptr;
    const auto text = [&](double x, double y, int points, const QString &s) {
        if (!inUse || inUse->points != points) {
            inUse = &*std::find_if(faces.begin(), faces.end(), [&](const Face &f) { return f.points == points; });
            painter.setFont(inUse->font);
        }
        const double baseline = y * mm.y + inUse->ascent;
        if (!s.contains(QLatin1Char(' '))) {
            painter.drawText(QPointF(x * mm.x, baseline), s);
            return;
        }
        // Word by word, each where the whole line puts it: a blank drawn
        // in this font reads back from a PDF file as a control character.
        const Measure &m = measure(points);
        qsizetype start = 0;
        while (start < s.size()) {
            qsizetype end = s.indexOf(QLatin1Char(' '), start);
            if (end < 0)
                end = s.size();
            if (end > start) {
                const double offset = m.metrics.horizontalAdvance(s.first(start)) * m.mmPerUnit;
                painter.drawText(QPointF((x + offset) * mm.x, baseline), s.sliced(start, end - start));
            }
            start = end + 1;
        }
    };
    const double left = layout_.leftMargin;
    double top = ListPage::kTopMargin;
    painter.save();
    painter.setPen(Qt::black);
    if (page == 0) {
        // The title, centred in its box.
        const QString title = cut(title_, ListPage::kTitleWidth, ListPage::kTitlePoints);
        const Measure &m = measure(ListPage::kTitlePoints);
        const double titleWidth = m.metrics.horizontalAdvance(title) * m.mmPerUnit;
        text(left + ListPage::kTitleLeft + (ListPage::kTitleWidth - titleWidth) / 2, top + ListPage::kTitleTop,
             ListPage::kTitlePoints, title);
        top += ListPage::kTitleBand;
    }
    for (const ListCaption &c : layout_.captions)
        text(left + c.x, top + ListPage::kTextTop, ListPage::kCaptionPoints, c.text);
    top += ListPage::kHeaderBand;

    const size_t first = page == 0 ? 0 : size_t(ListPage::rowsOnFirstPage() + (page - 1) * ListPage::rowsOnLaterPages());
    const size_t count = size_t(page == 0 ? ListPage::rowsOnFirstPage() : ListPage::rowsOnLaterPages());
    QByteArray record;
    for (size_t row = first; row < std::min(rows_.size(), first + count); ++row) {
        if (!table_.dbf() || !table_.dbf()->readRecord(rows_[row], record).isOk())
            record.clear();
        for (const ListValue &v : layout_.values) {
            const QString s = value(record, v.field);
            if (s.isEmpty())
                continue;
            text(left + v.x, top + ListPage::kTextTop, v.pointSize, v.grows() ? s : cut(s, v.width, v.pointSize));
        }
        top += ListPage::kDetailBand;
    }
    painter.restore();
}

// ---- printing ----

bool printPages(const SermonListReport &report, QPagedPaintDevice &device, const std::vector<int> &pages,
                Progress *progress)
{
    if (pages.empty())
        return true;
    QPainter painter;
    if (!painter.begin(&device))
        throw EUserError(QStringLiteral("인쇄를 시작할 수 없습니다."));
    if (progress)
        progress->start(pages.size());
    bool first = true;
    for (int page : pages) {
        if (!first)
            device.newPage();
        first = false;
        report.paintPage(painter, page);
        if (progress) {
            progress->tick();
            if (progress->stopRequested()) {
                painter.end();
                return false;
            }
        }
    }
    painter.end();
    return true;
}

std::vector<int> allPages(const SermonListReport &report)
{
    std::vector<int> pages(size_t(report.pageCount()));
    for (size_t i = 0; i < pages.size(); ++i)
        pages[i] = int(i);
    return pages;
}

bool printToPdf(const SermonListReport &report, const QString &path, const std::vector<int> &pages,
                Progress *progress)
{
    if (pages.empty())
        return true;
    QSaveFile file(path);
    const auto refuse = [&] {
        return EUserError(QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(path));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw refuse();
    bool finished = false;
    {
        QPdfWriter writer(&file);
        writer.setTitle(reportTitle());
        writer.setCreator(QStringLiteral("Verbana"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                         QPageLayout::Millimeter));
        finished = printPages(report, writer, pages, progress);
    }
    if (!finished) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit())
        throw refuse();
    return true;
}

} // namespace verbana::stats
