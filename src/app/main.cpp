// SPDX-License-Identifier: GPL-3.0-or-later
// Verbana: start the program, show the main window and run until it closes.
#include "app/verbana_application.h"
#include "editing/tfmverbdesk.h"
#include "platform/dialog_prompter.h"
#include "platform/paths.h"
#include "platform/prompts.h"

int main(int argc, char **argv)
{
    verbana::VerbanaApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbana"));
    QApplication::setApplicationDisplayName(QStringLiteral("Verbana"));
    verbana::installFontSubstitutions();
    verbana::DialogPrompter prompter;
    verbana::setPrompter(&prompter);
    // Fixes the program's folder before anything reads or writes in it.
    verbana::paths::programFolder();

    verbana::editing::Tfmverbdesk window;
    prompter.setParent(&window);
    window.show();
    const int result = QApplication::exec();
    verbana::setPrompter(nullptr);
    return result;
}
