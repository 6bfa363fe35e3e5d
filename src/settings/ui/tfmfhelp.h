// SPDX-License-Identifier: GPL-3.0-or-later
// The start helper: greets the user and opens the help topics a newcomer
// needs first.
#pragma once

#include <QDialog>
#include <QLabel>

class QCheckBox;

namespace verbana::settings::ui {

// A blue label with the hand cursor that does something when clicked, or
// when Enter or Space is pressed while it has the focus.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(const QString &text, QWidget *parent = nullptr);
Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

class Tfmfhelp : public QDialog {
    Q_OBJECT
public:
    // `iniPath`: the settings file, whose key "help" the window writes
    // when it closes.
    Tfmfhelp(QString iniPath, bool noMore, QWidget *parent = nullptr);

    // At start-up: the box unticked. From the menu: the box set from the
    // file (ticked when the helper is not shown at start).
    static void ExecuteAtStart(const QString &iniPath, QWidget *parent);
    static void ExecuteFromMenu(const QString &iniPath, QWidget *parent);

    // Every closing (닫기 or the close box) stores "help" := not the box.
    void done(int result) override;

private:
    QString iniPath_;
    QCheckBox *CBnext_ = nullptr;
};

} // namespace verbana::settings::ui
