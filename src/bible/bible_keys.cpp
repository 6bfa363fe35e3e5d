// SPDX-License-Identifier: GPL-3.0-or-later
#include "bible/bible_keys.h"

#include "bible/bible_books.h"
#include "store/xbase/apollo_table.h"

namespace verbana::bible {

QByteArray DeriveBibleNo(xbase::TApolloTable &table)
{
    const QByteArray reference = table.GetString(QByteArrayLiteral("BIBLE1")).trimmed();
    if (reference.isEmpty())
        return {};
    const QByteArray key = MakeBibleNo(reference);
    return key == kRefused ? QByteArray() : key;
}

QByteArray RefreshBibleNo(xbase::TApolloTable &table)
{
    const QByteArray key = DeriveBibleNo(table);
    if (key.isEmpty())
        return {};
    table.Edit();
    try {
        table.PutString(QByteArrayLiteral("BIBLENO"), key);
        table.Post();
    } catch (...) {
        table.Cancel();
        throw;
    }
    return key;
}

} // namespace verbana::bible
