// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>

namespace verbana {
class Progress;
}
namespace verbana::files {
class FileSystem;
}
namespace verbana::store {
class CollectionDocument;
class CollectionPaths;
}
namespace verbana::xbase {
class TApolloTable;
}

// Sermons moving between collections: another collection merged into the
// open one, and the sermons in view extracted into a new collection. Both
// copy; the source collection is only read.
namespace verbana::exchange {

// "설교집 합치기를 완료하였습니다."
QString mergedMessage();

// The new CONTEXT of a merged sermon, and so the place of its manuscript:
// the stem of `newName` (a name from NewManuscriptName, "d3\sul3120.txt")
// with the extension of the file name of `sourceContext` (from its last
// ".", at most 10 bytes; a "." in a folder part is none), or no extension
// when it has none; empty when `sourceContext` is blank.
QString mergedContext(const QString &sourceContext, const QString &newName);
// The text copy of a manuscript name in the collection merged from or
// extracted from: its extension replaced by ".txt", or ".txt" added when it
// has none.
QString textCopyName(const QString &context);

// "열려 있는 설교집에는 자기 자신을 합칠 수 없습니다."
QString selfMergeMessage();

struct MergeOutcome {
    int merged = 0;
    QString error; // the error that ended the merge early; empty when complete
    // Records the source's header counts, and those of them its file does
    // not hold (cut short).
    uint32_t counted = 0;
    uint32_t missing = 0;
    // Every sermon counted was merged.
    bool complete() const { return error.isEmpty() && missing == 0; }
    QString message() const;
};

// Appends every sermon of the collection at `sourceFolder`, in record
// order, to the open collection. The open collection itself, reached by any
// name (a link to its folder), is refused with selfMergeMessage(). The
// source table is held alone while it is read (nobody changes it meanwhile)
// and written never; one that cannot be held so, or whose records cannot
// be read as its header describes them, stops the merge with the engine's
// message before anything is copied. A source on media nobody may write
// (a disc, a folder without write permission) cannot be locked for one
// reader and nobody can change it: it is read shared. A source cut short
// gives its whole records and the outcome says how many are missing. Then
// mergeRecords. The source is read through `sourceFiles` (the disk unless a
// test says otherwise).
MergeOutcome mergeCollection(store::CollectionDocument &document, const QString &sourceFolder,
                             Progress *progress = nullptr, files::FileSystem *sourceFiles = nullptr);

// The merge from the open source table `from`, whose files lie in `source`:
// the records it holds when the merge starts, in record order, and no
// record added to it meanwhile. Each sermon gets a fresh manuscript name
// in the open collection (never one of its files, nor one given earlier in
// the run); its new CONTEXT is mergedContext() of it, and the manuscript and
// text copy are copied exactly where the open collection's resolver puts
// that CONTEXT's files. A sermon without manuscript keeps an empty CONTEXT.
// Source files are only read, through `source`: a name leading out of the
// source collection is never followed, and missing ones are skipped. An
// error ends the merge: the sermon in hand is cancelled and its copied
// files removed; those merged before it stay. The open table is kept quiet
// meanwhile (exchange::BulkAddition). `progress` is started with the
// source's record count and advanced to each source record number.
MergeOutcome mergeRecords(store::CollectionDocument &document, xbase::TApolloTable &from,
                          const store::CollectionPaths &source, Progress *progress = nullptr);

// The message refusing a new collection name (already without leading and
// trailing blanks) in `programFolder`; empty when the name may be used.
QString refusedCollectionName(const QString &name, const QString &programFolder);

// Makes the collection `newFolder` out of the sermons in view of the open
// collection: the table copied by the engine, its index made, and each
// sermon's manuscript and text copy copied under the same names, names
// leading out of either collection never followed. Raises EUserError, with
// everything made removed, when the table or a file cannot be written.
// `progress` as for the merge, over the new table's records.
void extractCollection(store::CollectionDocument &document, const QString &newFolder, Progress *progress = nullptr);

// "새로 만들어진 설교집을 열어 보시겠습니까?"
QString openExtractedQuestion();

} // namespace verbana::exchange
