// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>


namespace verbana::xbase {
class TApolloTable;
}
namespace verbana::store {
class CollectionDocument;
}

// The five orders of the sermon list and the two commands that keep the
// table and its index healthy (index rebuild, file diet).
namespace verbana::bible {

// The numbers of the sort menu's items.
enum SortOrder {
    soInput = 1, // 입력 순서대로: record order
    soTitle = 2, // 제목 순서대로: tag title1
    soWritten = 3, // 작성일 순서대로: tag date1
    soPreached = 4, // 설교일 순서대로: tag date2
    soBible = 5, // 성경 순서대로: tag BIBLENO
};

// The menu caption of an order (1–5), empty for any other number.
QString sortOrderCaption(int order);

// Sets the table's order; any number but 1–5 changes nothing. The current
// sermon stays current and a query in force stays in force. A tag missing
// from the index falls back to record order.
void SetSortOrder(xbase::TApolloTable &table, int order);

// A sort menu item: nothing without an open collection; refused while a
// sermon is added or edited (the document says so); otherwise SetSortOrder.
// True when the order was set.
bool sortCommand(store::CollectionDocument &document, int order);

// 인덱스 재생성: the table is opened exclusively, the four tags are made
// again, the table is opened shared in date-written order and
// "인덱스 재생성 완료" is shown. Nothing happens without an open collection
// or while a sermon is added or edited. Engine errors are raised after the
// table has been reopened shared in the order and on the sermon it had (or
// the collection closed when even that fails).
bool rebuildIndex(store::CollectionDocument &document);

// 파일 다이어트: packs the table (deleted sermons removed for good, index
// brought up to date), reopens it shared in date-written order and shows
// "파일 다이어트 완료". Same conditions and failures as rebuildIndex.
bool fileDiet(store::CollectionDocument &document);

} // namespace verbana::bible
