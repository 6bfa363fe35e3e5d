// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/spell_checker.h"

#include "platform/busy_cursor.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "settings/profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QThread>
#include <QWaitCondition>

#include <hunspell/hunspell.hxx>

#include <deque>

#include <sys/resource.h>
#include <unistd.h>

namespace verbana::editing::spelling {

namespace {

const QString kSection = QStringLiteral("문서편집기");
const QString kKey = QStringLiteral("맞춤법검사");
constexpr int kMostSuggestions = 5;

std::shared_ptr<SpellChecker> &sharedSlot()
{
    static std::shared_ptr<SpellChecker> checker;
    return checker;
}
void dropShared() { sharedSlot().reset(); }

} // namespace

Dictionaries findDictionaries(const QStringList &folders)
{
    Dictionaries found;
    const auto pair = [&](const QStringList &names, QString &aff, QString &dic) {
        for (const QString &folder : folders)
            for (const QString &name : names) {
                const QString base = QDir(folder).filePath(name);
                if (QFileInfo(base + QStringLiteral(".aff")).isFile() && QFileInfo(base + QStringLiteral(".dic")).isFile()) {
                    aff = base + QStringLiteral(".aff");
                    dic = base + QStringLiteral(".dic");
                    return;
                }
            }
    };
    pair({QStringLiteral("ko_KR"), QStringLiteral("ko")}, found.koreanAff, found.koreanDic);
    pair({QStringLiteral("en_US")}, found.englishAff, found.englishDic);
    return found;
}

QStringList dictionaryFolders()
{
    QStringList folders = qEnvironmentVariable("DICPATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    folders << QStringLiteral("/usr/share/hunspell");
    return folders;
}

QString missingDictionaryHint()
{
    return QStringLiteral("맞춤법 사전이 설치되어 있지 않습니다. hunspell-ko 패키지를 설치하십시오.");
}

QString personalListPath() { return QDir(paths::programFolder()).filePath(QStringLiteral("사용자사전.txt")); }

// ---------------------------------------------------------------- personal list

namespace {

QSet<QString> wordsOf(const QByteArray &content)
{
    QSet<QString> words;
    for (const QByteArray &line : content.split('\n'))
        if (const QString word = QString::fromUtf8(line).trimmed(); !word.isEmpty())
            words.insert(word);
    return words;
}

QByteArray readList(const QString &path)
{
    QByteArray content;
    (void)files::readRegularFile(path, content);
    return content;
}

} // namespace

PersonalList::PersonalList(QString path) : path_(std::move(path))
{
    if (!path_.isEmpty())
        words_ = wordsOf(readList(path_));
}

void PersonalList::add(const QString &word)
{
    // What the user wrote into the file meanwhile is kept.
    QByteArray content = readList(path_);
    if (!content.isEmpty() && !content.endsWith('\n'))
        content += '\n';
    content += word.toUtf8() + '\n';
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush()
        || !file.commit()) {
        const QString error = file.errorString();
        file.cancelWriting();
        throw EUserError(QStringLiteral("%1: %2").arg(path_, error));
    }
    words_ = wordsOf(content);
}

void IgnoredWords::add(const QString &word)
{
    words_.insert(word);
    Q_EMIT changed();
}

// ---------------------------------------------------------------- the worker

// Owns the Hunspell dictionaries and answers, in this order: a request for
// suggestions, the words the views wait for, then the words of the texts
// handed for the background. Verdicts go back in batches.
class SpellChecker::Worker : public QThread {
public:
    Worker(SpellChecker *owner, Dictionaries dictionaries) : owner_(owner), dictionaries_(std::move(dictionaries)) {}
    ~Worker() override
    {
        {
            QMutexLocker lock(&mutex_);
            stop_ = true;
        }
        wake_.wakeAll();
        wait();
    }

