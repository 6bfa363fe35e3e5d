// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/bar_chart.h"

#include "platform/described.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QGraphicsLayout>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <QValueAxis>

#include <algorithm>
#include <array>
#include <cmath>

namespace verbana::stats::ui {

namespace {

// The automatic colours, in the order the points take them.
const std::array<QColor, 12> kAutomatic = {
    QColor(0xE5, 0x39, 0x35), QColor(0x43, 0xA0, 0x47), QColor(0xFD, 0xD8, 0x35), QColor(0x1E, 0x88, 0xE5),
    QColor(0xFB, 0x8C, 0x00), QColor(0x8E, 0x24, 0xAA), QColor(0x00, 0xAC, 0xC1), QColor(0xD8, 0x1B, 0x60),
    QColor(0x7C, 0xB3, 0x42), QColor(0x39, 0x49, 0xAB), QColor(0x6D, 0x4C, 0x41), QColor(0x75, 0x75, 0x75),
};

constexpr int kButtonRow = 24; // height of the corner buttons' row

QToolButton *cornerButton(QWidget *parent, const QString &name, const QString &objectName)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(objectName);
    b->setFocusPolicy(Qt::NoFocus);
    describe(b, name);
    return b;
}

} // namespace

QColor pointColour(const ChartPoints &points, size_t index)
{
    if (index < points.size() && points[index].colour.isValid())
        return points[index].colour;
    return kAutomatic[index % kAutomatic.size()];
}

BarChart::BarChart(QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("chBar"));
    chart_ = new QChart;
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setBackgroundVisible(false);
    chart_->setBackgroundRoundness(0);
    chart_->legend()->hide();
    chart_->layout()->setContentsMargins(0, 0, 0, 0);

    series_ = new QBarSeries;
    series_->setName(QStringLiteral("횟수"));
    // The series carries the counts and the geometry; its bars are painted
    // over it in their own colours and with their depth.
    set_ = new QBarSet(QStringLiteral("횟수"));
    set_->setColor(Qt::transparent);
    set_->setBorderColor(Qt::transparent);
    series_->append(set_);
    chart_->addSeries(series_);

    axisX_ = new QCategoryAxis;
    axisX_->setStartValue(-0.5);
    axisX_->setLabelsPosition(QCategoryAxis::AxisLabelsPositionCenter);
    axisX_->setGridLineVisible(false);
    // The labels are painted under the bars, each cut to its position's
    // width (the axis would cut every one to "..." in a narrow chart).
    axisX_->setLabelsVisible(false);
    axisX_->setLinePen(QPen(QColor(0x60, 0x60, 0x60)));
    axisY_ = new QValueAxis;
    axisY_->setVisible(false);
    axisY_->setRange(0, 1);
    chart_->addAxis(axisX_, Qt::AlignBottom);
    chart_->addAxis(axisY_, Qt::AlignLeft);
    series_->attachAxis(axisX_);
    series_->attachAxis(axisY_);
    axisX_->setRange(-0.5, kPositions - 0.5);
    connect(chart_, &QChart::plotAreaChanged, this, [this] { fitValueAxis(); });

    setChart(chart_);
    setRenderHint(QPainter::Antialiasing);
    setBackgroundBrush(Qt::white);
    setFrameShape(QFrame::NoFrame);

    // The left arrow shows the later bars, the right one the earlier: the
    // bars move the way the arrow points. Held down, they repeat every 400 ms.
    auto *left = cornerButton(this, QStringLiteral("다음 막대"), QStringLiteral("btnBarLeft"));
    left->setArrowType(Qt::LeftArrow);
    auto *right = cornerButton(this, QStringLiteral("이전 막대"), QStringLiteral("btnBarRight"));
    right->setArrowType(Qt::RightArrow);
    for (QToolButton *b : {left, right}) {
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(400);
        b->setFixedSize(22, 20);
    }
    auto *back = cornerButton(this, QStringLiteral("리셋"), QStringLiteral("btnBarReset"));
    back->setText(QStringLiteral("리셋"));
    back->setFixedHeight(20);
    left->move(2, 2);
    right->move(26, 2);
    back->move(50, 2);
    btnLeft_ = left;
    btnRight_ = right;
    btnReset_ = back;
    connect(left, &QToolButton::clicked, this, [this] { moveWindow(1); });
    connect(right, &QToolButton::clicked, this, [this] { moveWindow(-1); });
    connect(back, &QToolButton::clicked, this, [this] { reset(); });

    fitMargins();
    reset();
}

BarChart::~BarChart() = default;

void BarChart::clear() { setPoints({}); }

