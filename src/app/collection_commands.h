// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QAction;
class QMenu;

namespace verbana::store {
class CollectionDocument;
}
namespace verbana::store::ui {
class CommandHost;
}

namespace verbana {

// The life of the open collection in the main window: the 파일 menu's
// collection commands and upkeep (open, create, close, diet, rebuild), the
// 정렬 menu, the toolbar's create and open buttons, the first run and the
// reopening of the last collection at start-up.
class CollectionCommands : public QObject {
    Q_OBJECT
public:
    explicit CollectionCommands(store::ui::CommandHost &host);

    // First run, then the collection open when the program was last left
    // ("last" in the settings file).
    void start();

    void mnOpenClick();
    void mnCreateClick();
    void mnCloseClick();
    void mnDietClick();
    void mnReindexClick();
    void sortClick(int order);

    QMenu *sortMenu() const { return mnSort_; }

private:
    store::ui::CommandHost &host_;
    store::CollectionDocument &document_;
    QMenu *mnSort_ = nullptr;
    QAction *mnClose_ = nullptr, *mnDiet_ = nullptr, *mnReindex_ = nullptr;
};

} // namespace verbana
