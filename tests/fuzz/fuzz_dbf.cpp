// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a table (and, when the input says so, a memo
// file or a compound index beside it), walks every record and reads every
// field, checks its structure, appends, and packs: a pack that succeeds
// keeps exactly the live records.
#include "store/xbase/apollo_table.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/memory_file.h"

#include <QCoreApplication>

#include <cstdlib>

using namespace verbana::xbase;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    static int argc = 1;
    static char name[] = "fuzz_dbf";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    // Byte 0: low bit = a memo file follows the table, bit 1 = a compound
    // index follows instead; bytes 1-2: where it starts.
    const bool withIndex = data[0] & 2;
    const bool withMemo = (data[0] & 1) && !withIndex;
    size_t split = size_t(data[1]) | (size_t(data[2]) << 8);
    const char *bytes = reinterpret_cast<const char *>(data + 3);
    size -= 3;
    if (!(withMemo || withIndex) || split > size)
        split = size;

    MemoryFileSystem fs;
    fs.put(QStringLiteral("/t/x.dbf"), QByteArray(bytes, qsizetype(split)));
    const QByteArray second(bytes + split, qsizetype(size - split));
    if (withMemo)
        for (const char *ext : {"/t/x.fpt", "/t/x.dbt", "/t/x.smt"})
            fs.put(QString::fromLatin1(ext), second);
    if (withIndex)
        fs.put(QStringLiteral("/t/x.cdx"), second);
    TApolloTable t;
    t.setFileSystem(&fs);
    t.DatabaseName = QStringLiteral("/t");
    t.TableName = QStringLiteral("x.dbf");
    t.Exclusive = true;
    try {
        t.Open();
        t.SetShowDeleted(true);
        int walked = 0;
        for (t.GoTop(); t.RecNo() != 0 && walked < 2000; ++walked) {
            for (int f = 1; f <= t.FieldCount(); ++f) {
                try {
                    (void)t.GetString(f);
                } catch (const EApolloError &) {
                }
            }
            t.Skip(1);
            if (t.Eof())
                break;
        }
        (void)t.Count();
        (void)t.structuralFaults();
        (void)t.dbf()->extent();
        t.Append();
        t.Post();
        t.GoBottom();
    } catch (const EApolloError &) {
    }
    try {
        t.SetShowDeleted(false);
        const uint32_t live = t.Count();
        t.Pack();
        if (t.RecCount() != live || t.Count() != live)
            std::abort(); // a pack lost or invented a record
    } catch (const EApolloError &) {
    }
    return 0;
}
