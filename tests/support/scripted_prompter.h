// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <deque>
#include <vector>

namespace verbana::test {

// Answers prompts from a queue and records what was shown. A prompt with
// nothing queued fails the test (and answers No); answers left over when the
// prompter is destroyed fail it too. It installs itself while it lives.
class ScriptedPrompter final : public Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    ScriptedPrompter &yes(); // confirm with 예
    ScriptedPrompter &no(); // answer 아니오
    ScriptedPrompter &ok(); // acknowledge an information or error box
    ScriptedPrompter &file(const QString &path); // a chooser returns path
    ScriptedPrompter &files(const QStringList &paths);
    ScriptedPrompter &cancel(); // a chooser is cancelled

    PromptAnswer ask(const PromptRequest &request) override;

    const std::vector<PromptRequest> &shown() const { return shown_; }
    // The texts shown, in order.
    QStringList texts() const;
    // Forgets the transcript.
    void clear() { shown_.clear(); }
    qsizetype pending() const { return static_cast<qsizetype>(answers_.size()); }

private:
    std::deque<PromptAnswer> answers_;
    std::vector<PromptRequest> shown_;
    Prompter *previous_;
};

} // namespace verbana::test
