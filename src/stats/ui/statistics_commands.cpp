// SPDX-License-Identifier: GPL-3.0-or-later
#include "stats/ui/statistics_commands.h"

#include "platform/commands.h"
#include "platform/progress_bar.h"
#include "stats/sermon_counts.h"
#include "stats/ui/statistics_page.h"
#include "store/collection_document.h"
#include "store/ui/command_host.h"

#include <QApplication>
#include <QMainWindow>
#include <QProgressBar>

namespace verbana::stats::ui {

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

// The busy mark: set for the time of one count, and what the user does
// meanwhile dropped.
class BusyMark {
public:
    explicit BusyMark(bool &mark) : mark_(mark) { mark_ = true; }
    ~BusyMark() { mark_ = false; }
    BusyMark(const BusyMark &) = delete;
    BusyMark &operator=(const BusyMark &) = delete;

private:
    bool &mark_;
    InputDropper dropper_;
};

} // namespace

StatisticsCommands::StatisticsCommands(store::ui::CommandHost &host) : QObject(host.mainWindow()), host_(host)
{
    tsStats_ = new StatisticsPage;
    tsStats_->setCounter([this](int number) {
        bool done = false;
        runCommand([&] { done = CountStatistics(number); });
        return done;
    });
    host.addPage(tsStats_, QStringLiteral("통계"));
}

bool StatisticsCommands::CountStatistics(int number)
{
    if (busy_)
        return false;
    store::CollectionDocument &document = host_.document();
    if (!document.isOpen() || document.refuseWhileEditing())
        return false;
    xbase::TApolloTable &table = document.table();
    std::optional<ChartPoints> points;
    QProgressBar *line = tsStats_->progressLine();
    {
        const BusyMark busy(busy_);
        struct ClearLine {
            QProgressBar *line;
            ~ClearLine() { line->setValue(0); }
        } clear{line};
        BarProgress progress(line);
        switch (number) {
        case 0:
            points = CountByTestament(table, &progress);
            break;
        case 1:
        case 2:
            points = CountByBook(table, Testament(number), &progress);
            break;
        case 5:
        case 6:
        case 7:
        case 8:
            points = CountByCategory(table, Category(number), &progress);
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

} // namespace verbana::stats::ui
