// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/sermon_counts.h"

#include <QChartView>
#include <QTimer>

class QAbstractButton;
class QPieSeries;

namespace verbana::stats::ui {

// The pie chart of the statistics page: one slice per point in its colour,
// labelled with its category and count, no legend; "회전" turns the pie
// 2 degrees back every 100 ms until it is clicked again.
class PieChart : public QChartView {
    Q_OBJECT
public:
    explicit PieChart(QWidget *parent = nullptr);
    ~PieChart() override;

    void clear();
    void setPoints(const ChartPoints &points);
    const ChartPoints &points() const { return points_; }
    QPieSeries *series() const { return series_; }
    // The label a slice carries.
    static QString sliceLabel(const ChartPoint &point);

    QAbstractButton *rotateButton() const { return btnRotate_; }
    bool rotating() const { return timer_.isActive(); }
    // One step of the rotation: the pie turned by 358 degrees.
    void turn();
    double startAngle() const;

private:
    QPieSeries *series_ = nullptr;
    QAbstractButton *btnRotate_ = nullptr;
    ChartPoints points_;
    QTimer timer_;
};

} // namespace verbana::stats::ui
