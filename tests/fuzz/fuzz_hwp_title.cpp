// SPDX-License-Identifier: GPL-3.0-or-later
// Takes the title of arbitrary bytes as an HWP file, straight and through a
// device (the two agree), and converts the bytes as a Johab title.
#include "exchange/hwp_title.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

using namespace verbana::exchange;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray title = hwpTitleOf(bytes);
    QBuffer device(&bytes);
    device.open(QIODevice::ReadOnly);
    const verbana::Outcome<QByteArray> read = ReadHwpTitle(device);
    if (!read.ok() || read.value() != title)
        std::abort();
    (void)UDF_HanPConvt(bytes);
    return 0;
}
