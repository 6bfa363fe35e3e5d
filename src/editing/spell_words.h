// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <vector>

// The words of a text that the spelling check looks at.
namespace verbana::editing::spelling {

enum class Language { Korean, English };

struct Word {
    qsizetype start = 0;
    qsizetype length = 0;
    Language language = Language::Korean;
    bool operator==(const Word &) const = default;
};

// A word is a run of letters and digits between blanks and punctuation, so
// the particles and endings of a Korean word stay with it ("설교를" is one
// word); an apostrophe between Latin letters belongs to the word ("don't").
// Checked are the words of Hangul alone (Korean) and of Latin letters alone
// that are not all capitals (English). Left alone: anything with a digit
// (numbers, Bible references such as "요3:16" or "창12:1-12"), with Hanja or
// another script, and Hangul and Latin mixed in one word ("CCM을").
std::vector<Word> wordsToCheck(QStringView text);

// The language of a word as wordsToCheck() sees it on its own; false when it
// would be left alone.
bool languageOf(QStringView word, Language &language);

} // namespace verbana::editing::spelling
