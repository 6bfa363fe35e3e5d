// SPDX-License-Identifier: GPL-3.0-or-later
#include "table_cli.h"

#include "cli.h"

#include "platform/paths.h"
#include "store/sermon_record.h"

#include <QFileInfo>

namespace verbana::cli {

std::unique_ptr<xbase::TApolloTable> openTable(const QString &path, Access access)
{
    auto t = std::make_unique<xbase::TApolloTable>();
    const QFileInfo info(path);
    t->DatabaseName = info.absolutePath();
    t->TableName = info.fileName();
    t->Exclusive = access == Access::Exclusive;
    t->ReadOnly = access == Access::Read;
    t->RepairIndex = access != Access::Read;
    t->Open();
    return t;
}

bool holdForBackup(const QString &folder, std::unique_ptr<xbase::TApolloTable> &held)
{
    const QString path = paths::resolveExisting(folder, store::sermonTableName());
    if (path.isEmpty())
        return true;
    auto t = std::make_unique<xbase::TApolloTable>();
    const QFileInfo info(path);
    t->DatabaseName = info.absolutePath();
    t->TableName = info.fileName();
    t->Exclusive = true;
    t->ReadOnly = true;
    try {
        t->Open();
        held = std::move(t);
    } catch (const xbase::EApolloError &e) {
        if (e.kind() == files::StatusKind::Locked) {
            err(QStringLiteral("the collection %1 is open in another program: close it there first").arg(folder));
            return false;
        }
    }
    return true;
}

int rebuildSermonTags(const QString &path)
{
    try {
        auto t = openTable(path, Access::Exclusive);
        store::createSermonTags(*t);
        out(QStringLiteral("%1 tags rebuilt over %2 records\n").arg(t->TagCount()).arg(t->RecCount()));
    } catch (const xbase::EApolloError &e) {
        return engineFailure(e);
    }
    return Ok;
}

int engineFailure(const xbase::EApolloError &e)
{
    QString text = e.text();
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (!e.detail().isEmpty() && e.detail() != e.text())
        text += QStringLiteral(" (") + e.detail() + QLatin1Char(')');
    err(text);
    if (e.text().startsWith(xbase::texts::damaged(QString())))
        err(QStringLiteral("`verbana-cli repair TABLE` writes a repaired copy beside the table and leaves it as it is"));
    return Failed;
}

} // namespace verbana::cli
