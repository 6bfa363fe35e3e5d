// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verbana_application.h"

#include "platform/described.h"
#include "platform/fonts.h"
#include "platform/prompts.h"
#include "platform/user_error.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace verbana {

VerbanaApplication::VerbanaApplication(int &argc, char **argv) : QApplication(argc, argv) {}

bool deliverShowingErrors(const std::function<bool()> &deliver)
{
    try {
        return deliver();
    } catch (const EUserError &error) {
        showError(error.text());
    }
    return false;
}

bool VerbanaApplication::notify(QObject *receiver, QEvent *event)
{
    return deliverShowingErrors([&] { return QApplication::notify(receiver, event); });
}

bool configureApplication(QApplication &app)
{
    QApplication::setApplicationName(QStringLiteral("Verbana"));
    // The name of the installed desktop file, by which the desktop puts the
    // window under the program's menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(VERBANA_APP_ID));
    // Korean whatever the system's locale: weekday and month names, dates
    // in the file choosers, number formats in every widget.
    QLocale::setDefault(QLocale(QLocale::Korean, QLocale::SouthKorea));
    installFontSubstitutions();
    installWindowAccessibility();
    auto *translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ko"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

} // namespace verbana
