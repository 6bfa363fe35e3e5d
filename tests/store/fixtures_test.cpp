// SPDX-License-Identifier: GPL-3.0-or-later
// Every xBase table made by another engine reads exactly as its
// expected.json says: values, deleted flags, memos and tag orders.
#include "store_helpers.h"
#include "support/fixtures.h"

#include "platform/cp949.h"
#include "store/xbase/dbf_file.h"

#include <QCryptographicHash>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace verbana;
using namespace verbana::test;

namespace {

QJsonObject expectedOf(const QString &folder)
{
    return QJsonDocument::fromJson(readAll(folder + QStringLiteral("/expected.json"))).object();
}

std::vector<uint32_t> numbers(const QJsonArray &a)
{
    std::vector<uint32_t> out;
    for (const auto &v : a)
        out.push_back(uint32_t(v.toInt()));
    return out;
}

class XbaseFixture : public ::testing::TestWithParam<const char *> {};

TEST_P(XbaseFixture, ReadsEveryRecordAsExpected)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = sharedFixtures() + QStringLiteral("/xbase/") + QLatin1String(GetParam());
    const QJsonObject expected = expectedOf(folder);
    QTemporaryDir tmp;
    ASSERT_TRUE(copyFixture(folder, tmp.path()));
    const QJsonObject dbf = expected[QStringLiteral("dbf")].toObject();
    auto t = openTable(tmp.path() + QLatin1Char('/') + dbf[QStringLiteral("file")].toString());

    EXPECT_EQ(t->dbf()->header().version, dbf[QStringLiteral("first_byte")].toInt());
    EXPECT_EQ(t->RecCount(), uint32_t(dbf[QStringLiteral("record_count")].toInt()));
    // Sound as written: the header ends the field list, every record is whole.
    const xbase::TableFit fit = t->fit();
    EXPECT_TRUE(fit.sound());
    EXPECT_EQ(fit.missing(), 0u);
    const QJsonArray fields = expected[QStringLiteral("fields")].toArray();
    ASSERT_EQ(t->FieldCount(), fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        const QJsonObject f = fields[i].toObject();
        EXPECT_EQ(t->FieldName(i + 1), f[QStringLiteral("name")].toString().toLatin1());
        EXPECT_EQ(t->FieldType(t->FieldName(i + 1)), f[QStringLiteral("type")].toString().toLatin1());
        EXPECT_EQ(t->FieldWidth(i + 1), f[QStringLiteral("length")].toInt());
    }

    t->SetShowDeleted(true);
    for (const auto &rv : expected[QStringLiteral("records")].toArray()) {
        const QJsonObject r = rv.toObject();
        const uint32_t recno = uint32_t(r[QStringLiteral("recno")].toInt());
        t->Go(recno);
        ASSERT_EQ(t->RecNo(), recno);
        EXPECT_EQ(t->Deleted(), r[QStringLiteral("deleted")].toBool()) << "record " << recno;
        const QJsonObject values = r[QStringLiteral("values")].toObject();
        const QJsonObject raw = r[QStringLiteral("raw_numeric")].toObject();
        for (auto it = values.begin(); it != values.end(); ++it) {
            const QByteArray got = t->GetString(it.key().toLatin1());
            if (it.value().isDouble()) {
                EXPECT_EQ(got, raw[it.key()].toString().trimmed().toLatin1()) << it.key().toStdString();
            } else {
                EXPECT_EQ(cp949::decode(got), it.value().toString())
                    << "record " << recno << " field " << it.key().toStdString();
            }
        }
        const QJsonObject hex = r[QStringLiteral("hex")].toObject();
        for (auto it = hex.begin(); it != hex.end(); ++it)
            EXPECT_EQ(t->GetString(it.key().toLatin1()).toHex(), it.value().toString().toLatin1());
        for (const auto &fv : fields) {
            const QJsonObject f = fv.toObject();
            if (f[QStringLiteral("type")].toString() != QLatin1String("M"))
                continue;
            const QString name = f[QStringLiteral("name")].toString();
            const QJsonObject memo = r[name].toObject();
            const QByteArray bytes = t->GetMemo(name.toLatin1());
            EXPECT_EQ(bytes.size(), memo[QStringLiteral("length")].toInt(0)) << "record " << recno << " memo";
            if (memo.contains(QStringLiteral("sha256"))) {
                EXPECT_EQ(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex(),
                          memo[QStringLiteral("sha256")].toString().toLatin1());
            }
        }
    }
}

TEST_P(XbaseFixture, TagOrdersMatchTheOtherEngine)
{
    VERBANA_REQUIRE_FIXTURES();
    const QString folder = sharedFixtures() + QStringLiteral("/xbase/") + QLatin1String(GetParam());
    const QJsonObject expected = expectedOf(folder);
    if (!expected.contains(QStringLiteral("index")))
        GTEST_SKIP() << "no index in this fixture";
    QTemporaryDir tmp;
    ASSERT_TRUE(copyFixture(folder, tmp.path()));
    auto t = openTable(tmp.path() + QStringLiteral("/sul2file.dbf"));
    EXPECT_TRUE(t->indexProblem().isEmpty()) << t->indexProblem().toStdString();
    const QJsonArray tags = expected[QStringLiteral("index")].toObject()[QStringLiteral("tags")].toArray();
    ASSERT_EQ(t->TagCount(), tags.size());
    for (int i = 0; i < tags.size(); ++i) {
        const QJsonObject tag = tags[i].toObject();
        const QByteArray name = tag[QStringLiteral("name")].toString().toLatin1();
        EXPECT_EQ(t->TagName(i + 1), name);
        EXPECT_EQ(t->TagKey(i + 1), tag[QStringLiteral("key_expression")].toString().toLatin1());
        t->SetOrder(t->TagArea(name.toLower()));
        t->SetShowDeleted(false);
        EXPECT_EQ(walk(*t), numbers(tag[QStringLiteral("order_visible")].toArray())) << name.constData();
        EXPECT_EQ(walkBack(*t), numbers(tag[QStringLiteral("order_visible")].toArray())) << name.constData();
        t->SetShowDeleted(true);
        EXPECT_EQ(walk(*t), numbers(tag[QStringLiteral("order_all")].toArray())) << name.constData();
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, XbaseFixture,
                         ::testing::Values("sermons", "sermons-many", "memo-fpt", "memo-dbt", "memo-smt",
                                           "foreign-sermon", "foreign-notes"),
                         [](const auto &param) {
                             QByteArray n(param.param);
                             n.replace('-', '_');
                             return std::string(n.constData());
                         });

TEST(XbaseFixtureErrors, MissingMemoFileFailsTheOpening)
{
    VERBANA_REQUIRE_FIXTURES();
    QTemporaryDir tmp;
    ASSERT_TRUE(copyFixture(sharedFixtures() + QStringLiteral("/xbase/foreign-sermon"), tmp.path()));
    QFile::remove(tmp.path() + QStringLiteral("/SULGYO.SMT"));
    try {
        openTable(tmp.path() + QStringLiteral("/SULGYO.DBF"));
        FAIL() << "opened without its memo file";
    } catch (const xbase::EApolloError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Associated MEMO file does not exist.\rFile: ")
                                + (tmp.path() + QStringLiteral("/SULGYO.smt")).toUpper());
    }
}

} // namespace
