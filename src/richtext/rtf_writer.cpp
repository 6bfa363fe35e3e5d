// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a QTextDocument as RTF in the style of RichEdit with code page 949.
#include "richtext/richtext.h"

#include "richtext/codepage.h"
#include "richtext/internal.h"

#include "platform/cp949.h"

#include <QFont>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <unordered_map>
#include <vector>

namespace verbana::richtext {
namespace {

constexpr qreal TwipsPerPixel = 15.0;
constexpr char Hex[] = "0123456789abcdef";

// Starts as a reader starts: font and size unknown, the rest off.
struct CharState {
    int font = -1;
    int halfPoints = -1;
    int color = 0; // 0 automatic
    int bold = 0;
    int italic = 0;
    int underline = 0;
    bool operator==(const CharState &) const = default;
};

struct ParaState {
    char align = 'l';
    int left = 0;
    int right = 0;
    int first = 0;
    bool operator==(const ParaState &) const = default;
};

// Distinct values in the order of their first use, each numbered once.
template <typename T>
class Numbering {
public:
    int operator()(const T &value)
    {
        const auto [it, added] = index_.try_emplace(value, static_cast<int>(values_.size()));
        if (added)
            values_.push_back(value);
        return it->second;
    }
    const std::vector<T> &values() const { return values_; }

private:
    std::vector<T> values_;
    std::unordered_map<T, int> index_;
};

class Writer {
public:
    explicit Writer(const QTextDocument &doc) : doc_(doc)
    {
        const QFont base = doc.defaultFont();
        defaultFamily_ = base.family();
        defaultFamily_ = familyName(defaultFamily_);
        if (defaultFamily_.isEmpty())
            defaultFamily_ = QStringLiteral(u"굴림");
        defaultHalfPoints_ = base.pointSizeF() > 0 ? qRound(base.pointSizeF() * 2) : 20;
    }

    QByteArray write()
    {
        // The tables first: every font and colour the document uses.
        for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
            stateOf(b.charFormat());
            for (auto it = b.begin(); !it.atEnd(); ++it)
                stateOf(it.fragment().charFormat());
        }
        out_.reserve(doc_.characterCount() * 4 + 256);
        out_ += "{\\rtf1\\ansi\\ansicpg949\\deff0\\deflang1033\\deflangfe1042{\\fonttbl";
        int id = 0;
        for (const QString &family : fonts_.values()) {
            out_ += "{\\f" + QByteArray::number(id++) + "\\fnil\\fcharset129 ";
            needSpace_ = false;
            text(family);
            out_ += ";}";
        }
        out_ += "}\r\n";
        if (!colors_.values().empty()) {
            out_ += "{\\colortbl ;";
            for (QRgb c : colors_.values())
                out_ += "\\red" + QByteArray::number(qRed(c)) + "\\green" + QByteArray::number(qGreen(c)) + "\\blue"
                        + QByteArray::number(qBlue(c)) + ';';
            out_ += "}\r\n";
        }
        out_ += "\\viewkind4\\uc1";
        needSpace_ = true;
        bool first = true;
        for (QTextBlock b = doc_.begin(); b.isValid(); b = b.next()) {
            const ParaState p = paraOf(b.blockFormat());
            if (first || !(p == para_))
                writePara(p);
            first = false;
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                writeChars(stateOf(f.charFormat()));
                text(f.text());
            }
            writeChars(stateOf(b.charFormat()));
            out_ += "\\par\r\n";
            needSpace_ = false;
        }
        out_ += "}\r\n";
        return out_;
    }

private:
    // A font name as the font table can hold it: no ';' (it ends the
    // entry), no control characters, no blanks around it.
    QString familyName(QString name) const
    {
        name.removeIf([](QChar c) { return c == u';' || c.unicode() < 0x20; });
        name = name.trimmed();
        return name.isEmpty() ? defaultFamily_ : name;
    }

    CharState stateOf(const QTextCharFormat &f)
    {
        CharState s;
        const QStringList families = f.fontFamilies().toStringList();
        s.font = fonts_(families.isEmpty() ? defaultFamily_ : familyName(families.first()));
        s.halfPoints = f.fontPointSize() > 0 ? qRound(f.fontPointSize() * 2) : defaultHalfPoints_;
        s.color = 0;
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            s.color = colors_(f.foreground().color().rgb() | 0xff000000u) + 1; // 0 is automatic
        s.bold = f.fontWeight() >= QFont::DemiBold ? 1 : 0;
        s.italic = f.fontItalic() ? 1 : 0;
        s.underline = f.fontUnderline() ? 1 : 0;
        return s;
    }

