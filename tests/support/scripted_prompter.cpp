// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

namespace verbana::test {

ScriptedPrompter::ScriptedPrompter() : previous_(setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter()
{
    setPrompter(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) were never asked for";
}

ScriptedPrompter &ScriptedPrompter::yes()
{
    answers_.push_back({true, {}});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::no()
{
    answers_.push_back({false, {}});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::ok() { return yes(); }

ScriptedPrompter &ScriptedPrompter::file(const QString &path) { return files({path}); }

ScriptedPrompter &ScriptedPrompter::files(const QStringList &paths)
{
    answers_.push_back({true, paths});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::cancel() { return no(); }

PromptAnswer ScriptedPrompter::ask(const PromptRequest &request)
{
    shown_.push_back(request);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected prompt: " << request.text.toStdString();
        return {};
    }
    PromptAnswer a = answers_.front();
    answers_.pop_front();
    return a;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const PromptRequest &r : shown_)
        out << r.text;
    return out;
}

} // namespace verbana::test
