// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/spell_words.h"

#include <QChar>

namespace verbana::editing::spelling {

namespace {

enum class Kind { Gap, Hangul, Latin, Digit, Other };

// Longer runs are no words (a pasted code, a line of letters) and are left alone.
constexpr qsizetype kLongestWord = 50;

Kind kindOf(char32_t c)
{
    if ((c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F)
        || (c >= 0xA960 && c <= 0xA97F) || (c >= 0xD7B0 && c <= 0xD7FF))
        return Kind::Hangul;
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c <= 0x24F && c != 0xD7 && c != 0xF7))
        return Kind::Latin;
    if (QChar::isNumber(c))
        return Kind::Digit;
    if (QChar::isLetter(c) || QChar::isMark(c))
        return Kind::Other; // Hanja and the other scripts
    return Kind::Gap;
}

bool isApostrophe(char16_t c) { return c == u'\'' || c == u'\u2019'; }

struct Cursor {
    QStringView text;
    qsizetype at = 0;
    char32_t peek(qsizetype &width) const
    {
        const char16_t c = text[at].unicode();
        if (QChar::isHighSurrogate(c) && at + 1 < text.size() && QChar::isLowSurrogate(text[at + 1].unicode())) {
            width = 2;
            return QChar::surrogateToUcs4(c, text[at + 1].unicode());
        }
        width = 1;
        return c;
    }
};

// Judges the run text[start, end): the language it is checked in, or false.
bool judge(QStringView run, bool hangul, bool latin, bool other, bool lower, Language &language)
{
    if (other || run.size() > kLongestWord || hangul == latin)
        return false;
    if (hangul) {
        language = Language::Korean;
        return true;
    }
    language = Language::English;
    return lower; // all capitals: an abbreviation
}

} // namespace

std::vector<Word> wordsToCheck(QStringView text)
{
    std::vector<Word> words;
    Cursor cur{text};
    while (cur.at < text.size()) {
        qsizetype width = 1;
        Kind kind = kindOf(cur.peek(width));
        if (kind == Kind::Gap) {
            cur.at += width;
            continue;
        }
        const qsizetype start = cur.at;
        bool hangul = false, latin = false, other = false, lower = false;
        Kind last = Kind::Gap;
        while (cur.at < text.size()) {
            char32_t c = cur.peek(width);
            kind = kindOf(c);
            if (kind == Kind::Gap) {
                // An apostrophe between two Latin letters stays in the word.
                if (!(last == Kind::Latin && isApostrophe(text[cur.at].unicode()) && cur.at + 1 < text.size()
                      && kindOf(text[cur.at + 1].unicode()) == Kind::Latin))
                    break;
            } else {
                hangul |= kind == Kind::Hangul;
                latin |= kind == Kind::Latin;
                other |= kind == Kind::Other || kind == Kind::Digit;
                lower |= kind == Kind::Latin && QChar::isLower(c);
            }
            last = kind;
            cur.at += width;
        }
        Language language;
        if (judge(text.sliced(start, cur.at - start), hangul, latin, other, lower, language))
            words.push_back({start, cur.at - start, language});
    }
    return words;
}

bool languageOf(QStringView word, Language &language)
{
    const std::vector<Word> words = wordsToCheck(word);
    if (words.size() != 1 || words.front().length != word.size())
        return false;
    language = words.front().language;
    return true;
}

} // namespace verbana::editing::spelling
