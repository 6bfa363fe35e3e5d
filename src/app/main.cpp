// SPDX-License-Identifier: GPL-3.0-or-later
// Verbana: start the program, show the main window and run until it closes.
#include "app/backup_commands.h"
#include "app/collection_commands.h"
#include "app/helper_commands.h"
#include "app/program_seed.h"
#include "app/program_window.h"
#include "app/verbana_application.h"
#include "editing/tfmverbdesk.h"
#include "platform/busy_cursor_display.h"
#include "platform/commands.h"
#include "platform/dialog_prompter.h"
#include "platform/help_key.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "settings/ui/tfmabout.h"
#include "store/collection_document.h"

#include <QApplication>
#include <QTimer>

#include <memory>

int main(int argc, char **argv)
{
    verbana::VerbanaApplication app(argc, argv);
    // The about window stands as the splash screen until the main window
    // is up with the last collection.
    std::unique_ptr<QWidget> splash(verbana::settings::ui::Tfmabout::showSplash());
    verbana::configureApplication(app);
    verbana::installHelpKey(app);
    verbana::installBusyCursorDisplay();
    verbana::DialogPrompter prompter;
    verbana::setPrompter(&prompter);
    // Fixes the program's folder before anything reads or writes in it.
    // An installed program's per-user folder starts with the samples.
    verbana::seedProgramFolder(verbana::paths::programFolder(), verbana::installedSamplesFolder());

    verbana::store::CollectionDocument document;
    verbana::ProgramWindow program(document);
    verbana::editing::Tfmverbdesk &window = program.window();
    prompter.setParent(&window);
    // Shown first, so that what the start-up has to say (a collection
    // that opened read-only, one that failed) stands over the window.
    window.show();
    program.backups().start();
    program.collection().start();
    splash.reset();
    program.helpers().start();
    // A BCK archive opened from the desktop (the program is the handler of
    // its type) comes up in the restore page of the backup window.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && arguments.at(1).endsWith(QLatin1String(".bck"), Qt::CaseInsensitive))
        QTimer::singleShot(0, &window, verbana::asCommand([&program, archive = arguments.at(1)] {
            program.backups().restoreArchive(archive);
        }));
    const int result = QApplication::exec();
    prompter.setParent(nullptr);
    verbana::setPrompter(nullptr);
    return result;
}
