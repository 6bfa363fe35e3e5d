// SPDX-License-Identifier: GPL-3.0-or-later
// verbana-cli's table commands, and another xBase engine (Perl's XBase,
// from Debian) reading what they wrote.
#include "cli_run.h"
#include "support/fixtures.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace verbana::test;

TEST_F(CliTable, CreateLoadDumpAndCheck)
{
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/data")));
    EXPECT_TRUE(QFile::exists(dir + QStringLiteral("/text")));
    CliRun r = cli({QStringLiteral("dump"), table, QStringLiteral("--order"), QStringLiteral("title1")});
    ASSERT_EQ(r.code, 0);
    const QStringList lines = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("_recno,date1,title1,title2,")));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("2,1998.01.01,\"agape, 사랑\",")));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("3,1996.03.03,똠방각하에게 배우는 겸손,")));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("1,1997.05.04,믿음의 능력,")));

    r = cli({QStringLiteral("dump"), table, QStringLiteral("--query"), QStringLiteral("\"능력\" $ TITLE1"),
             QStringLiteral("--format"), QStringLiteral("json")});
    ASSERT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"bible1\": \"창12:1-12\"")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("agape")));

    r = cli({QStringLiteral("dump"), table, QStringLiteral("--query"), QStringLiteral("\"능\"력\" $ TITLE1")});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Invalid Query Expression")));
    r = cli({QStringLiteral("dump"), table, QStringLiteral("--query"), QString(30000, QLatin1Char('('))});
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("expression nested too deeply"))) << r.err.toStdString();

    r = cli({QStringLiteral("check"), table});
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("ok\n"));
    r = cli({QStringLiteral("info"), table});
    EXPECT_TRUE(r.out.contains(QStringLiteral("counts: 3 records, 3 live, 0 deleted")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("  4 BIBLENO    key BIBLENO")));
}

TEST_F(CliTable, LoadRefusesBadValuesWithTheLineAndAppendsNothing)
{
    CliRun r = cli({QStringLiteral("load"), table},
                QByteArrayLiteral("title1,times\n좋은 제목,1\n다른 제목,12345678901\n"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 3: times is 11 bytes long, the field holds 10"))) << r.err.toStdString();
    r = cli({QStringLiteral("load"), table}, QByteArrayLiteral("title1\n웃음 😀\n"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 2: title1 holds characters code page 949 cannot hold: 😀")));
    r = cli({QStringLiteral("load"), table}, QByteArrayLiteral("nosuch\nx\n"));
    EXPECT_EQ(r.code, 1);
    r = cli({QStringLiteral("load"), table}, QByteArrayLiteral("title1,date1,TITLE1\na,b,c\n"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 1: the column TITLE1 appears twice"))) << r.err.toStdString();
    r = cli({QStringLiteral("load"), table}, QByteArrayLiteral("title1\n좋은 제목\nbad \xff\xfe bytes\n"));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("line 3: not UTF-8"))) << r.err.toStdString();
    EXPECT_TRUE(cli({QStringLiteral("info"), table}).out.contains(QStringLiteral("counts: 3 records")));
}

TEST_F(CliTable, CheckFindsADamagedIndexAndReindexMendsIt)
{
    QFile cdx(dir + QStringLiteral("/sul2file.cdx"));
    ASSERT_TRUE(cdx.open(QIODevice::ReadWrite));
    cdx.seek(cdx.size() - 512);
    cdx.write(QByteArray(512, '\x7f'));
    cdx.close();
    CliRun r = cli({QStringLiteral("check"), table});
    EXPECT_EQ(r.code, 3) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("fault:")));
    r = cli({QStringLiteral("reindex"), table});
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(cli({QStringLiteral("check"), table}).code, 0);
}

TEST_F(CliTable, PackAndUsage)
{
    EXPECT_EQ(cli({QStringLiteral("pack"), table}).out, QStringLiteral("packed: 3 of 3 records kept\n"));
    EXPECT_EQ(cli({QStringLiteral("dump")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("nosuch")}).code, 2);
    EXPECT_EQ(cli({QStringLiteral("info"), tmp.path() + QStringLiteral("/none.dbf")}).code, 1);
}

// Perl's XBase module (Debian libdbd-xbase-perl) is an independent reader of
// DBF tables and CDX indexes.
TEST_F(CliTable, AnotherEngineReadsTheTableAndItsFourTags)
{
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    if (perl.isEmpty() || QProcess::execute(perl, {QStringLiteral("-MXBase"), QStringLiteral("-e1")}) != 0)
        GTEST_SKIP() << "Perl's XBase module is not installed (Debian package libdbd-xbase-perl)";
    const QString script = QStringLiteral(
        "use XBase; use XBase::Index;"
        "my $t = XBase->new($ARGV[0]) or die XBase->errstr;"
        "print join(',', map { lc } $t->field_names), \"\\n\";"
        "for my $i (0 .. $t->last_record) { my @r = $t->get_record($i, 'title1'); print \"$r[0]|$r[1]\\n\"; }"
        "for my $tag (qw(TITLE1 DATE1 DATE2 BIBLENO)) {"
        "  my $x = XBase::Index->new($ARGV[1], tag => $tag, type => 'C') or die XBase::Index->errstr;"
        "  $x->prepare_select; my @o; while (my ($k, $v) = $x->fetch) { push @o, $v } print \"$tag @o\\n\"; }");
    QProcess p;
    p.start(perl, {QStringLiteral("-e"), script, table, dir + QStringLiteral("/sul2file.cdx")});
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    const QByteArray out = p.readAllStandardOutput();
    EXPECT_TRUE(out.startsWith("date1,title1,title2,subject,bible1,bibleno,bible2,book,stype,aim,sacre,etcs,brief,"
                               "context,date2,where,long,times,reflex,selfdic,better\n"));
    // Titles come back as the same CP949 bytes (Perl reads bytes).
    EXPECT_TRUE(out.contains(QByteArray("0|") + QByteArray::fromHex("b9cfc0bdc0c720b4c9b7c2")));
    EXPECT_TRUE(out.contains("TITLE1 2 3 1\n"));
    EXPECT_TRUE(out.contains("DATE1 3 1 2\n"));
    EXPECT_TRUE(out.contains("DATE2 2 3 1\n"));
    EXPECT_TRUE(out.contains("BIBLENO 3 1 2\n"));
}

} // namespace
