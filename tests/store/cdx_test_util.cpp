// SPDX-License-Identifier: GPL-3.0-or-later
#include "cdx_test_util.h"

#include "support/fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <gtest/gtest.h>

namespace verbana::test::cdx {

using namespace verbana::xbase;

std::unique_ptr<File> openFile(const QString &path, OpenMode mode)
{
    auto f = FileSystem::posix().open(path, mode);
    if (!f)
        ADD_FAILURE() << "cannot open " << path.toStdString() << ": " << f.status().message().toStdString();
    return f ? std::move(*f) : nullptr;
}

std::vector<KeyEntry> walk(CdxIndex &index, int tag)
{
    std::vector<KeyEntry> out;
    auto c = index.cursor(tag);
    Status st = c->first();
    while (st && c->valid()) {
        out.push_back({c->key(), c->recno()});
        st = c->next();
    }
    EXPECT_TRUE(st) << st.message().toStdString();
    return out;
}

std::vector<uint32_t> recnos(const std::vector<KeyEntry> &entries)
{
    std::vector<uint32_t> out;
    for (const auto &e : entries)
        out.push_back(e.recno);
    return out;
}

QJsonObject expected(const QString &folder)
{
    return QJsonDocument::fromJson(readAll(folder + QStringLiteral("/expected.json"))).object();
}

std::vector<TagBuild> sermonTags(const QString &folder)
{
    const QJsonObject exp = expected(folder);
    const QJsonObject dbf = exp.value(QStringLiteral("dbf")).toObject();
    const int headerLength = dbf.value(QStringLiteral("header_length")).toInt();
    const int recordLength = dbf.value(QStringLiteral("record_length")).toInt();
    const int count = dbf.value(QStringLiteral("record_count")).toInt();
    const QByteArray table = readAll(folder + QStringLiteral("/sul2file.dbf"));
    std::vector<TagBuild> tags;
    for (const char *field : {"title1", "date1", "date2", "bibleno"}) {
        int offset = 0;
        int width = 0;
        for (const QJsonValue &f : exp.value(QStringLiteral("fields")).toArray()) {
            const QJsonObject o = f.toObject();
            if (o.value(QStringLiteral("name")).toString() == QLatin1String(field)) {
                offset = o.value(QStringLiteral("offset_in_record")).toInt();
                width = o.value(QStringLiteral("length")).toInt();
            }
        }
        TagBuild t;
        t.name = QByteArray(field);
        // The sermon program created BIBLENO with its expression in capitals.
        t.keyExpression = qstrcmp(field, "bibleno") == 0 ? QByteArrayLiteral("BIBLENO") : QByteArray(field);
        t.keyLength = width;
        for (int r = 0; r < count; ++r)
            t.entries.push_back({table.mid(headerLength + r * recordLength + offset, width), static_cast<uint32_t>(r + 1)});
        tags.push_back(std::move(t));
    }
    return tags;
}

} // namespace verbana::test::cdx
