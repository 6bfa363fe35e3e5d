// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace verbana::test {

// CP949 bytes of a UTF-8 literal.
QByteArray cp(const char *utf8);

struct SermonRow {
    const char *date1;
    const char *title1;
    const char *context = "";
    const char *bible1 = "";
};

// A collection in a temporary program folder: "<program>/Grace" with data/
// and text/, its sermon table made with the four tags and opened by its
// collection document, shared in date order on the last sermon.
class TestCollection {
public:
    explicit TestCollection(const std::vector<SermonRow> &rows = {});
    ~TestCollection();

    QString programFolder() const { return dir_.path(); }
    QString folder() const { return folder_; }
    QString tablePath() const { return folder_ + QStringLiteral("/sul2file.dbf"); }
    store::CollectionDocument &document() { return *document_; }
    xbase::TApolloTable &table() { return document_->table(); }
    // Writes a file below the collection folder, making folders.
    void writeFile(const QString &relative, const QByteArray &content = QByteArrayLiteral("x")) const;
    bool exists(const QString &relative) const;
    // The record numbers in view from the top, leaving the table where it was.
    std::vector<uint32_t> recnos();
    // The field of record `recno` as stored on disk (blank padded).
    QByteArray storedField(uint32_t recno, int field);

private:
    QTemporaryDir dir_;
    QString folder_;
    std::unique_ptr<store::CollectionDocument> document_;
};

// Holds the append lock of a table as another program would, until it is
// destroyed or released.
class HeldAppendLock {
public:
    explicit HeldAppendLock(const QString &tablePath);
    ~HeldAppendLock();
    void release();

private:
    int fd_ = -1;
};

} // namespace verbana::test
