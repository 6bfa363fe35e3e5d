// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
};

// Registers a command; called from static objects in the cmd_*.cpp files.
struct Registration {
    explicit Registration(Command c);
};

void out(const QString &text); // standard output, UTF-8, no newline added
void err(const QString &text); // standard error, UTF-8, newline added
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

} // namespace verbana::cli
