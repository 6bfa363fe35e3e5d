// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QMenu;

namespace verbana::store::ui {
class CommandHost;
}

namespace verbana {

// The 파일 menu's sub-menu 설교목록 인쇄: five layouts of the list of the
// sermons in view, each shown in a print preview from which the user
// prints.
class PrintCommands : public QObject {
    Q_OBJECT
public:
    explicit PrintCommands(store::ui::CommandHost &host);

    // Shows the print preview of layout `layout` (1..5) for the open
    // collection and waits until it closes; nothing without a collection,
    // and refused while a sermon is added or edited.
    void PrintSermonList(int layout);

    QMenu *printMenu() const { return mnPrintList_; }

private:
    store::ui::CommandHost &host_;
    QMenu *mnPrintList_ = nullptr;
};

} // namespace verbana
