// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/xbase/cdx_index.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <memory>
#include <vector>

namespace verbana::test::cdx {

// Opens (or creates) a file through the engine's POSIX file seam.
std::unique_ptr<xbase::File> openFile(const QString &path, xbase::OpenMode mode);

// Every entry of a tag walked forward with a cursor.
std::vector<xbase::KeyEntry> walk(xbase::CdxIndex &index, int tag);
std::vector<uint32_t> recnos(const std::vector<xbase::KeyEntry> &entries);

// A fixture folder's expected.json.
QJsonObject expected(const QString &folder);

// The four sermon-table tags built from the records of a fixture table:
// field offsets and widths come from expected.json.
std::vector<xbase::TagBuild> sermonTags(const QString &folder);

} // namespace verbana::test::cdx
