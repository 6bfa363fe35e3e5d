// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli.h"

#include "platform/prompts.h"

#include <QMap>

#include <csignal>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace verbana::cli {

std::vector<Command> &registry()
{
    static std::vector<Command> commands;
    return commands;
}

Registration::Registration(Command c) { registry().push_back(std::move(c)); }

void out(const QString &text)
{
    const QByteArray b = text.toUtf8();
    std::fwrite(b.constData(), 1, static_cast<size_t>(b.size()), stdout);
}

namespace {
bool progressLineOpen = false; // a TerminalProgress line waits for its end
}

void err(const QString &text)
{
    if (progressLineOpen) {
        std::fputs("\r\033[K", stderr);
        progressLineOpen = false;
    }
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QByteArray b = line.toUtf8();
    std::fprintf(stderr, "verbana-cli: %s\n", b.constData());
}

int usageError(const char *commandName)
{
    for (const Command &c : registry())
        if (qstrcmp(c.name, commandName) == 0)
            std::fprintf(stderr, "usage: verbana-cli %s %s\n", c.name, c.usage);
    return Usage;
}

bool parseOptions(const QStringList &args, const QStringList &withValue, const QStringList &flags, Options &result)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a.startsWith(QStringLiteral("--")) && a.size() > 2) {
            QString name = a.mid(2);
            QString value;
            const qsizetype eq = name.indexOf(QLatin1Char('='));
            if (eq >= 0) {
                value = name.mid(eq + 1);
                name = name.left(eq);
            }
            if (withValue.contains(name)) {
                if (eq < 0) {
                    if (i + 1 >= args.size()) {
                        err(QStringLiteral("option --%1 needs a value").arg(name));
                        return false;
                    }
                    value = args[++i];
                }
                result.values.insert(name, value);
            } else if (flags.contains(name) && eq < 0) {
                result.values.insert(name, QString());
            } else {
                err(QStringLiteral("unknown option --%1").arg(name));
                return false;
            }
        } else {
            result.positional << a;
        }
    }
    return true;
}

namespace {

int shown = 0;

class CommandLinePrompter final : public Prompter {
public:
    PromptAnswer ask(const PromptRequest &request) override
    {
        PromptAnswer answer;
        switch (request.kind) {
        case PromptKind::Information:
        case PromptKind::Error:
            err(request.text);
            ++shown;
            answer.accepted = true;
            break;
        case PromptKind::Confirmation:
        case PromptKind::InformationCancel:
            err(request.text);
            ++shown;
            break;
        default:
            break;
        }
        return answer;
    }
};

volatile std::sig_atomic_t interrupted = 0;

void onInterrupt(int)
{
    interrupted = 1;
    std::signal(SIGINT, SIG_DFL);
}

} // namespace

void installPrompter()
{
    static CommandLinePrompter p;
    setPrompter(&p);
}

int messagesShown() { return shown; }

TerminalProgress::TerminalProgress(QString label)
    : Progress([this](const Report &report) { show(report); }, 200), label_(std::move(label)),
      terminal_(isatty(STDERR_FILENO) != 0)
{
    if (!terminal_)
        return;
    interrupted = 0;
    std::signal(SIGINT, onInterrupt);
}

TerminalProgress::~TerminalProgress()
{
    if (!terminal_)
        return;
    std::signal(SIGINT, SIG_DFL);
    if (progressLineOpen)
        std::fputs("\r\033[K", stderr);
    progressLineOpen = false;
}

void TerminalProgress::show(const Report &report)
{
    if (interrupted)
        requestStop();
    if (!terminal_)
        return;
    QString line = QStringLiteral("%1 %2%").arg(label_).arg(report.total == 0 ? 0 : report.percent(), 3);
    if (report.total > 0)
        line += QStringLiteral(" (%1/%2)").arg(report.done).arg(report.total);
    if (!report.item.isEmpty())
        line += QLatin1Char(' ') + report.item;
    std::fprintf(stderr, "\r\033[K%s", line.left(100).toUtf8().constData());
    std::fflush(stderr);
    progressLineOpen = true;
}

} // namespace verbana::cli
