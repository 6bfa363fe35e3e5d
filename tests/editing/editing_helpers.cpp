// SPDX-License-Identifier: GPL-3.0-or-later
#include "editing_helpers.h"

#include "platform/cp949.h"
#include "platform/paths.h"
#include "store/sermon_record.h"
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
    table_ = std::make_unique<xbase::TApolloTable>();
    table_->DatabaseName = folder_;
    table_->TableName = QStringLiteral("sul2file.dbf");
    table_->Exclusive = true;
    table_->Open();
    store::createSermonTags(*table_);
    table_->Close();
    table_->Exclusive = false;
    table_->Open();
    for (const SermonRow &r : rows) {
        table_->Append();
        table_->PutString(store::fDATE1, cp(r.date1));
        table_->PutString(store::fTITLE1, cp(r.title1));
        table_->PutString(store::fCONTEXT, cp(r.context));
        table_->PutString(store::fBIBLE1, cp(r.bible1));
        table_->Post();
    }
    table_->SetOrder(table_->TagArea(QByteArrayLiteral("date1")));
    table_->GoBottom();
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
    std::vector<uint32_t> out;
    const uint32_t here = table_->RecNo();
    table_->DetachHandlers(127);
    table_->DisableControls();
    table_->GoTop();
    while (!table_->Eof() && table_->RecNo() != 0) {
        out.push_back(table_->RecNo());
        table_->Skip(1);
    }
    if (here)
        table_->Go(here);
    table_->EnableControls();
    table_->AttachHandlers(127);
    return out;
}

QByteArray TestCollection::storedField(uint32_t recno, int field)
{
    QByteArray rec;
    if (!table_->dbf()->readRecord(recno, rec).isOk())
        return {};
    const auto &f = table_->fields()[size_t(field - 1)];
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
