// SPDX-License-Identifier: GPL-3.0-or-later
// verbana-cli's commands on the sermons of a collection: imports, merge,
// extract, gatherings, counts and the printed list, and their refusals.
#include "cli_run.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace verbana::test;

QString countOf(const QString &table)
{
    const QString info = cli({QStringLiteral("info"), table}).out;
    const qsizetype at = info.indexOf(QStringLiteral("counts: "));
    return info.mid(at + 8, info.indexOf(QLatin1Char(' '), at + 8) - at - 8);
}

TEST_F(CliTable, ImportMergeAndExtract)
{
    const QString a = tmp.path() + QStringLiteral("/a.txt"), b = tmp.path() + QStringLiteral("/b.txt");
    ASSERT_TRUE(writeAll(a, QByteArrayLiteral("하나님의 사랑\r\n")));
    ASSERT_TRUE(writeAll(b, QByteArrayLiteral("기도의 능력\r\n")));
    CliRun r = cli({QStringLiteral("import"), dir, QStringLiteral("text"), a, b});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("2개 파일을 불러 넣었습니다.\n"));
    EXPECT_EQ(countOf(table), QStringLiteral("5"));

    VERBANA_REQUIRE_FIXTURES();
    r = cli({QStringLiteral("import"), dir, QStringLiteral("hwp"),
             sharedFixtures() + QStringLiteral("/hwp/hwp3/hangul97-3.0.hwp")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString xbase = sharedFixtures() + QStringLiteral("/xbase");
    r = cli({QStringLiteral("import"), dir, QStringLiteral("biblora"), xbase + QStringLiteral("/foreign-sermon/SULGYO.DBF")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("내용 복사 완료 (5개)\n"));
    r = cli({QStringLiteral("import"), dir, QStringLiteral("notavia"), xbase + QStringLiteral("/foreign-notes/NOTE1.smt"),
             QStringLiteral("--titles"), QStringLiteral("제목,주제,부제목,비고")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(countOf(table), QStringLiteral("15"));

    // Refused, nothing added: a missing file, the wrong kind of table, a
    // collection merged into itself, an extraction over an existing folder.
    const QMap<QString, QByteArray> before = tree(dir);
    for (const QStringList &args :
         {QStringList{QStringLiteral("import"), dir, QStringLiteral("text"), a, tmp.path() + QStringLiteral("/없음.txt")},
          QStringList{QStringLiteral("import"), dir, QStringLiteral("biblora"), xbase + QStringLiteral("/foreign-notes/NOTE1.DBF")},
          QStringList{QStringLiteral("merge"), dir, dir},
          QStringList{QStringLiteral("extract"), dir, dir}}) {
        r = cli(args);
        EXPECT_EQ(r.code, 1) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(r.err.count(QLatin1Char('\n')), 1) << r.err.toStdString();
    }
    EXPECT_TRUE(r.err.contains(QStringLiteral("이미 존재하는 파일명입니다.")));
    EXPECT_EQ(tree(dir), before);

    const QString source = dir;
    SetUp();
    r = cli({QStringLiteral("merge"), dir, source});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("설교집 합치기를 완료하였습니다.\n"));
    EXPECT_EQ(countOf(table), QStringLiteral("18"));

    const QString extracted = tmp.path() + QStringLiteral("/뽑은");
    r = cli({QStringLiteral("extract"), dir, extracted + QLatin1Char('/'), QStringLiteral("--query"),
             QStringLiteral("\"능력\" $ TITLE1")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QString found = cli({QStringLiteral("gather"), dir, QStringLiteral("--fields"), QStringLiteral("title1=능력")}).out;
    EXPECT_EQ(countOf(extracted + QStringLiteral("/sul2file.dbf")) + QLatin1Char('\n'), found);
}

TEST_F(CliTable, GatherCountsListsAndDeletes)
{
    const QString a = tmp.path() + QStringLiteral("/a.txt");
    ASSERT_TRUE(writeAll(a, QByteArrayLiteral("abc 은혜 xyz\r\n")));
    ASSERT_EQ(cli({QStringLiteral("import"), dir, QStringLiteral("text"), a}).code, 0);
    auto gather = [&](const QStringList &more) {
        return cli(QStringList{QStringLiteral("gather"), dir} + more);
    };
    EXPECT_EQ(gather({QStringLiteral("--fields"), QStringLiteral("title1=능력")}).out, QStringLiteral("1\n"));
    EXPECT_EQ(gather({QStringLiteral("--fields"), QStringLiteral("title1=~능력"), QStringLiteral("bible1=#"),
                      QStringLiteral("--all"), QStringLiteral("--list")})
                  .out,
              QStringLiteral("_recno,date1,title1,bible1\n2,1998.01.01,\"agape, 사랑\",요3:16\n"));
    EXPECT_EQ(gather({QStringLiteral("--manuscripts"), QStringLiteral("은혜"), QStringLiteral("없는말")}).out,
              QStringLiteral("1\n"));
    EXPECT_EQ(gather({QStringLiteral("--manuscripts"), QStringLiteral("은혜"), QStringLiteral("없는말"),
                      QStringLiteral("--all")})
                  .out,
              QStringLiteral("0\n"));

    // Nothing gathered: nothing to delete, and never "everything else".
    const QMap<QString, QByteArray> before = tree(dir);
    EXPECT_EQ(gather({QStringLiteral("--manuscripts"), QStringLiteral("없는말"), QStringLiteral("--delete")}).out,
              QStringLiteral("0 sermons deleted\n"));
    CliRun r = gather({QStringLiteral("--manuscripts"), QStringLiteral("없는말"), QStringLiteral("--delete-others")});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(gather({QStringLiteral("--fields"), QStringLiteral("nosuch=1")}).code, 2);
    EXPECT_EQ(gather({QStringLiteral("--fields"), QStringLiteral("title1=1"), QStringLiteral("--manuscripts")}).code, 2);
    EXPECT_EQ(tree(dir), before);

    r = gather({QStringLiteral("--manuscripts"), QStringLiteral("은혜"), QStringLiteral("--delete")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("1 sermons deleted\n"));
    for (const QString &path : tree(dir).keys())
        EXPECT_FALSE(path.endsWith(QStringLiteral(".txt"))) << path.toStdString();
    EXPECT_EQ(gather({QStringLiteral("--fields"), QStringLiteral("title1=능력"), QStringLiteral("--delete-others")}).out,
              QStringLiteral("2 sermons deleted\n"));
    EXPECT_EQ(cli({QStringLiteral("dump"), table}).out.count(QLatin1Char('\n')), 2);
}

TEST_F(CliTable, StatsPrintAndHelp)
{
    // The window's marker of the collection it has open stays as it was.
    const QString useFile = tmp.path() + QStringLiteral("/usefile.sys");
    ASSERT_TRUE(writeAll(useFile, QByteArrayLiteral("OTHER\r\n")));
    CliRun r = cli({QStringLiteral("stats"), dir, QStringLiteral("testament"), QStringLiteral("--format"),
                    QStringLiteral("json")});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\"label\": \"구약\"")));
    EXPECT_EQ(cli({QStringLiteral("stats"), dir, QStringLiteral("new-books")}).out, QStringLiteral("label,count\n요,1\n"));
    EXPECT_EQ(cli({QStringLiteral("stats"), dir, QStringLiteral("colour")}).code, 2);
    EXPECT_EQ(readAll(useFile), QByteArrayLiteral("OTHER\r\n"));

    const QString pdf = tmp.path() + QStringLiteral("/목록.pdf");
    r = cli({QStringLiteral("print"), dir, QStringLiteral("--layout"), QStringLiteral("5"), QStringLiteral("--order"),
             QStringLiteral("title1"), pdf});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("3 sermons on 1 pages\n"));
    const QByteArray printed = readAll(pdf);
    EXPECT_TRUE(printed.startsWith("%PDF"));
    r = cli({QStringLiteral("print"), dir, QStringLiteral("--layout"), QStringLiteral("1"), pdf});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(readAll(pdf), printed);
    EXPECT_EQ(cli({QStringLiteral("print"), dir, QStringLiteral("--layout"), QStringLiteral("6"), pdf}).code, 2);

    r = cli({QStringLiteral("zip-restore"), QStringLiteral("--help")});
    EXPECT_EQ(r.code, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("usage: verbana-cli zip-restore ARCHIVE PROGRAM_FOLDER NAME [--replace]\n")));
}

} // namespace
