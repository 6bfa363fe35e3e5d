// SPDX-License-Identifier: GPL-3.0-or-later
// Compiles arbitrary text as a query expression over the sermon fields and
// evaluates what compiles against a record.
#include "store/sermon_record.h"
#include "store/xbase/expression.h"

using namespace verbana;
using namespace verbana::xbase;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<dbf::Field> fields = [] {
        std::vector<dbf::Field> out;
        int offset = 1;
        for (const store::SermonField &f : store::sermonFields()) {
            out.push_back({QByteArray(f.name), 'C', f.width, 0, offset});
            offset += f.width;
        }
        return out;
    }();
    static const QByteArray record = [] {
        QByteArray r(1085, ' ');
        const char title[] = "\xb1\xe2\xb5\xb5 agape \x8c\x63";
        std::memcpy(r.data() + 13, title, sizeof title - 1);
        return r;
    }();
    auto e = Expression::compile(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)), fields);
    if (e)
        (void)e->matches(record);
    return 0;
}
