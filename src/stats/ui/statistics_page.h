// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "stats/sermon_counts.h"

#include <QWidget>

#include <functional>

class QAbstractButton;
class QButtonGroup;
class QChartView;
class QPrinter;
class QProgressBar;
class QStackedWidget;

namespace verbana::stats::ui {

class BarChart;
class PieChart;

// The statistics page (통계) of the main window: a dark-blue strip with the
// seven count buttons, the bar/pie switch, "그래프 인쇄" and a one-pixel
// progress line along its bottom edge, over the bar chart or the pie chart.
// The page counts nothing itself: a count button asks the counter the main
// window sets, which walks the sermons and hands the points back with
// showPoints().
class StatisticsPage : public QWidget {
    Q_OBJECT
public:
    // The count buttons by number: 0 for 신약/구약, 1 and 2 for the book
    // counts, 5 to 8 for the classification counts.
    static constexpr int kCountButtons[] = {0, 1, 2, 5, 6, 7, 8};

    explicit StatisticsPage(QWidget *parent = nullptr);
    ~StatisticsPage() override;

    // Runs the count of a button; true when it ran (the button then stays
    // pressed; otherwise the one pressed before is pressed again).
    using Counter = std::function<bool(int number)>;
    void setCounter(Counter counter) { counter_ = std::move(counter); }

    QAbstractButton *countButton(int number) const;
    // The number of the count button pressed; -1 before the first count.
    int pressed() const { return pressed_; }
    QProgressBar *progressLine() const { return progress_; }
    BarChart *barChart() const { return bar_; }
    PieChart *pieChart() const { return pie_; }
    bool barShown() const;
    void showBar(bool bar);

    // Both charts cleared, then the points given to the bar chart, its
    // window reset, and to the pie chart.
    void showPoints(const ChartPoints &points);

    // "그래프 인쇄": asks, lets the user choose the printer and prints the
    // chart shown as one page.
    void PrintChart();
    // The chart shown, scaled to the printable width of one page.
    void printShownChart(QPrinter &printer) const;

private:
    void countClicked(int number);
    void setPressed(int number);

    bool eventFilter(QObject *watched, QEvent *event) override;

    Counter counter_;
    int pressed_ = -1;
    // A click presses a button and toggles it; a press of the button
    // already down only clicks it. The accessible action toggles alone.
    bool wasDown_ = false;
    bool settingPressed_ = false;
    QButtonGroup *counts_ = nullptr;
    QAbstractButton *btnBar_ = nullptr, *btnPie_ = nullptr, *btnPrint_ = nullptr;
    QProgressBar *progress_ = nullptr;
    QStackedWidget *charts_ = nullptr;
    BarChart *bar_ = nullptr;
    PieChart *pie_ = nullptr;
};

} // namespace verbana::stats::ui
