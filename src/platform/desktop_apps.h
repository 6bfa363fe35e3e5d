// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// The desktop's default applications, found the freedesktop way: the
// [Default Applications] (then [Added Associations]) of the mimeapps.list
// files in the XDG configuration and data folders, and the legacy
// defaults.list, in their order of precedence; the first entry whose
// desktop file exists is the default. Everything is read from the
// environment at each call (XDG_CONFIG_HOME, XDG_CONFIG_DIRS, XDG_DATA_HOME,
// XDG_DATA_DIRS, XDG_CURRENT_DESKTOP), so a test folder stands in for the
// user's desktop.
namespace verbana::desktop {

// The MIME types an HWP document goes by.
QStringList hwpMimeTypes(); // application/x-hwp, application/haansofthwp
// Those of an HWPX document: application/hwp+zip, then the binary types,
// whose word processor reads HWPX as well.
QStringList hwpxMimeTypes();

struct DesktopApplication {
    QString id; // desktop file id, such as "hoffice-hwp.desktop"
    QString path; // the desktop file; empty when none was found
    QString name; // Name=
    QString exec; // Exec=
    bool found() const { return !path.isEmpty(); }
};

// The default application of the first of `mimeTypes` that has one.
DesktopApplication defaultApplication(const QStringList &mimeTypes);

// The desktop file of an id in the applications folders; not found when
// it is missing or hidden.
DesktopApplication findApplication(const QString &id);

// True when the application is a Hancom word processor, one that writes
// HWP documents back: its id, name or program names Hancom (hancom, hnc,
// hoffice, 한컴) and it is not a viewer.
bool isHancomWordProcessor(const DesktopApplication &app);

// The program and its arguments that open `file` with the application (the
// Exec line with its field codes put in); empty when the line is unusable.
QStringList launchCommand(const DesktopApplication &app, const QString &file);

} // namespace verbana::desktop
