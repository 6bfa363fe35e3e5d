// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "search/gathering.h"

#include <QObject>

#include <utility>
#include <vector>

class QAbstractButton;
class QMenu;
class QProgressBar;
class QPushButton;

namespace verbana::store::ui {
class CommandHost;
}

namespace verbana::search::ui {

// Gathering (찾아모으기) in the main window: the menu 찾아모으기 with its
// keys, the toolbar's 찾아모으기 button and its small release button, the
// dialog's two 찾기, the count and the two batch deletions. The menu is
// enabled while a collection is open; without one the commands do nothing.
class GatherCommands : public QObject {
    Q_OBJECT
public:
    explicit GatherCommands(store::ui::CommandHost &host);

    void mnGatherFieldsClick();
    void mnGatherTextClick();
    // The dialog's 찾기: the rows as (field number, word), and the words of
    // the manuscript page with the dialog's progress bar. True closes it.
    bool GatherFields(const std::vector<std::pair<int, QByteArray>> &rows, bool useAnd);
    bool GatherManuscripts(const ManuscriptQuery &query, QProgressBar *progress);
    void ReleaseGathering();
    void CountSermons();
    void DeleteGathered();
    void DeleteNotGathered();

    QMenu *gatherMenu() const { return mnGather_; }

private:
    void openGatherDialog(int page);
    // Without an open collection there is nothing to gather.
    bool collectionOpen() const;

    store::ui::CommandHost &host_;
    QMenu *mnGather_ = nullptr;
    QPushButton *btnGather_ = nullptr;
    QAbstractButton *btnRelease_ = nullptr;
};

} // namespace verbana::search::ui
