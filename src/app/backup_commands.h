// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <functional>

namespace verbana::store {
class CollectionDocument;
}
namespace verbana::store::ui {
class CommandHost;
}

namespace verbana {

// The 파일 menu's two backup items. Each closes the open sermon table
// while its window is up, so that the collection's files can be read and
// replaced, and opens it again afterwards, on the restored files when the
// open collection was restored; when that fails the collection is closed.
class BackupCommands : public QObject {
    Q_OBJECT
public:
    // Call after CollectionCommands: the items go before 파일 다이어트.
    explicit BackupCommands(store::ui::CommandHost &host);

    // At the program's start, before the last collection is opened again:
    // settles what a restore that was killed left, so that its collection
    // stands as before the restore or as after it.
    void start();

    void mnZipClick();
    void mnBckClick();
    // The BCK window on its restore page with `archive` chosen: how an
    // archive opened from the desktop (the program's argument) comes in.
    void restoreArchive(const QString &archive);

private:
    void withTableClosed(const std::function<void()> &show);

    store::ui::CommandHost &host_;
    store::CollectionDocument &document_;
};

} // namespace verbana
