// SPDX-License-Identifier: GPL-3.0-or-later
// verbana-cli's whole-collection backups and restores: each archive kind
// round trip, and the refusals that leave everything as it was.
#include "cli_run.h"
#include "support/fixtures.h"

#include "store/xbase/apollo_table.h"

#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

using namespace verbana::test;

class CliArchive : public CliTable {
protected:
    void SetUp() override
    {
        CliTable::SetUp();
        ASSERT_TRUE(QDir(dir).mkpath(QStringLiteral("data/d0")) && QDir(dir).mkpath(QStringLiteral("text/d0")));
        ASSERT_TRUE(writeAll(dir + QStringLiteral("/data/d0/sul1.RTF"), QByteArrayLiteral("{\\rtf1 x}")));
        ASSERT_TRUE(writeAll(dir + QStringLiteral("/text/d0/sul1.txt"), QByteArrayLiteral("첫 줄\r\n")));
        original = tree(dir);
        ASSERT_TRUE(original.contains(QStringLiteral("/data/d0")));
    }
    QString home() const { return tmp.path(); }
    QString restored(const QString &name) const { return tmp.path() + QLatin1Char('/') + name; }
    QMap<QString, QByteArray> original;
};

// A BCK archive stores names with their ASCII letters in lower case (the
// resolver finds them in any case): trees compared so.
QMap<QString, QByteArray> folded(const QMap<QString, QByteArray> &t)
{
    QMap<QString, QByteArray> f;
    for (auto it = t.begin(); it != t.end(); ++it)
        f.insert(it.key().toLower(), it.value());
    return f;
}

TEST_F(CliArchive, ZipRoundTripAndItsRefusals)
{
    const QString zip = tmp.path() + QStringLiteral("/밤.zip");
    // A folder named with a slash at its end (as a shell completes it).
    CliRun r = cli({QStringLiteral("zip-backup"), dir + QLatin1Char('/'), zip});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    ASSERT_FALSE(unzip.isEmpty()) << "unzip is installed by scripts/deps.sh";
    EXPECT_EQ(QProcess::execute(unzip, {QStringLiteral("-tqq"), zip}), 0);

    r = cli({QStringLiteral("zip-restore"), zip, home(), QStringLiteral("복원")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(tree(restored(QStringLiteral("복원"))), original);

    // Refused, each with one line, nothing changed: an archive there already,
    // a name taken, --replace without a collection, a name the window drops
    // characters from, a collection another program holds.
    const QByteArray archive = readAll(zip);
    const QMap<QString, QByteArray> home0 = tree(home());
    for (const QStringList &args :
         {QStringList{QStringLiteral("zip-backup"), dir, zip},
          QStringList{QStringLiteral("zip-restore"), zip, home(), QStringLiteral("복원")},
          QStringList{QStringLiteral("zip-restore"), zip, home(), QStringLiteral("없는"), QStringLiteral("--replace")},
          QStringList{QStringLiteral("zip-restore"), zip, home(), QStringLiteral("a.b")},
          QStringList{QStringLiteral("zip-restore"), dir + QStringLiteral("/sul2file.dbf"), home(), QStringLiteral("새")}}) {
        r = cli(args);
        EXPECT_EQ(r.code, 1) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
    }
    {
        verbana::xbase::TApolloTable held;
        held.DatabaseName = restored(QStringLiteral("복원"));
        held.TableName = QStringLiteral("sul2file.dbf");
        held.Open();
        r = cli({QStringLiteral("zip-restore"), zip, home(), QStringLiteral("복원"), QStringLiteral("--replace")});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.contains(QStringLiteral("open in another program"))) << r.err.toStdString();
        // Nor is it backed up while it may be half-written.
        for (const char *command : {"zip-backup", "bck-backup"}) {
            r = cli({QLatin1String(command), restored(QStringLiteral("복원")), home() + QStringLiteral("/held")});
            EXPECT_EQ(r.code, 1) << command;
            EXPECT_TRUE(r.err.contains(QStringLiteral("open in another program"))) << r.err.toStdString();
        }
    }
    EXPECT_EQ(readAll(zip), archive);
    EXPECT_EQ(tree(home()), home0);

    // Over an existing collection: its sermon table back as it was.
    ASSERT_TRUE(writeAll(restored(QStringLiteral("복원")) + QStringLiteral("/sul2file.dbf"), QByteArrayLiteral("x")));
    r = cli({QStringLiteral("zip-restore"), zip, home(), QStringLiteral("복원"), QStringLiteral("--replace")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(tree(restored(QStringLiteral("복원"))), original);
    EXPECT_FALSE(QFile::exists(restored(QStringLiteral("_unzip"))));
    EXPECT_FALSE(QFile::exists(restored(QStringLiteral("_delete"))));
    EXPECT_EQ(cli({QStringLiteral("zip-backup"), dir, zip, QStringLiteral("--overwrite")}).code, 0);
}

TEST_F(CliArchive, BckCollectionRoundTripAndItsRefusals)
{
    const QString bck = tmp.path() + QStringLiteral("/밤.bck");
    ASSERT_EQ(cli({QStringLiteral("bck-backup"), dir, bck}).code, 0);
    CliRun r = cli({QStringLiteral("bck-restore-collection"), bck, home(), QStringLiteral("복원")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(tree(restored(QStringLiteral("복원"))), folded(original));

    QByteArray cut = readAll(bck);
    cut.chop(cut.size() / 3);
    const QString damaged = tmp.path() + QStringLiteral("/잘린.bck");
    ASSERT_TRUE(writeAll(damaged, cut));
    const QMap<QString, QByteArray> home0 = tree(home());
    for (const QStringList &args :
         {QStringList{QStringLiteral("bck-restore-collection"), bck, home(), QStringLiteral("복원")},
          QStringList{QStringLiteral("bck-restore-collection"), damaged, home(), QStringLiteral("복원"),
                      QStringLiteral("--replace")},
          QStringList{QStringLiteral("bck-restore-collection"), bck, home(), QStringLiteral("_작업")}}) {
        r = cli(args);
        EXPECT_EQ(r.code, 1) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
    }
    EXPECT_EQ(tree(home()), home0);

    ASSERT_TRUE(writeAll(restored(QStringLiteral("복원")) + QStringLiteral("/sul2file.dbf"), QByteArrayLiteral("x")));
    r = cli({QStringLiteral("bck-restore-collection"), bck, home(), QStringLiteral("복원"), QStringLiteral("--replace")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(tree(restored(QStringLiteral("복원"))), folded(original));
    EXPECT_FALSE(QFile::exists(restored(QStringLiteral("_reback"))));
    EXPECT_FALSE(QFile::exists(restored(QStringLiteral("_delete"))));
}

} // namespace
