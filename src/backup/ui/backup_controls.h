// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QBoxLayout;
class QDialog;
class QLineEdit;
class QListWidget;
class QPushButton;
class QListWidgetItem;

// Controls the backup windows share: the one-column collection list and
// name boxes that drop the characters a folder name cannot hold.
namespace verbana::backup::ui {

// Fills `list` with the collections of the program folder, sorted without
// regard to case; an empty list shows one empty row. No row is current.
void fillCollectionList(QListWidget *list);
// Makes the row of `name`, if listed, the current and selected one.
void chooseCollection(QListWidget *list, const QString &name);
// The current row when the user selected it, else null.
const QListWidgetItem *chosenItem(const QListWidget *list);
// The trimmed text of the current row when the user selected it; empty
// when there is none.
QString currentCollection(const QListWidget *list);

// Whatever is typed or pasted into `box` loses the characters of `refused`.
void dropCharacters(QLineEdit *box, const QString &refused);

// The "시작" (default) and "취소" (Escape) buttons of the ZIP windows, in
// a row to the right; 취소 rejects the dialog.
QBoxLayout *startAndCancel(QDialog *dialog, QPushButton *&start, QPushButton *&cancel);

// A new collection's name taken from `box` (trimmed, less `refused`); on
// a problem it is shown, the focus goes to the box and the result is empty.
QString checkedNewName(QLineEdit *box, const QString &refused, const QString &emptyMessage,
                       const QString &existsMessage);

// `file` with `extension` (without its dot) added when it has none.
QString withDefaultExtension(const QString &file, const QString &extension);

} // namespace verbana::backup::ui
