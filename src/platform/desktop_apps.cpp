// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/desktop_apps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace verbana::desktop {

namespace {

QString env(const char *name) { return qEnvironmentVariable(name); }

QStringList dirList(const char *variable, const QString &fallback)
{
    QString value = env(variable);
    if (value.isEmpty())
        value = fallback;
    QStringList out;
    for (const QString &d : value.split(QLatin1Char(':'), Qt::SkipEmptyParts))
        out << d;
    return out;
}

QString homeDir(const char *variable, const QString &fallback)
{
    const QString value = env(variable);
    return value.isEmpty() ? QDir::homePath() + fallback : value;
}

QStringList configDirs()
{
    return QStringList{homeDir("XDG_CONFIG_HOME", QStringLiteral("/.config"))}
           + dirList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList applicationDirs()
{
    QStringList out;
    const QStringList data = QStringList{homeDir("XDG_DATA_HOME", QStringLiteral("/.local/share"))}
                             + dirList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
    for (const QString &d : data)
        out << d + QStringLiteral("/applications");
    return out;
}

// The list files in order of precedence, each desktop's own before the
// common one.
QStringList mimeappsFiles()
{
    QStringList desktops;
    for (const QString &d : env("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts))
        desktops << d.toLower();
    QStringList files;
    for (const QStringList &dirs : {configDirs(), applicationDirs()})
        for (const QString &dir : dirs) {
            for (const QString &d : desktops)
                files << dir + QLatin1Char('/') + d + QStringLiteral("-mimeapps.list");
            files << dir + QStringLiteral("/mimeapps.list");
        }
    return files;
}

using Group = QList<std::pair<QString, QString>>;

// The key/value lines of one group of a key file.
Group readGroup(const QString &path, const QString &group)
{
    Group out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return out;
    QTextStream in(&file);
    bool inside = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.startsWith(QLatin1Char('['))) {
            inside = line == QLatin1Char('[') + group + QLatin1Char(']');
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (inside && eq > 0)
            out.push_back({line.left(eq).trimmed(), line.mid(eq + 1).trimmed()});
    }
    return out;
}

QString valueOf(const Group &group, const QString &key)
{
    for (const auto &[k, v] : group)
        if (k == key)
            return v;
    return QString();
}

DesktopApplication firstFound(const QString &list)
{
    for (const QString &id : list.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        DesktopApplication app = findApplication(id.trimmed());
        if (app.found())
            return app;
    }
    return {};
}

DesktopApplication lookUp(const QString &mime, const QString &group, const QStringList &files)
{
    for (const QString &file : files) {
        const QString list = valueOf(readGroup(file, group), mime);
        if (list.isEmpty())
            continue;
        DesktopApplication app = firstFound(list);
        if (app.found())
            return app;
    }
    return {};
}

// The arguments of an Exec line: blanks separate them, double quotes
// group them with \" \` \$ \\ escaped inside.
QStringList splitExec(const QString &exec)
{
    QStringList args;
    QString current;
    bool quoted = false, any = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        const QChar c = exec[i];
        if (quoted) {
            if (c == QLatin1Char('\\') && i + 1 < exec.size()) {
                current += exec[++i];
            } else if (c == QLatin1Char('"')) {
                quoted = false;
            } else {
                current += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = any = true;
        } else if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            if (any || !current.isEmpty())
                args << current;
            current.clear();
            any = false;
        } else {
            current += c;
        }
    }
    if (quoted)
        return {};
    if (any || !current.isEmpty())
        args << current;
    return args;
}

} // namespace

QStringList hwpMimeTypes()
{
    return {QStringLiteral("application/x-hwp"), QStringLiteral("application/haansofthwp")};
}

QStringList hwpxMimeTypes() { return QStringList{QStringLiteral("application/hwp+zip")} + hwpMimeTypes(); }

DesktopApplication findApplication(const QString &id)
{
    if (id.isEmpty() || id.contains(QLatin1Char('/')) || !id.endsWith(QLatin1String(".desktop")))
        return {};
    for (const QString &dir : applicationDirs()) {
        // "vendor-app.desktop" may also lie as vendor/app.desktop.
        QStringList candidates{dir + QLatin1Char('/') + id};
        if (id.contains(QLatin1Char('-')))
            candidates << dir + QLatin1Char('/') + QString(id).replace(QLatin1Char('-'), QLatin1Char('/'));
        for (const QString &path : candidates) {
            if (!QFileInfo(path).isFile())
                continue;
            const Group entry = readGroup(path, QStringLiteral("Desktop Entry"));
            if (valueOf(entry, QStringLiteral("Hidden")) == QLatin1String("true"))
                return {};
            return {id, path, valueOf(entry, QStringLiteral("Name")), valueOf(entry, QStringLiteral("Exec"))};
        }
    }
    return {};
}

DesktopApplication defaultApplication(const QStringList &mimeTypes)
{
    const QStringList lists = mimeappsFiles();
    QStringList legacy;
    for (const QString &dir : applicationDirs())
        legacy << dir + QStringLiteral("/defaults.list");
    for (const QString &mime : mimeTypes) {
        for (const auto &[group, files] : {std::pair{QStringLiteral("Default Applications"), lists},
                                           std::pair{QStringLiteral("Default Applications"), legacy},
                                           std::pair{QStringLiteral("Added Associations"), lists}}) {
            DesktopApplication app = lookUp(mime, group, files);
            if (app.found())
                return app;
        }
    }
    return {};
}

bool isHancomWordProcessor(const DesktopApplication &app)
{
    if (!app.found())
        return false;
    const QStringList exec = splitExec(app.exec);
    const QString program = exec.isEmpty() ? QString() : exec.first();
    const QString all = (app.id + QLatin1Char(' ') + app.name + QLatin1Char(' ') + program).toLower();
    if (all.contains(QLatin1String("viewer")) || all.contains(QStringLiteral("뷰어")))
        return false;
    for (const QString &mark : {QStringLiteral("hancom"), QStringLiteral("hnc"), QStringLiteral("hoffice"),
                                QStringLiteral("한컴")})
        if (all.contains(mark))
            return true;
    return false;
}

QStringList launchCommand(const DesktopApplication &app, const QString &file)
{
    const QStringList parts = splitExec(app.exec);
    QStringList out;
    bool placed = false;
    for (const QString &part : parts) {
        if (part == QLatin1String("%f") || part == QLatin1String("%F") || part == QLatin1String("%u")
            || part == QLatin1String("%U")) {
            if (!placed)
                out << file;
            placed = true;
            continue;
        }
        if (part == QLatin1String("%i") || part == QLatin1String("%c") || part == QLatin1String("%k"))
            continue;
        QString arg = part;
        arg.replace(QLatin1String("%%"), QLatin1String("%"));
        out << arg;
    }
    if (out.isEmpty())
        return {};
    if (!placed)
        out << file;
    return out;
}

} // namespace verbana::desktop
