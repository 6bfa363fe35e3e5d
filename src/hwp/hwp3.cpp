// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/hwp3.h"

#include "hwp/cursor.h"
#include "hwp/hchar.h"
#include "hwp/inflate.h"

namespace verbana::hwp {
namespace {

constexpr qsizetype kDocInfoEnd = 1166; // signature, document information, summary
constexpr qsizetype kPasswordAt = 126;
constexpr qsizetype kCompressedAt = 154;
constexpr qsizetype kInfoBlockLengthAt = 156;
constexpr qsizetype kParagraphInfo = 43;
constexpr qsizetype kParagraphShape = 187;
constexpr qsizetype kLineInfo = 14;
constexpr qsizetype kCharShape = 31;
constexpr qsizetype kFontName = 40;
constexpr qsizetype kStyle = 238;

class Reader {
public:
    explicit Reader(QByteArrayView body) : in_(body) {}

    Result<QString> run()
    {
        // Seven font-name lists, then the styles.
        for (int i = 0; i < 7; ++i)
            in_.skip(qint64(in_.u16()) * kFontName);
        in_.skip(qint64(in_.u16()) * kStyle);
        if (in_.failed())
            return fail<QString>("the font and style lists run past the end of the data");
        QString text;
        if (!list(0, text))
            return Result<QString>::failure(Fault::Damaged, QStringLiteral("damaged HWP 3.0 document: %1").arg(QLatin1String(why_)));
        return text;
    }

private:
    template <typename T>
    Result<T> fail(const char *why)
    {
        return Result<T>::failure(Fault::Damaged, QStringLiteral("damaged HWP 3.0 document: %1").arg(QLatin1String(why)));
    }
    bool stop(const char *why)
    {
        if (!why_)
            why_ = why;
        return false;
    }
    bool checked(const char *why) { return in_.failed() ? stop(why) : true; }

    // A run of paragraphs ended by an empty one.
    bool list(int depth, QString &out)
    {
        if (depth > kMaxListDepth)
            return stop("paragraph lists nest too deeply");
        for (;;) {
            bool end = false;
            if (!paragraph(depth, out, end))
                return false;
            if (end)
                return true;
        }
    }

    bool paragraph(int depth, QString &out, bool &end)
    {
        const QByteArrayView info = in_.take(kParagraphInfo);
        if (!checked("a paragraph runs past the end of the data"))
            return false;
        const quint16 count = le16(info, 1);
        if (count == 0) {
            end = true;
            return true;
        }
        const quint16 lines = le16(info, 3);
        if (info[0] == 0)
            in_.skip(kParagraphShape);
        in_.skip(qint64(lines) * kLineInfo);
        if (info[5] != 0) {
            for (int i = 0; i < count && !in_.failed(); ++i)
                if (in_.u8() != 1)
                    in_.skip(kCharShape);
        }
        if (!checked("a paragraph's layout data runs past the end of the data"))
            return false;

        QString line;
        QString nested;
        int weight = 0;
        while (weight < count) {
            const quint16 code = in_.u16();
            if (!checked("a paragraph's characters run past the end of the data"))
                return false;
            if (code >= 32) {
                hchar_.append(line, code);
                ++weight;
                continue;
            }
            int w = 4;
            if (!special(code, depth, line, nested, w))
                return false;
            weight += w;
        }
        if (weight != count)
            return stop("a paragraph's characters do not add up to its length");
        out += line;
        out += u'\n';
        out += nested;
        return true;
    }

    // Skips `size` bytes of a fixed-size special character whose code has
    // been read already, checking that it ends with its code again.
    bool fixed(quint16 code, qsizetype size)
    {
        const QByteArrayView rest = in_.take(size - 2);
        if (!checked("a special character runs past the end of the data"))
            return false;
        if (le16(rest, rest.size() - 2) != code)
            return stop("a special character does not end with its code");
        return true;
    }

