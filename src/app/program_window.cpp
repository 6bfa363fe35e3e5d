// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/program_window.h"

#include "app/backup_commands.h"
#include "app/collection_commands.h"
#include "app/exchange_commands.h"
#include "app/helper_commands.h"
#include "app/print_commands.h"
#include "editing/tfmverbdesk.h"
#include "search/ui/gather_commands.h"
#include "search/ui/goto_commands.h"
#include "stats/ui/statistics_commands.h"

namespace verbana {

ProgramWindow::ProgramWindow(store::CollectionDocument &document)
    : window_(std::make_unique<editing::Tfmverbdesk>(document))
{
    editing::Tfmverbdesk &host = *window_;
    // 찾아모으기 follows 자료입력, its buttons stand before 종료 and the
    // search group after it; the statistics page follows the sermon's.
    gather_ = std::make_unique<search::ui::GatherCommands>(host);
    goTo_ = std::make_unique<search::ui::GoToCommands>(host);
    statistics_ = std::make_unique<stats::ui::StatisticsCommands>(host);
    // Each puts its items before 종료: the collection's first, then the
    // merge items, then the list printing; the backups go before the diet.
    collection_ = std::make_unique<CollectionCommands>(host);
    exchange_ = std::make_unique<ExchangeCommands>(host);
    printing_ = std::make_unique<PrintCommands>(host);
    backups_ = std::make_unique<BackupCommands>(host);
    helpers_ = std::make_unique<HelperCommands>(host);
}

// The commands go before the window they live in.
ProgramWindow::~ProgramWindow()
{
    helpers_.reset();
    backups_.reset();
    printing_.reset();
    exchange_.reset();
    collection_.reset();
    statistics_.reset();
    goTo_.reset();
    gather_.reset();
}

} // namespace verbana
