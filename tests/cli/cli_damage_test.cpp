// SPDX-License-Identifier: GPL-3.0-or-later
// verbana-cli on damaged tables and indexes: read commands change nothing,
// check names every fault, pack and reindex never make damage permanent,
// and repair writes its copy beside the table.
#include "cli_run.h"
#include "support/fixtures.h"

#include "store/xbase/apollo_table.h"
#include "store/xbase/cdx_index.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <functional>
#include <unistd.h>

namespace {

using namespace verbana::test;
using verbana::xbase::TApolloTable;

constexpr int kRecord = 1085;

QStringList args(std::initializer_list<const char *> words, const QString &table)
{
    QStringList list;
    for (const char *w : words)
        list << QString::fromLatin1(w);
    list.insert(1, table);
    return list;
}

std::unique_ptr<TApolloTable> open(const QString &table, bool exclusive = false)
{
    auto t = std::make_unique<TApolloTable>();
    t->DatabaseName = QFileInfo(table).absolutePath();
    t->TableName = QFileInfo(table).fileName();
    t->Exclusive = exclusive;
    t->Open();
    return t;
}

void edit(const QString &path, const std::function<void(QByteArray &)> &change)
{
    QByteArray bytes = readAll(path);
    change(bytes);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

void setCount(QByteArray &b, uint32_t n)
{
    for (int i = 0; i < 4; ++i)
        b[4 + i] = char((n >> (8 * i)) & 0xFF);
}

class CliDamage : public CliTable {
protected:
    void SetUp() override
    {
        CliTable::SetUp();
        auto t = open(table);
        t->Go(2);
        t->Delete();
    }
    QString index() const { return dir + QStringLiteral("/sul2file.cdx"); }
    QByteArray files() const { return readAll(table) + readAll(index()); }
};

// Each damage: what check says, and whether pack refuses (then repair
// mends the table) or keeps every record.
TEST_F(CliDamage, CheckNamesTheFaultAndPackNeverMakesItPermanent)
{
    struct Damage {
        const char *name;
        std::function<void(QByteArray &)> damage;
        QStringList faults;
        bool refused;
    };
    auto headerLength = [](int n) {
        return [n](QByteArray &b) {
            b[8] = char(n & 0xFF);
            b[9] = char(n >> 8);
        };
    };
    const Damage damages[] = {
        {"header one record behind", [](QByteArray &b) { setCount(b, 2); },
         {QStringLiteral("fault: the header counts 2 records, the file holds 3")}, false},
        {"header count 0", [](QByteArray &b) { setCount(b, 0); },
         {QStringLiteral("fault: the header counts 0 records, the file holds 3")}, false},
        {"padding after the end marker",
         [](QByteArray &b) {
             setCount(b, 2);
             b.append(QByteArray(kRecord + 10, '\0'));
         },
         {QStringLiteral("fault: the header counts 2 records, the file holds 3"),
          QStringLiteral("fault: the file holds 1096 bytes beyond its last record")},
         false},
        {"header length one too long", headerLength(707),
         {QStringLiteral("fault: the header length 707 does not fit the field list, which ends at byte 705")}, true},
        {"header length one too short", headerLength(705),
         {QStringLiteral("fault: 1 records have an invalid deletion flag, the first is record 1")}, true},
    };
    for (const Damage &d : damages) {
        SCOPED_TRACE(d.name);
        SetUp();
        edit(table, d.damage);
        const QByteArray before = files();
        CliRun r = cli(args({"check"}, table));
        EXPECT_EQ(r.code, 3);
        for (const QString &f : d.faults)
            EXPECT_TRUE(r.out.contains(f)) << r.out.toStdString();
        r = cli(args({"dump", "--deleted"}, table));
        EXPECT_EQ(r.out.count(QLatin1Char('\n')), 4) << r.out.toStdString(); // no phantom record
        EXPECT_EQ(files(), before);
        r = cli(args({"pack"}, table));
        if (!d.refused) {
            EXPECT_EQ(r.code, 0) << r.err.toStdString();
            EXPECT_TRUE(r.out.startsWith(QStringLiteral("packed: 2 of 3 records kept\n"))) << r.out.toStdString();
            EXPECT_EQ(cli(args({"check"}, table)).out, QStringLiteral("ok\n"));
            continue;
        }
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Table is damaged: ") + d.faults[0].mid(7))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("verbana-cli repair"))) << r.err.toStdString();
        EXPECT_EQ(cli(args({"reindex"}, table)).code, 1);
        EXPECT_EQ(files(), before);
        r = cli(args({"repair"}, table));
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("repaired: header length"))) << r.out.toStdString();
        EXPECT_EQ(files(), before);
        const QString copy = dir + QStringLiteral("/sul2file.repaired.dbf");
        EXPECT_EQ(cli(args({"check"}, copy)).out, QStringLiteral("ok\n"));
        r = cli(args({"repair", "--apply"}, table));
        EXPECT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(copy));
        EXPECT_EQ(QDir(dir).entryList({QStringLiteral("sul2file.dbf.before-repair-*")}).size(), 1);
        EXPECT_EQ(cli(args({"check"}, table)).out, QStringLiteral("ok\n"));
        r = cli(args({"dump", "--order", "title1"}, table));
        EXPECT_TRUE(r.out.contains(QStringLiteral("\n3,1996.03.03,똠방각하에게 배우는 겸손,"))) << r.out.toStdString();
        EXPECT_TRUE(r.out.contains(QStringLiteral("\n1,1997.05.04,믿음의 능력,"))) << r.out.toStdString();
        EXPECT_FALSE(r.out.contains(QStringLiteral("agape")));
    }
}

