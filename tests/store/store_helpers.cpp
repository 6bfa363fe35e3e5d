// SPDX-License-Identifier: GPL-3.0-or-later
#include "store_helpers.h"

#include "platform/cp949.h"
#include "store/sermon_record.h"
#include "store/xbase/cdx_index.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace verbana::test {

QByteArray k(const char *utf8) { return cp949::encode(QString::fromUtf8(utf8)).bytes; }

bool copyFixture(const QString &fixtureFolder, const QString &dir)
{
    const QDir src(fixtureFolder);
    for (const QFileInfo &f : src.entryInfoList(QDir::Files)) {
        const QString target = dir + QLatin1Char('/') + f.fileName();
        QFile::remove(target);
        if (!QFile::copy(f.filePath(), target))
            return false;
        QFile(target).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    return true;
}

std::unique_ptr<xbase::TApolloTable> openTable(const QString &path, bool exclusive)
{
    auto t = std::make_unique<xbase::TApolloTable>();
    t->DatabaseName = QFileInfo(path).absolutePath();
    t->TableName = QFileInfo(path).fileName();
    t->Exclusive = exclusive;
    t->Open();
    return t;
}

QString makeSermonTable(const QString &dir)
{
    const QString path = dir + QStringLiteral("/sul2file.dbf");
    xbase::TApolloTable creator;
    if (!store::createSermonTableFile(creator, path))
        return {};
    auto t = openTable(path, true);
    store::createSermonTags(*t);
    t->Close();
    return path;
}

void appendSermons(xbase::TApolloTable &t, const std::vector<Sermon> &sermons)
{
    for (const Sermon &s : sermons) {
        t.Append();
        t.PutString(QByteArrayLiteral("DATE1"), k(s.date1));
        t.PutString(QByteArrayLiteral("TITLE1"), k(s.title1));
        t.PutString(QByteArrayLiteral("BIBLENO"), k(s.bibleno));
        t.PutString(QByteArrayLiteral("DATE2"), k(s.date2));
        t.Post();
    }
}

std::string indexFault(xbase::TApolloTable &t)
{
    if (!t.index())
        return "no index";
    for (int tag = 1; tag <= t.TagCount(); ++tag) {
        auto entries = t.index()->verify(tag);
        if (!entries)
            return entries.status().message().toStdString();
        if (entries->size() != t.RecCount())
            return "tag " + t.TagName(tag).toStdString() + " has " + std::to_string(entries->size()) + " entries";
        for (const auto &e : *entries) {
            t.Go(e.recno);
            if (e.key != t.TagKeyValue(tag))
                return "tag " + t.TagName(tag).toStdString() + ": wrong key for record " + std::to_string(e.recno);
        }
    }
    const xbase::Status pages = t.index()->verifyPages();
    return pages ? std::string() : pages.message().toStdString();
}

std::vector<uint32_t> walk(xbase::TApolloTable &t)
{
    std::vector<uint32_t> out;
    t.GoTop();
    while (t.RecNo() != 0) {
        out.push_back(t.RecNo());
        t.Skip(1);
        if (t.Eof())
            break;
    }
    return out;
}

std::vector<uint32_t> walkBack(xbase::TApolloTable &t)
{
    std::vector<uint32_t> out;
    t.GoBottom();
    while (t.RecNo() != 0) {
        out.insert(out.begin(), t.RecNo());
        t.Skip(-1);
        if (t.Bof())
            break;
    }
    return out;
}

} // namespace verbana::test
