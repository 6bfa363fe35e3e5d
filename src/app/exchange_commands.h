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

// The 일괄입력 menu: its batch imports of HWP and of TXT, RTF and CAP
// files into the open collection; the menu is enabled only while a
// collection is open. And the 파일 menu's extraction of the sermons in
// view into a new collection and merging of another collection.
class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    explicit ExchangeCommands(store::ui::CommandHost &host);

    void mnBatchHWPClick();
    void mnBatchTXTClick();
    void mnBibloraClick();
    void N37Click(); // Notavia
    void N54Click(); // extract
    void N55Click(); // merge

    QMenu *batchMenu() const { return mnBatch_; }

private:
    // The checks before an import window opens; true when it may open.
    bool mayImport();
    // The checks before a merge or an extraction; true when it may go on.
    bool mayMove(bool changes);

    store::ui::CommandHost &host_;
    store::CollectionDocument &document_;
    QMenu *mnBatch_ = nullptr;
};

} // namespace verbana