    static ParaState paraOf(const QTextBlockFormat &f)
    {
        ParaState p;
        const Qt::Alignment a = f.alignment() & Qt::AlignHorizontal_Mask;
        if (a & Qt::AlignJustify)
            p.align = 'j';
        else if (a & Qt::AlignHCenter)
            p.align = 'c';
        else if (a & (Qt::AlignRight | Qt::AlignTrailing))
            p.align = 'r';
        p.left = qRound(f.leftMargin() * TwipsPerPixel);
        p.right = qRound(f.rightMargin() * TwipsPerPixel);
        p.first = qRound(f.textIndent() * TwipsPerPixel);
        return p;
    }

    void word(const char *w, int value)
    {
        out_ += '\\';
        out_ += w;
        out_ += QByteArray::number(value);
        needSpace_ = true;
    }

    void word(const char *w)
    {
        out_ += '\\';
        out_ += w;
        needSpace_ = true;
    }

    void writePara(const ParaState &p)
    {
        word("pard");
        if (p.align != 'l') {
            const char w[3] = {'q', p.align, 0};
            word(w);
        }
        if (p.left)
            word("li", p.left);
        if (p.right)
            word("ri", p.right);
        if (p.first)
            word("fi", p.first);
        para_ = p;
    }

    void writeChars(const CharState &s)
    {
        if (s == chars_)
            return;
        if (s.font != chars_.font)
            word("f", s.font);
        if (s.halfPoints != chars_.halfPoints)
            word("fs", s.halfPoints);
        if (s.color != chars_.color)
            word("cf", s.color);
        if (s.bold != chars_.bold)
            s.bold ? word("b") : word("b", 0);
        if (s.italic != chars_.italic)
            s.italic ? word("i") : word("i", 0);
        if (s.underline != chars_.underline)
            s.underline ? word("ul") : word("ulnone");
        chars_ = s;
    }

    void literal(char c)
    {
        if (needSpace_)
            out_ += ' ';
        needSpace_ = false;
        out_ += c;
    }

    void escape(unsigned b)
    {
        out_ += "\\'";
        out_ += Hex[(b >> 4) & 0xF];
        out_ += Hex[b & 0xF];
        needSpace_ = false;
    }

    void text(const QString &t)
    {
        for (QChar qc : t) {
            const char16_t u = qc.unicode();
            if (u == u'\\' || u == u'{' || u == u'}') {
                out_ += '\\';
                out_ += static_cast<char>(u);
                needSpace_ = false;
            } else if (u >= 0x20 && u < 0x7F) {
                literal(static_cast<char>(u));
            } else if (u == u'\t') {
                word("tab");
            } else if (u == 0x2028) {
                word("line");
            } else if (u == 0x00A0) {
                out_ += "\\~";
                needSpace_ = false;
            } else if (u == 0x7F) {
                escape(u);
            } else if (u < 0x20 || u == 0xFDD0 || u == 0xFDD1) {
                continue;
            } else if (const std::uint16_t code = cp949::encodeChar(u); code >= 0x100) {
                escape(code >> 8);
                escape(code & 0xFF);
            } else {
                out_ += "\\u" + QByteArray::number(static_cast<qint16>(u)) + '?';
                needSpace_ = false;
            }
        }
    }

    const QTextDocument &doc_;
    QString defaultFamily_;
    int defaultHalfPoints_ = 20;
    Numbering<QString> fonts_;
    Numbering<QRgb> colors_;
    CharState chars_;
    ParaState para_;
    QByteArray out_;
    bool needSpace_ = false;
};

} // namespace

QByteArray toRtf(const QTextDocument &doc) { return Writer(doc).write(); }

Status writeAllTo(QIODevice &device, QByteArrayView data)
{
    if (!device.isWritable())
        return {QStringLiteral("the document cannot be written: %1").arg(device.errorString())};
    qsizetype done = 0;
    while (done < data.size()) {
        const qint64 n = device.write(data.data() + done, data.size() - done);
        if (n <= 0)
            return {device.errorString()};
        done += n;
    }
    return {};
}

Status writeRtf(const QTextDocument &doc, QIODevice &device) { return writeAllTo(device, toRtf(doc)); }

Status writeRtfFile(const QTextDocument &doc, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {QStringLiteral("%1: %2").arg(path, file.errorString())};
    if (Status st = writeRtf(doc, file); !st.ok())
        return {QStringLiteral("%1: %2").arg(path, st.error)};
    if (!file.commit())
        return {QStringLiteral("%1: %2").arg(path, file.errorString())};
    return {};
}

} // namespace verbana::richtext
