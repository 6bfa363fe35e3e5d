// SPDX-License-Identifier: GPL-3.0-or-later
// The compound-file reader on a real HWP 5 file, and on copies of it with
// one table entry or link changed to lie.
#include "hwp/cfb.h"
#include "support/fixtures.h"

#include <QtEndian>

#include <gtest/gtest.h>

using namespace verbana::hwp;

namespace {

QByteArray example()
{
    return verbana::test::readAll(verbana::test::sharedFixtures() + QStringLiteral("/hwp/hwp5/example.hwp"));
}

quint32 le32at(const QByteArray &b, qsizetype at) { return qFromLittleEndian<quint32>(b.constData() + at); }
void put32(QByteArray &b, qsizetype at, quint32 v) { qToLittleEndian(v, b.data() + at); }

// Byte offset of allocation-table slot n (all fixtures keep the table in
// the sectors the header lists).
qsizetype fatSlot(const QByteArray &b, quint32 n)
{
    const quint32 fatSector = le32at(b, 76 + 4 * (n / 128));
    return (qsizetype(fatSector) + 1) * 512 + 4 * (n % 128);
}

// Byte offset of directory entry i, following the directory's chain.
qsizetype entryAt(const QByteArray &b, int i)
{
    quint32 s = le32at(b, 48);
    for (int k = 0; k < i / 4; ++k)
        s = le32at(b, fatSlot(b, s));
    return (qsizetype(s) + 1) * 512 + 128 * (i % 4);
}

Fault openFault(const QByteArray &b) { return CompoundFile::open(b).fault(); }

} // namespace

TEST(CompoundFile, ListsAndReadsTheStreamsOfAnHwpFile)
{
    VERBANA_REQUIRE_FIXTURES();
    const QByteArray bytes = example();
    auto f = CompoundFile::open(bytes);
    ASSERT_TRUE(f.ok()) << f.reason().toStdString();
    QStringList names;
    for (int i : f.value().children(CompoundFile::kRoot))
        names << f.value().entry(i).name;
    for (const char *n : {"FileHeader", "DocInfo", "BodyText", "PrvText", "\x05HwpSummaryInformation"})
        EXPECT_TRUE(names.contains(QLatin1String(n))) << n;

    const int header = f.value().findPath(u"fileheader");
    ASSERT_GE(header, 0);
    auto h = f.value().read(header);
    ASSERT_TRUE(h.ok());
    EXPECT_EQ(h.value().size(), 256);
    EXPECT_TRUE(h.value().startsWith("HWP Document File"));
    EXPECT_GE(f.value().findPath(u"BodyText/Section0"), 0);
    EXPECT_EQ(f.value().findPath(u"BodyText/Section9"), -1);
    EXPECT_EQ(f.value().read(f.value().findPath(u"BodyText")).fault(), Fault::Damaged); // a storage is not a stream
}

TEST(CompoundFile, ChainsThatLoopOrLeaveTheTableAreDamage)
{
    VERBANA_REQUIRE_FIXTURES();
    const QByteArray good = example();
    const quint32 dir = le32at(good, 48);

    QByteArray b = good;
    put32(b, fatSlot(b, dir), dir); // the directory's chain points back at itself
    auto r = CompoundFile::open(b);
    EXPECT_EQ(r.fault(), Fault::Damaged);
    EXPECT_TRUE(r.reason().contains(QLatin1String("loops"))) << r.reason().toStdString();

    b = good;
    put32(b, fatSlot(b, dir), 0x00FFFFFF);
    EXPECT_EQ(openFault(b), Fault::Damaged);

    // The mini stream (the root's data) with a loop in its chain.
    b = good;
    const quint32 root = le32at(good, entryAt(good, 0) + 116);
    put32(b, fatSlot(b, root), root);
    EXPECT_EQ(openFault(b), Fault::Damaged);
}

TEST(CompoundFile, SmallStreamsWithLyingChainsOrSizesAreDamage)
{
    VERBANA_REQUIRE_FIXTURES();
    const QByteArray good = example();
    auto f = CompoundFile::open(good);
    ASSERT_TRUE(f.ok());
    const int header = f.value().findPath(u"FileHeader");
    const quint32 start = f.value().entry(header).start;

    // A loop in the mini allocation table.
    QByteArray b = good;
    const quint32 miniFat = le32at(good, 60);
    put32(b, (qsizetype(miniFat) + 1) * 512 + 4 * start, start);
    auto looped = CompoundFile::open(b);
    ASSERT_TRUE(looped.ok());
    EXPECT_EQ(looped.value().read(header).fault(), Fault::Damaged);

    // Sizes beyond the mini stream and beyond the file.
    for (quint32 size : {4000u, 0x7FFFFFF0u}) {
        b = good;
        put32(b, entryAt(b, header) + 120, size);
        auto lying = CompoundFile::open(b);
        ASSERT_TRUE(lying.ok());
        EXPECT_EQ(lying.value().read(header).fault(), Fault::Damaged) << size;
    }
}

TEST(CompoundFile, ADirectoryTreeThatLoopsStillEnds)
{
    VERBANA_REQUIRE_FIXTURES();
    QByteArray b = example();
    auto f = CompoundFile::open(b);
    ASSERT_TRUE(f.ok());
    const int count = f.value().children(CompoundFile::kRoot).size();
    // Every sibling link of every entry pointed back at the root's first child.
    const quint32 child = le32at(b, entryAt(b, 0) + 76);
    for (int i = 1; i <= count; ++i) {
        put32(b, entryAt(b, i) + 68, child);
        put32(b, entryAt(b, i) + 72, i == 1 ? 0 : child);
        put32(b, entryAt(b, i) + 76, child);
    }
    auto g = CompoundFile::open(b);
    ASSERT_TRUE(g.ok());
    EXPECT_LE(g.value().children(CompoundFile::kRoot).size(), count);
    EXPECT_LE(g.value().children(1).size(), count);
}

TEST(CompoundFile, HeaderFaults)
{
    VERBANA_REQUIRE_FIXTURES();
    const QByteArray good = example();
    EXPECT_EQ(openFault(QByteArray("not a compound file")), Fault::WrongKind);
    EXPECT_EQ(openFault(good.first(300)), Fault::Damaged);
    QByteArray b = good;
    b[30] = 10; // 1 KB sectors
    EXPECT_EQ(openFault(b), Fault::Damaged);
    b = good;
    put32(b, 44, 0xFFFFFF); // more allocation sectors than the file holds
    EXPECT_EQ(openFault(b), Fault::Damaged);
    b = good;
    put32(b, 44, 200); // needs DIFAT sectors; the header names none
    EXPECT_EQ(openFault(b), Fault::Damaged);
    // Cut at every sector boundary: each prefix is refused or read, never a crash.
    for (qsizetype n = 512; n < good.size(); n += 512)
        (void)CompoundFile::open(good.first(n));
}
