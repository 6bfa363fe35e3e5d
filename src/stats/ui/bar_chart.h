// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/sermon_counts.h"

#include <QChartView>

class QAbstractButton;
class QBarSeries;
class QBarSet;
class QCategoryAxis;
class QValueAxis;

namespace verbana::stats::ui {

// The colour a point is drawn in: its own, or the next of the chart's
// automatic colours by its position.
QColor pointColour(const ChartPoints &points, size_t index);

// The bar chart of the statistics page: one bar per point in its own
// colour, drawn with a depth of a quarter of a bar position, its count on
// top and in the legend above the plot; a window of six bar positions that
// the two arrow buttons in the top-left corner move (repeating while held)
// and that can be dragged sideways; 리셋 puts the window back on the first
// six bars. Qt Charts lays out the plot and the category axis; the bars,
// their depth and the legend are painted over it.
class BarChart : public QChartView {
    Q_OBJECT
public:
    static constexpr int kPositions = 6; // bar positions in the window
    static constexpr double kDepth = 0.25; // depth, as a share of a bar position

    explicit BarChart(QWidget *parent = nullptr);
    ~BarChart() override;

    void clear();
    void setPoints(const ChartPoints &points);
    const ChartPoints &points() const { return points_; }

    // The window over the bar positions (bar i stands at i).
    double windowMin() const;
    double windowMax() const;
    // Moves the window by `positions` (positive: towards the later bars),
    // never beyond the first or the last bar.
    void moveWindow(double positions);
    // 리셋: bars as wide as the chart's width / 12 pixels, the first six
    // positions shown.
    void reset();
    int barWidthPixels() const { return barWidth_; }

    // The front face of bar i in view coordinates (empty when it is outside
    // the window).
    QRectF barRect(size_t index) const;
    QAbstractButton *leftButton() const { return btnLeft_; }
    QAbstractButton *rightButton() const { return btnRight_; }
    QAbstractButton *resetButton() const { return btnReset_; }

protected:
    void drawBackground(QPainter *painter, const QRectF &rect) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void setWindow(double min);
    double highestWindowMax() const;
    void fitMargins();
    void fitValueAxis();
    int depthPixels() const;
    int legendHeight() const;
    void paintLabels(QPainter *painter) const;
    void paintLegend(QPainter *painter) const;

    QChart *chart_ = nullptr;
    QBarSeries *series_ = nullptr;
    QBarSet *set_ = nullptr;
    QCategoryAxis *axisX_ = nullptr;
    QValueAxis *axisY_ = nullptr;
    QAbstractButton *btnLeft_ = nullptr, *btnRight_ = nullptr, *btnReset_ = nullptr;
    ChartPoints points_;
    int barWidth_ = 0;
    bool dragging_ = false;
    double dragStartX_ = 0, dragStartMin_ = 0;
};

} // namespace verbana::stats::ui
