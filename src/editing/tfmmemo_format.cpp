// SPDX-License-Identifier: GPL-3.0-or-later
// The document editor's formatting, its controls following the cursor, the
// page colour and ruler, and printing.
#include "editing/colour_map.h"
#include "editing/memo_controls.h"
#include "editing/tfmmemo.h"
#include "platform/described.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "settings/profile.h"

#include <QLineEdit>
#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScopedValueRollback>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

namespace verbana::editing {

namespace {

QString familyOf(const QTextCharFormat &f, const QTextDocument &doc)
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty())
        return families.first();
    return doc.defaultFont().family();
}

// A colour picked in a dialog as the settings file stores it.
colours::TColor toTColor(const QColor &c)
{
    return colours::TColor(c.red()) | colours::TColor(c.green()) << 8 | colours::TColor(c.blue()) << 16;
}

} // namespace

void Tfmmemo::syncControls()
{
    if (syncing_)
        return;
    QScopedValueRollback guard(syncing_, true);
    const QTextCursor cursor = RichEdit1_->textCursor();
    const QTextCharFormat f = cursor.charFormat();
    const QTextDocument &doc = *RichEdit1_->document();

    const memo::Markers m = memo::markersFor(memo::indentsOf(cursor.blockFormat()), Ruler_->width());
    Ruler_->setMarkers(m.firstLine, m.left);

    btnBold_->setChecked(f.fontWeight() >= QFont::Bold);
    btnItalic_->setChecked(f.fontItalic());
    btnUnderline_->setChecked(f.fontUnderline());

    const QString family = familyOf(f, doc);
    if (cbFont_->currentText() != family) {
        const int at = cbFont_->findText(family, Qt::MatchFixedString);
        if (at >= 0)
            cbFont_->setCurrentIndex(at);
        cbFont_->setEditText(family);
        cbFont_->lineEdit()->setCursorPosition(0); // the start of a long name
    }

    const qreal points = f.fontPointSize() > 0 ? f.fontPointSize() : doc.defaultFont().pointSizeF();
    eSize_->setSize(qRound(points));

    const QColor colour = f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush
                              ? f.foreground().color()
                              : QColor(Qt::black);
    cbColour_->setCurrentIndex(cbColour_->findData(QColor(colour.rgb())));

    const Qt::Alignment a = cursor.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    QToolButton *down = a == Qt::AlignHCenter ? btnCenter_ : (a == Qt::AlignRight ? btnRight_ : btnLeft_);
    down->setChecked(true);
}

void Tfmmemo::mergeFormat(const QTextCharFormat &format)
{
    if (syncing_)
        return;
    RichEdit1_->mergeCurrentCharFormat(format);
}

void Tfmmemo::applySize(int size)
{
    QTextCharFormat f;
    f.setFontPointSize(size);
    mergeFormat(f);
}

void Tfmmemo::setAlignment(Qt::Alignment alignment)
{
    RichEdit1_->setAlignment(alignment);
    syncControls();
}

memo::Indents Tfmmemo::currentIndents() const { return memo::indentsOf(RichEdit1_->textCursor().blockFormat()); }

void Tfmmemo::setIndents(const memo::Indents &indents)
{
    QTextCursor cursor = RichEdit1_->textCursor();
    QTextBlockFormat f;
    memo::applyIndents(f, indents);
    cursor.mergeBlockFormat(f);
    syncControls();
}

void Tfmmemo::mnBlockFontClick()
{
    const QTextCharFormat current = RichEdit1_->textCursor().charFormat();
    QFont start = current.font();
    start.setFamilies({familyOf(current, *RichEdit1_->document())});
    if (current.fontPointSize() <= 0)
        start.setPointSizeF(RichEdit1_->document()->defaultFont().pointSizeF());
    // The colour of the selection goes with its name, size and style.
    const QColor shown = current.hasProperty(QTextFormat::ForegroundBrush) && current.foreground().style() != Qt::NoBrush
                             ? current.foreground().color()
                             : RichEdit1_->palette().color(QPalette::Text);
    QString colour = shown.name();
    const QString chosen = chooseFontAndColour(start.toString(), colour);
    if (chosen.isEmpty())
        return;
    QFont font;
    font.fromString(chosen);
    QTextCharFormat f;
    f.setForeground(QColor::fromString(colour));
    f.setFontFamilies(QStringList{font.family()});
    if (font.pointSizeF() > 0)
        f.setFontPointSize(font.pointSizeF());
    f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    f.setFontItalic(font.italic());
    f.setFontUnderline(font.underline());
    mergeFormat(f);
    syncControls();
}

void Tfmmemo::mnPageColourClick()
{
    const QString chosen = chooseColour(toQColor(pageColour_).name());
    if (chosen.isEmpty())
        return;
    setPageColour(toTColor(QColor::fromString(chosen)));
    settings::Profile(settings::iniPath())
        .writeColour(QStringLiteral("문서편집기"), QStringLiteral("바탕색"), pageColour_);
}

void Tfmmemo::mnRulerClick()
{
    Ruler_->setVisible(Ruler_->isHidden());
    syncControls();
}

void Tfmmemo::mnPrintClick()
{
    QPrintPreviewDialog preview(printer_.get(), this);
    preview.setObjectName(QStringLiteral("dlgPreview"));
    preview.setWindowTitle(QStringLiteral("미리보기"));
    connect(&preview, &QPrintPreviewDialog::paintRequested, this, &Tfmmemo::render);
    runModal(&preview);
}

void Tfmmemo::mnPrintSetupClick()
{
    QPageSetupDialog setup(printer_.get(), this);
    setup.setObjectName(QStringLiteral("dlgPageSetup"));
    setup.setWindowTitle(QStringLiteral("쪽 설정"));
    runModal(&setup);
}

// Pages in the printer's page layout (portrait, one-inch margins unless the
// page set-up changed them), the page number centred at the foot of each.
void Tfmmemo::render(QPrinter *printer)
{
    std::unique_ptr<QTextDocument> doc(RichEdit1_->document()->clone());
    doc->setDefaultFont(RichEdit1_->font());
    doc->setDocumentMargin(0);
    QPainter painter(printer);
    if (!painter.isActive())
        return;
    // The document is laid out in its own pixels (96 to the inch) and
    // scaled to the printer's resolution.
    const qreal scale = printer->resolution() / 96.0;
    const QRectF paint = printer->pageLayout().paintRectPixels(printer->resolution());
    const QSizeF page(paint.width() / scale, paint.height() / scale);
    const qreal footer = 32;
    const qreal bodyHeight = page.height() - footer;
    doc->setPageSize(QSizeF(page.width(), bodyHeight));
    const int pages = doc->pageCount();
    painter.scale(scale, scale);
    // Sized in the document's pixels, like its text, before the scaling.
    QFont numberFont = RichEdit1_->font();
    numberFont.setPixelSize(qRound(numberFont.pointSizeF() * 96.0 / 72.0));
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer->newPage();
        painter.save();
        painter.translate(0, -i * bodyHeight);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, i * bodyHeight, page.width(), bodyHeight);
        painter.setClipRect(context.clip);
        doc->documentLayout()->draw(&painter, context);
        painter.restore();
        painter.setFont(numberFont);
        painter.drawText(QRectF(0, bodyHeight, page.width(), footer), Qt::AlignHCenter | Qt::AlignBottom,
                         QStringLiteral("- %1 -").arg(i + 1));
    }
}

} // namespace verbana::editing
