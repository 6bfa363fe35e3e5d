// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/prompts.h"

#include <cstdio>

namespace verbana {
namespace {

class ConsolePrompter final : public Prompter {
public:
    PromptAnswer ask(const PromptRequest &request) override
    {
        if (request.kind == PromptKind::Information || request.kind == PromptKind::Error
            || request.kind == PromptKind::Confirmation || request.kind == PromptKind::InformationCancel) {
            QString text = request.text;
            text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
            std::fprintf(stderr, "%s\n", text.toUtf8().constData());
        }
        PromptAnswer a;
        a.accepted = request.kind == PromptKind::Information || request.kind == PromptKind::Error;
        return a;
    }
};

ConsolePrompter &consolePrompter()
{
    static ConsolePrompter p;
    return p;
}

Prompter *&current()
{
    static Prompter *p = nullptr;
    return p;
}

} // namespace

Prompter &prompter() { return current() ? *current() : consolePrompter(); }

Prompter *setPrompter(Prompter *p)
{
    Prompter *old = current();
    current() = p;
    return old;
}

void showInformation(const QString &text, const QString &caption)
{
    (void)prompter().ask({PromptKind::Information, text, caption, {}, {}, {}});
}

bool confirm(const QString &text, const QString &caption)
{
    return prompter().ask({PromptKind::Confirmation, text, caption, {}, {}, {}}).accepted;
}

bool informOrCancel(const QString &text, const QString &caption)
{
    return prompter().ask({PromptKind::InformationCancel, text, caption, {}, {}, {}}).accepted;
}

void showError(const QString &text) { (void)prompter().ask({PromptKind::Error, text, {}, {}, {}, {}}); }

QString chooseOpenFile(const QString &caption, const QString &directory, const QString &filter)
{
    PromptAnswer a = prompter().ask({PromptKind::OpenFile, caption, {}, directory, filter, {}});
    return a.accepted ? a.file() : QString();
}

QStringList chooseOpenFiles(const QString &caption, const QString &directory, const QString &filter)
{
    PromptAnswer a = prompter().ask({PromptKind::OpenFiles, caption, {}, directory, filter, {}});
    return a.accepted ? a.files : QStringList();
}

QString chooseSaveFile(const QString &caption, const QString &directory, const QString &filter,
                       const QString &fileName)
{
    PromptAnswer a = prompter().ask({PromptKind::SaveFile, caption, {}, directory, filter, fileName});
    return a.accepted ? a.file() : QString();
}

QString chooseFolder(const QString &caption, const QString &directory)
{
    PromptAnswer a = prompter().ask({PromptKind::ChooseFolder, caption, {}, directory, {}, {}});
    return a.accepted ? a.file() : QString();
}

SaveChoice chooseSaveFileAndFilter(const QString &caption, const QString &directory, const QString &filter,
                                   const QString &fileName)
{
    PromptAnswer a = prompter().ask({PromptKind::SaveFile, caption, {}, directory, filter, fileName});
    if (!a.accepted || a.file().isEmpty())
        return {};
    return {a.file(), a.filter};
}

QString chooseColour(const QString &initial)
{
    PromptRequest request;
    request.kind = PromptKind::ChooseColour;
    request.value = initial;
    PromptAnswer a = prompter().ask(request);
    return a.accepted ? a.value : QString();
}

QString chooseFont(const QString &initial)
{
    PromptRequest request;
    request.kind = PromptKind::ChooseFont;
    request.value = initial;
    PromptAnswer a = prompter().ask(request);
    return a.accepted ? a.value : QString();
}

QString chooseFontAndColour(const QString &font, QString &colour)
{
    PromptRequest request;
    request.kind = PromptKind::ChooseFont;
    request.value = font;
    request.colour = colour;
    PromptAnswer a = prompter().ask(request);
    if (!a.accepted)
        return QString();
    if (!a.colour.isEmpty())
        colour = a.colour;
    return a.value;
}

int runModal(QObject *window)
{
    PromptRequest request;
    request.kind = PromptKind::Modal;
    request.text = window ? window->objectName() : QString();
    request.window = window;
    return prompter().ask(request).result;
}

} // namespace verbana
