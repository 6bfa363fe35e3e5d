// SPDX-License-Identifier: GPL-3.0-or-later
// Operations that write whole new files: pack and copy. Both write a new
// file beside the old one and rename it into place, so a process killed at
// any moment leaves either the old file or the new one.
#include "store/xbase/apollo_table.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/expression.h"
#include "store/xbase/memo_file.h"

#include <QFileInfo>

namespace verbana::xbase {
namespace {

// Writes a table file holding `header` and the records given by `each`
// into `f`, and makes it durable.
Status writeTable(File &f, dbf::Header header,
                  const std::function<Status(const std::function<void(QByteArrayView)> &)> &each)
{
    QByteArray head = dbf::encodeHeader(header);
    uint64_t offset = uint64_t(head.size());
    uint32_t count = 0;
    QByteArray block;
    Status writeError;
    auto flush = [&]() {
        if (block.isEmpty() || !writeError.isOk())
            return;
        writeError = f.writeAt(offset, std::span<const char>(block.constData(), size_t(block.size())));
        offset += uint64_t(block.size());
        block.clear();
    };
    XB_TRY(each([&](QByteArrayView record) {
        block.append(record);
        ++count;
        if (block.size() >= 1 << 20)
            flush();
    }));
    block.append(dbf::kEofMarker);
    flush();
    XB_TRY(writeError);
    header.recordCount = count;
    head = dbf::encodeHeader(header);
    XB_TRY(f.writeAt(0, std::span<const char>(head.constData(), size_t(head.size()))));
    return f.sync();
}

} // namespace

void TApolloTable::protectIndexReplacement(bool syncRecords)
{
    if (dbf_->knownDurable())
        return;
    if (cdx_) {
        check(cdx_->beginUpdate());
        check(cdxFile_->sync());
    }
    if (syncRecords)
        check(dbf_->sync());
}

void TApolloTable::reopenAfterFailure()
{
    const int order = order_;
    try {
        Close();
        Open();
        SetOrder(order);
    } catch (const EApolloError &) {
        // Left closed: the caller reports the first failure.
    }
}

void TApolloTable::Pack()
{
    requireBrowse("pack");
    requireWritable();
    if (!dbf_->exclusive())
        throw EApolloError(texts::needsExclusive(), QString(), StatusKind::NotExclusive);
    requireSoundStructure();
    const QString path = dbf_->path();
    const QString temp = path + QStringLiteral(".pack");
    const QString cdxPath = indexPath();
    const QString cdxTemp = cdxPath + QStringLiteral(".new");
    const QString folder = QFileInfo(path).path();
    dbf::Header header = dbf_->header();
    dbf::stampToday(header);
    const auto tags = tagDefinitions();
    const int order = order_;

    // Everything the packed table needs is made first: its file and its
    // index, both durable. A failure up to here leaves the old files as
    // they were, with nothing of ours beside them.
    IndexBuild build = prepareIndexBuild(tags);
    auto kept = dbf_->keepTail();
    if (!kept)
        raise(kept.status());
    tailKeptAs_ = *kept;
    try {
        auto file = createTemporary(*fs_, temp);
        if (!file)
            raise(file.status());
        uint32_t packed = 0;
        check(writeTable(**file, header, [&](const std::function<void(QByteArrayView)> &emit) {
            return dbf_->scan(1, dbf_->recordCount(), [&](uint32_t, QByteArrayView rec) {
                if (rec[0] != dbf::kDeleted) {
                    emit(rec);
                    build.add(rec, ++packed);
                }
                return true;
            });
        }));
        file.value().reset();
        if (!tags.empty())
            writeIndexTemporary(cdxTemp, std::move(build), packed);
    } catch (...) {
        discardTemporary(*fs_, temp);
        discardTemporary(*fs_, cdxTemp);
        throw;
    }

    try {
        // Until the packed table and its new index are both in place, a
        // power cut must leave the old index rebuilt for whichever table is
        // there.
        protectIndexReplacement(false);
        closeFiles();
        check(replaceWithTemporary(*fs_, temp, path));
        if (!tags.empty())
            check(replaceWithTemporary(*fs_, cdxTemp, cdxPath));
        check(fs_->syncFolder(folder));
    } catch (...) {
        discardTemporary(*fs_, temp);
        discardTemporary(*fs_, cdxTemp);
        reopenAfterFailure();
        throw;
    }
    auto reopened = DbfFile::open(*fs_, path, true);
    if (!reopened)
        raise(reopened.status(), texts::unableToOpen(path));
    dbf_ = std::move(reopened.value());
    openMemo();
    openIndex();
    order_ = order <= TagCount() ? order : 0;
    query_.reset();
    marks_.clear();
    marksActive_ = false;
    GoTop();
    announce(TableEvent::AfterRefresh);
}

int TApolloTable::CopyFile(const QString &target)
{
    requireBrowse("copy");
    syncShared();
    QString path = target;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".DBF");
    dbf::Header header = dbf_->header();
    if (header.memoKind() != dbf::MemoKind::None)
        return 0; // memo fields would need their memo file copied as well
    header.version = 0x03;
    header.flags = 0;
    dbf::stampToday(header);
    auto file = fs_->open(path, OpenMode::Create);
    if (!file)
        return 0;
    Status s = writeTable(**file, header, [&](const std::function<void(QByteArrayView)> &emit) {
        return dbf_->scan(1, dbf_->recordCount(), [&](uint32_t r, QByteArrayView rec) {
            if (visible(r, rec))
                emit(rec);
            return true;
        });
    });
    if (s.isOk())
        s = fs_->syncFolder(QFileInfo(path).path());
    return s.isOk() ? 1 : 0;
}

} // namespace verbana::xbase
