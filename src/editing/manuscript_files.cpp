// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/manuscript_files.h"

#include "editing/sermon_editing.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "richtext/richtext.h"
#include "store/collection_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QTextDocument>

namespace verbana::editing {

QString extensionOf(const QString &name)
{
    return name.mid(store::replaceManuscriptExtension(name, QString()).size());
}

ManuscriptType manuscriptType(const QString &context)
{
    if (context.isEmpty())
        return ManuscriptType::None;
    const QString extension = extensionOf(context).toUpper();
    if (extension == QLatin1String(".RTF"))
        return ManuscriptType::BuiltIn;
    if (extension == QLatin1String(".HWP") || extension == store::kHwpxExtension)
        return ManuscriptType::Hwp;
    return ManuscriptType::Other;
}

ManuscriptFiles ManuscriptPaths(const SermonEditing &editing)
{
    const QString folder = editing.collectionFolder();
    const QString context = editing.context();
    if (folder.isEmpty() || context.isEmpty())
        return {};
    if (editing.adding())
        return {paths::resolve(folder, QStringLiteral("temp") + extensionOf(context)),
                paths::resolve(folder, QStringLiteral("temp.txt"))};
    return {editing.collectionPath(QStringLiteral("data\\") + context), editing.textCopyPath(context)};
}

QString hardDiskOnlyText() { return QStringLiteral("하드디스크에서 실행될 때에만 가능합니다."); }

QString incompatibleHwpQuestion()
{
    return QStringLiteral("이 컴퓨터에는 Verbana 1.3 과\r호환되지 않는 아래아 한글이 설치되어 있어서\r"
                          "아래아 한글로 현재 파일을 편집할 수 없습니다.\r\r자체편집기로 편집하시겠습니까?\r\r"
                          "자체편집기로 편집하게 되면\r아래아한글 파일의 글꼴,줄간격 등의\r서식은 없어집니다.");
}

QString keptFilesText(const QString &from, const QString &to)
{
    return QStringLiteral("원고 파일을 제자리에 둘 수 없습니다.\r") + QDir::toNativeSeparators(from)
           + QStringLiteral(" → ") + QDir::toNativeSeparators(to)
           + QStringLiteral("\r파일은 모두 그대로 남아 있습니다.");
}

static void makeFolderOf(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw EUserError(QStringLiteral("폴더를 만들 수 없습니다: ") + QDir::toNativeSeparators(folder));
}

void prepareManuscriptFiles(const ManuscriptFiles &files)
{
    if (!files.ok())
        return;
    if (!QFileInfo::exists(files.textCopy)) {
        makeFolderOf(files.textCopy);
        QFile copy(files.textCopy);
        if (!copy.open(QIODevice::NewOnly) || copy.write("\r\n", 2) != 2 || !copy.flush())
            throw EUserError(QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(files.textCopy));
    }
    if (!QFileInfo::exists(files.manuscript)) {
        makeFolderOf(files.manuscript);
        store::TcopyFile copier;
        copier.Forigin = files.textCopy;
        copier.Fdestination = files.manuscript;
        if (!copier.DoCopy())
            throw EUserError(QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(files.manuscript));
    }
}

static void moveOrSay(const QString &from, const QString &to)
{
    if (!files::replaceFile(from, to))
        throw EUserError(keptFilesText(from, to));
}

void takeInConverted(const QString &collectionFolder)
{
    // The conversion leaves one work copy: convhwp.hwp, or convhwp.hwpx for
    // an HWPX document, which becomes temp.hwpx.
    const QString program = paths::programFolder();
    QString hwp = paths::resolveExisting(program, QStringLiteral("convhwp.hwpx"));
    const bool hwpx = !hwp.isEmpty();
    if (!hwpx)
        hwp = paths::resolveExisting(program, QStringLiteral("convhwp.hwp"));
    const QString text = paths::resolveExisting(program, QStringLiteral("convhwp.txt"));
    const QString tempHwp =
        paths::resolve(collectionFolder, hwpx ? QStringLiteral("temp.hwpx") : QStringLiteral("temp.hwp"));
    const QString tempText = paths::resolve(collectionFolder, QStringLiteral("temp.txt"));
    if (hwp.isEmpty() || text.isEmpty())
        return;
    moveOrSay(hwp, tempHwp);
    if (!files::replaceFile(text, tempText)) {
        (void)files::replaceFile(tempHwp, hwp);
        throw EUserError(keptFilesText(text, tempText));
    }
}

void renewTextCopy(const QString &textCopy)
{
    const QString text = paths::resolveExisting(paths::programFolder(), QStringLiteral("convhwp.txt"));
    if (text.isEmpty() || textCopy.isEmpty())
        return;
    makeFolderOf(textCopy);
    moveOrSay(text, textCopy);
}

void turnIntoBuiltIn(SermonEditing &editing)
{
    const QString context = editing.context();
    const ManuscriptFiles files = ManuscriptPaths(editing);
    if (manuscriptType(context) != ManuscriptType::Hwp || !files.ok())
        return;
    const QString rtf =
        editing.adding() ? paths::resolve(editing.collectionFolder(), QStringLiteral("temp.rtf"))
                         : editing.collectionPath(QStringLiteral("data\\")
                                                  + store::replaceManuscriptExtension(context, QStringLiteral(".rtf")));
    // A real RTF document of the plain text, not the text file renamed.
    QTextDocument doc;
    doc.setDefaultFont(QFont(QStringLiteral("굴림체"), 10));
    QFile copy(files.textCopy);
    if (copy.open(QIODevice::ReadOnly))
        richtext::readPlainText(copy.readAll(), doc);
    makeFolderOf(rtf);
    const bool existed = QFileInfo::exists(rtf);
    if (const richtext::Status written = richtext::writeRtfFile(doc, rtf); !written.ok())
        throw EUserError(QStringLiteral("파일을 만들 수 없습니다: ") + QDir::toNativeSeparators(rtf) + QLatin1Char('\r')
                         + written.error);
    try {
        editing.setContext(store::replaceManuscriptExtension(context, QStringLiteral(".rtf")));
    } catch (...) {
        if (!existed)
            files::removeFileOnly(rtf);
        throw;
    }
    files::removeFileOnly(files.manuscript);
}

} // namespace verbana::editing
