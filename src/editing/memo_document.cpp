// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/memo_document.h"

#include "platform/cp949.h"
#include "richtext/richtext.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextBlockFormat>
#include <QTextDocument>

namespace verbana::editing::memo {

Indents dragFirstLineMarker(Indents indents, int firstMarker, int leftMarker)
{
    indents.firstLine = (3 * firstMarker) / 4;
    indents.left = (3 * leftMarker) / 4 - indents.firstLine;
    return indents;
}

Indents dragLeftMarker(Indents indents, int leftMarker)
{
    indents.left = (3 * leftMarker) / 4 - indents.firstLine;
    return indents;
}

Indents dragRightMarker(Indents indents, int rightMarker, int rulerWidth)
{
    indents.right = (3 * (rulerWidth - rightMarker - 10)) / 4;
    return indents;
}

Markers markersFor(Indents indents, int rulerWidth)
{
    return {(4 * indents.firstLine) / 3 + 2, (4 * (indents.left + indents.firstLine)) / 3 + 2,
            rulerWidth - (4 * (indents.right + 6)) / 3 - 6};
}

// A paragraph's left margin is where its other lines start and its text
// indent moves the first line from there.
Indents indentsOf(const QTextBlockFormat &format)
{
    const auto points = [](qreal pixels) { return qRound(pixels * 3.0 / 4.0); };
    Indents i;
    i.firstLine = points(format.leftMargin() + format.textIndent());
    i.left = points(-format.textIndent());
    i.right = points(format.rightMargin());
    return i;
}

void applyIndents(QTextBlockFormat &format, Indents indents)
{
    const auto pixels = [](int points) { return points * 4.0 / 3.0; };
    format.setLeftMargin(pixels(indents.firstLine + indents.left));
    format.setTextIndent(pixels(-indents.left));
    format.setRightMargin(pixels(indents.right));
}

std::optional<int> sizeFromBox(QStringView text)
{
    QString digits;
    for (QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits += c;
    if (digits.isEmpty() || digits.size() > 9)
        return std::nullopt;
    const int size = digits.toInt();
    if (size > 5 && size < 128)
        return size;
    return std::nullopt;
}

ExportTarget exportTarget(const QString &chosen, int filterIndex)
{
    const QString suffix = QFileInfo(chosen).suffix();
    if (suffix.isEmpty()) {
        const bool rich = filterIndex != 1;
        QString path = chosen;
        if (path.endsWith(QLatin1Char('.')))
            path.chop(1);
        return {path + (rich ? QStringLiteral(".RTF") : QStringLiteral(".TXT")), rich};
    }
    return {chosen, suffix.toLower().contains(QStringLiteral("rtf"))};
}

namespace {

QString fileError(const QString &path, const QString &error) { return QStringLiteral("%1: %2").arg(path, error); }

// The whole of `bytes` replaces the file at `path` through a temporary file
// in the same folder, or nothing changes.
QString replaceFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fileError(path, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return fileError(path, error);
    }
    if (!file.commit())
        return fileError(path, file.errorString());
    return {};
}

} // namespace

QString loadFile(const QString &path, QTextDocument &doc)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fileError(path, file.errorString());
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return fileError(path, file.errorString());
    if (richtext::isRtf(data)) {
        richtext::readRtf(data, doc);
        return {};
    }
    richtext::readTextFile(data, doc);
    return {};
}

SaveOutcome saveManuscript(const QTextDocument &doc, const QString &filePath, const QString &textCopyPath)
{
    SaveOutcome outcome;
    // The text copy is made before anything is written, so that the RTF is
    // never replaced by a document whose copy could not even be made.
    const richtext::PlainText copy = richtext::plainText(doc);
    outcome.replaced = copy.unmappable;
    if (richtext::Status st = richtext::writeRtfFile(doc, filePath); !st.ok()) {
        outcome.error = st.error;
        return outcome;
    }
    outcome.rtfWritten = true;
    outcome.error = replaceFile(textCopyPath, copy.bytes);
    outcome.textWritten = outcome.error.isEmpty();
    return outcome;
}

QString writeExport(const QTextDocument &doc, const ExportTarget &target, QString &replaced)
{
    if (target.rich) {
        richtext::Status st = richtext::writeRtfFile(doc, target.path);
        return st.error;
    }
    const richtext::PlainText text = richtext::plainText(doc);
    replaced = text.unmappable;
    return replaceFile(target.path, text.bytes);
}

QString replacedMessage(const QString &characters, bool textCopy)
{
    QStringList each;
    for (qsizetype i = 0; i < characters.size();) {
        const qsizetype n = characters[i].isHighSurrogate() && i + 1 < characters.size() ? 2 : 1;
        each << QLatin1Char('\'') + characters.mid(i, n) + QLatin1Char('\'');
        i += n;
    }
    const QString list = each.join(QStringLiteral(", "));
    if (!textCopy)
        return list + QStringLiteral(" 문자는 문자열 파일에 저장할 수 없어 \"?\"로 바꾸었습니다.");
    return list
           + QStringLiteral(" 문자는 문자열 사본에 저장할 수 없어 \"?\"로 바꾸었습니다.\r"
                            "원고 파일에는 그대로 저장되었습니다.");
}

QString textCopyFailedMessage(const QString &error)
{
    return QStringLiteral("원고 파일은 저장했지만 문자열 사본을 저장하지 못했습니다.\r"
                          "원고 화면과 찾기에는 이전 내용이 남아 있습니다.\r")
           + error;
}

} // namespace verbana::editing::memo
