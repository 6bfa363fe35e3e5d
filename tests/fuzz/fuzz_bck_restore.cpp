// SPDX-License-Identifier: GPL-3.0-or-later
// Restore and List of arbitrary archive bytes: never a crash, never a file
// outside the target folder, never a run that hangs on a volume request.
#include "backup/backup_file.h"

#include <QBuffer>
#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using verbana::TBackupFile;

static void quiet(TBackupFile &file)
{
    file.OnError = [](TBackupFile *, int, const QString &) {};
    file.OnNeedDisk = [](TBackupFile *, quint16, bool &go) { go = false; };
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir root;
    const QString target = root.filePath(QStringLiteral("target"));
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    for (verbana::TRestoreMode mode : {verbana::rmAll, verbana::rmNoOverwrite}) {
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        TBackupFile file;
        quiet(file);
        file.setRestoreMode(mode);
        file.SetStream(&stream);
        file.Restore(TBackupFile::streamName(), target);
        if (file.Busy())
            std::abort();
    }
    {
        QBuffer stream(&bytes);
        stream.open(QIODevice::ReadOnly);
        TBackupFile file;
        quiet(file);
        file.SetStream(&stream);
        file.List(TBackupFile::streamName(), [](const TBackupFile::ListedFile &f) {
            if (f.size < 0)
                std::abort();
        });
    }
    // Everything written stays inside the target folder.
    QDirIterator it(root.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        if (!it.next().startsWith(target + QLatin1Char('/')))
            std::abort();
    QDir(target).removeRecursively();
    return 0;
}
