// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ui/tfmhwp.h"

namespace verbana::exchange::ui {

Tfmhwp::Tfmhwp(store::CollectionDocument &document, QWidget *parent)
    : BatchImportWindow({ImportKind::Hwp, QStringLiteral("아래아 한글 파일들 불러넣기"),
                         {QStringLiteral("*.hwp"), QStringLiteral("*.hwpx")}, true},
                        document, parent)
{
    setObjectName(QStringLiteral("fmhwp"));
}

TfmRTF::TfmRTF(store::CollectionDocument &document, QWidget *parent)
    : BatchImportWindow({ImportKind::Text, QStringLiteral("TXT, RTF, CAP 파일들 불러넣기"),
                         {QStringLiteral("*.txt"), QStringLiteral("*.rtf"), QStringLiteral("*.cap")}, false},
                        document, parent)
{
    setObjectName(QStringLiteral("fmRTF"));
}

} // namespace verbana::exchange::ui
