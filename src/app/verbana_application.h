// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

#include <functional>

namespace verbana {

// The application object. An error meant for the user that no command
// caught reaches the one general error box here, and the program goes on.
class VerbanaApplication : public QApplication {
public:
    VerbanaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Runs `deliver`; an error meant for the user that escapes it is shown in
// the general error box, and the event counts as not handled.
bool deliverShowingErrors(const std::function<bool()> &deliver);

// Sets the application up before any window is made: its name "Verbana"
// (window titles stay exactly the captions given them: no display name is
// added to them), a Korean locale whatever the system's, the font
// substitutions, and Qt's own Korean texts for the standard dialogs and
// the boxes' context menus. False when Qt's
// Korean translation could not be loaded (the program goes on in English
// for those few texts).
bool configureApplication(QApplication &app);

} // namespace verbana