    bool special(quint16 code, int depth, QString &line, QString &nested, int &weight)
    {
        switch (code) {
        case 13: // paragraph end
            weight = 1;
            return true;
        case 9:
            line += u'\t';
            return fixed(code, 8);
        case 10: { // table, text box, equation, button
            if (!fixed(code, 8))
                return false;
            const QByteArrayView box = in_.take(84);
            if (!checked("a box runs past the end of the data"))
                return false;
            const quint16 cells = le16(box, 80);
            in_.skip(qint64(cells) * 27);
            if (!checked("a table's cells run past the end of the data"))
                return false;
            for (int i = 0; i < cells; ++i)
                if (!list(depth + 1, nested))
                    return false;
            return list(depth + 1, nested); // caption
        }
        case 11: { // picture, OLE object, drawing
            if (!fixed(code, 8))
                return false;
            const QByteArrayView pic = in_.take(348);
            if (!checked("a picture runs past the end of the data"))
                return false;
            in_.skip(le32(pic, 0));
            if (!checked("a picture's data runs past the end of the data"))
                return false;
            return list(depth + 1, nested); // caption
        }
        case 14: // line
            return fixed(code, 8) && (in_.skip(84) || stop("a line runs past the end of the data"));
        case 15: // hidden comment
        case 16: // header or footer
        case 17: // footnote or endnote
            if (!fixed(code, 8))
                return false;
            if (!in_.skip(code == 15 ? 8 : code == 16 ? 10 : 14))
                return stop("a note runs past the end of the data");
            return list(depth + 1, nested);
        case 18: case 19: case 20: case 21: // numbers, page-number position, page hiding
            return fixed(code, 8);
        case 7: // date format
            weight = 42;
            return fixed(code, 84);
        case 8: // date code
            weight = 48;
            return fixed(code, 96);
        case 22: // mail-merge mark
            weight = 12;
            return fixed(code, 24);
        case 23: // overlapping characters
            weight = 5;
            return fixed(code, 10);
        case 24: // hyphen
            weight = 3;
            line += u'-';
            return fixed(code, 6);
        case 25: // contents-list mark
            weight = 3;
            return fixed(code, 6);
        case 26: // index mark
            weight = 123;
            return fixed(code, 246);
        case 28: // outline number
            weight = 32;
            return fixed(code, 64);
        case 30: // bound space
        case 31: // fixed-width space
            weight = 2;
            line += u' ';
            return fixed(code, 4);
        case 0:
            return stop("character code 0 in a paragraph");
        default: { // reserved form: code, u32 length, code, data
            const quint32 length = in_.u32();
            const quint16 again = in_.u16();
            if (!checked("a special character runs past the end of the data"))
                return false;
            if (again != code)
                return stop("a special character does not end with its code");
            return in_.skip(length) || stop("a special character's data runs past the end of the data");
        }
        }
    }

    Cursor in_;
    HcharConverter hchar_;
    const char *why_ = nullptr;
};

} // namespace

Result<QString> readHwp3Body(QByteArrayView body)
{
    return Reader(body).run();
}

Result<QString> readHwp3Text(QByteArrayView file)
{
    if (!file.startsWith(kHwp3Signature))
        return Result<QString>::failure(Fault::WrongKind, QStringLiteral("not an HWP 3.0 document"));
    if (file.size() < kDocInfoEnd)
        return Result<QString>::failure(Fault::Damaged, QStringLiteral("damaged HWP 3.0 document: the header is cut short"));
    const qsizetype bodyAt = kDocInfoEnd + le16(file, kInfoBlockLengthAt);
    if (bodyAt > file.size())
        return Result<QString>::failure(Fault::Damaged,
                                        QStringLiteral("damaged HWP 3.0 document: the information block runs past the end of the file"));
    if (le16(file, kPasswordAt) != 0)
        return Result<QString>::failure(Fault::Protected, QStringLiteral("the document is protected by a password"));
    const QByteArrayView rest = file.sliced(bodyAt);
    if (file[kCompressedAt] == 0)
        return readHwp3Body(rest);
    auto inflated = inflateRaw(rest);
    if (!inflated.ok())
        return Result<QString>::failure(inflated.fault(), QStringLiteral("damaged HWP 3.0 document: %1").arg(inflated.reason()));
    return readHwp3Body(inflated.value().data);
}

} // namespace verbana::hwp
