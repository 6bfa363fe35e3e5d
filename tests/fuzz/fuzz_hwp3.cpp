// SPDX-License-Identifier: GPL-3.0-or-later
// First byte chooses the entry: even = a whole file (text and title),
// odd = an already inflated body (fonts, styles, paragraph lists), which
// the fuzzer could hardly reach through a deflate stream.
#include "exchange/hwp_title.h"
#include "hwp/document.h"
#include "hwp/hwp3.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QByteArrayView rest(reinterpret_cast<const char *>(data) + 1, static_cast<qsizetype>(size - 1));
    if (data[0] & 1) {
        (void)verbana::hwp::readHwp3Body(rest);
    } else {
        auto text = verbana::hwp::readHwpText(rest);
        if (text.ok())
            (void)verbana::hwp::toTextFile(text.value());
        (void)verbana::exchange::hwpTitleOf(rest);
    }
    return 0;
}