// Read commands never write: not over a damaged, missing or set-aside
// index (check names each), and not on files nobody may write.
TEST_F(CliDamage, ReadCommandsChangeNothing)
{
    struct Index {
        const char *name;
        std::function<void(const QString &cdx)> damage;
        const char *fault;
    };
    const Index indexes[] = {
        {"garbage", [](const QString &cdx) { edit(cdx, [](QByteArray &b) { b = QByteArray(1536, '\x5a'); }); },
         "fault: index: "},
        {"missing", [](const QString &cdx) { QFile::remove(cdx); },
         "fault: index: missing, though the table's header says it has one"},
        {"set aside",
         [](const QString &cdx) { QFile::rename(cdx, cdx + QStringLiteral(".damaged-20261209-101010")); },
         "fault: index: missing; the damaged one was set aside as sul2file.cdx.damaged-20261209-101010"},
    };
    for (const Index &x : indexes) {
        SCOPED_TRACE(x.name);
        SetUp();
        x.damage(index());
        const QStringList before = QDir(dir).entryList(QDir::Files);
        const QByteArray bytes = files();
        EXPECT_EQ(cli(args({"dump"}, table)).code, 0);
        EXPECT_EQ(cli(args({"dump", "--order", "title1"}, table)).code, 1);
        EXPECT_EQ(cli(args({"info"}, table)).code, 0);
        const CliRun r = cli(args({"check"}, table));
        EXPECT_EQ(r.code, 3);
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(x.fault))) << r.out.toStdString();
        EXPECT_EQ(files(), bytes);
        EXPECT_EQ(QDir(dir).entryList(QDir::Files), before);
    }
    // Files nobody may write: read-only, and for the superuser immutable.
    SetUp();
    for (const QString &f : {table, index()})
        QFile::setPermissions(f, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    const bool root = ::geteuid() == 0;
    if (root)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), table, index()});
    QFile probe(table);
    const bool writable = probe.open(QIODevice::ReadWrite);
    probe.close();
    if (!writable) {
        EXPECT_EQ(cli(args({"info"}, table)).code, 0);
        EXPECT_EQ(cli(args({"dump", "--order", "date1"}, table)).out.count(QLatin1Char('\n')), 3);
        EXPECT_EQ(cli(args({"check"}, table)).out, QStringLiteral("ok\n"));
        EXPECT_EQ(cli(args({"pack"}, table)).code, 1);
    }
    if (root)
        QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), table, index()});
    if (writable)
        GTEST_SKIP() << "the table stays writable here (no chattr): read-only files not tried";
}

// check verifies every key the engine computes (UPPER of a field too), and
// notes a key it cannot compute; pack refuses such a tag and changes nothing.
TEST_F(CliDamage, CheckComputesEveryKeyTheEngineCan)
{
    open(table, true)->IndexTag({}, "UTITLE", "UPPER(title1)", 0, false, {});
    CliRun r = cli(args({"check"}, table));
    EXPECT_EQ(r.out, QStringLiteral("ok\n"));
    {
        QFile::remove(index());
        auto file = verbana::xbase::FileSystem::posix().open(index(), verbana::xbase::OpenMode::Create);
        std::vector<verbana::xbase::TagBuild> tags(1);
        tags[0].name = "SHORT";
        tags[0].keyExpression = "LEFT(TITLE1,2)";
        tags[0].keyLength = 2;
        for (uint32_t recno = 1; recno <= 3; ++recno)
            tags[0].add("ab", recno);
        ASSERT_TRUE(verbana::xbase::CdxIndex::build(**file, std::move(tags)).isOk());
    }
    r = cli(args({"check"}, table));
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("note: tag SHORT (key LEFT(TITLE1,2)): this program cannot compute")));
    const QByteArray before = files();
    r = cli(args({"pack"}, table));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Invalid key expression: LEFT(TITLE1,2)"))) << r.err.toStdString();
    EXPECT_EQ(files(), before);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files).size(), 2);
}

} // namespace
