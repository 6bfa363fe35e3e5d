// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

namespace verbana::store::ui {
class CommandHost;
}

namespace verbana::stats::ui {

class StatisticsPage;

// The statistics page (통계) in the main window, after the sermon's pages:
// its count buttons walk the sermons in view with the busy mark set and the
// page's progress line moving.
class StatisticsCommands : public QObject {
    Q_OBJECT
public:
    explicit StatisticsCommands(store::ui::CommandHost &host);

    // The count of a button by its number (0 for 신약/구약, 1 and 2, 5 to
    // 8); false when it did not run (no collection, refused while editing,
    // another count busy).
    bool CountStatistics(int number);
    bool statisticsBusy() const { return busy_; }
    StatisticsPage *page() const { return tsStats_; }

private:
    store::ui::CommandHost &host_;
    StatisticsPage *tsStats_ = nullptr;
    bool busy_ = false; // the busy mark of a count
};

} // namespace verbana::stats::ui
