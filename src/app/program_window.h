// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace verbana::editing {
class Tfmverbdesk;
}
namespace verbana::search::ui {
class GatherCommands;
class GoToCommands;
}
namespace verbana::stats::ui {
class StatisticsCommands;
}
namespace verbana::store {
class CollectionDocument;
}

namespace verbana {

class BackupCommands;
class CollectionCommands;
class ExchangeCommands;
class HelperCommands;
class PrintCommands;

// The program's main window with the commands of every part of the
// program, made in the order in which their menus, menu items and toolbar
// controls stand.
class ProgramWindow {
public:
    explicit ProgramWindow(store::CollectionDocument &document);
    ~ProgramWindow();
    ProgramWindow(const ProgramWindow &) = delete;
    ProgramWindow &operator=(const ProgramWindow &) = delete;

    editing::Tfmverbdesk &window() const { return *window_; }
    search::ui::GatherCommands &gathering() const { return *gather_; }
    search::ui::GoToCommands &goTo() const { return *goTo_; }
    stats::ui::StatisticsCommands &statistics() const { return *statistics_; }
    CollectionCommands &collection() const { return *collection_; }
    ExchangeCommands &exchange() const { return *exchange_; }
    PrintCommands &printing() const { return *printing_; }
    BackupCommands &backups() const { return *backups_; }
    HelperCommands &helpers() const { return *helpers_; }

private:
    std::unique_ptr<editing::Tfmverbdesk> window_;
    std::unique_ptr<search::ui::GatherCommands> gather_;
    std::unique_ptr<search::ui::GoToCommands> goTo_;
    std::unique_ptr<stats::ui::StatisticsCommands> statistics_;
    std::unique_ptr<CollectionCommands> collection_;
    std::unique_ptr<ExchangeCommands> exchange_;
    std::unique_ptr<PrintCommands> printing_;
    std::unique_ptr<BackupCommands> backups_;
    std::unique_ptr<HelperCommands> helpers_;
};

} // namespace verbana
