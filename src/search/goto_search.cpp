// SPDX-License-Identifier: GPL-3.0-or-later
#include "search/goto_search.h"

#include "platform/cp949.h"
#include "platform/progress.h"
#include "store/xbase/apollo_table.h"

namespace verbana::search {

namespace {

constexpr qsizetype kWordBytes = 100;

bool textCopyHolds(store::StoredFileReader &reader, const xbase::TApolloTable &table, const GoToQuery &query)
{
    QByteArray content;
    return reader.readTextCopy(cp949::decode(table.GetString(kManuscriptItem)), content)
           && textHolds(content, query.word);
}

} // namespace

const std::vector<GoToItem> &goToItems()
{
    static const std::vector<GoToItem> items = {
        {u"제목", 2, false},      {u"부제목", 3, false},    {u"주제", 4, false},      {u"성경", 5, false},
        {u"참고구절", 7, false},  {u"설교형식", 9, false},  {u"설교방향", 10, false}, {u"예배종류", 11, false},
        {u"비고", 12, false},     {u"요약", 13, false},     {u"설교원고", 14, false}, {u"작성일", 1, true},
        {u"참고서적", 8, true},   {u"설교일", 15, true},    {u"설교장소", 16, true},  {u"설교시간", 17, true},
        {u"설교횟수", 18, true},  {u"청중반응", 19, true},  {u"자기평가", 20, true},  {u"개선점", 21, true},
    };
    return items;
}

QByteArray searchWord(const QString &typed)
{
    const cp949::Encoded encoded = cp949::encode(typed);
    if (!encoded.ok())
        return QByteArray();
    return cp949::cut(encoded.bytes, kWordBytes);
}

bool fieldHolds(QByteArrayView fieldText, QByteArrayView upperWord)
{
    if (upperWord.isEmpty() || fieldText.size() < upperWord.size())
        return false;
    return cp949::indexOf(cp949::upperAscii(fieldText), upperWord) >= 0;
}

bool textHolds(QByteArrayView content, QByteArrayView word)
{
    const qsizetype zero = content.indexOf('\0');
    if (zero >= 0)
        content = content.first(zero);
    return !word.isEmpty() && cp949::indexOf(content, word) >= 0;
}

bool recordMatches(const xbase::TApolloTable &table, const GoToQuery &query)
{
    if (query.item != kManuscriptItem)
        return fieldHolds(table.GetString(query.item), cp949::upperAscii(query.word));
    store::StoredFileReader reader(query.paths);
    return textCopyHolds(reader, table, query);
}

bool findNext(xbase::TApolloTable &table, const GoToQuery &query, Progress *progress)
{
    // The word is folded once; each record's field is folded as it is read.
    const bool field = query.item != kManuscriptItem;
    const QByteArray upperWord = field ? cp949::upperAscii(query.word) : QByteArray();
    store::StoredFileReader reader(query.paths);
    const long step = query.direction == Direction::Down ? 1 : -1;
    for (;;) {
        table.Skip(step);
        const bool ended = table.Eof() || table.Bof();
        if (table.RecNo() != 0) {
            const bool match = field ? fieldHolds(table.GetString(query.item), upperWord)
                                     : textCopyHolds(reader, table, query);
            if (match)
                return true;
        }
        if (ended)
            return false;
        if (progress)
            progress->tick();
    }
}

} // namespace verbana::search
