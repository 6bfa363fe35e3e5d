// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's statistics page (통계): its count buttons walk the
// sermons in view with the busy mark set and the progress line moving.
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "stats/sermon_counts.h"
#include "stats/ui/statistics_page.h"

#include <QApplication>
#include <QProgressBar>
#include <QTabWidget>

#include <algorithm>

namespace verbana::editing {

namespace {

// While a count runs, what the user clicks or types is dropped: the walk
// lets events run so that the window repaints and the progress line moves,
// and nothing may move or change the table under it, nor close the window.
class InputDropper : public QObject {
public:
    InputDropper() { qApp->installEventFilter(this); }
    ~InputDropper() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Close:
            event->ignore();
            return true;
        default:
            return false;
        }
    }
};

// The busy mark: set, with the busy cursor, for the time of one count.
class BusyMark {
public:
    explicit BusyMark(bool &mark) : mark_(mark)
    {
        mark_ = true;
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~BusyMark()
    {
        QApplication::restoreOverrideCursor();
        mark_ = false;
    }
    BusyMark(const BusyMark &) = delete;
    BusyMark &operator=(const BusyMark &) = delete;

private:
    bool &mark_;
    InputDropper dropper_;
};

} // namespace

void Tfmverbdesk::buildStatsPage()
{
    tsStats_ = new stats::ui::StatisticsPage;
    tsStats_->setCounter([this](int number) {
        bool done = false;
        runCommand([&] { done = CountStatistics(number); });
        return done;
    });
    PageControl1_->addTab(tsStats_, QStringLiteral("통계"));
}

bool Tfmverbdesk::CountStatistics(int number)
{
    if (statsBusy_)
        return false;
    xbase::TApolloTable *t = table();
    if (!t || !t->Active() || RefuseWhileEditing())
        return false;
    std::optional<stats::ChartPoints> points;
    QProgressBar *line = tsStats_->progressLine();
    {
        BusyMark busy(statsBusy_);
        viewRefreshOff_ = true;
        struct Restore {
            Tfmverbdesk &w;
            QProgressBar *line;
            ~Restore()
            {
                w.viewRefreshOff_ = false;
                line->setValue(0);
            }
        } restore{*this, line};
        uint32_t step = 1;
        const stats::CountProgress progress = [&](uint32_t walked, uint32_t total) {
            if (walked == 1) {
                line->setRange(0, int(std::max<uint32_t>(total, 1)));
                step = std::max<uint32_t>(1, total / 200);
            }
            if (walked % step == 0 || walked == total) {
                line->setValue(int(walked));
                QCoreApplication::processEvents();
            }
        };
        switch (number) {
        case 0:
            points = stats::CountByTestament(*t, progress);
            break;
        case 1:
        case 2:
            points = stats::CountByBook(*t, stats::Testament(number), progress);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            points = stats::CountByCategory(*t, stats::Category(number), progress);
            break;
        default:
            return false;
        }
    }
    if (!points)
        return false;
    tsStats_->showPoints(*points);
    return true;
}

} // namespace verbana::editing
