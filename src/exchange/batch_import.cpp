// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/batch_import.h"

#include "exchange/bulk_addition.h"
#include "exchange/hwp_title.h"
#include "exchange/record_values.h"
#include "platform/clock.h"
#include "platform/cp949.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/progress.h"
#include "platform/user_error.h"
#include "richtext/richtext.h"
#include "store/collection_document.h"
#include "store/collection_files.h"
#include "store/convert_hwp.h"
#include "store/xbase/apollo_table.h"

#include <QTextDocument>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace verbana::exchange {

namespace {

constexpr qsizetype kBriefWidth = 200;
constexpr qsizetype kSourceWidth = 60;
// More than the summary ever needs: a longer first line is cut anyway.
constexpr qint64 kBriefRead = 64 * 1024;

// One new sermon: its manuscript name and the files written for it so far,
// removed again unless the record is posted.
struct NewSermon {
    QString name; // dK\sulN.txt
    QString context; // dK\sulN.HWP, .HWPX or .RTF
    QString manuscript, textCopy; // full paths
    QStringList made;
    bool kept = false;
    ~NewSermon()
    {
        if (!kept)
            removeMade(made);
    }
};

NewSermon reserve(xbase::TApolloTable &table, const store::CollectionPaths &collection,
                  store::ManuscriptNames &names, const QString &extension)
{
    NewSermon s;
    s.name = names.next(table.RecCount());
    s.context = store::ReplaceExtension(s.name, extension);
    const QString k = kFolderOf(s.name);
    s.manuscript = freshPath(makeFolder(collection, QStringLiteral("data\\") + k), s.context);
    s.textCopy = freshPath(makeFolder(collection, QStringLiteral("text\\") + k), s.name);
    return s;
}

void post(xbase::TApolloTable &table, NewSermon &s, const QString &source, const QByteArray &title,
          const QByteArray &brief)
{
    const QByteArray date = FileDate(source);
    table.Append();
    putCut(table, QByteArrayLiteral("ETCS"), ShortenSourcePath(source));
    putCut(table, QByteArrayLiteral("DATE1"), date);
    if (!title.isEmpty())
        putCut(table, QByteArrayLiteral("TITLE1"), title);
    putCut(table, QByteArrayLiteral("BRIEF"), brief);
    putCut(table, QByteArrayLiteral("CONTEXT"), cp949::encodeLossy(s.context));
    table.Post();
    s.kept = true;
}

// True when imported; false when the file is one that failed.
bool importHwp(xbase::TApolloTable &table, const store::CollectionPaths &collection, store::ManuscriptNames &names,
               const QString &path)
{
    const QByteArray title = ReadHwpTitle(path).value(); // none when it cannot be read
    if (store::ConvertHwp(path) != store::hwpConverted)
        return false;
    const QString program = paths::programFolder();
    const QString workHwp = paths::resolve(program, store::convertWorkCopyName(path));
    const QString workTxt = paths::resolve(program, QStringLiteral("convhwp.txt"));
    NewSermon s = reserve(table, collection, names, store::hwpManuscriptExtension(path));
    const QByteArray brief = BriefFromText(workTxt);
    if (!files::replaceFile(workTxt, s.textCopy))
        return false;
    s.made << s.textCopy;
    if (!files::replaceFile(workHwp, s.manuscript))
        return false;
    s.made << s.manuscript;
    post(table, s, path, title, brief);
    return true;
}

bool importText(xbase::TApolloTable &table, const store::CollectionPaths &collection, store::ManuscriptNames &names,
                const QString &path)
{
    QFile source(path);
    if (!QFileInfo(path).isFile() || !source.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return false;
    NewSermon s = reserve(table, collection, names, QStringLiteral(".RTF"));
    const ImportedText imported = importedText(bytes);
    s.made << s.manuscript;
    if (!files::writeWholeFile(s.manuscript, imported.manuscript))
        return false;
    s.made << s.textCopy;
    if (!files::writeWholeFile(s.textCopy, imported.text))
        return false;
    post(table, s, path, QByteArray(), briefFromBytes(imported.text));
    return true;
}

} // namespace

ImportedText importedText(const QByteArray &bytes)
{
    if (richtext::isRtf(bytes) || !richtext::isUtf8Text(bytes))
        return {bytes, richtext::plainTextOf(bytes).bytes};
    QTextDocument doc;
    richtext::readTextFile(bytes, doc);
    return {richtext::toRtf(doc), richtext::plainText(doc).bytes};
}

QByteArray briefFromBytes(QByteArrayView text)
{
    QByteArray result;
    qsizetype i = 0;
    do {
        qsizetype end = i;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        result += text.sliced(i, end - i);
        result += "\r\n";
        i = end;
        if (i < text.size())
            i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
    } while (result.size() <= kBriefWidth - 1 && i < text.size());
    return cp949::cut(result, kBriefWidth);
}

QByteArray BriefFromText(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw EUserError(path + QStringLiteral(": ") + f.errorString());
    return briefFromBytes(f.read(kBriefRead));
}

QByteArray ShortenSourcePath(QByteArrayView path)
{
    QByteArray text = path.toByteArray();
    while (text.size() > kSourceWidth) {
        const qsizetype slash = text.indexOf('/');
        if (slash < 0)
            break;
        text = QByteArrayLiteral("..") + text.mid(slash + 1);
    }
    return cp949::cut(text, kSourceWidth);
}

QByteArray ShortenSourcePath(const QString &path) { return ShortenSourcePath(QByteArrayView(cp949::encodeLossy(path))); }

QByteArray FileDate(const QString &path)
{
    const QDateTime written = QFileInfo(path).lastModified();
    const QDate date = written.isValid() ? written.date() : clock::today();
    return date.toString(QStringLiteral("yyyy.MM.dd")).toLatin1();
}

QString importedMessage(int count) { return QString::number(count) + QStringLiteral("개 파일을 불러 넣었습니다."); }

QString hwpImportRefusal()
{
    if (files::isFixedLocalFolder(paths::programFolder()))
        return QString();
    return QStringLiteral("하드디스크에서만 실행 가능합니다.");
}

QString ImportOutcome::message() const
{
    return error.isEmpty() ? importedMessage(imported) : error + QStringLiteral("\r") + importedMessage(imported);
}

ImportOutcome runBatchImport(ImportKind kind, store::CollectionDocument &document, const QStringList &files,
                             Progress *progress)
{
    ImportOutcome outcome;
    xbase::TApolloTable &table = document.table();
    const store::CollectionPaths &collection = document.paths();
    BulkAddition run(table);
    store::ManuscriptNames names(collection.folder());
    if (progress)
        progress->start(uint64_t(files.size()));
    for (const QString &path : files) {
        const bool added = run.add([&] {
            const bool done = kind == ImportKind::Hwp ? importHwp(table, collection, names, path)
                                                      : importText(table, collection, names, path);
            if (done)
                ++outcome.imported;
            else
                outcome.failed << QFileInfo(path).fileName();
        });
        if (!added) {
            outcome.error = run.error();
            break;
        }
        if (progress)
            progress->tick();
    }
    return outcome;
}

} // namespace verbana::exchange
