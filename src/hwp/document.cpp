// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/document.h"

#include "hwp/cfb.h"
#include "hwp/hwp3.h"
#include "hwp/hwp5.h"
#include "hwp/hwpx.h"
#include "platform/cp949.h"

#include <QFile>
#include <QIODevice>

namespace verbana::hwp {

Format detectFormat(QByteArrayView head)
{
    if (head.startsWith(kHwp3Signature))
        return Format::Hwp3;
    if (CompoundFile::looksLike(head))
        return Format::Hwp5;
    if (head.startsWith(kZipSignature))
        return Format::Hwpx;
    return Format::Unknown;
}

Result<QString> readHwpText(QByteArrayView file)
{
    switch (detectFormat(file)) {
    case Format::Hwp3:
        return readHwp3Text(file);
    case Format::Hwp5: {
        auto cfb = CompoundFile::open(file);
        if (!cfb.ok())
            return Result<QString>::failure(cfb);
        return readHwp5Text(cfb.value());
    }
    case Format::Hwpx:
        return readHwpxText(file);
    case Format::Unknown:
        break;
    }
    return Result<QString>::failure(Fault::WrongKind, QStringLiteral("not an HWP document"));
}

Result<QString> readHwpText(QIODevice &device)
{
    // A file is mapped rather than copied; other devices are read whole.
    if (auto *file = qobject_cast<QFile *>(&device); file && file->size() > 0 && file->size() <= kMaxDocument) {
        if (uchar *mapped = file->map(0, file->size())) {
            auto result = readHwpText(QByteArrayView(reinterpret_cast<const char *>(mapped), file->size()));
            file->unmap(mapped);
            return result;
        }
    }
    if (device.size() > kMaxDocument)
        return Result<QString>::failure(Fault::TooLarge, QStringLiteral("the file is larger than 1 GB"));
    const QByteArray bytes = device.read(kMaxDocument + 1);
    if (bytes.size() > kMaxDocument)
        return Result<QString>::failure(Fault::TooLarge, QStringLiteral("the file is larger than 1 GB"));
    return readHwpText(QByteArrayView(bytes));
}

QByteArray toCp949Lossy(QStringView text)
{
    cp949::Encoded e = cp949::encode(text);
    if (e.ok())
        return e.bytes;
    // Put '?' for each character CP949 cannot hold, then encode once more.
    QString safe = text.toString();
    for (qsizetype i = 0; i < e.unmappable.size();) {
        const qsizetype n = e.unmappable[i].isHighSurrogate() && i + 1 < e.unmappable.size() ? 2 : 1;
        safe.replace(e.unmappable.mid(i, n), QStringLiteral("?"));
        i += n;
    }
    e = cp949::encode(safe);
    return e.ok() ? e.bytes : cp949::encodeLossy(safe);
}

QByteArray toTextFile(QStringView text)
{
    const QByteArray bytes = toCp949Lossy(text);
    QByteArray out;
    out.reserve(bytes.size() + bytes.count('\n'));
    for (char c : bytes) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

} // namespace verbana::hwp
