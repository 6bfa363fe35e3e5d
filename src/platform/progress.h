// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <functional>

// The progress of long work and the way to stop it. The work says how much
// there is and ticks as it goes; the one who shows it (a progress bar, a
// terminal line, a test) hears of it at most about every 40 ms and at the
// end, and lets events run there, so that thousands of small steps never
// each wait for a window to redraw. A stop button asks the work to stop;
// the work looks at stopRequested() between its steps.
namespace verbana {

class Progress {
public:
    struct Report {
        uint64_t done = 0;
        uint64_t total = 0;
        QString item; // what is being worked on, when the work names it
        int itemPercent = -1; // how far the item is, when the work says
        int percent() const { return total == 0 ? 0 : int(done * 100 / total); }
    };
    using Display = std::function<void(const Report &)>;

    // Hears of the progress no more often than every `intervalMs`.
    explicit Progress(Display display = {}, int intervalMs = 40);
    virtual ~Progress() = default;
    Progress(const Progress &) = delete;
    Progress &operator=(const Progress &) = delete;

    // Starts (again) with `total` steps to do; the first report follows
    // when the time has come, or at the end.
    void start(uint64_t total);
    uint64_t total() const { return report_.total; }
    uint64_t done() const { return report_.done; }

    // Steps done; reported when the time has come, and always at the last.
    void tick(uint64_t steps = 1) { advanceTo(report_.done + steps); }
    void advanceTo(uint64_t done);
    // The item at hand and how far it is (0-100); reported like a step.
    void setItem(const QString &item, int percent = -1);
    void setItemPercent(int percent);
    // Reports what there is now, whatever the time.
    void flush();

    void requestStop() { stop_ = true; }
    bool stopRequested() const { return stop_; }
    // Before the next run: a stop asked of the last one is forgotten.
    void clearStopRequest() { stop_ = false; }

    // For tests: reports made so far.
    int reports() const { return reports_; }

private:
    void maybeReport(bool force);

    Display display_;
    int interval_;
    Report report_;
    QElapsedTimer clock_;
    bool stop_ = false;
    int reports_ = 0;
};

} // namespace verbana
