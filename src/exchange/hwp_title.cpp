// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/hwp_title.h"

#include "hwp/cfb.h"
#include "hwp/document.h"
#include "hwp/hwp5.h"
#include "hwp/hwpx.h"
#include "platform/cp949.h"

#include <QFile>
#include <QIODevice>

namespace verbana::exchange {
namespace {

constexpr qsizetype kMinimumSize = 382;
constexpr qsizetype kTitleAt = 158;
constexpr qsizetype kTitleUnits = 56; // the title field; the subject follows it
constexpr qsizetype kAnnotationAt = 102;
constexpr qsizetype kAnnotationBytes = 18;

QByteArray hwp5Title(QByteArrayView file)
{
    auto cfb = hwp::CompoundFile::open(file);
    if (!cfb.ok())
        return {};
    auto title = hwp::readHwp5Title(cfb.value());
    if (!title.ok())
        return {};
    return hwp::toCp949Lossy(title.value());
}

QByteArray hwpxTitle(QByteArrayView file)
{
    auto title = hwp::readHwpxTitle(file);
    return title.ok() ? hwp::toCp949Lossy(title.value()) : QByteArray();
}

} // namespace

QByteArray UDF_HanPConvt(QByteArrayView johab)
{
    // The system's Johab table reads 0x5C as the won sign, which CP949 does
    // not have; the title's ASCII is copied here and only the two-byte codes
    // go through the table, a run at a time.
    QByteArray out;
    qsizetype i = 0;
    while (i < johab.size()) {
        const unsigned char c = static_cast<unsigned char>(johab[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const qsizetype start = i;
        while (i < johab.size() && static_cast<unsigned char>(johab[i]) >= 0x80)
            i += (i + 1 < johab.size()) ? 2 : 1;
        out += cp949::johabToCp949(johab.sliced(start, i - start));
    }
    return out;
}

QByteArray hwpTitleOf(QByteArrayView file)
{
    switch (hwp::detectFormat(file)) {
    case hwp::Format::Hwp5:
        return hwp5Title(file);
    case hwp::Format::Hwpx:
        return hwpxTitle(file);
    default:
        break;
    }
    if (file.size() < kMinimumSize)
        return {};
    QByteArray johab;
    for (qsizetype u = 0; u < kTitleUnits; ++u) {
        const char low = file[kTitleAt + 2 * u];
        const char high = file[kTitleAt + 2 * u + 1];
        if (low == 0 && high == 0)
            break;
        if (high != 0)
            johab += high;
        if (low != 0)
            johab += low;
    }
    if (johab.isEmpty()) {
        const QByteArrayView annotation = file.sliced(kAnnotationAt, kAnnotationBytes);
        const qsizetype end = annotation.indexOf('\0');
        johab = (end < 0 ? annotation : annotation.first(end)).toByteArray();
    }
    return UDF_HanPConvt(johab);
}

Outcome<QByteArray> ReadHwpTitle(QIODevice &device)
{
    if (device.size() > hwp::kMaxDocument)
        return Outcome<QByteArray>::failure(Fault::TooLarge, QStringLiteral("the file is larger than 1 GB"));
    const QByteArray bytes = device.readAll();
    if (bytes.size() != device.size() && !device.isSequential())
        return Outcome<QByteArray>::failure(Fault::Io, device.errorString());
    return hwpTitleOf(QByteArrayView(bytes));
}

Outcome<QByteArray> ReadHwpTitle(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome<QByteArray>::failure(Fault::Io, QStringLiteral("%1: %2").arg(path, file.errorString()));
    return ReadHwpTitle(file);
}

} // namespace verbana::exchange
