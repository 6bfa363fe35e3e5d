// SPDX-License-Identifier: GPL-3.0-or-later
#include "collection_cli.h"

#include "cli.h"
#include "table_cli.h"

#include "platform/commands.h"
#include "platform/paths.h"
#include "store/collection_document.h"
#include "store/sermon_record.h"
#include "store/xbase/engine_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <optional>

namespace verbana::cli {

namespace {

// The marker file as it was before the run, and putting it back.
class UseFileKept {
public:
    UseFileKept()
    {
        const QString path = paths::resolveExisting(paths::programFolder(), QStringLiteral("usefile.sys"));
        QFile file(path);
        if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
            bytes_ = file.readAll();
    }
    ~UseFileKept()
    {
        store::removeUseFile();
        if (!bytes_)
            return;
        QSaveFile file(store::useFilePath());
        if (file.open(QIODevice::WriteOnly) && file.write(*bytes_) == bytes_->size())
            (void)file.commit();
    }
    UseFileKept(const UseFileKept &) = delete;
    UseFileKept &operator=(const UseFileKept &) = delete;

private:
    std::optional<QByteArray> bytes_;
};

} // namespace

int failed(const QString &text, int since)
{
    if (messagesShown() == since)
        err(text);
    return Failed;
}

bool refuseExisting(const QString &path, bool overwrite)
{
    if (overwrite || !QFileInfo::exists(path))
        return false;
    err(QStringLiteral("%1 exists: give --overwrite to replace it").arg(path));
    return true;
}

int withCollection(const QString &dir, Change change, const std::function<int(store::CollectionDocument &)> &work)
{
    const QFileInfo folder(QDir::cleanPath(QFileInfo(dir).absoluteFilePath()));
    const QString table = folder.isDir() ? paths::resolveExisting(folder.absoluteFilePath(), store::sermonTableName())
                                         : QString();
    if (table.isEmpty()) {
        err(QStringLiteral("not a collection (no %1): %2").arg(store::sermonTableName(), dir));
        return Failed;
    }
    paths::setProgramFolder(folder.absolutePath());
    const UseFileKept marker;
    store::CollectionDocument document;
    int code = Failed;
    // As a window's command: an error raised, or handed over by a scope
    // that may not throw, is shown once, as one line.
    const bool ran = runCommand([&] {
        try {
            if (!document.OpenCollection(table)) {
                code = failed(QStringLiteral("%1 cannot be opened").arg(dir));
                return;
            }
            if (change == Change::Yes && document.refuseReadOnly())
                return;
            code = work(document);
            document.releaseTable();
        } catch (const xbase::EApolloError &e) {
            code = engineFailure(e);
        }
    });
    return ran ? code : int(Failed);
}

} // namespace verbana::cli
