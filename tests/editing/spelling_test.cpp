// SPDX-License-Identifier: GPL-3.0-or-later
// Spelling without a window: the word splitter, the verdicts of the
// installed dictionaries, suggestions, the personal word list, and a
// checker without dictionaries.
#include "editing/spell_checker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace verbana::editing::spelling;

namespace {

QStringList split(const QString &text)
{
    QStringList words;
    for (const Word &w : wordsToCheck(text))
        words << text.mid(w.start, w.length) + (w.language == Language::Korean ? QStringLiteral("/ko") : QStringLiteral("/en"));
    return words;
}

// The verdict once the worker has given it.
SpellChecker::Verdict settled(SpellChecker &checker, const QString &word)
{
    Language language = Language::Korean;
    EXPECT_TRUE(languageOf(word, language)) << word.toStdString();
    QElapsedTimer waited;
    waited.start();
    SpellChecker::Verdict verdict;
    while ((verdict = checker.verdict(word, language)) == SpellChecker::Verdict::Unknown && waited.elapsed() < 60000) {
        QCoreApplication::processEvents();
        QThread::msleep(2);
    }
    return verdict;
}

class SpellCheckerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dictionaries = findDictionaries(dictionaryFolders());
        if (!dictionaries.korean())
            GTEST_SKIP() << "hunspell-ko is not installed";
        folder = std::make_unique<QTemporaryDir>();
        checker = std::make_unique<SpellChecker>(dictionaries, folder->filePath(QStringLiteral("words.txt")));
    }
    static void TearDownTestSuite()
    {
        checker.reset();
        folder.reset();
    }
    void SetUp() override
    {
        if (!checker)
            GTEST_SKIP() << "hunspell-ko is not installed";
    }
    static inline Dictionaries dictionaries;
    static inline std::unique_ptr<QTemporaryDir> folder;
    static inline std::unique_ptr<SpellChecker> checker;
};

TEST(SpellWords, ParticlesStayWithTheWordAndNumbersReferencesHanjaAndCapitalsAreLeftAlone)
{
    EXPECT_EQ(split(QStringLiteral("설교를 드립니다. 요3:16, 창12:1-12 말씀(信) 信心 CCM을 NASA 1997년 ㅋㅋ "
                                   "“하나님께서” don't Jesus's 3rd")),
              QStringLiteral("설교를/ko|드립니다/ko|말씀/ko|ㅋㅋ/ko|하나님께서/ko|don't/en|Jesus's/en").split(QLatin1Char('|')));
    Language language;
    EXPECT_TRUE(languageOf(u"셜교", language));
    EXPECT_EQ(language, Language::Korean);
    EXPECT_FALSE(languageOf(u"요3", language));
    EXPECT_FALSE(languageOf(u"설교 말씀", language));
}

// Misspellings the dictionaries' own replacement tables name ("됬" for "됐",
// "읍니다" for "습니다", "alot" for "a lot") are marked; their corrections and
// ordinary words are not.
TEST_F(SpellCheckerTest, MarksKnownMisspellingsAndSuggests)
{
    for (const char16_t *word : {u"셜교", u"됬다", u"했읍니다", u"안되요", u"몇일"})
        EXPECT_EQ(settled(*checker, QString::fromUtf16(word)), SpellChecker::Verdict::Misspelled);
    for (const char16_t *word : {u"설교를", u"하나님께서", u"말씀하셨다", u"됐다", u"했습니다", u"며칠"})
        EXPECT_EQ(settled(*checker, QString::fromUtf16(word)), SpellChecker::Verdict::Correct);
    if (dictionaries.english()) {
        for (const char16_t *word : {u"alot", u"teh", u"recieve"})
            EXPECT_EQ(settled(*checker, QString::fromUtf16(word)), SpellChecker::Verdict::Misspelled);
        for (const char16_t *word : {u"sermon", u"God", u"don't"})
            EXPECT_EQ(settled(*checker, QString::fromUtf16(word)), SpellChecker::Verdict::Correct);
    }
    const QStringList suggestions = checker->suggestions(QStringLiteral("셜교"), Language::Korean);
    EXPECT_TRUE(suggestions.contains(QStringLiteral("설교"))) << suggestions.join(u' ').toStdString();
    EXPECT_LE(checker->suggestions(QStringLiteral("안되요"), Language::Korean).size(), 5);

    // A whole text handed to the background fills the cache.
    checker->checkInBackground(QStringLiteral("믿음과 소망과 사랑 그중에 제일은 사랑이라"));
    QElapsedTimer waited;
    waited.start();
    while (!checker->idle() && waited.elapsed() < 60000)
        QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(checker->verdict(QStringLiteral("소망과"), Language::Korean), SpellChecker::Verdict::Correct);
}

// "사전에 추가" writes the word at the end of the list, keeping what the user
// wrote there, and a checker made after a restart knows it.
TEST_F(SpellCheckerTest, PersonalListPersistsAcrossARestart)
{
    const QString path = checker->personalList().path();
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("  아멘 \r\n\r\n할렐루야");
    }
    EXPECT_EQ(settled(*checker, QStringLiteral("예수님께서")), SpellChecker::Verdict::Misspelled);
    QSignalSpy changed(checker.get(), &SpellChecker::wordsChanged);
    checker->addToPersonalList(QStringLiteral("예수님께서"));
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(checker->verdict(QStringLiteral("예수님께서"), Language::Korean), SpellChecker::Verdict::Correct);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(f.readAll()), QStringLiteral("  아멘 \r\n\r\n할렐루야\n예수님께서\n"));

    SpellChecker restarted(dictionaries, path);
    for (const char16_t *word : {u"아멘", u"할렐루야", u"예수님께서"})
        EXPECT_EQ(restarted.verdict(QString::fromUtf16(word), Language::Korean), SpellChecker::Verdict::Correct);
}

TEST(SpellCheckerWithoutDictionary, ChecksNothingAndOffersNothing)
{
    QTemporaryDir empty;
    SpellChecker checker(findDictionaries({empty.path()}), empty.filePath(QStringLiteral("words.txt")));
    EXPECT_FALSE(checker.available());
    EXPECT_FALSE(checker.checkingOn());
    EXPECT_EQ(checker.verdict(QStringLiteral("셜교"), Language::Korean), SpellChecker::Verdict::Correct);
    EXPECT_TRUE(checker.suggestions(QStringLiteral("셜교"), Language::Korean).isEmpty());
    EXPECT_TRUE(checker.idle());
    EXPECT_EQ(missingDictionaryHint(), QStringLiteral("맞춤법 사전이 설치되어 있지 않습니다. hunspell-ko 패키지를 설치하십시오."));
}

} // namespace
