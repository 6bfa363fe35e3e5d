// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace verbana::cli {
std::vector<Command> &registry();
}

using namespace verbana::cli;

static void printHelp()
{
    std::printf("verbana-cli: scripting and repair of Verbana collections\n\nCommands:\n");
    std::vector<Command> commands = registry();
    std::sort(commands.begin(), commands.end(), [](const Command &a, const Command &b) { return qstrcmp(a.name, b.name) < 0; });
    for (const Command &c : commands)
        std::printf("  %s %s\n      %s\n", c.name, c.usage, c.summary);
    std::printf("\nExit codes: 0 success, 1 failure, 2 wrong usage, 3 faults found by a check.\n");
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args[0] == QStringLiteral("--help") || args[0] == QStringLiteral("-h")
        || args[0] == QStringLiteral("help")) {
        printHelp();
        return args.isEmpty() ? Usage : Ok;
    }
    const QString name = args.takeFirst();
    for (const Command &c : registry())
        if (name == QLatin1String(c.name))
            return c.run(args);
    err(QStringLiteral("unknown command %1 (see verbana-cli --help)").arg(name));
    return Usage;
}
