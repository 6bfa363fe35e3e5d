// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/pie_chart.h"

#include "platform/described.h"
#include "stats/ui/bar_chart.h"

#include <QGraphicsLayout>
#include <QPieSeries>
#include <QPieSlice>
#include <QToolButton>

#include <cmath>

namespace verbana::stats::ui {

PieChart::PieChart(QWidget *parent) : QChartView(parent)
{
    setObjectName(QStringLiteral("chPie"));
    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setBackgroundRoundness(0);
    chart->legend()->hide();
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setMargins(QMargins(4, 26, 4, 4));
    series_ = new QPieSeries;
    series_->setName(QStringLiteral("횟수"));
    // Room around the pie for the labels on their arms.
    series_->setPieSize(0.5);
    chart->addSeries(series_);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setFrameShape(QFrame::NoFrame);

    auto *rotate = new QToolButton(this);
    rotate->setObjectName(QStringLiteral("btnRotate"));
    rotate->setText(QStringLiteral("회전"));
    rotate->setCheckable(true);
    rotate->setFocusPolicy(Qt::NoFocus);
    rotate->setFixedHeight(20);
    rotate->move(2, 2);
    describe(rotate, QStringLiteral("회전"));
    btnRotate_ = rotate;
    timer_.setInterval(100);
    connect(&timer_, &QTimer::timeout, this, [this] { turn(); });
    connect(rotate, &QToolButton::toggled, this, [this](bool on) {
        if (on)
            timer_.start();
        else
            timer_.stop();
    });
}

PieChart::~PieChart() = default;

QString PieChart::sliceLabel(const ChartPoint &point)
{
    return point.label + QStringLiteral(" ") + QString::number(point.count);
}

void PieChart::clear() { setPoints({}); }

void PieChart::setPoints(const ChartPoints &points)
{
    points_ = points;
    series_->clear();
    for (size_t i = 0; i < points_.size(); ++i) {
        auto *slice = new QPieSlice(sliceLabel(points_[i]), points_[i].count);
        const QColor colour = pointColour(points_, i);
        slice->setColor(colour);
        slice->setBorderColor(colour.darker(160));
        slice->setLabelVisible(true);
        series_->append(slice);
    }
}

double PieChart::startAngle() const { return series_->pieStartAngle(); }

void PieChart::turn()
{
    const double start = std::fmod(series_->pieStartAngle() + 358.0, 360.0);
    series_->setPieStartAngle(start);
    series_->setPieEndAngle(start + 360.0);
}

} // namespace verbana::stats::ui
