// SPDX-License-Identifier: GPL-3.0-or-later
// First byte chooses the entry (mod 2): 0 a whole package (text and title),
// 1 the XML of one section, which a mutated package seldom gets through
// its checksums to.
#include "exchange/hwp_title.h"
#include "hwp/document.h"
#include "hwp/hwpx.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    if (data[0] % 2 == 0) {
        auto text = verbana::hwp::readHwpText(rest);
        if (text.ok())
            (void)verbana::hwp::toTextFile(text.value());
        (void)verbana::exchange::hwpTitleOf(rest);
    } else {
        QString out;
        (void)verbana::hwp::appendHwpxSectionText(rest, out);
    }
    return 0;
}
