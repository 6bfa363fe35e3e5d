// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/collection_paths.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "store/collection_files.h"

#include <QDirIterator>
#include <QFile>

#include <cerrno>
#include <sys/stat.h>

namespace verbana::store {

namespace {

QString withoutTrailingSeparators(QString folder)
{
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

// What stands at `path` when it is not followed: a link, something else,
// or nothing.
enum class Entry { Missing, Link, Other };
Entry entryAt(const QString &path)
{
    struct stat st;
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return Entry::Missing;
    return S_ISLNK(st.st_mode) ? Entry::Link : Entry::Other;
}

} // namespace

CollectionPaths::CollectionPaths(QString folder) : folder_(withoutTrailingSeparators(std::move(folder))) {}

QString CollectionPaths::resolve(const QString &relative) const
{
    if (folder_.isEmpty() || !paths::isContained(relative))
        return QString();
    const QString path = paths::resolve(folder_, relative);
    return reachedWithoutLinks(path) ? path : QString();
}

QString CollectionPaths::existing(const QString &relative) const
{
    const QString path = resolve(relative);
    return !path.isEmpty() && entryAt(path) != Entry::Missing ? path : QString();
}

QString CollectionPaths::manuscript(const QString &context) const
{
    if (context.trimmed().isEmpty())
        return QString();
    return resolve(QStringLiteral("data\\") + context);
}

QString CollectionPaths::textCopy(const QString &context) const
{
    if (context.trimmed().isEmpty())
        return QString();
    return resolve(QStringLiteral("text\\") + textCopyName(context));
}

bool CollectionPaths::reachedWithoutLinks(const QString &path) const
{
    if (folder_.isEmpty() || !path.startsWith(folder_ + QLatin1Char('/')))
        return false;
    // Each part below the folder, from the top; what does not exist yet
    // cannot be a link.
    for (qsizetype end = folder_.size() + 1; end <= path.size(); ++end) {
        if (end < path.size() && path.at(end) != QLatin1Char('/'))
            continue;
        switch (entryAt(path.left(end))) {
        case Entry::Missing:
            return true;
        case Entry::Link:
            return false;
        case Entry::Other:
            break;
        }
    }
    return true;
}

QString textCopyName(const QString &context) { return replaceManuscriptExtension(context, QStringLiteral(".txt")); }

// ---- StoredFileReader ----

bool StoredFileReader::readTextCopy(const QString &context, QByteArray &content)
{
    if (context.trimmed().isEmpty())
        return false;
    return read(QStringLiteral("text\\") + textCopyName(context), content);
}

bool StoredFileReader::read(const QString &relative, QByteArray &content)
{
    if (paths_.isEmpty() || !paths::isContained(relative))
        return false;
    // The name as stored is tried first: only a name whose letter case
    // differs from the file's goes through the resolver, which lists
    // folders.
    QString direct = paths_.folder() + QLatin1Char('/') + relative;
    direct.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const qsizetype slash = direct.lastIndexOf(QLatin1Char('/'));
    // Once a folder has been listed, its listing answers for names that
    // are not there, without a try at the disk.
    const QString folder = direct.left(slash);
    const auto listed = listings_.constFind(folder);
    const bool known = listed != listings_.constEnd();
    if (folderIsSafe(folder) && (!known || listed->exact.contains(direct.mid(slash + 1)))
        && readPath(direct, content))
        return true;
    const QString found = findListed(relative);
    return !found.isEmpty() && found != direct
           && folderIsSafe(found.left(found.lastIndexOf(QLatin1Char('/')))) && readPath(found, content);
}

QString StoredFileReader::findListed(const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    QString current = paths_.folder();
    for (const QString &part : rel.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (part == QLatin1String("."))
            continue;
        const Listing &listing = listingOf(current);
        QString name = listing.exact.contains(part) ? part : listing.folded.value(paths::foldAsciiCase(part));
        if (name.isEmpty())
            return QString();
        current += QLatin1Char('/') + name;
    }
    return current;
}

const StoredFileReader::Listing &StoredFileReader::listingOf(const QString &folder)
{
    const auto known = listings_.constFind(folder);
    if (known != listings_.constEnd())
        return *known;
    Listing listing;
    QDirIterator entries(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (entries.hasNext()) {
        const QString name = entries.next().section(QLatin1Char('/'), -1);
        listing.exact.insert(name, true);
        QString &first = listing.folded[paths::foldAsciiCase(name)];
        if (first.isEmpty() || QString::compare(name, first, Qt::CaseInsensitive) < 0
            || (QString::compare(name, first, Qt::CaseInsensitive) == 0 && name < first))
            first = name;
    }
    return *listings_.insert(folder, std::move(listing));
}

bool StoredFileReader::readPath(const QString &path, QByteArray &content)
{
    return files::readRegularFile(path, content, fs_) == files::ReadOutcome::Ok;
}

bool StoredFileReader::folderIsSafe(const QString &folder)
{
    const auto known = folders_.constFind(folder);
    if (known != folders_.constEnd())
        return *known;
    const bool safe = folder == paths_.folder() || paths_.reachedWithoutLinks(folder);
    folders_.insert(folder, safe);
    return safe;
}

} // namespace verbana::store
