// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/prompts.h"

#include <deque>
#include <functional>
#include <vector>

class QWidget;

namespace verbana::test {

// Answers prompts from a queue and records what was shown. Each answer
// answers one kind of prompt: an answer that meets a prompt of another
// kind, a prompt or modal window with nothing queued, and answers left over
// when the prompter is destroyed each fail the test at once (a modal window
// is then closed unanswered instead of waiting). It installs itself while
// it lives.
class ScriptedPrompter final : public Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    ScriptedPrompter &yes(); // a confirmation, answered 예
    ScriptedPrompter &no(); // a confirmation, answered 아니오
    ScriptedPrompter &ok(); // an information box
    ScriptedPrompter &error(); // the error box
    ScriptedPrompter &okOrCancel(bool ok); // an information box with 확인 / 취소
    ScriptedPrompter &file(const QString &path); // a chooser returns path
    ScriptedPrompter &files(const QStringList &paths);
    // A save chooser returns path with the filter entry the user chose.
    ScriptedPrompter &saveAs(const QString &path, const QString &filter);
    ScriptedPrompter &cancel(); // a chooser or a colour or font dialog is cancelled
    ScriptedPrompter &colour(const QString &name); // the colour dialog returns "#rrggbb"
    // The font dialog returns QFont::toString() (and, offered one, a colour).
    ScriptedPrompter &font(const QString &font, const QString &colour = QString());
    // A modal window of that object name: it is shown, `act` runs with it
    // (typing, clicking) and must close it; runModal returns its result.
    ScriptedPrompter &modal(const QString &objectName, std::function<void(QWidget &)> act);

    PromptAnswer ask(const PromptRequest &request) override;

    const std::vector<PromptRequest> &shown() const { return shown_; }
    // The texts shown, in order (a modal window by its object name).
    QStringList texts() const;
    // Forgets the transcript.
    void clear() { shown_.clear(); }
    qsizetype pending() const { return static_cast<qsizetype>(answers_.size()); }

private:
    struct Scripted {
        std::vector<PromptKind> kinds;
        PromptAnswer answer;
        QString window;
        std::function<void(QWidget &)> act;
    };
    ScriptedPrompter &queue(Scripted s);
    PromptAnswer runModal(const Scripted &s, const PromptRequest &request);

    std::deque<Scripted> answers_;
    std::vector<PromptRequest> shown_;
    Prompter *previous_;
};

// A readable name of a prompt kind for failure messages.
const char *kindName(PromptKind kind);

// How a scripted modal window is shown and acted on: installed by the test
// main of window tests (a test without widgets has none, and a modal window
// there fails the test). Returns the window's result.
using ModalRunner = int (*)(QObject *window, const std::function<void(QWidget &)> &act);
void setModalRunner(ModalRunner runner);

// Installed by the test main while no ScriptedPrompter lives: any prompt or
// modal window fails the test that shows it, and answers No at once.
void installUnscriptedPrompter();

} // namespace verbana::test
