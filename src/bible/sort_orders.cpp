// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/sort_orders.h"

#include "store/collection_document.h"
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

bool mayRun(store::CollectionDocument &document) { return document.isOpen() && !document.refuseWhileEditing(); }

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

bool sortCommand(store::CollectionDocument &document, int order)
{
    if (!mayRun(document))
        return false;
    SetSortOrder(document.table(), order);
    return true;
}

bool rebuildIndex(store::CollectionDocument &document)
{
    if (!mayRun(document))
        return false;
    document.exclusively([](xbase::TApolloTable &table) { store::createSermonTags(table); });
    showInformation(QStringLiteral("인덱스 재생성 완료"));
    return true;
}

bool fileDiet(store::CollectionDocument &document)
{
    if (!mayRun(document))
        return false;
    document.exclusively([](xbase::TApolloTable &table) { table.Pack(); });
    showInformation(QStringLiteral("파일 다이어트 완료"));
    return true;
}

} // namespace verbana::bible
