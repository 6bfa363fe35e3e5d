// SPDX-License-Identifier: GPL-3.0-or-later
// Opens arbitrary bytes as a table (and, when the input says so, a memo
// file beside it), walks every record and reads every field.
#include "store/xbase/apollo_table.h"
#include "store/xbase/memory_file.h"

#include <QCoreApplication>

using namespace verbana::xbase;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 3)
        return 0;
    static int argc = 1;
    static char name[] = "fuzz_dbf";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    // Byte 0: low bit = memo present; bytes 1-2: where the memo starts.
    const bool withMemo = data[0] & 1;
    size_t split = size_t(data[1]) | (size_t(data[2]) << 8);
    const char *bytes = reinterpret_cast<const char *>(data + 3);
    size -= 3;
    if (!withMemo || split > size)
        split = size;

    MemoryFileSystem fs;
    fs.put(QStringLiteral("/t/x.dbf"), QByteArray(bytes, qsizetype(split)));
    if (withMemo) {
        const QByteArray memo(bytes + split, qsizetype(size - split));
        for (const char *ext : {"/t/x.fpt", "/t/x.dbt", "/t/x.smt"})
            fs.put(QString::fromLatin1(ext), memo);
    }
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
        t.Append();
        t.Post();
        t.GoBottom();
    } catch (const EApolloError &) {
    }
    return 0;
}
