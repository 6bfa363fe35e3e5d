// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"

#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace verbana::test {

// A Progress that reports every step it is told of, keeps them, and runs
// `each` at every report (where a window would let events run).
class RecordedProgress : public Progress {
public:
    explicit RecordedProgress(std::function<void(const Report &)> each = {})
        : Progress([this](const Report &r) { record(r); }, 0), each_(std::move(each))
    {
    }
    // (done, total) of every report.
    std::vector<std::pair<uint64_t, uint64_t>> steps;
    // The done values alone.
    std::vector<uint64_t> done() const
    {
        std::vector<uint64_t> values;
        for (const auto &s : steps)
            values.push_back(s.first);
        return values;
    }

private:
    void record(const Report &r)
    {
        steps.emplace_back(r.done, r.total);
        if (each_)
            each_(r);
    }
    std::function<void(const Report &)> each_;
};

} // namespace verbana::test
