// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/convert_hwp.h"

#include "platform/files.h"
#include "platform/paths.h"
#include "platform/user_error.h"
#include "store/collection_files.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <algorithm>
#include <climits>

namespace verbana::store {

namespace {

QString &converterOverride()
{
    static QString path;
    return path;
}

bool running = false;

struct RunningFlag {
    RunningFlag() { running = true; }
    ~RunningFlag() { running = false; }
};

// Lower-cased absolute path, and the same through links, so that the work
// file is known under any letter case or another name for its folder.
bool samePathIgnoringCase(const QString &a, const QString &b)
{
    const QFileInfo ia(a), ib(b);
    if (ia.absoluteFilePath().toLower() == ib.absoluteFilePath().toLower())
        return true;
    const QString ca = ia.canonicalFilePath(), cb = ib.canonicalFilePath();
    return !ca.isEmpty() && ca.toLower() == cb.toLower();
}

void removeWorkFile(const QString &folder, const char *name)
{
    const QString path = paths::resolveExisting(folder, QLatin1String(name));
    if (!path.isEmpty())
        files::removeFileOnly(path);
}

} // namespace

bool convertingHwp() { return running; }

QString convertWorkCopyName(const QString &file)
{
    return isHwpxName(file) ? QStringLiteral("convhwp.hwpx") : QStringLiteral("convhwp.hwp");
}

QString hwpManuscriptExtension(const QString &file)
{
    return isHwpxName(file) ? QString(kHwpxExtension) : QStringLiteral(".HWP");
}

int convertTimeLimit(qint64 bytes) { return int(std::clamp<qint64>(bytes, 5000, INT_MAX)); }

QString hwp2txtPath()
{
    if (!converterOverride().isEmpty())
        return converterOverride();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/Hwp2txt");
}

void setHwp2txtPath(const QString &path) { converterOverride() = path; }

QString hwpBusyText()
{
    return QStringLiteral("아래아 한글 파일을 변환하는 중입니다.\r변환이 끝난 뒤에 다시 하십시오.");
}

QString convertHwpMessage(int result, bool refreshing)
{
    switch (result) {
    case hwpNotConverted:
        return QStringLiteral("아래아 한글 파일을 변환하지 못하겠습니다.");
    case hwpWorkFile:
        return QStringLiteral("본 프로그램이 내부적으로 사용하는 파일입니다.");
    case hwpCopyFailed:
        return QStringLiteral("부정확한 원인으로 실행할 수 없습니다.");
    case hwpUnreadable:
        return refreshing ? QStringLiteral("다른 프로그램이 사용중입니다.")
                          : QStringLiteral("다른 프로그램이 사용중인 파일이거나,\r변환이 불가능한 파일입니다.");
    default:
        return QString();
    }
}

int ConvertHwp(const QString &file)
{
    if (running)
        throw EUserError(hwpBusyText());
    const RunningFlag flag;
    const QString program = paths::programFolder();
    if (samePathIgnoringCase(file, program + QStringLiteral("/convhwp.hwp"))
        || samePathIgnoringCase(file, program + QStringLiteral("/convhwp.hwpx")))
        return hwpWorkFile;

    qint64 size = 0;
    {
        QFile source(file);
        if (!QFileInfo(file).isFile() || !source.open(QIODevice::ReadOnly))
            return hwpUnreadable;
        size = source.size();
    }
    if (size <= 0)
        return hwpUnreadable;

    removeWorkFile(program, "convhwp.hwp");
    removeWorkFile(program, "convhwp.hwpx");
    const QString workCopy = convertWorkCopyName(file);
    const QString copy = program + QLatin1Char('/') + workCopy;
    TcopyFile copier;
    copier.Forigin = file;
    copier.Fdestination = copy;
    if (!copier.DoCopy() || QFileInfo(copy).size() != size)
        return hwpCopyFailed;

    removeWorkFile(program, "convhwp.txt");
    QProcess converter;
    converter.setWorkingDirectory(program);
    converter.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    converter.start(hwp2txtPath(), {workCopy, QStringLiteral("convhwp.txt"), QStringLiteral("/ks")});
    if (!converter.waitForStarted())
        return hwpNotConverted;

    // The windows stay alive while the converter works: events are
    // processed until it ends or its time is up.
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&converter, &QProcess::finished, &loop, &QEventLoop::quit);
    limit.start(convertTimeLimit(size));
    if (converter.state() != QProcess::NotRunning)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (converter.state() != QProcess::NotRunning) {
        // Too late: stopped, so that it cannot write into the next
        // conversion's work file.
        converter.kill();
        converter.waitForFinished(1000);
        removeWorkFile(program, "convhwp.txt");
        return hwpNotConverted;
    }
    // A converter that failed made no text: that is no success.
    if (converter.exitStatus() != QProcess::NormalExit || converter.exitCode() != 0
        || paths::resolveExisting(program, QStringLiteral("convhwp.txt")).isEmpty())
        return hwpNotConverted;
    return hwpConverted;
}

} // namespace verbana::store
