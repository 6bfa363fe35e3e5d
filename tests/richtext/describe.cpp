// SPDX-License-Identifier: GPL-3.0-or-later
#include "describe.h"

#include "platform/cp949.h"

#include <QTextBlock>
#include <QTextDocument>

namespace verbana::test {
namespace {

QString charText(const QTextCharFormat &f)
{
    QString s = QStringLiteral("[%1 %2").arg(f.fontFamilies().toStringList().join(QLatin1Char(',')))
                    .arg(f.fontPointSize());
    if (f.fontWeight() >= QFont::DemiBold)
        s += QStringLiteral(" b");
    if (f.fontItalic())
        s += QStringLiteral(" i");
    if (f.fontUnderline())
        s += QStringLiteral(" u");
    if (f.hasProperty(QTextFormat::ForegroundBrush))
        s += QStringLiteral(" ") + f.foreground().color().name();
    return s + QLatin1Char(']');
}

} // namespace

QString describe(const QTextDocument &doc)
{
    QString out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        const Qt::Alignment a = bf.alignment() & Qt::AlignHorizontal_Mask;
        const char *align = (a & Qt::AlignJustify) ? "J" : (a & Qt::AlignHCenter) ? "C" : (a & Qt::AlignRight) ? "R" : "L";
        out += QStringLiteral("%1 li%2 ri%3 fi%4 mark%5:")
                   .arg(QLatin1String(align))
                   .arg(bf.leftMargin())
                   .arg(bf.rightMargin())
                   .arg(bf.textIndent())
                   .arg(charText(b.charFormat()));
        // Adjacent fragments of one format are one run, however they were
        // inserted.
        QString lastFormat;
        QString run;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QString f = charText(it.fragment().charFormat());
            if (f != lastFormat && !lastFormat.isEmpty()) {
                out += lastFormat + QLatin1Char('"') + run + QLatin1Char('"');
                run.clear();
            }
            lastFormat = f;
            run += it.fragment().text();
        }
        if (!lastFormat.isEmpty())
            out += lastFormat + QLatin1Char('"') + run + QLatin1Char('"');
        out += QLatin1Char('\n');
    }
    return out;
}

QByteArray cp949Lines(const QByteArray &utf8)
{
    QByteArray b = cp949::encodeLossy(QString::fromUtf8(utf8));
    b.replace("\n", "\r\n");
    return b;
}

} // namespace verbana::test
