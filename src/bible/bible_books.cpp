// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/bible_books.h"

#include "platform/cp949.h"

namespace verbana::bible {
namespace {

const char *const kBooks[66][2] = {
    {"창", "창세기"}, {"출", "출애굽기"}, {"레", "레위기"}, {"민", "민수기"}, {"신", "신명기"},
    {"수", "여호수아"}, {"삿", "사사기"}, {"룻", "룻기"}, {"삼상", "사무엘상"}, {"삼하", "사무엘하"},
    {"왕상", "열왕기상"}, {"왕하", "열왕기하"}, {"대상", "역대상"}, {"대하", "역대하"}, {"스", "에스라"},
    {"느", "느헤미야"}, {"에", "에스더"}, {"욥", "욥기"}, {"시", "시편"}, {"잠", "잠언"},
    {"전", "전도서"}, {"아", "아가"}, {"사", "이사야"}, {"렘", "예레미야"}, {"애", "예레미야애가"},
    {"겔", "에스겔"}, {"단", "다니엘"}, {"호", "호세아"}, {"욜", "요엘"}, {"암", "아모스"},
    {"옵", "오바댜"}, {"욘", "요나"}, {"미", "미가"}, {"나", "나훔"}, {"합", "하박국"},
    {"습", "스바냐"}, {"학", "학개"}, {"슥", "스가랴"}, {"말", "말라기"}, {"마", "마태복음"},
    {"막", "마가복음"}, {"눅", "누가복음"}, {"요", "요한복음"}, {"행", "사도행전"}, {"롬", "로마서"},
    {"고전", "고린도전서"}, {"고후", "고린도후서"}, {"갈", "갈라디아서"}, {"엡", "에베소서"}, {"빌", "빌립보서"},
    {"골", "골로새서"}, {"살전", "데살로니가전서"}, {"살후", "데살로니가후서"}, {"딤전", "디모데전서"},
    {"딤후", "디모데후서"}, {"딛", "디도서"}, {"몬", "빌레몬서"}, {"히", "히브리서"}, {"약", "야고보서"},
    {"벧전", "베드로전서"}, {"벧후", "베드로후서"}, {"요일", "요한일서"}, {"요이", "요한이서"}, {"요삼", "요한삼서"},
    {"유", "유다서"}, {"계", "요한계시록"},
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal value of 1 to 3 digits, or -1 when the text is not a number.
int number(QByteArrayView digits)
{
    if (digits.isEmpty())
        return -1;
    int v = 0;
    for (char c : digits) {
        if (!isDigit(c))
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

void LoadBookTable(BookTable &table)
{
    table.BookAbbrevs.clear();
    table.BookNames.clear();
    for (const auto &row : kBooks) {
        table.BookAbbrevs << cp949::encode(QString::fromUtf8(row[0])).bytes;
        table.BookNames << cp949::encode(QString::fromUtf8(row[1])).bytes;
    }
}

const BookTable &books()
{
    static const BookTable table = [] {
        BookTable t;
        LoadBookTable(t);
        return t;
    }();
    return table;
}

QByteArray MakeBibleNo(QByteArrayView reference, const BookTable &table)
{
    QByteArray text = reference.toByteArray();
    text.replace(' ', QByteArray());

    // The book part ends before the first ASCII digit or colon; the second
    // byte of a Hangul syllable is never one of those.
    qsizetype end = 0;
    while (end < text.size() && !isDigit(text[end]) && text[end] != ':')
        end += cp949::charLength(text, end);
    const QByteArray book = text.left(end);
    if (book.isEmpty())
        return kRefused;
    qsizetype index = table.BookAbbrevs.indexOf(book);
    if (index < 0)
        index = table.BookNames.indexOf(book);
    if (index < 0)
        return kRefused;

    QByteArray rest = text.mid(end, 16);
    rest.replace('~', '-');
    QByteArray kept;
    for (char c : rest)
        if (isDigit(c) || c == ':' || c == '-')
            kept += c;
    const qsizetype dash = kept.indexOf('-');
    if (dash >= 0)
        kept.truncate(dash);
    if (kept.isEmpty())
        kept = "1:1";
    else if (!kept.contains(':'))
        kept += ":1";

    const qsizetype colon = kept.indexOf(':');
    const QByteArray chapterText = kept.left(colon).left(3);
    const QByteArray verseText = kept.mid(colon + 1).left(3);
    int chapter = number(chapterText);
    int verse = verseText.isEmpty() ? 1 : number(verseText);
    if (chapter < 0 || verse < 0)
        chapter = verse = 1;

    const QByteArray key = QByteArray::number(index + 1).rightJustified(2, '0')
        + QByteArray::number(chapter).rightJustified(3, '0') + QByteArray::number(verse).rightJustified(3, '0');
    return key == kRefused ? QByteArray(kRefused) : key;
}

} // namespace verbana::bible
