// SPDX-License-Identifier: GPL-3.0-or-later
// Verbana: start the program, show the main window and run until it closes.
#include "app/backup_commands.h"
#include "app/collection_commands.h"
#include "app/exchange_commands.h"
#include "app/helper_commands.h"
#include "app/print_commands.h"
#include "app/program_seed.h"
#include "app/verbana_application.h"
#include "editing/tfmverbdesk.h"
#include "platform/commands.h"
#include "platform/dialog_prompter.h"
#include "platform/help_key.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "settings/ui/tfmabout.h"
#include "store/collection_session.h"

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
    verbana::DialogPrompter prompter;
    verbana::setPrompter(&prompter);
    // Fixes the program's folder before anything reads or writes in it.
    // An installed program's per-user folder starts with the samples.
    verbana::seedProgramFolder(verbana::paths::programFolder(), verbana::installedSamplesFolder());

    verbana::store::CollectionSession session;
    verbana::editing::Tfmverbdesk window;
    verbana::CollectionCommands commands(window, session);
    // Each inserts its items before 종료: the merge items come before the
    // list printing.
    verbana::ExchangeCommands exchange(window, session);
    verbana::PrintCommands printing(window);
    verbana::BackupCommands backups(window, session);
    verbana::HelperCommands helpers(window);
    prompter.setParent(&window);
    // Shown first, so that what the start-up has to say (a collection
    // that opened read-only, one that failed) stands over the window.
    window.show();
    commands.start();
    splash.reset();
    helpers.start();
    // A BCK archive opened from the desktop (the program is the handler of
    // its type) comes up in the restore page of the backup window.
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && arguments.at(1).endsWith(QLatin1String(".bck"), Qt::CaseInsensitive))
        QTimer::singleShot(0, &window, verbana::asCommand([&backups, archive = arguments.at(1)] {
            backups.restoreArchive(archive);
        }));
    const int result = QApplication::exec();
    verbana::setPrompter(nullptr);
    return result;
}
