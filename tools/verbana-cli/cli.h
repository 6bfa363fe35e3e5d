// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/progress.h"

#include <QString>
#include <QMap>
#include <QStringList>

#include <functional>

// The command-line companion. Text in and out is UTF-8. Exit codes:
// 0 success, 1 the operation failed (a message on standard error),
// 2 wrong usage, 3 a check found faults.
namespace verbana::cli {

enum Exit { Ok = 0, Failed = 1, Usage = 2, Faults = 3 };

struct Command {
    const char *name;
    const char *usage; // one line: arguments and options
    const char *summary;
    std::function<int(const QStringList &args)> run;
    bool paints = false; // lays out text or pages: runs under a QGuiApplication on the offscreen platform
};

// Registers a command; called from static objects in the cmd_*.cpp files.
struct Registration {
    explicit Registration(Command c);
};

void out(const QString &text); // standard output, UTF-8, no newline added
// Standard error, UTF-8, as one line: line breaks inside become blanks.
void err(const QString &text);
int usageError(const char *commandName);

// Splits "--name value" and "--flag" options from positional arguments.
struct Options {
    QStringList positional;
    QMap<QString, QString> values; // option name without dashes → value
    bool has(const QString &name) const { return values.contains(name); }
};
// `withValue` lists the options that take a value; any other "--x" is a
// flag. Returns false on an unknown option or a missing value.
bool parseOptions(const QStringList &args, const QStringList &withValue, const QStringList &flags, Options &result);

// Messages and questions of the program's logic on the command line: each
// message is one line on standard error; every question is answered no, and
// every chooser and window is cancelled, so nothing is decided for the user.
// Installed for every command.
void installPrompter();
// Messages shown through it so far (a failure already explained needs no
// second line).
int messagesShown();

// The progress of long work as one line on standard error, rewritten in
// place, when standard error is a terminal; nothing otherwise. While it
// lives, a first Ctrl+C asks the work to stop (a second one ends the
// process).
class TerminalProgress : public Progress {
public:
    explicit TerminalProgress(QString label);
    ~TerminalProgress() override;
    TerminalProgress(const TerminalProgress &) = delete;
    TerminalProgress &operator=(const TerminalProgress &) = delete;

private:
    void show(const Report &report);

    QString label_;
    bool terminal_ = false;
};

} // namespace verbana::cli
