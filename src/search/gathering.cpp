// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/gathering.h"

#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "store/collection_files.h"
#include "store/sermon_record.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include <QFileInfo>
#include <QStringList>

namespace verbana::search {

namespace {

constexpr unsigned kAllEvents = 127;

// Detaches the table's handlers and freezes its controls for a batch, and
// undoes both on every way out.
class QuietTable {
public:
    explicit QuietTable(xbase::TApolloTable &table) : table_(table)
    {
        table_.DetachHandlers(kAllEvents);
        table_.DisableControls();
    }
    ~QuietTable()
    {
        table_.EnableControls();
        table_.AttachHandlers(kAllEvents);
    }
    QuietTable(const QuietTable &) = delete;
    QuietTable &operator=(const QuietTable &) = delete;

private:
    xbase::TApolloTable &table_;
};

// The manuscript name of the current record as a file name.
QString currentContext(const xbase::TApolloTable &table)
{
    return cp949::decode(table.GetString(store::fCONTEXT));
}

QString textCopyOf(const QString &folder, const QString &context)
{
    return paths::resolveExisting(folder, QStringLiteral("text\\") + store::ReplaceExtension(context, QStringLiteral(".txt")));
}

// Reads a whole file into `buffer` (reused between files, so one copy is
// in memory at a time); false when it cannot be read.
bool readWhole(const QString &path, std::vector<char> &buffer, qsizetype &size)
{
    const QByteArray name = path.toLocal8Bit();
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    size = 0;
    if (ok) {
        buffer.resize(size_t(st.st_size));
        while (size < qsizetype(buffer.size())) {
            const ssize_t n = ::read(fd, buffer.data() + size, buffer.size() - size_t(size));
            if (n < 0) {
                ok = false;
                break;
            }
            if (n == 0)
                break;
            size += n;
        }
    }
    ::close(fd);
    return ok;
}

// Removes the current sermon's text copy and manuscript file when present.
// An empty manuscript name names no file (it would name the data folder).
void removeSermonFiles(const QString &folder, const QString &context)
{
    if (context.trimmed().isEmpty())
        return;
    const QString text = textCopyOf(folder, context);
    const QString manuscript = paths::resolveExisting(folder, QStringLiteral("data\\") + context);
    for (const QString &path : {text, manuscript})
        if (!path.isEmpty() && QFileInfo(path).isFile())
            files::removeFileOnly(path);
}

void deleteCurrent(xbase::TApolloTable &table, const QString &folder, const DeletedRecord &deleted)
{
    const QString context = currentContext(table);
    const uint32_t recno = table.RecNo();
    // The record goes first: when the engine refuses it, the sermon keeps
    // its files.
    table.Delete();
    if (deleted)
        deleted(recno);
    removeSermonFiles(folder, context);
}

} // namespace

QByteArray fieldCondition(const FieldCondition &row)
{
    if (row.word.isEmpty())
        return {};
    const QByteArray field = row.field.left(kFieldNameChars);
    const QByteArray word = cp949::cut(row.word, kFieldWordBytes);
    switch (word.at(0)) {
    case '=':
        return "(" + field + " = \" \")";
    case '#':
        return "(" + field + " <> \" \")";
    case '~':
        return "(.not.(\"" + cp949::upperAscii(QByteArrayView(word).sliced(1)) + "\" $ UPPER(" + field + ")))";
    default:
        return "(\"" + cp949::upperAscii(word) + "\" $ UPPER(" + field + "))";
    }
}

QByteArray gatherExpression(const std::vector<FieldCondition> &rows, bool useAnd)
{
    QByteArray expression;
    for (const FieldCondition &row : rows) {
        const QByteArray condition = fieldCondition(row);
        if (condition.isEmpty())
            continue;
        if (!expression.isEmpty())
            expression += useAnd ? " .and. " : " .or. ";
        expression += condition;
    }
    return expression;
}

bool isGiven(const QByteArray &word)
{
    return std::any_of(word.begin(), word.end(), [](char c) { return c != ' '; });
}

bool manuscriptMatches(QByteArrayView content, const ManuscriptQuery &query)
{
    if (const void *zero = std::memchr(content.data(), 0, size_t(content.size())))
        content = content.first(static_cast<const char *>(zero) - content.data());
    for (const QByteArray &word : query.words) {
        if (!isGiven(word))
            continue;
        const bool found = cp949::contains(content, word);
        if (query.useAnd && !found)
            return false;
        if (!query.useAnd && found)
            return true;
    }
    return query.useAnd;
}

QString highlightTerms(const ManuscriptQuery &query)
{
    QStringList terms;
    for (const QByteArray &word : query.words)
        if (isGiven(word))
            terms << cp949::decode(word);
    return terms.join(QStringLiteral("//"));
}

std::vector<uint32_t> scanManuscripts(xbase::TApolloTable &table, const QString &collectionFolder,
                                      const ManuscriptQuery &query, const ScanProgress &progress)
{
    std::vector<uint32_t> found;
    std::vector<char> buffer;
    uint32_t scanned = 0;
    table.GoTop();
    const QString textFolder = collectionFolder + QStringLiteral("/text/");
    while (!table.Eof() && table.RecNo() != 0) {
        const QString context = currentContext(table);
        qsizetype size = 0;
        bool read = false;
        if (!context.isEmpty()) {
            // The name as stored is tried first; only a name whose letter
            // case differs from the file's goes through the resolver.
            QString direct = textFolder + store::ReplaceExtension(context, QStringLiteral(".txt"));
            direct.replace(QLatin1Char('\\'), QLatin1Char('/'));
            read = readWhole(direct, buffer, size);
            if (!read) {
                const QString path = textCopyOf(collectionFolder, context);
                read = !path.isEmpty() && readWhole(path, buffer, size);
            }
        }
        if (read && manuscriptMatches(QByteArrayView(buffer.data(), size), query))
            found.push_back(table.RecNo());
        if (progress)
            progress(++scanned);
        table.Skip(1);
    }
    return found;
}

void markGathered(xbase::TApolloTable &table, const std::vector<uint32_t> &found)
{
    table.Query(QByteArray());
    for (uint32_t recno : found)
        table.SetQueryBit(recno, true);
    table.GoTop();
}

bool isGathered(const xbase::TApolloTable &table) { return !table.DBFilter().isEmpty(); }

QString countMessage(uint32_t count, bool gathered)
{
    return gathered ? QStringLiteral("현재 검색되어 모아진 설교는 ") + QString::number(count) + QStringLiteral(" 편 입니다.")
                    : QStringLiteral("현재 설교는 모두 ") + QString::number(count) + QStringLiteral(" 편 입니다.");
}

std::vector<uint32_t> recordsInView(xbase::TApolloTable &table)
{
    std::vector<uint32_t> recnos;
    table.GoTop();
    while (!table.Eof() && table.RecNo() != 0) {
        recnos.push_back(table.RecNo());
        table.Skip(1);
    }
    return recnos;
}

uint32_t deleteGathered(xbase::TApolloTable &table, const QString &collectionFolder, const DeletedRecord &deleted)
{
    table.SetOrder(0);
    uint32_t count = 0;
    {
        QuietTable quiet(table);
        for (uint32_t recno : recordsInView(table)) {
            table.Go(recno);
            deleteCurrent(table, collectionFolder, deleted);
            ++count;
        }
    }
    table.Query(QByteArray());
    return count;
}

uint32_t deleteNotGathered(xbase::TApolloTable &table, const QString &collectionFolder, const DeletedRecord &deleted)
{
    table.SetOrder(0);
    uint32_t count = 0;
    {
        QuietTable quiet(table);
        std::vector<uint32_t> kept = recordsInView(table);
        std::sort(kept.begin(), kept.end());
        table.Query(QByteArray());
        for (uint32_t recno : recordsInView(table)) {
            if (std::binary_search(kept.begin(), kept.end(), recno))
                continue;
            table.Go(recno);
            deleteCurrent(table, collectionFolder, deleted);
            ++count;
        }
    }
    table.Query(QByteArray());
    return count;
}

} // namespace verbana::search