void BarChart::setPoints(const ChartPoints &points)
{
    points_ = points;
    set_->remove(0, set_->count());
    const QStringList labels = axisX_->categoriesLabels();
    for (const QString &label : labels)
        axisX_->remove(label);
    QList<qreal> counts;
    for (size_t i = 0; i < points_.size(); ++i) {
        counts.append(points_[i].count);
        axisX_->append(points_[i].label, double(i) + 0.5);
    }
    set_->append(counts);
    setWindow(windowMin());
    fitValueAxis();
    viewport()->update();
}

double BarChart::windowMin() const { return axisX_->min(); }

double BarChart::windowMax() const { return axisX_->max(); }

double BarChart::highestWindowMax() const { return std::max(kPositions - 0.5, double(points_.size()) - 0.5); }

void BarChart::setWindow(double min)
{
    min = std::clamp(min, -0.5, highestWindowMax() - kPositions);
    axisX_->setRange(min, min + kPositions);
    viewport()->update();
}

void BarChart::moveWindow(double positions) { setWindow(windowMin() + positions); }

void BarChart::reset()
{
    barWidth_ = width() / 12;
    setWindow(-0.5);
}

int BarChart::depthPixels() const
{
    // A quarter of a bar position, the plot being the width less the side
    // margins and the depth itself.
    return int(std::lround(kDepth * std::max(0, width() - 8) / (kPositions + kDepth)));
}

void BarChart::fitMargins()
{
    // The top margin holds the corner buttons, the legend beside them and
    // the depth of the back wall; the bottom one the labels.
    const int d = depthPixels();
    const QMargins margins(4, kButtonRow + 4 + d, 4 + d, fontMetrics().height() + 6);
    if (chart_->margins() != margins)
        chart_->setMargins(margins);
}

void BarChart::fitValueAxis()
{
    // The tallest bar leaves room above it for its depth and its count.
    uint32_t highest = 0;
    for (const ChartPoint &p : points_)
        highest = std::max(highest, p.count);
    const double height = chart_->plotArea().height();
    const double room = depthPixels() + fontMetrics().height() + 4;
    if (highest == 0 || height <= 0) {
        axisY_->setRange(0, 1);
        return;
    }
    axisY_->setRange(0, highest * height / std::max(height - room, height * 0.3));
}

QRectF BarChart::barRect(size_t index) const
{
    if (index >= points_.size())
        return {};
    const double at = double(index);
    if (at + 0.5 <= windowMin() || at - 0.5 >= windowMax())
        return {};
    const QPointF base = chart_->mapToScene(chart_->mapToPosition(QPointF(at, 0), series_));
    const QPointF top = chart_->mapToScene(chart_->mapToPosition(QPointF(at, points_[index].count), series_));
    const double slot = chart_->plotArea().width() / kPositions;
    const double width = std::min<double>(barWidth_, slot * 0.8);
    return QRectF(base.x() - width / 2, top.y(), width, base.y() - top.y());
}

void BarChart::drawBackground(QPainter *painter, const QRectF &rect)
{
    painter->fillRect(rect, Qt::white);
    const QRectF plot = chart_->mapToScene(chart_->plotArea()).boundingRect();
    if (plot.isEmpty())
        return;
    const double d = depthPixels();
    const QPointF back(d, -d);
    // The back wall and the floor of the box the bars stand in.
    QLinearGradient wall(plot.topLeft(), plot.bottomLeft());
    wall.setColorAt(0, QColor(0xF4, 0xF4, 0xF8));
    wall.setColorAt(1, QColor(0xDD, 0xDD, 0xE6));
    painter->setPen(QPen(QColor(0xB0, 0xB0, 0xB8), 1));
    painter->setBrush(wall);
    painter->drawRect(plot.translated(back));
    const QPolygonF floor{plot.bottomLeft(), plot.bottomRight(), plot.bottomRight() + back, plot.bottomLeft() + back};
    painter->setBrush(QColor(0xC8, 0xC8, 0xD2));
    painter->drawPolygon(floor);
}

