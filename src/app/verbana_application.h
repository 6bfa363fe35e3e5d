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

// Lets the Windows font names the settings keep show in a Nanum font.
void installFontSubstitutions();

} // namespace verbana
