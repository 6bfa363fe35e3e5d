// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

namespace verbana::xbase {
class TApolloTable;
}

namespace verbana::bible {

// Derives the stored key of the current record from its BIBLE1 when the
// statistics find BIBLENO empty. An empty or unreadable reference gives an
// empty result and changes nothing; otherwise the key is written into
// BIBLENO, posted and returned. The caller walks the table with it quiet
// (store::BatchScope), so no handler hears of the edit.
QByteArray RefreshBibleNo(xbase::TApolloTable &table);
// The key the current record's BIBLE1 gives, stored nowhere; empty when the
// reference is empty or unreadable.
QByteArray DeriveBibleNo(xbase::TApolloTable &table);

} // namespace verbana::bible
