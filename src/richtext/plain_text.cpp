// SPDX-License-Identifier: GPL-3.0-or-later
// Plain-text copies: from a document, and straight from RTF bytes.
#include "richtext/richtext.h"

#include "richtext/codepage.h"
#include "richtext/internal.h"
#include "richtext/rtf_parser.h"

#include "platform/cp949.h"

#include <QFile>
#include <QSet>
#include <QTextBlock>
#include <QTextDocument>

namespace verbana::richtext {
namespace {

// Encodes UTF-16 units to CP949, '?' and a report for what CP949 lacks.
class Encoder {
public:
    explicit Encoder(PlainText &result) : r_(result) {}

    void unit(char16_t u)
    {
        if (high_) {
            const char16_t h = high_;
            high_ = 0;
            if (QChar::isLowSurrogate(u)) {
                unmappable(QChar::surrogateToUcs4(h, u));
                return;
            }
            unmappable(QChar::ReplacementCharacter);
        }
        if (u < 0x80) {
            r_.bytes.append(static_cast<char>(u));
        } else if (u == 0x00A0) {
            r_.bytes.append(' ');
        } else if (QChar::isHighSurrogate(u)) {
            high_ = u;
        } else if (QChar::isLowSurrogate(u)) {
            unmappable(QChar::ReplacementCharacter);
        } else if (const std::uint16_t code = cp949::encodeChar(u); code >= 0x100) {
            r_.bytes.append(static_cast<char>(code >> 8));
            r_.bytes.append(static_cast<char>(code & 0xFF));
        } else {
            unmappable(u);
        }
    }

    void unmappable(char32_t c)
    {
        r_.bytes.append('?');
        if (!seen_.contains(c)) {
            seen_.insert(c);
            const char32_t one[1] = {c};
            r_.unmappable += QString::fromUcs4(one, 1);
        }
    }

    void endLine()
    {
        flush();
        r_.bytes.append("\r\n", 2);
    }

    void flush()
    {
        if (high_) {
            high_ = 0;
            unmappable(QChar::ReplacementCharacter);
        }
    }

    PlainText &result() { return r_; }

private:
    PlainText &r_;
    QSet<char32_t> seen_;
    char16_t high_ = 0;
};

// The plain text of an RTF token stream.
class PlainSink final : public rtf::Sink {
public:
    explicit PlainSink(PlainText &result) : enc_(result) {}

    void bytes(const char *data, qsizetype size, int codePage) override
    {
        if (codePage != codepage::Cp949) {
            // Other code pages are decoded a run at a time, so that a
            // double-byte character written as two escapes stays whole.
            flushLead();
            if (codePage != otherCodePage_)
                flushOther();
            otherCodePage_ = codePage;
            other_.append(data, size);
            return;
        }
        flushOther();
        enc_.flush();
        QByteArray &out = enc_.result().bytes;
        const auto *p = reinterpret_cast<const unsigned char *>(data);
        const auto *end = p + size;
        while (p < end) {
            if (lead_) {
                const char16_t u = cp949::decodePair(lead_, *p++);
                lead_ = 0;
                if (u)
                    enc_.unit(u);
                else
                    enc_.unmappable(QChar::ReplacementCharacter);
                continue;
            }
            const auto *s = p;
            while (p < end && *p < 0x80)
                ++p;
            if (p > s)
                out.append(reinterpret_cast<const char *>(s), p - s);
            if (p < end) {
                const unsigned char b = *p++;
                if (b >= 0x81 && b <= 0xFE)
                    lead_ = b;
                else
                    enc_.unmappable(QChar::ReplacementCharacter);
            }
        }
    }

    void unit(char16_t u) override
    {
        flushAll();
        enc_.unit(u);
    }

    void lineBreak() override
    {
        flushAll();
        enc_.endLine();
    }

    void paragraphEnd() override
    {
        flushAll();
        enc_.endLine();
    }

    void finish()
    {
        flushAll();
        enc_.flush();
    }

private:
    void flushOther()
    {
        if (other_.isEmpty())
            return;
        QString decoded;
        codepage::decode(otherCodePage_, other_, decoded);
        other_.clear();
        for (QChar c : decoded)
            enc_.unit(c.unicode());
    }

    void flushAll()
    {
        flushOther();
        flushLead();
    }

    void flushLead()
    {
        if (lead_) {
            lead_ = 0;
            enc_.unmappable(QChar::ReplacementCharacter);
        }
    }

    Encoder enc_;
    unsigned char lead_ = 0;
    QByteArray other_;
    int otherCodePage_ = 0;
};

bool isEmptyDocument(const QTextDocument &doc) { return doc.blockCount() <= 1 && doc.firstBlock().length() <= 1; }

} // namespace

PlainText plainText(const QTextDocument &doc)
{
    PlainText result;
    if (isEmptyDocument(doc))
        return result;
    result.bytes.reserve(doc.characterCount() * 2);
    Encoder enc(result);
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QString text = b.text();
        for (QChar c : text) {
            if (c.unicode() == 0x2028)
                enc.endLine();
            else
                enc.unit(c.unicode());
        }
        enc.endLine();
    }
    return result;
}

PlainText plainTextOf(QByteArrayView data)
{
    if (!isRtf(data)) {
        QTextDocument doc;
        readPlainText(data, doc);
        return plainText(doc);
    }
    PlainText result;
    result.bytes.reserve(data.size() / 2);
    PlainSink sink(result);
    rtf::Parser parser(sink);
    parser.parse(data);
    sink.finish();
    // One empty paragraph is an empty document.
    if (result.bytes == QByteArrayView("\r\n"))
        result = PlainText();
    return result;
}

Status plainTextOfFile(const QString &path, PlainText &result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {QStringLiteral("%1: %2").arg(path, file.errorString())};
    QByteArray data;
    Status st = readAllFrom(file, data);
    if (st.ok())
        result = plainTextOf(data);
    return st;
}

} // namespace verbana::richtext
