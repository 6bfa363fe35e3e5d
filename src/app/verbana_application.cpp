// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/verbana_application.h"

#include "platform/prompts.h"
#include "platform/user_error.h"

#include <QFont>

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

void installFontSubstitutions()
{
    QFont::insertSubstitutions(QStringLiteral("굴림체"),
                               {QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic")});
    QFont::insertSubstitutions(QStringLiteral("굴림"),
                               {QStringLiteral("NanumGothic"), QStringLiteral("NanumGothicCoding")});
    QFont::insertSubstitutions(QStringLiteral("돋움체"),
                               {QStringLiteral("NanumGothicCoding"), QStringLiteral("NanumGothic")});
    QFont::insertSubstitutions(QStringLiteral("바탕체"), {QStringLiteral("NanumMyeongjo"), QStringLiteral("NanumGothic")});
}

} // namespace verbana
