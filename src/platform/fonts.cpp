// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include <QFont>
#include <QStringList>

namespace verbana {

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