void BarChart::drawForeground(QPainter *painter, const QRectF &rect)
{
    Q_UNUSED(rect)
    const QRectF plot = chart_->mapToScene(chart_->plotArea()).boundingRect();
    const double d = depthPixels();
    const QPointF back(d, -d);
    painter->save();
    painter->setFont(font());
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setClipRect(plot.adjusted(0, -d - fontMetrics().height() - 4, d + 1, 1));
    // Left to right: a bar's front hides the side of the bar before it.
    for (size_t i = 0; i < points_.size(); ++i) {
        const QRectF front = barRect(i);
        if (front.isNull())
            continue;
        const QColor colour = pointColour(points_, i);
        painter->setPen(QPen(colour.darker(160), 1));
        painter->setBrush(colour);
        painter->drawRect(front);
        painter->setBrush(colour.lighter(125));
        painter->drawPolygon(
            QPolygonF{front.topLeft(), front.topRight(), front.topRight() + back, front.topLeft() + back});
        painter->setBrush(colour.darker(130));
        painter->drawPolygon(
            QPolygonF{front.topRight(), front.bottomRight(), front.bottomRight() + back, front.topRight() + back});
        // The count above the top face.
        const QString count = QString::number(points_[i].count);
        const QRectF label(front.left() - 20, front.top() - d - fontMetrics().height() - 2, front.width() + d + 40,
                           fontMetrics().height());
        painter->setPen(Qt::black);
        painter->drawText(label, Qt::AlignHCenter | Qt::AlignBottom, count);
    }
    painter->restore();
    paintLabels(painter);
    paintLegend(painter);
}

void BarChart::paintLabels(QPainter *painter) const
{
    const QRectF plot = chart_->mapToScene(chart_->plotArea()).boundingRect();
    const double slot = plot.width() / kPositions;
    const QFontMetrics fm = fontMetrics();
    painter->save();
    painter->setFont(font());
    painter->setPen(Qt::black);
    painter->setClipRect(QRectF(plot.left(), plot.bottom(), plot.width(), fm.height() + 6));
    for (size_t i = 0; i < points_.size(); ++i) {
        const QRectF front = barRect(i);
        if (front.isNull())
            continue;
        const QRectF cell(front.center().x() - slot / 2, plot.bottom() + 3, slot, fm.height());
        painter->drawText(cell, Qt::AlignHCenter | Qt::AlignTop,
                          fm.elidedText(points_[i].label, Qt::ElideRight, int(slot) - 2));
    }
    painter->restore();
}

int BarChart::legendHeight() const { return fontMetrics().height() + 6; }

void BarChart::paintLegend(QPainter *painter) const
{
    // The counts of the bars in the window, in their colours, framed at the
    // top right of the corner buttons.
    std::vector<size_t> shown;
    for (size_t i = 0; i < points_.size(); ++i)
        if (double(i) >= windowMin() && double(i) <= windowMax())
            shown.push_back(i);
    if (shown.empty())
        return;
    const QFontMetrics fm = fontMetrics();
    const int box = fm.height() - 4;
    std::vector<int> widths;
    int total = 6;
    for (size_t i : shown) {
        widths.push_back(box + 4 + fm.horizontalAdvance(QString::number(points_[i].count)) + 8);
        total += widths.back();
    }
    const int left = btnReset_->geometry().right() + 8;
    const int room = width() - left - 4;
    const int x0 = left + std::max(0, (room - total) / 2);
    const QRect frame(x0, 2, std::min(total, room), legendHeight());
    painter->save();
    painter->setFont(font());
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setClipRect(frame.adjusted(0, 0, 1, 1));
    painter->setPen(QColor(0x90, 0x90, 0x90));
    painter->setBrush(Qt::white);
    painter->drawRect(frame);
    int x = x0 + 6;
    for (size_t k = 0; k < shown.size(); ++k) {
        const size_t i = shown[k];
        const QColor colour = pointColour(points_, i);
        painter->setPen(colour.darker(160));
        painter->setBrush(colour);
        painter->drawRect(x, frame.top() + (frame.height() - box) / 2, box, box);
        painter->setPen(Qt::black);
        painter->drawText(QRect(x + box + 4, frame.top(), widths[k], frame.height()), Qt::AlignVCenter | Qt::AlignLeft,
                          QString::number(points_[i].count));
        x += widths[k];
    }
    painter->restore();
}

void BarChart::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        dragging_ = true;
        dragStartX_ = event->position().x();
        dragStartMin_ = windowMin();
        setCursor(Qt::ClosedHandCursor);
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void BarChart::mouseMoveEvent(QMouseEvent *event)
{
    if (dragging_) {
        const double plotWidth = chart_->plotArea().width();
        if (plotWidth > 0)
            setWindow(dragStartMin_ - (event->position().x() - dragStartX_) * kPositions / plotWidth);
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
}

void BarChart::mouseReleaseEvent(QMouseEvent *event)
{
    if (dragging_ && event->button() == Qt::LeftButton) {
        dragging_ = false;
        unsetCursor();
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void BarChart::resizeEvent(QResizeEvent *event)
{
    // The margins first, so that the chart is laid out once for the new size.
    fitMargins();
    QChartView::resizeEvent(event);
    fitValueAxis();
}

} // namespace verbana::stats::ui
