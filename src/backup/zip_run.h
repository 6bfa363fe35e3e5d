// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"

#include <QString>

#include <cstdint>

namespace verbana::backup {

// What a ZIP run (packing or unpacking) has done so far, told to its
// Progress when it has one: the bytes of the whole run, and the file at
// hand with its percent as the item. The run asks it whether to stop.
class ZipRun {
public:
    explicit ZipRun(Progress *progress) : progress_(progress) {}

    void start(uint64_t total)
    {
        if (progress_)
            progress_->start(total);
    }
    void beginFile(const QString &item, uint64_t size)
    {
        fileSize_ = size;
        if (progress_)
            progress_->setItem(item, size > 0 ? 0 : 100);
    }
    // `bytes` more of the file at hand, `fileDone` of it in all.
    void moved(uint64_t bytes, uint64_t fileDone)
    {
        done_ += bytes;
        if (!progress_)
            return;
        progress_->setItemPercent(fileSize_ > 0 ? int(qMin<uint64_t>(100, fileDone * 100 / fileSize_)) : 100);
        progress_->advanceTo(done_);
    }
    bool stopped() const { return progress_ && progress_->stopRequested(); }
    // The run went through: the last report shows it whole.
    void finish()
    {
        if (!progress_)
            return;
        progress_->setItemPercent(100);
        progress_->flush();
    }

private:
    Progress *progress_;
    uint64_t done_ = 0;
    uint64_t fileSize_ = 0;
};

} // namespace verbana::backup
