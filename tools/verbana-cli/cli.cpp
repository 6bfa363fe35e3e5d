// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli.h"

#include <QMap>

#include <cstdio>
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

void err(const QString &text)
{
    const QByteArray b = text.toUtf8();
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

} // namespace verbana::cli
