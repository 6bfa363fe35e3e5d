// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing/outside_editing.h"

#include "platform/desktop_apps.h"
#include "store/collection_files.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace verbana::editing {

static OutsideEditingTimes &times()
{
    static OutsideEditingTimes t;
    return t;
}

void setOutsideEditingTimes(const OutsideEditingTimes &t) { times() = t; }

HwpEditor hwpEditorFor(const QString &document)
{
    const desktop::DesktopApplication app = desktop::defaultApplication(
        store::isHwpxName(document) ? desktop::hwpxMimeTypes() : desktop::hwpMimeTypes());
    HwpEditor editor;
    editor.id = app.id;
    if (!app.found())
        return editor;
    editor.command = desktop::launchCommand(app, document);
    editor.compatible = desktop::isHancomWordProcessor(app) && !editor.command.isEmpty();
    return editor;
}

bool editOutside(const QStringList &command)
{
    if (command.isEmpty())
        return false;
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.setInputChannelMode(QProcess::ForwardedInputChannel);
    QElapsedTimer clock;
    clock.start();
    child.start(command.first(), command.mid(1));
    if (!child.waitForStarted())
        return false;
    QEventLoop loop;
    QTimer handOff;
    handOff.setSingleShot(true);
    QObject::connect(&handOff, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto ended = [&] {
        if (clock.elapsed() < times().atOnceMs)
            handOff.start(times().handOffMs);
        else
            loop.quit();
    };
    QObject::connect(&child, &QProcess::finished, &loop, ended);
    if (child.state() == QProcess::NotRunning)
        ended();
    loop.exec();
    return true;
}

} // namespace verbana::editing
