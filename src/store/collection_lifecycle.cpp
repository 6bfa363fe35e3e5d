// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/collection_lifecycle.h"

#include "store/collection_files.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include "platform/cp949.h"
#include "platform/paths.h"
#include "platform/prompts.h"
#include "platform/user_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace verbana::store {

namespace {

QString programFolder() { return paths::programFolder(); }

QString inProgramFolder(const QString &name) { return programFolder() + QLatin1Char('/') + name; }

bool sameEntry(const QString &a, const QString &b)
{
    return QFileInfo(a).canonicalFilePath() == QFileInfo(b).canonicalFilePath();
}

// A name that stays one entry of the program folder.
bool isPlainName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..")
        && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

} // namespace

QString NameCheck::message() const
{
    switch (verdict) {
    case NameVerdict::Ok: return QString();
    case NameVerdict::LeadingUnderscore:
        return QStringLiteral("파일명의 첫문자로 ( _ )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오.");
    case NameVerdict::BadCharacter: {
        QString text = QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.");
        if (!unmappable.isEmpty())
            text += QStringLiteral("\r(") + unmappable + QLatin1Char(')');
        return text;
    }
    case NameVerdict::Exists: return QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오.");
    }
    return QString();
}

bool isRefusedNameKey(QChar c) { return QStringView(u"\"*/:<>?\\|").contains(c); }

QString trimBlanks(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

NameCheck checkNewCollectionName(const QString &typed)
{
    NameCheck check;
    const QString trimmed = trimBlanks(typed);
    const cp949::Encoded encoded = cp949::encode(trimmed);
    if (!encoded.ok()) {
        check.name = trimmed;
        check.unmappable = encoded.unmappable;
        check.verdict = NameVerdict::BadCharacter;
        return check;
    }
    check.name = cp949::decode(cp949::cut(encoded.bytes, kCollectionNameBytes));
    if (check.name.startsWith(QLatin1Char('_'))) {
        check.verdict = NameVerdict::LeadingUnderscore;
        return check;
    }
    for (QChar c : check.name) {
        if (QStringView(u"\"*./:;<>?\\|").contains(c)) {
            check.verdict = NameVerdict::BadCharacter;
            return check;
        }
    }
    // An empty name names the program folder itself, which exists.
    if (check.name.isEmpty() || !paths::resolveExisting(programFolder(), check.name).isEmpty())
        check.verdict = NameVerdict::Exists;
    return check;
}

void createCollectionFolders(const QString &name)
{
    const QString base = inProgramFolder(name);
    for (const QString &folder : {base, base + QStringLiteral("/data"), base + QStringLiteral("/text")}) {
        if (!QDir().mkpath(folder))
            throw EUserError(QStringLiteral("Cannot create folder ") + folder);
    }
}

int CreateSermonTable(const QString &name, xbase::TApolloTable &creator)
{
    const QString path = inProgramFolder(name) + QLatin1Char('/') + sermonTableName();
    if (!creator.CreateNew(path, xbase::ttSXFOX, kSermonFieldCount)) {
        showInformation(QStringLiteral("파일만들기를 실패했습니다. 1"));
        return -1;
    }
    try {
        for (const SermonField &f : sermonFields())
            if (!creator.CreateField(f.createName(), QByteArrayLiteral("c"), f.width, 0))
                throw EUserError(QString::fromLatin1(f.name));
    } catch (const EUserError &) {
        showInformation(QStringLiteral("파일만들기를 실패했습니다. 2"));
        return -2;
    }
    if (!creator.CreateExec()) {
        showInformation(QStringLiteral("파일만들기를 실패했습니다. 3"));
        return -3;
    }
    return 1;
}

int CreateSermonTable(const QString &name)
{
    xbase::TApolloTable creator;
    return CreateSermonTable(name, creator);
}

QStringList listCollections(const QString &openLabel)
{
    QStringList names;
    const QFileInfoList entries =
        QDir(programFolder()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDir::NoSort);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('_')))
            continue;
        if (!QFileInfo(paths::resolve(entry.filePath(), sermonTableName())).isFile())
            continue;
        if (!openLabel.isEmpty() && CollectionLabel(name) == openLabel)
            continue;
        names << name;
    }
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return names;
}

std::optional<quint32> countCollectionSermons(const QString &name)
{
    try {
        xbase::TApolloTable table;
        table.DatabaseName = paths::resolve(programFolder(), name);
        table.TableName = sermonTableName();
        table.TableType = xbase::ttSXFOX;
        table.Exclusive = false;
        // Counting only reads: a damaged index is left for the opening to mend.
        table.RepairIndex = false;
        table.Open();
        const quint32 count = table.Count();
        table.Close();
        return count;
    } catch (const std::exception &) {
        return std::nullopt;
    }
}

bool renameCollectionFolder(const QString &oldName, const QString &newName)
{
    if (!isPlainName(oldName) || !isPlainName(newName))
        return false;
    const QString from = paths::resolveExisting(programFolder(), oldName);
    if (from.isEmpty() || !QFileInfo(from).isDir())
        return false;
    // rename(2) would put a folder over an empty one; a taken name fails
    // here as it does on the system the collections come from.
    const QString taken = paths::resolveExisting(programFolder(), newName);
    if (!taken.isEmpty() && !sameEntry(taken, from))
        return false;
    return QDir().rename(from, inProgramFolder(newName));
}

QString renameCollection(const QString &oldName, const QString &typed)
{
    const QString newName = trimBlanks(typed);
    if (newName.isEmpty() || !cp949::encode(newName).ok()) {
        showInformation(QStringLiteral("적절하지 않은 파일명입니다.\r다시 입력하십시오."));
        return oldName;
    }
    if (!renameCollectionFolder(oldName, newName)) {
        showInformation(QStringLiteral("알 수 없는 이유로 수정할 수 없습니다."));
        return oldName;
    }
    return newName;
}

QString deleteQuestion(const QString &name)
{
    return QStringLiteral("[") + name + QStringLiteral("] 파일을 삭제하시겠습니까?") + QLatin1Char('\r')
        + QStringLiteral("삭제하시면 파일 속에 입력되었던 모든 설교문이 삭제됩니다.");
}

void runFirstRun()
{
    const QString marker = paths::resolveExisting(programFolder(), QStringLiteral("___first.sys"));
    if (marker.isEmpty())
        return;
    QFile::remove(marker);
    struct Sample {
        const char16_t *old, *tested, *renamed;
    };
    static const Sample samples[] = {
        {u"1999 narae", u"1999년 나래솔 설교", u"1999년 나래솔 설교"},
        {u"1999 daon", u"1999년 다온결 설교", u"1999년 다온결 설교"},
        {u"2000 Y2K", u"1999년 Y2K 실험", u"2000년 Y2K 실험"},
        {u"Sample", u"실험 파일", u"실험 파일"},
    };
    for (const Sample &s : samples) {
        const QString old = paths::resolveExisting(programFolder(), QString::fromUtf16(s.old));
        if (old.isEmpty() || !QFileInfo(old).isDir())
            continue;
        if (!paths::resolveExisting(programFolder(), QString::fromUtf16(s.tested)).isEmpty())
            (void)DeleteFolder(old, true);
        else
            (void)renameCollectionFolder(QFileInfo(old).fileName(), QString::fromUtf16(s.renamed));
    }
}

} // namespace verbana::store
