// SPDX-License-Identifier: GPL-3.0-or-later
// The settings window: the two general choices and the four lists of
// preset words offered in the sermon form.
#pragma once

#include <QDialog>

#include <array>
#include <functional>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace verbana::settings::ui {

class Tfmconfig : public QDialog {
    Q_OBJECT
public:
    enum Page { pgGeneral = 0, pgLists = 1 };
    // The four list sections, in the order their keys are written.
    static const std::array<QString, 4> &listSections();

    // `iniPath`: the settings file. `listsChanged` runs after the lists
    // were stored, so that the sermon form takes them up at once.
    Tfmconfig(QString iniPath, std::function<void()> listsChanged, QWidget *parent = nullptr);

    // Reads the file again, puts the page in front and shows the window
    // modally until it closes.
    void Execute(Page page);

    void btnSaveGenClick();
    void btnListOKClick();

private:
    void readFile();

    QString iniPath_;
    std::function<void()> listsChanged_;
    QStackedWidget *pages_ = nullptr;
    QCheckBox *cbFirstHelp_ = nullptr, *cbHwpMess_ = nullptr;
    QTabWidget *tabs_ = nullptr;
    std::array<QPlainTextEdit *, 4> memos_{};
};

// The lines of a text box as the words of a list: an empty box has none,
// a line break at the very end adds no empty word.
QStringList memoLines(const QString &text);

} // namespace verbana::settings::ui
