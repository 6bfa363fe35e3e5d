// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"

#include "platform/cp949.h"
#include "platform/paths.h"
#include "store/batch_scope.h"
#include "store/sermon_record.h"
#include "store/view_walk.h"
#include "store/xbase/dbf_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

namespace verbana::test {

QByteArray cp(const char *utf8) { return cp949::encode(QString::fromUtf8(utf8)).bytes; }

TestCollection::TestCollection(const std::vector<SermonRow> &rows)
{
    paths::setProgramFolder(dir_.path());
    folder_ = dir_.path() + QStringLiteral("/Grace");
    QDir().mkpath(folder_ + QStringLiteral("/data"));
    QDir().mkpath(folder_ + QStringLiteral("/text"));
    {
        xbase::TApolloTable creator;
        EXPECT_TRUE(store::createSermonTableFile(creator, tablePath()));
    }
    {
        xbase::TApolloTable t;
        t.DatabaseName = folder_;
        t.TableName = QStringLiteral("sul2file.dbf");
        t.Exclusive = true;
        t.Open();
        store::createSermonTags(t);
        for (const SermonRow &r : rows) {
            t.Append();
            t.PutString(store::fDATE1, cp(r.date1));
            t.PutString(store::fTITLE1, cp(r.title1));
            t.PutString(store::fCONTEXT, cp(r.context));
            t.PutString(store::fBIBLE1, cp(r.bible1));
            t.Post();
        }
    }
    document_ = std::make_unique<store::CollectionDocument>();
    EXPECT_TRUE(document_->OpenCollection(tablePath()));
}

TestCollection::~TestCollection() = default;

void TestCollection::writeFile(const QString &relative, const QByteArray &content) const
{
    const QString path = folder_ + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content);
}

bool TestCollection::exists(const QString &relative) const
{
    return QFileInfo::exists(folder_ + QLatin1Char('/') + relative);
}

std::vector<uint32_t> TestCollection::recnos()
{
    const store::BatchScope quiet(table(), {.busyCursor = false});
    return store::recordsInView(table());
}

QByteArray TestCollection::storedField(uint32_t recno, int field)
{
    QByteArray rec;
    if (!table().dbf()->readRecord(recno, rec).isOk())
        return {};
    const auto &f = table().fields()[size_t(field - 1)];
    return rec.mid(f.offset, f.length);
}

} // namespace verbana::test

namespace verbana::test {

HeldAppendLock::HeldAppendLock(const QString &tablePath)
{
    fd_ = ::open(QFile::encodeName(tablePath).constData(), O_RDWR);
    EXPECT_GE(fd_, 0);
    struct flock lock = {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = off_t(xbase::DbfFile::kLockBase);
    lock.l_len = 1;
    EXPECT_EQ(::fcntl(fd_, F_OFD_SETLK, &lock), 0);
}

HeldAppendLock::~HeldAppendLock() { release(); }

void HeldAppendLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

} // namespace verbana::test
