// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

#include <functional>

class QAbstractButton;
class QAction;
class QIcon;
class QMainWindow;
class QMenu;
class QPoint;
class QProgressBar;
class QWidget;

namespace verbana::store {
class CollectionDocument;
}

// The command host: what the main window offers the commands of every part
// of the program. A part (gathering, the go-to search, statistics,
// imports, backups, ...) makes one commands object with the host; the
// object puts its menu items, toolbar controls, keys and pages into the
// window through the host and works on the open collection through the
// host's document. The main window itself knows none of them.
namespace verbana::store::ui {

class CommandHost {
public:
    virtual ~CommandHost() = default;

    // The open collection.
    virtual CollectionDocument &document() = 0;
    // The main window: parent of the parts' dialogs, owner of their objects.
    virtual QMainWindow *mainWindow() = 0;

    // The 파일 menu; a part's items go before 종료 (exitAction()).
    virtual QMenu *fileMenu() = 0;
    virtual QAction *exitAction() = 0;
    // A menu of the menu bar by its object name (nullptr when none).
    QMenu *menuNamed(const QString &objectName);
    // A new menu of the menu bar, before the menu `before` (nullptr: last).
    QMenu *addMenu(const QString &caption, const QString &objectName, QMenu *before = nullptr);

    // The toolbar: one row of controls and the room to spare after them.
    // `index` 0 is the leftmost place, -1 the right end (after the room);
    // toolbarIndexOf() gives the place of a control by its object name
    // (-1 when none).
    virtual QWidget *toolbar() = 0;
    virtual void insertToolbarControl(int index, QWidget *control) = 0;
    virtual int toolbarIndexOf(const QString &objectName) const = 0;
    // A small picture button for the toolbar at `index`: `name` is what it
    // does (its accessible name), `hint` its tooltip.
    virtual QAbstractButton *insertPictureButton(int index, const QIcon &icon, const QString &name,
                                                 const QString &hint, const QString &objectName) = 0;

    // A page beside the sermon's pages, after those there.
    virtual void addPage(QWidget *page, const QString &caption) = 0;
    // The red line along the bottom of the toolbar that long work moves.
    virtual QProgressBar *progressLine() = 0;
    // Where the program's dialogs open (global coordinates).
    virtual QPoint dialogAnchor() const = 0;

    // Shows the current sermon's manuscript again (after work that moved
    // the table or changed the gathering in force).
    virtual void RefreshManuscriptView() = 0;
    // Brings the manuscript page to the front with `word` marked, from the
    // start of the text.
    virtual void showManuscriptHit(const QString &word) = 0;
    // The settings windows stored new fonts and colours, or new preset
    // words: the window reads them again.
    virtual void applyFontSettings() = 0;
    virtual void reloadChoiceLists() = 0;

    // The one way a command is wired: a menu item (before `before`, at the
    // menu's end when nullptr) whose triggering runs `run` as a command
    // (platform/commands.h), with its object name and key.
    static QAction *addCommand(QMenu *menu, const QString &caption, const QString &objectName,
                               std::function<void()> run, const QKeySequence &key = {}, QAction *before = nullptr);
    // A button whose click runs `run` as a command.
    static void onClick(QAbstractButton *button, std::function<void()> run);
};

} // namespace verbana::store::ui
