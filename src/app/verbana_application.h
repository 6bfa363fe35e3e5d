// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

namespace verbana {

// The application object. An error meant for the user that no command
// caught reaches the one general error box here, and the program goes on.
class VerbanaApplication : public QApplication {
public:
    VerbanaApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

// Lets the Windows font names the settings keep show in a Nanum font.
void installFontSubstitutions();

} // namespace verbana
