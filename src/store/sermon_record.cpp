// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/sermon_record.h"

#include "store/xbase/apollo_table.h"

#include "platform/cp949.h"

namespace verbana::store {

QByteArray SermonField::createName() const { return cp949::lowerAscii(QByteArray(name)); }

const std::array<SermonField, kSermonFieldCount> &sermonFields()
{
    static const std::array<SermonField, kSermonFieldCount> fields{{
        {"DATE1", 12, u"작성일", 12},
        {"TITLE1", 60, u"제목", 30},
        {"TITLE2", 60, u"부제목", 30},
        {"SUBJECT", 60, u"주제", 30},
        {"BIBLE1", 40, u"성경본문", 12},
        {"BIBLENO", 10, u"구절NO", 0},
        {"BIBLE2", 40, u"참고구절", 12},
        {"BOOK", 60, u"참고자료", 20},
        {"STYPE", 20, u"설교형식", 20},
        {"AIM", 20, u"설교방향", 20},
        {"SACRE", 20, u"예배종류", 20},
        {"ETCS", 60, u"비고", 20},
        {"BRIEF", 200, u"요약", 0},
        {"CONTEXT", 80, u"본문파일", 0},
        {"DATE2", 12, u"설교일", 12},
        {"WHERE", 20, u"설교장소", 20},
        {"LONG", 20, u"설교시간", 20},
        {"TIMES", 10, u"설교횟수", 10},
        {"REFLEX", 40, u"청중반응", 20},
        {"SELFDIC", 40, u"자기평가", 12},
        {"BETTER", 200, u"개선점", 0},
    }};
    return fields;
}

int sermonFieldNumber(QByteArrayView name)
{
    const QByteArray upper = cp949::upperAscii(name);
    const auto &fields = sermonFields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (upper == fields[i].name)
            return int(i + 1);
    return 0;
}

const std::array<int, 17> &listColumnOrder()
{
    static const std::array<int, 17> order{fTITLE1, fDATE1, fTITLE2, fSUBJECT, fBIBLE1, fBIBLE2, fBOOK, fSTYPE, fAIM,
                                           fSACRE, fETCS, fDATE2, fWHERE, fLONG, fTIMES, fREFLEX, fSELFDIC};
    return order;
}

const std::array<SermonTag, 4> &sermonTags()
{
    static const std::array<SermonTag, 4> tags{{
        {"title1", "title1"},
        {"date1", "date1"},
        {"date2", "date2"},
        {"BIBLENO", "BIBLENO"},
    }};
    return tags;
}

int createSermonTableFile(xbase::TApolloTable &table, const QString &path)
{
    if (!table.CreateNew(path, xbase::ttSXFOX, kSermonFieldCount))
        return 0;
    for (const SermonField &f : sermonFields())
        if (!table.CreateField(f.createName(), QByteArrayLiteral("c"), f.width, 0))
            return 0;
    return table.CreateExec();
}

void createSermonTags(xbase::TApolloTable &table)
{
    std::vector<std::pair<QByteArray, QByteArray>> tags;
    for (const SermonTag &t : sermonTags())
        tags.emplace_back(QByteArray(t.tag), QByteArray(t.expression));
    table.IndexTags(tags);
}

} // namespace verbana::store
