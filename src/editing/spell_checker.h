// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "editing/spell_words.h"

#include <QHash>
#include <QObject>
#include <QSet>
#include <QStringList>

#include <memory>
#include <vector>

// Spelling: Hunspell's Korean dictionary (and its English one when it is
// installed), a personal word list, and a cache of verdicts. Hunspell is
// used on one worker thread only: loading the Korean dictionary takes more
// than a second and a word about 50 µs, too long for the window's thread.
// The window's thread asks and reads the verdicts the worker sends back.
namespace verbana::editing::spelling {

// The Hunspell dictionaries found (.aff and .dic); empty names when missing.
struct Dictionaries {
    QString koreanAff, koreanDic, englishAff, englishDic;
    bool korean() const { return !koreanAff.isEmpty(); }
    bool english() const { return !englishAff.isEmpty(); }
};
// Looks for ko_KR (or ko) and en_US in `folders`, the first found winning.
Dictionaries findDictionaries(const QStringList &folders);
// Hunspell's folders: those of $DICPATH, then /usr/share/hunspell.
QStringList dictionaryFolders();

// Why checking is not offered: no Korean dictionary is installed.
QString missingDictionaryHint();

// The personal word list: a plain UTF-8 file in the program's folder, one
// word a line, that the user may edit.
QString personalListPath();

class PersonalList {
public:
    explicit PersonalList(QString path = QString());
    const QString &path() const { return path_; }
    bool contains(const QString &word) const { return words_.contains(word); }
    // Adds a word at the end of the file (written whole beside it and
    // renamed over it); raises EUserError when it cannot be written.
    void add(const QString &word);

private:
    QString path_;
    QSet<QString> words_;
};

// Words to pass over for one editing session ("무시").
class IgnoredWords : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    bool contains(const QString &word) const { return words_.contains(word); }
    void add(const QString &word);
Q_SIGNALS:
    void changed();

private:
    QSet<QString> words_;
};

class SpellChecker : public QObject {
    Q_OBJECT
public:
    enum class Verdict { Unknown, Correct, Misspelled };

    SpellChecker(Dictionaries dictionaries, QString personalListPath, QObject *parent = nullptr);
    ~SpellChecker() override;

    // The checker the editor and the record boxes share, made on first use
    // with the installed dictionaries; it follows the program's folder for
    // its personal list. replaceShared() puts another in its place (tests)
    // and gives back the one it replaces.
    static std::shared_ptr<SpellChecker> shared();
    static std::shared_ptr<SpellChecker> replaceShared(std::shared_ptr<SpellChecker> checker);

    // False without a Korean dictionary: nothing is checked then.
    bool available() const { return dictionaries_.korean(); }

    // The setting "맞춤법 검사" ("문서편집기"/"맞춤법검사", on by default),
    // read from the settings file; always off when nothing can be checked.
    bool checkingOn() const;
    // Writes the setting and tells every view (checkingChanged).
    void setCheckingOn(bool on);

    // The verdict on a word as wordsToCheck() gave it. A word not yet known
    // is Unknown and handed to the worker, ahead of the background work;
    // verdictsArrived() tells when its answer is in.
    Verdict verdict(const QString &word, Language language);
    // Hands a whole text to the worker, which checks its words while it has
    // nothing more urgent to do; their verdicts fill the cache.
    void checkInBackground(const QString &text);
    // At most five suggestions, waiting for the worker.
    QStringList suggestions(const QString &word, Language language);

    // "사전에 추가": the word is correct from now on, here and after a restart.
    void addToPersonalList(const QString &word);
    const PersonalList &personalList() const { return personal_; }

    // True when the worker has nothing left to do (benchmarks and tests).
    bool idle() const;

Q_SIGNALS:
    void verdictsArrived();
    // The personal list grew: every view marks its words again.
    void wordsChanged();
    void checkingChanged(bool on);

private:
    class Worker;
    void startWorker();
    void receive(const std::vector<std::pair<QString, bool>> &verdicts);

    Dictionaries dictionaries_;
    PersonalList personal_;
    QHash<QString, bool> verdicts_; // word -> correct
    QSet<QString> asked_;
    QHash<QString, QStringList> suggested_;
    std::unique_ptr<Worker> worker_;
    bool followsProgramFolder_ = false;
};

} // namespace verbana::editing::spelling