    void ask(const QString &word, Language language)
    {
        QMutexLocker lock(&mutex_);
        urgent_.push_back({word, language});
        wake_.wakeAll();
    }
    void askText(const QString &text)
    {
        QMutexLocker lock(&mutex_);
        texts_.push_back(text);
        wake_.wakeAll();
    }
    QStringList suggest(const QString &word, Language language)
    {
        QMutexLocker lock(&mutex_);
        Request request{word, language};
        requests_.push_back(&request);
        wake_.wakeAll();
        while (!request.done)
            answered_.wait(&mutex_);
        return request.result;
    }
    bool idle() const
    {
        QMutexLocker lock(&mutex_);
        return waiting_ && urgent_.empty() && texts_.empty() && requests_.empty();
    }

protected:
    void run() override
    {
        // Below the window's thread when both want the processor.
        (void)setpriority(PRIO_PROCESS, pid_t(gettid()), 10);
        load();
        std::vector<std::pair<QString, bool>> out;
        QElapsedTimer sinceSent;
        sinceSent.start();
        bool urgentOut = false;
        const auto send = [&] {
            if (out.empty())
                return;
            QMetaObject::invokeMethod(
                owner_, [owner = owner_, verdicts = std::move(out)] { owner->receive(verdicts); }, Qt::QueuedConnection);
            out = {};
            urgentOut = false;
            sinceSent.restart();
        };
        for (;;) {
            Request *request = nullptr;
            std::pair<QString, Language> word;
            bool urgent = false;
            QString text;
            {
                QMutexLocker lock(&mutex_);
                while (!stop_ && requests_.empty() && urgent_.empty() && textWords_.empty() && texts_.empty()
                       && out.empty()) {
                    waiting_ = true;
                    wake_.wait(&mutex_);
                }
                waiting_ = false;
                if (stop_)
                    return;
                if (!requests_.empty()) {
                    request = requests_.front();
                    requests_.pop_front();
                } else if (!urgent_.empty()) {
                    word = urgent_.front();
                    urgent_.pop_front();
                    urgent = true;
                } else if (urgentOut) {
                    // What a view waits for goes out before the background work.
                } else if (!textWords_.empty()) {
                    word = textWords_.front();
                    textWords_.pop_front();
                } else if (!texts_.empty()) {
                    text = texts_.front();
                    texts_.pop_front();
                }
            }
            if (request) {
                QStringList result = suggestions(request->word, request->language);
                QMutexLocker lock(&mutex_);
                request->result = std::move(result);
                request->done = true;
                answered_.wakeAll();
                continue;
            }
            if (!text.isEmpty()) {
                for (const Word &w : wordsToCheck(text))
                    if (QString found = text.mid(w.start, w.length); !seen_.contains(found)) {
                        seen_.insert(found);
                        textWords_.push_back({std::move(found), w.language});
                    }
                continue;
            }
            // A word is checked once, whoever asked first.
            if (!word.first.isEmpty() && !sent_.contains(word.first)) {
                seen_.insert(word.first);
                sent_.insert(word.first);
                out.emplace_back(word.first, check(word.first, word.second));
                urgentOut |= urgent;
            }
            if (urgentOut || out.size() >= 256 || sinceSent.elapsed() >= 20 || nothingLeft())
                send();
        }
    }

private:
    struct Request {
        QString word;
        Language language;
        QStringList result;
        bool done = false;
    };

    bool nothingLeft()
    {
        QMutexLocker lock(&mutex_);
        return requests_.empty() && urgent_.empty() && textWords_.empty() && texts_.empty();
    }

    void load()
    {
        const auto open = [](const QString &aff, const QString &dic) -> std::unique_ptr<Hunspell> {
            if (aff.isEmpty())
                return nullptr;
            return std::make_unique<Hunspell>(QFile::encodeName(aff).constData(), QFile::encodeName(dic).constData());
        };
        korean_ = open(dictionaries_.koreanAff, dictionaries_.koreanDic);
        english_ = open(dictionaries_.englishAff, dictionaries_.englishDic);
    }
    Hunspell *dictionary(Language language) const
    {
        return language == Language::Korean ? korean_.get() : english_.get();
    }
    static std::string encode(Hunspell &h, const QString &word)
    {
        if (h.get_dict_encoding() == "UTF-8")
            return word.toStdString();
        return word.toLatin1().toStdString();
    }
    static QString decode(Hunspell &h, const std::string &word)
    {
        if (h.get_dict_encoding() == "UTF-8")
            return QString::fromStdString(word);
        return QString::fromLatin1(word.data(), qsizetype(word.size()));
    }
    bool check(const QString &word, Language language)
    {
        Hunspell *h = dictionary(language);
        return !h || h->spell(encode(*h, word));
    }
    QStringList suggestions(const QString &word, Language language)
    {
        QStringList result;
        if (Hunspell *h = dictionary(language))
            for (const std::string &s : h->suggest(encode(*h, word)))
                if (result.size() < kMostSuggestions)
                    result << decode(*h, s);
        return result;
    }

