// SPDX-License-Identifier: GPL-3.0-or-later
// Several programs on one table, and programs killed in the middle of
// their work: nothing posted is ever lost and the orders stay right.
#include "store_helpers.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "support/fixtures.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <set>

using namespace verbana;
using namespace verbana::test;

namespace {

void expectIndexInStep(const QString &path)
{
    auto t = openTable(path);
    ASSERT_TRUE(t->indexProblem().isEmpty()) << t->indexProblem().toStdString();
    ASSERT_EQ(t->TagCount(), 4);
    EXPECT_EQ(indexFault(*t), "");
}

QProcess *startWorker(const QStringList &args)
{
    auto *p = new QProcess;
    p->setProgram(QStringLiteral(TABLE_WORKER));
    p->setArguments(args);
    p->start();
    return p;
}

TEST(SharedTable, EachSeesTheOthersPostsAfterItsNextMove)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    auto a = openTable(path);
    auto b = openTable(path);
    b->SetOrder(b->TagArea("title1"));
    b->GoTop();
    EXPECT_EQ(b->RecNo(), 0u);
    appendSermons(*a, {{"2001", "나"}, {"2002", "가"}});
    b->GoTop();
    EXPECT_EQ(b->RecNo(), 2u);
    b->Skip(1);
    EXPECT_EQ(b->RecNo(), 1u);
    EXPECT_EQ(b->Count(), 2u);
    b->Edit();
    b->PutString("TITLE1", k("다"));
    b->Post();
    a->SetOrder(a->TagArea("title1"));
    EXPECT_EQ(walk(*a), (std::vector<uint32_t>{2, 1}));
    // A record being edited by one is refused to the other.
    a->Go(1);
    a->Edit();
    b->Go(1);
    try {
        b->Edit();
        FAIL() << "edited a locked record";
    } catch (const xbase::EApolloError &e) {
        EXPECT_EQ(e.text(), QStringLiteral("Record Lock Failure. May be locked by another user or task."));
    }
    a->Cancel();
    EXPECT_NO_THROW(b->Edit());
    b->Cancel();
}

// What another program changes between two moves shows at the next move,
// though walks read records without a system call: an edit through the
// index, an edit of a key, and bytes written straight into the table file
// as an engine that leaves the index alone would.
TEST(SharedTable, AnotherProgramsChangesShowAtTheNextMove)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    auto a = openTable(path);
    appendSermons(*a, {{"2001", "가"}, {"2002", "나"}, {"2003", "다"}, {"2004", "라"}});
    a->SetOrder(a->TagArea("date1"));
    a->GoTop();
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.start(QStringLiteral(TABLE_WORKER), QStringList{QStringLiteral("put"), path} + args);
        ASSERT_TRUE(p.waitForFinished(30000));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    };
    run({QStringLiteral("2"), QStringLiteral("TITLE1=edited")});
    a->Skip(1);
    EXPECT_EQ(a->RecNo(), 2u);
    EXPECT_EQ(a->GetString("TITLE1"), QByteArray("edited"));
    run({QStringLiteral("3"), QStringLiteral("DATE1=2009")});
    a->Skip(1);
    EXPECT_EQ(a->RecNo(), 4u);
    QFile raw(path);
    ASSERT_TRUE(raw.open(QIODevice::ReadWrite));
    ASSERT_TRUE(raw.seek(706 + 2 * 1085 + 13));
    raw.write("in place");
    raw.close();
    a->Skip(1);
    EXPECT_EQ(a->RecNo(), 3u);
    EXPECT_EQ(a->GetString("TITLE1"), QByteArray("in place"));
}

