// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/sort_orders.h"

#include "store/collection_session.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include "platform/prompts.h"

namespace verbana::bible {

namespace {

const char *tagOf(int order)
{
    switch (order) {
    case soTitle: return "title1";
    case soWritten: return "date1";
    case soPreached: return "date2";
    case soBible: return "BIBLENO";
    default: return nullptr;
    }
}

bool mayRun(store::CollectionSession &session, const EditingGuard &refuseWhileEditing)
{
    if (!session.isOpen())
        return false;
    return !(refuseWhileEditing && refuseWhileEditing());
}

// Closes the table, runs `work` on it opened exclusively, and opens it
// shared again in date-written order. A failure anywhere leaves the
// session consistent (reopened, or closed) before the error goes on.
template <typename Work> void exclusively(store::CollectionSession &session, Work work)
{
    xbase::TApolloTable &table = session.table();
    try {
        session.releaseTable();
        table.Exclusive = true;
        table.Open();
        work(table);
        table.Close();
        table.Exclusive = false;
        table.Open();
        SetSortOrder(table, soWritten);
    } catch (...) {
        session.recoverTable();
        throw;
    }
    session.announceReopened();
}

} // namespace

QString sortOrderCaption(int order)
{
    switch (order) {
    case soInput: return QStringLiteral("입력 순서대로");
    case soTitle: return QStringLiteral("제목 순서대로");
    case soWritten: return QStringLiteral("작성일 순서대로");
    case soPreached: return QStringLiteral("설교일 순서대로");
    case soBible: return QStringLiteral("성경 순서대로");
    default: return QString();
    }
}

void SetSortOrder(xbase::TApolloTable &table, int order)
{
    if (order == soInput) {
        table.SetOrder(0);
        return;
    }
    if (const char *tag = tagOf(order))
        table.SetOrder(table.TagArea(QByteArray(tag)));
}

bool sortCommand(store::CollectionSession &session, int order, const EditingGuard &refuseWhileEditing)
{
    if (!mayRun(session, refuseWhileEditing))
        return false;
    SetSortOrder(session.table(), order);
    return true;
}

bool rebuildIndex(store::CollectionSession &session, const EditingGuard &refuseWhileEditing)
{
    if (!mayRun(session, refuseWhileEditing))
        return false;
    exclusively(session, [](xbase::TApolloTable &table) { store::createSermonTags(table); });
    showInformation(QStringLiteral("인덱스 재생성 완료"));
    return true;
}

bool fileDiet(store::CollectionSession &session, const EditingGuard &refuseWhileEditing)
{
    if (!mayRun(session, refuseWhileEditing))
        return false;
    exclusively(session, [](xbase::TApolloTable &table) { table.Pack(); });
    showInformation(QStringLiteral("파일 다이어트 완료"));
    return true;
}

} // namespace verbana::bible
