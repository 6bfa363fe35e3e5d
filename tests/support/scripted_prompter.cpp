// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/scripted_prompter.h"

#include <gtest/gtest.h>

#include <algorithm>


namespace verbana::test {

const char *kindName(PromptKind kind)
{
    switch (kind) {
    case PromptKind::Information: return "information box";
    case PromptKind::Confirmation: return "confirmation";
    case PromptKind::InformationCancel: return "information box with 취소";
    case PromptKind::Error: return "error box";
    case PromptKind::OpenFile: return "open-file chooser";
    case PromptKind::OpenFiles: return "open-files chooser";
    case PromptKind::SaveFile: return "save-file chooser";
    case PromptKind::ChooseFolder: return "folder chooser";
    case PromptKind::Modal: return "modal window";
    case PromptKind::ChooseColour: return "colour dialog";
    case PromptKind::ChooseFont: return "font dialog";
    }
    return "prompt";
}

namespace {

const std::vector<PromptKind> kChoosers = {PromptKind::OpenFile, PromptKind::OpenFiles, PromptKind::SaveFile,
                                           PromptKind::ChooseFolder};

class UnscriptedPrompter final : public Prompter {
public:
    PromptAnswer ask(const PromptRequest &request) override
    {
        ADD_FAILURE() << "a prompt no test scripted (" << kindName(request.kind) << "): " << request.text.toStdString();
        return {};
    }
};

} // namespace

void installUnscriptedPrompter()
{
    static UnscriptedPrompter unscripted;
    setPrompter(&unscripted);
}

ScriptedPrompter::ScriptedPrompter() : previous_(setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter()
{
    setPrompter(previous_);
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted answer(s) were never asked for, the first for a "
                                  << kindName(answers_.front().kinds.front());
}

ScriptedPrompter &ScriptedPrompter::queue(Scripted s)
{
    answers_.push_back(std::move(s));
    return *this;
}

ScriptedPrompter &ScriptedPrompter::yes() { return queue({{PromptKind::Confirmation}, {true, {}}, {}, {}}); }
ScriptedPrompter &ScriptedPrompter::no() { return queue({{PromptKind::Confirmation}, {false, {}}, {}, {}}); }
ScriptedPrompter &ScriptedPrompter::ok() { return queue({{PromptKind::Information}, {true, {}}, {}, {}}); }
ScriptedPrompter &ScriptedPrompter::error() { return queue({{PromptKind::Error}, {true, {}}, {}, {}}); }

ScriptedPrompter &ScriptedPrompter::okOrCancel(bool ok)
{
    return queue({{PromptKind::InformationCancel}, {ok, {}}, {}, {}});
}

ScriptedPrompter &ScriptedPrompter::file(const QString &path) { return files({path}); }
ScriptedPrompter &ScriptedPrompter::files(const QStringList &paths) { return queue({kChoosers, {true, paths}, {}, {}}); }
ScriptedPrompter &ScriptedPrompter::cancel()
{
    std::vector<PromptKind> kinds = kChoosers;
    kinds.push_back(PromptKind::ChooseColour);
    kinds.push_back(PromptKind::ChooseFont);
    return queue({kinds, {false, {}}, {}, {}});
}

ScriptedPrompter &ScriptedPrompter::saveAs(const QString &path, const QString &filter)
{
    PromptAnswer a{true, {path}};
    a.filter = filter;
    return queue({{PromptKind::SaveFile}, a, {}, {}});
}

ScriptedPrompter &ScriptedPrompter::colour(const QString &name)
{
    PromptAnswer a{true, {}};
    a.value = name;
    return queue({{PromptKind::ChooseColour}, a, {}, {}});
}

ScriptedPrompter &ScriptedPrompter::font(const QString &font, const QString &colour)
{
    PromptAnswer a{true, {}};
    a.value = font;
    a.colour = colour;
    return queue({{PromptKind::ChooseFont}, a, {}, {}});
}

ScriptedPrompter &ScriptedPrompter::modal(const QString &objectName, std::function<void(QWidget &)> act)
{
    return queue({{PromptKind::Modal}, {}, objectName, std::move(act)});
}

PromptAnswer ScriptedPrompter::ask(const PromptRequest &request)
{
    shown_.push_back(request);
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected " << kindName(request.kind) << ": " << request.text.toStdString();
        return {};
    }
    const Scripted s = std::move(answers_.front());
    answers_.pop_front();
    if (std::find(s.kinds.begin(), s.kinds.end(), request.kind) == s.kinds.end()) {
        ADD_FAILURE() << "a prompt of the kind \"" << kindName(request.kind) << "\" (" << request.text.toStdString()
                      << ") met an answer for \"" << kindName(s.kinds.front()) << "\"";
        return {};
    }
    if (request.kind == PromptKind::Modal)
        return runModal(s, request);
    return s.answer;
}

namespace {
ModalRunner modalRunner = nullptr;
}

void setModalRunner(ModalRunner runner) { modalRunner = runner; }

PromptAnswer ScriptedPrompter::runModal(const Scripted &s, const PromptRequest &request)
{
    PromptAnswer answer;
    EXPECT_EQ(request.text, s.window) << "another modal window than the one scripted";
    if (!modalRunner) {
        ADD_FAILURE() << "a modal window in a test without widgets: " << request.text.toStdString();
        return answer;
    }
    answer.result = modalRunner(request.window, s.act);
    return answer;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList out;
    for (const PromptRequest &r : shown_)
        out << r.text;
    return out;
}

} // namespace verbana::test
