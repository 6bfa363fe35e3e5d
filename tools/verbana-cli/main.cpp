// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <memory>
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
    std::printf("\nExit codes: 0 success, 1 failure, 2 wrong usage, 3 faults found by a check.\n"
                "`verbana-cli COMMAND --help` describes one command.\n");
}

static const Command *findCommand(const char *name)
{
    for (const Command &c : registry())
        if (qstrcmp(c.name, name) == 0)
            return &c;
    return nullptr;
}

static bool asksForHelp(int argc, char **argv)
{
    for (int i = 2; i < argc; ++i)
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0)
            return true;
    return false;
}

int main(int argc, char **argv)
{
    const Command *command = argc > 1 ? findCommand(argv[1]) : nullptr;
    if (command && asksForHelp(argc, argv)) {
        std::printf("usage: verbana-cli %s %s\n\n%s\n", command->name, command->usage, command->summary);
        return Ok;
    }
    // Commands that lay out text get fonts and a paint engine, without a display.
    if (command && command->paints)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = command && command->paints
                                                      ? std::make_unique<QGuiApplication>(argc, argv)
                                                      : std::make_unique<QCoreApplication>(argc, argv);
    installPrompter();
    QStringList args = QCoreApplication::arguments().mid(1);
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
