// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace verbana::paths {
namespace {

QString &overrideFolder()
{
    static QString folder;
    return folder;
}

QString stripTrailing(QString p)
{
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}

char16_t foldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c; }

// ASCII-only case-insensitive comparison: other characters must match
// exactly, as file names differ only in the case of Latin letters.
bool sameIgnoringAsciiCase(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (foldAscii(a[i].unicode()) != foldAscii(b[i].unicode()))
            return false;
    return true;
}

QString findComponent(const QString &dir, const QString &name)
{
    const QString exact = dir + QLatin1Char('/') + name;
    if (QFileInfo::exists(exact))
        return exact;
    QDir d(dir);
    const QStringList entries = d.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &e : entries)
        if (sameIgnoringAsciiCase(e, name))
            return dir + QLatin1Char('/') + e;
    return {};
}

} // namespace

QString programFolder()
{
    if (!overrideFolder().isEmpty())
        return overrideFolder();
    const QByteArray env = qgetenv("VERBANA_HOME");
    if (!env.isEmpty())
        return stripTrailing(QDir(QString::fromLocal8Bit(env)).absolutePath());
    const QString portable =
        QCoreApplication::instance() ? portableFolder(QCoreApplication::applicationDirPath()) : QString();
    if (!portable.isEmpty())
        return portable;
    QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = data + QStringLiteral("/Verbana");
    QDir().mkpath(folder);
    return folder;
}

void setProgramFolder(const QString &folder) { overrideFolder() = stripTrailing(folder); }

QString portableMarker() { return QStringLiteral("verbana-portable"); }

QString portableFolder(const QString &executableFolder)
{
    if (executableFolder.isEmpty() || !QFileInfo(executableFolder + QLatin1Char('/') + portableMarker()).isFile()
        || !QFileInfo(executableFolder).isWritable())
        return QString();
    return stripTrailing(executableFolder);
}

QString join(const QString &base, const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    if (rel.isEmpty())
        return base;
    if (base.isEmpty())
        return rel;
    return base.endsWith(QLatin1Char('/')) ? base + rel : base + QLatin1Char('/') + rel;
}

QString resolve(const QString &base, const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = rel.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = base.isEmpty() ? QStringLiteral(".") : stripTrailing(base);
    bool found = true;
    for (const QString &part : parts) {
        if (found) {
            const QString next = findComponent(current, part);
            if (!next.isEmpty()) {
                current = next;
                continue;
            }
            found = false;
        }
        current += QLatin1Char('/') + part;
    }
    return current;
}

QString resolveExisting(const QString &base, const QString &relative)
{
    const QString p = resolve(base, relative);
    return QFileInfo::exists(p) ? p : QString();
}

QString resolveFull(const QString &path)
{
    QString p = path;
    p.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (QFileInfo::exists(p))
        return p;
    if (p.startsWith(QLatin1Char('/')))
        return resolve(QStringLiteral("/"), p.mid(1)).replace(QStringLiteral("//"), QStringLiteral("/"));
    return resolve(QStringLiteral("."), p).mid(2);
}

QString foldAsciiCase(const QString &name)
{
    QString folded = name;
    for (QChar &c : folded)
        c = QChar(foldAscii(c.unicode()));
    return folded;
}

bool isContained(const QString &relative)
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (rel.isEmpty() || rel.startsWith(QLatin1Char('/')))
        return false;
    if (rel.size() >= 2 && rel[1] == QLatin1Char(':'))
        return false;
    const QStringList parts = rel.split(QLatin1Char('/'));
    for (const QString &part : parts)
        if (part == QLatin1String(".."))
            return false;
    return true;
}

} // namespace verbana::paths
