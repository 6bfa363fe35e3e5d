// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace verbana::editing {
class Tfmverbdesk;
}
namespace verbana::store {
class CollectionSession;
}

namespace verbana {

// Joins the main window and the open collection: the 파일 menu's
// collection commands and upkeep (open, create, close, diet, rebuild), the
// 정렬 menu, the first run and the reopening of the last collection at
// start-up. The window is bound to the session's table whenever a
// collection is open, and unbound before anything closes that table.
class CollectionCommands : public QObject {
    Q_OBJECT
public:
    CollectionCommands(editing::Tfmverbdesk &window, store::CollectionSession &session);

    // First run, then the collection open when the program was last left.
    void start();

    void mnOpenClick();
    void mnCreateClick();
    void mnCloseClick();
    void mnDietClick();
    void mnReindexClick();
    void sortClick(int order);

    QMenu *sortMenu() const { return mnSort_; }

private:
    void rebind();

    editing::Tfmverbdesk &window_;
    store::CollectionSession &session_;
    QMenu *mnSort_ = nullptr;
    QAction *mnClose_ = nullptr, *mnDiet_ = nullptr, *mnReindex_ = nullptr;
};

} // namespace verbana
