// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class QLineEdit;
class QPushButton;
class QToolButton;

namespace verbana::store::ui {
class CommandHost;
}

namespace verbana::search::ui {

// The go-to search of the toolbar: the item chooser with its menu, the word
// box, the search button and the two direction buttons, just after 종료.
// It moves from the current sermon to the next one, in the direction
// pressed, whose chosen item holds the word of eFindGo.
class GoToCommands : public QObject {
    Q_OBJECT
public:
    explicit GoToCommands(store::ui::CommandHost &host);

    void GoToNext();
    // The item chosen in btnFindGo's menu: its field's position.
    int goToItem() const { return goToItem_; }

private:
    void chooseGoToItem(const QString &caption, int number);
    // One pass of the search; true when the user asked to search the other
    // way.
    bool goToOnce();

    store::ui::CommandHost &host_;
    QToolButton *btnFindGo_ = nullptr, *btnUp_ = nullptr, *btnDown_ = nullptr;
    QLineEdit *eFindGo_ = nullptr;
    QPushButton *btnLetGo_ = nullptr;
    int goToItem_ = 2;
};

} // namespace verbana::search::ui
