// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <array>

namespace verbana::test {

// A desktop of its own for a test: the XDG folders point into a temporary
// folder while it lives, with no applications and no defaults until the
// test adds them.
class XdgSandbox {
public:
    XdgSandbox()
    {
        for (size_t i = 0; i < kNames.size(); ++i) {
            saved_[i] = qgetenv(kNames[i]);
            had_[i] = qEnvironmentVariableIsSet(kNames[i]);
        }
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path() + QStringLiteral("/config")));
        qputenv("XDG_CONFIG_DIRS", QFile::encodeName(dir_.path() + QStringLiteral("/etc")));
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir_.path() + QStringLiteral("/data")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(dir_.path() + QStringLiteral("/share")));
        qunsetenv("XDG_CURRENT_DESKTOP");
        QDir().mkpath(dir_.path() + QStringLiteral("/config"));
        QDir().mkpath(dir_.path() + QStringLiteral("/data/applications"));
    }
    ~XdgSandbox()
    {
        for (size_t i = 0; i < kNames.size(); ++i)
            had_[i] ? qputenv(kNames[i], saved_[i]) : qunsetenv(kNames[i]);
    }
    XdgSandbox(const XdgSandbox &) = delete;
    XdgSandbox &operator=(const XdgSandbox &) = delete;

    QString path() const { return dir_.path(); }

    void addApplication(const QString &id, const QString &name, const QString &exec) const
    {
        QFile f(dir_.path() + QStringLiteral("/data/applications/") + id);
        (void)f.open(QIODevice::WriteOnly);
        f.write("[Desktop Entry]\nType=Application\nName=" + name.toUtf8() + "\nExec=" + exec.toUtf8()
                + "\nMimeType=application/x-hwp;\n");
    }
    // The user's choice in mimeapps.list, added to what is there.
    void setDefault(const QString &mime, const QString &ids) const
    {
        QFile f(dir_.path() + QStringLiteral("/config/mimeapps.list"));
        const bool fresh = !f.exists();
        (void)f.open(QIODevice::Append);
        if (fresh)
            f.write("[Default Applications]\n");
        f.write(mime.toUtf8() + '=' + ids.toUtf8() + '\n');
    }

private:
    static constexpr std::array<const char *, 5> kNames{"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                                         "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
    QTemporaryDir dir_;
    std::array<QByteArray, 5> saved_;
    std::array<bool, 5> had_{};
};

} // namespace verbana::test
