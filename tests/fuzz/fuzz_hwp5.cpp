// SPDX-License-Identifier: GPL-3.0-or-later
// First byte chooses the entry (mod 4): 0 a whole file (text and title),
// 1 a section's record stream, 2 a summary-information property set,
// 3 a distribution document's view section followed by its records.
#include "exchange/hwp_title.h"
#include "hwp/document.h"
#include "hwp/hwp5.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    QString out;
    switch (data[0] % 4) {
    case 0: {
        auto text = verbana::hwp::readHwpText(rest);
        if (text.ok())
            (void)verbana::hwp::toTextFile(text.value());
        (void)verbana::exchange::hwpTitleOf(rest);
        break;
    }
    case 1:
        (void)verbana::hwp::appendSectionText(rest, out);
        break;
    case 2:
        (void)verbana::hwp::propertySetTitle(rest);
        break;
    case 3: {
        auto plain = verbana::hwp::decryptViewSection(rest);
        if (plain.ok())
            (void)verbana::hwp::appendSectionText(plain.value(), out, true);
        break;
    }
    }
    return 0;
}
