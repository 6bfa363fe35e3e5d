// SPDX-License-Identifier: GPL-3.0-or-later
// Reading RTF and plain text into a QTextDocument.
#include "richtext/richtext.h"

#include "richtext/codepage.h"
#include "richtext/internal.h"
#include "richtext/rtf_parser.h"

#include "platform/cp949.h"

#include <QStringDecoder>
#include <QFile>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <deque>
#include <optional>
#include <vector>

namespace verbana::richtext {
namespace {

constexpr qreal TwipsPerPixel = 15.0;
// Qt's store of formats hashes a format without its font family, so finding
// one compares it with every stored format that differs only in the family:
// text in thousands of fonts would take quadratic time. A manuscript uses a
// few fonts; text in a font past the first MaxFamilies names takes the
// document's default font.
constexpr qsizetype MaxFamilies = 256;

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
        if (parser_->para() != blockProps_) {
            blockProps_ = parser_->para();
            blockFormat_ = blockFormatOf(blockProps_);
        }
        // Unchanged formats are shared, not made again for every paragraph.
        current_.block = blockFormat_;
        current_.mark = runFormat_;
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
        // One edit block: outside one, every insertion lays out its whole
        // paragraph again to place the cursor.
        cursor.beginEditBlock();
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
        cursor.endEditBlock();
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

    // What a run's character format is made of, cheap to compare.
    struct Look {
        QString family; // empty: the document's default font
        int halfPoints = 0;
        bool bold = false;
        bool italic = false;
        bool underline = false;
        std::optional<QRgb> color; // none: the automatic colour
        bool operator==(const Look &) const = default;
    };

    Look currentLook()
    {
        const rtf::CharProps &c = parser_->chars();
        const bool db = c.runType == rtf::RunType::Double;
        Look l;
        const rtf::Font *font = parser_->font(db && c.dbFont >= 0 ? c.dbFont : c.font);
        if (font && !font->name.isEmpty() && takeFamily(font->name))
            l.family = font->name;
        l.halfPoints = db && c.dbHalfPoints > 0 ? c.dbHalfPoints : c.halfPoints;
        l.bold = db && c.dbBold >= 0 ? c.dbBold != 0 : c.bold;
        l.italic = db && c.dbItalic >= 0 ? c.dbItalic != 0 : c.italic;
        l.underline = c.underline;
        const rtf::Color *color = parser_->color(c.color);
        if (color && !color->automatic)
            l.color = color->rgb;
        return l;
    }

    static QTextCharFormat formatOf(const Look &l)
    {
        QTextCharFormat f;
        if (!l.family.isEmpty())
            f.setFontFamilies(QStringList{l.family});
        f.setFontPointSize(l.halfPoints / 2.0);
        f.setFontWeight(l.bold ? QFont::Bold : QFont::Normal);
        f.setFontItalic(l.italic);
        f.setFontUnderline(l.underline);
        if (l.color)
            f.setForeground(QColor(*l.color));
        return f;
    }

    bool takeFamily(const QString &name)
    {
        if (families_.size() < MaxFamilies)
            families_.insert(name);
        return families_.contains(name);
    }

    void syncFormat()
    {
        if (!dirty_)
            return;
        dirty_ = false;
        Look l = currentLook();
        if (runLook_ == l)
            return;
        flushRun();
        runFormat_ = formatOf(l);
        runLook_ = std::move(l);
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
    std::deque<Paragraph> paragraphs_; // grows without copying the formats
    Paragraph current_;
    QString runText_;
    std::optional<Look> runLook_;
    QTextCharFormat runFormat_; // made from runLook_
    QSet<QString> families_;
    rtf::ParaProps blockProps_;
    QTextBlockFormat blockFormat_ = blockFormatOf(blockProps_);
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

namespace {

// Line ends as "\n", a vertical tab as a line break, other control
// characters but the tab dropped.
void normaliseLines(QString &text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    // As in RTF: a vertical tab is a line break inside the paragraph, other
    // control characters are no text.
    text.replace(QChar(u'\v'), QChar(QChar::LineSeparator));
    text.removeIf([](QChar c) { return c.unicode() < 0x20 && c != u'\t' && c != u'\n'; });
}

void setPlainLines(QString text, QTextDocument &doc)
{
    if (text.endsWith(QLatin1Char('\n')))
        text.chop(1);
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    doc.setPlainText(text);
    doc.setUndoRedoEnabled(undo);
}

} // namespace

QString plainTextLines(QByteArrayView bytes)
{
    QString text;
    cp949::decodeAppend(bytes, text);
    normaliseLines(text);
    return text;
}

bool isUtf8Text(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return true;
    // CP949 has no U+FFFD of its own: one in the decoded text marks bytes
    // that are no CP949 character.
    if (!cp949::decode(bytes).contains(QChar::ReplacementCharacter))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    (void)utf8.decode(bytes);
    return !utf8.hasError();
}

void readTextFile(QByteArrayView bytes, QTextDocument &doc)
{
    if (!isUtf8Text(bytes)) {
        readPlainText(bytes, doc);
        return;
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QString text = QString::fromUtf8(bytes);
    normaliseLines(text);
    setPlainLines(std::move(text), doc);
}

void readPlainText(QByteArrayView bytes, QTextDocument &doc) { setPlainLines(plainTextLines(bytes), doc); }

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