    SpellChecker *owner_;
    const Dictionaries dictionaries_;
    std::unique_ptr<Hunspell> korean_, english_;
    mutable QMutex mutex_;
    QWaitCondition wake_, answered_;
    bool stop_ = false;
    bool waiting_ = false;
    std::deque<Request *> requests_;
    std::deque<std::pair<QString, Language>> urgent_;
    std::deque<QString> texts_;
    // The worker's own: the words of the texts still to check, the words
    // met (checked or queued), the words checked.
    std::deque<std::pair<QString, Language>> textWords_;
    QSet<QString> seen_, sent_;
};

// ---------------------------------------------------------------- the checker

SpellChecker::SpellChecker(Dictionaries dictionaries, QString personalListPath, QObject *parent)
    : QObject(parent), dictionaries_(std::move(dictionaries)), personal_(std::move(personalListPath))
{
}

SpellChecker::~SpellChecker() = default;

std::shared_ptr<SpellChecker> SpellChecker::shared()
{
    std::shared_ptr<SpellChecker> &checker = sharedSlot();
    if (!checker) {
        checker = std::make_shared<SpellChecker>(findDictionaries(dictionaryFolders()), personalListPath());
        checker->followsProgramFolder_ = true;
        if (QCoreApplication::instance())
            qAddPostRoutine(dropShared);
    } else if (checker->followsProgramFolder_ && checker->personal_.path() != personalListPath()) {
        checker->personal_ = PersonalList(personalListPath());
        Q_EMIT checker->wordsChanged();
    }
    return checker;
}

std::shared_ptr<SpellChecker> SpellChecker::replaceShared(std::shared_ptr<SpellChecker> checker)
{
    return std::exchange(sharedSlot(), std::move(checker));
}

bool SpellChecker::checkingOn() const
{
    return available() && settings::Profile(settings::iniPath()).readBool(kSection, kKey, true);
}

void SpellChecker::setCheckingOn(bool on)
{
    settings::Profile(settings::iniPath()).writeBool(kSection, kKey, on);
    Q_EMIT checkingChanged(checkingOn());
}

void SpellChecker::startWorker()
{
    if (!worker_ && available()) {
        worker_ = std::make_unique<Worker>(this, dictionaries_);
        worker_->setObjectName(QStringLiteral("spelling"));
        worker_->start();
    }
}

SpellChecker::Verdict SpellChecker::verdict(const QString &word, Language language)
{
    if (personal_.contains(word))
        return Verdict::Correct;
    if (const auto found = verdicts_.constFind(word); found != verdicts_.constEnd())
        return *found ? Verdict::Correct : Verdict::Misspelled;
    if (!available())
        return Verdict::Correct;
    if (!asked_.contains(word)) {
        startWorker();
        asked_.insert(word);
        worker_->ask(word, language);
    }
    return Verdict::Unknown;
}

void SpellChecker::checkInBackground(const QString &text)
{
    if (!available() || text.isEmpty())
        return;
    startWorker();
    worker_->askText(text);
}

QStringList SpellChecker::suggestions(const QString &word, Language language)
{
    if (!available())
        return {};
    if (const auto found = suggested_.constFind(word); found != suggested_.constEnd())
        return *found;
    startWorker();
    const BusyCursor busy;
    const QStringList result = worker_->suggest(word, language);
    suggested_.insert(word, result);
    return result;
}

void SpellChecker::addToPersonalList(const QString &word)
{
    personal_.add(word);
    Q_EMIT wordsChanged();
}

bool SpellChecker::idle() const { return !worker_ || (worker_->idle() && asked_.isEmpty()); }

void SpellChecker::receive(const std::vector<std::pair<QString, bool>> &verdicts)
{
    bool waitedFor = false;
    for (const auto &[word, correct] : verdicts) {
        verdicts_.insert(word, correct);
        waitedFor |= asked_.remove(word);
    }
    if (waitedFor)
        Q_EMIT verdictsArrived();
}

} // namespace verbana::editing::spelling
