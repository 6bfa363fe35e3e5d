// SPDX-License-Identifier: GPL-3.0-or-later
// Reading RTF and plain text into a QTextDocument.
#include "richtext/richtext.h"

#include "richtext/codepage.h"
#include "richtext/internal.h"
#include "richtext/rtf_parser.h"

#include "platform/cp949.h"

#include <QFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <vector>

namespace verbana::richtext {
namespace {

constexpr qreal TwipsPerPixel = 15.0;

QTextBlockFormat blockFormatOf(const rtf::ParaProps &p)
{
    QTextBlockFormat f;
    switch (p.align) {
    case rtf::Align::Left: f.setAlignment(Qt::AlignLeft); break;
    case rtf::Align::Center: f.setAlignment(Qt::AlignHCenter); break;
    case rtf::Align::Right: f.setAlignment(Qt::AlignRight); break;
    case rtf::Align::Justify: f.setAlignment(Qt::AlignJustify); break;
    }
    f.setLeftMargin(p.leftTwips / TwipsPerPixel);
    f.setRightMargin(p.rightTwips / TwipsPerPixel);
    f.setTextIndent(p.firstTwips / TwipsPerPixel);
    return f;
}

// Collects the body as paragraphs of formatted runs; the document is built
// in one pass at the end.
class DocumentBuilder final : public rtf::Sink {
public:
    void setParser(const rtf::Parser *parser) { parser_ = parser; }

    void bytes(const char *data, qsizetype size, int codePage) override
    {
        syncFormat();
        if (codePage != bytesCodePage_)
            flushBytes();
        bytesCodePage_ = codePage;
        pendingBytes_.append(data, size);
    }

    void unit(char16_t u) override
    {
        syncFormat();
        flushBytes();
        runText_.append(QChar(u));
    }

    void lineBreak() override { unit(0x2028); }

    void paragraphEnd() override
    {
        syncFormat();
        flushRun();
        current_.block = blockFormatOf(parser_->para());
        current_.mark = charFormat();
        paragraphs_.push_back(std::move(current_));
        current_ = Paragraph();
    }

    void propertiesChanged() override { dirty_ = true; }

    void build(QTextDocument &doc)
    {
        flushRun();
        const bool undo = doc.isUndoRedoEnabled();
        doc.setUndoRedoEnabled(false);
        doc.clear();
        QTextCursor cursor(&doc);
        bool first = true;
        for (const Paragraph &p : paragraphs_) {
            if (first) {
                cursor.setBlockFormat(p.block);
                cursor.setBlockCharFormat(p.mark);
                first = false;
            } else {
                cursor.insertBlock(p.block, p.mark);
            }
            for (const Run &r : p.runs)
                cursor.insertText(r.text, r.format);
        }
        doc.setUndoRedoEnabled(undo);
    }

private:
    struct Run {
        QString text;
        QTextCharFormat format;
    };
    struct Paragraph {
        std::vector<Run> runs;
        QTextBlockFormat block;
        QTextCharFormat mark;
    };

    QTextCharFormat charFormat() const
    {
        const rtf::CharProps &c = parser_->chars();
        const bool db = c.runType == rtf::RunType::Double;
        QTextCharFormat f;
        const rtf::Font *font = parser_->font(db && c.dbFont >= 0 ? c.dbFont : c.font);
        if (font && !font->name.isEmpty())
            f.setFontFamilies(QStringList{font->name});
        const int half = db && c.dbHalfPoints > 0 ? c.dbHalfPoints : c.halfPoints;
        f.setFontPointSize(half / 2.0);
        const bool bold = db && c.dbBold >= 0 ? c.dbBold != 0 : c.bold;
        f.setFontWeight(bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(db && c.dbItalic >= 0 ? c.dbItalic != 0 : c.italic);
        f.setFontUnderline(c.underline);
        const rtf::Color *color = parser_->color(c.color);
        if (color && !color->automatic)
            f.setForeground(QColor(color->rgb));
        return f;
    }

    void syncFormat()
    {
        if (!dirty_)
            return;
        dirty_ = false;
        QTextCharFormat f = charFormat();
        if (f != runFormat_) {
            flushRun();
            runFormat_ = std::move(f);
        }
    }

    void flushBytes()
    {
        if (pendingBytes_.isEmpty())
            return;
        codepage::decode(bytesCodePage_, pendingBytes_, runText_);
        pendingBytes_.clear();
    }

    void flushRun()
    {
        flushBytes();
        if (runText_.isEmpty())
            return;
        current_.runs.push_back(Run{std::move(runText_), runFormat_});
        runText_ = QString();
    }

    const rtf::Parser *parser_ = nullptr;
    std::vector<Paragraph> paragraphs_;
    Paragraph current_;
    QString runText_;
    QTextCharFormat runFormat_;
    QByteArray pendingBytes_;
    int bytesCodePage_ = codepage::Cp949;
    bool dirty_ = true;
};

} // namespace

bool isRtf(QByteArrayView data) { return data.startsWith(QByteArrayView("{\\rtf")); }

void readRtf(QByteArrayView rtf, QTextDocument &doc)
{
    DocumentBuilder builder;
    rtf::Parser parser(builder);
    builder.setParser(&parser);
    parser.parse(rtf);
    builder.build(doc);
}

void readPlainText(QByteArrayView bytes, QTextDocument &doc)
{
    QString text;
    cp949::decodeAppend(bytes, text);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // As in RTF: a vertical tab is a line break inside the paragraph, other
    // control characters are no text.
    text.replace(QChar(u'\v'), QChar(QChar::LineSeparator));
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(text);
    doc.setUndoRedoEnabled(undo);
}

void readDocument(QByteArrayView data, QTextDocument &doc)
{
    if (isRtf(data))
        readRtf(data, doc);
    else
        readPlainText(data, doc);
}

Status readDocument(QIODevice &device, QTextDocument &doc)
{
    QByteArray data;
    Status st = readAllFrom(device, data);
    if (st.ok())
        readDocument(data, doc);
    return st;
}

Status readDocumentFile(const QString &path, QTextDocument &doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("%1: %2").arg(path, file.errorString())};
    return readDocument(file, doc);
}

Status readAllFrom(QIODevice &device, QByteArray &data)
{
    if (!device.isReadable())
        return {QStringLiteral("the document cannot be read: %1").arg(device.errorString())};
    data = device.readAll();
    if (auto *file = qobject_cast<QFile *>(&device); file && file->error() != QFileDevice::NoError)
        return {QStringLiteral("%1: %2").arg(file->fileName(), file->errorString())};
    return {};
}

} // namespace verbana::richtext