TEST(SharedTable, ProcessesAppendingAndEditingAtOnceLoseNothing)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    constexpr int perWorker = 300;
    std::vector<std::unique_ptr<QProcess>> workers;
    workers.emplace_back(startWorker({QStringLiteral("append"), path, QString::number(perWorker), QStringLiteral("A")}));
    workers.emplace_back(startWorker({QStringLiteral("append"), path, QString::number(perWorker), QStringLiteral("B")}));
    workers.emplace_back(startWorker({QStringLiteral("edit"), path, QString::number(perWorker), QStringLiteral("7")}));
    auto t = openTable(path);
    for (int i = 0; i < perWorker; ++i)
        appendSermons(*t, {{"2001", QByteArray("C-" + QByteArray::number(i)).constData()}});
    for (auto &w : workers) {
        ASSERT_TRUE(w->waitForFinished(120000));
        EXPECT_EQ(w->exitCode(), 0) << w->readAllStandardError().constData();
    }
    t->Close();
    t = openTable(path);
    EXPECT_EQ(t->RecCount(), uint32_t(3 * perWorker));
    std::set<QByteArray> titles;
    t->GoTop();
    for (uint32_t r = 1; r <= t->RecCount(); ++r) {
        t->Go(r);
        titles.insert(t->GetString("TITLE1"));
    }
    EXPECT_EQ(titles.size(), size_t(3 * perWorker));
    expectIndexInStep(path);
}

// A kill leaves the header at most one record behind the file; the next
// opening mends it, and a pack keeps every record.
void expectHeaderMended(const QString &path, const std::string &context)
{
    auto countOf = [&] { return xbase::dbf::decodeRecordCount(readAll(path).constData()); };
    const uint32_t whole = uint32_t((readAll(path).size() - 706) / 1085);
    const uint32_t header = countOf();
    EXPECT_TRUE(header == whole || header + 1 == whole) << context << ": header " << header << ", file " << whole;
    auto t = openTable(path);
    EXPECT_EQ(t->RecCount(), whole) << context;
    EXPECT_EQ(countOf(), whole) << context;
}

TEST(CrashSafety, AProcessKilledDuringPostsLosesNoPostedRecord)
{
    QTemporaryDir tmp;
    const QString path = makeSermonTable(tmp.path());
    std::map<uint32_t, QByteArray> posted;
    for (int round = 0; round < 25; ++round) {
        const QString prefix = QStringLiteral("R%1").arg(round);
        // Posts one by one, and loads: appends in one batch.
        const QString how = round % 2 ? QStringLiteral("load") : QStringLiteral("append");
        std::unique_ptr<QProcess> w(startWorker({how, path, QStringLiteral("100000"), prefix}));
        ASSERT_TRUE(w->waitForStarted());
        // The kill lands at a random instant once posting has begun: a
        // slow start (a sanitizer build, a busy machine) must not use up
        // the time before the first post.
        ASSERT_TRUE(w->waitForReadyRead(60000)) << w->readAllStandardError().constData();
        QThread::msleep(QRandomGenerator::global()->bounded(120));
        ::kill(pid_t(w->processId()), SIGKILL);
        w->waitForFinished();
        for (const QByteArray &line : w->readAllStandardOutput().split('\n')) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() == 3 && parts[0] == "posted")
                posted[parts[1].toUInt()] = prefix.toLatin1() + '-' + parts[2];
        }
        expectHeaderMended(path, "round " + std::to_string(round));
        // Every posted record is intact, and the orders are right.
        auto t = openTable(path);
        ASSERT_GE(t->RecCount(), posted.size());
        for (const auto &[recno, title] : posted) {
            t->Go(recno);
            ASSERT_EQ(t->GetString("TITLE1"), title) << "round " << round << " record " << recno;
        }
        t->Close();
        expectIndexInStep(path);
    }
    EXPECT_GT(posted.size(), 25u);
    auto t = openTable(path, true);
    const uint32_t all = t->RecCount();
    t->Pack();
    EXPECT_EQ(t->RecCount(), all);
    for (const auto &[recno, title] : posted) {
        t->Go(recno);
        ASSERT_EQ(t->GetString("TITLE1"), title) << "after the pack, record " << recno;
    }
}

} // namespace
