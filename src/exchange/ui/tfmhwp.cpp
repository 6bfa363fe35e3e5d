// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/ui/tfmhwp.h"

namespace verbana::exchange::ui {

Tfmhwp::Tfmhwp(xbase::TApolloTable &table, const QString &collectionFolder, QWidget *parent)
    : BatchImportWindow({ImportKind::Hwp, QStringLiteral("아래아 한글 파일들 불러넣기"), {QStringLiteral("*.hwp")}, true},
                        table, collectionFolder, parent)
{
    setObjectName(QStringLiteral("fmhwp"));
}

TfmRTF::TfmRTF(xbase::TApolloTable &table, const QString &collectionFolder, QWidget *parent)
    : BatchImportWindow({ImportKind::Text, QStringLiteral("TXT, RTF, CAP 파일들 불러넣기"),
                         {QStringLiteral("*.txt"), QStringLiteral("*.rtf"), QStringLiteral("*.cap")}, false},
                        table, collectionFolder, parent)
{
    setObjectName(QStringLiteral("fmRTF"));
}

} // namespace verbana::exchange::ui
