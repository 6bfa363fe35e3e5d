// SPDX-License-Identifier: GPL-3.0-or-later
// Distribution documents and the summary information of HWP 5.x files.
#include "hwp/hwp5.h"

#include "hwp/cursor.h"
#include "platform/cp949.h"

#include <openssl/evp.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace verbana::hwp {
namespace {

constexpr quint32 kTagDistributeDocData = 28;
constexpr qsizetype kKeyRecord = 256;
constexpr int kAesBlock = 16;

// The pseudo-random generator of the Microsoft C library, which scrambles
// the key record of distribution documents.
class MsvcRand {
public:
    explicit MsvcRand(quint32 seed) : state_(seed) {}
    quint32 next()
    {
        state_ = state_ * 214013u + 2531011u;
        return (state_ >> 16) & 0x7FFF;
    }

private:
    quint32 state_;
};

} // namespace

Result<QByteArray> decryptViewSection(QByteArrayView stream)
{
    Cursor in(stream);
    const quint32 header = in.u32();
    const QByteArrayView keyRecord = in.take(kKeyRecord);
    if (in.failed() || (header & 0x3FF) != kTagDistributeDocData || (header >> 20) != kKeyRecord)
        return Result<QByteArray>::failure(Fault::Damaged, QStringLiteral("damaged HWP 5 document: a view section has no key record"));

    QByteArray decoded = keyRecord.toByteArray();
    const quint32 seed = le32(decoded, 0);
    MsvcRand rand(seed);
    int run = 0;
    unsigned char mask = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        if (run == 0) {
            mask = static_cast<unsigned char>(rand.next() & 0xFF);
            run = static_cast<int>(rand.next() & 0xF) + 1;
        }
        if (i >= 4)
            decoded[i] = static_cast<char>(static_cast<unsigned char>(decoded[i]) ^ mask);
        --run;
    }
    const QByteArray key = decoded.mid(4 + (seed & 0xF), kAesBlock);

    const QByteArrayView cipher = stream.sliced(in.pos(), in.left() - in.left() % kAesBlock);
    QByteArray plain(cipher.size() + kAesBlock, Qt::Uninitialized);
    std::unique_ptr<EVP_CIPHER_CTX, void (*)(EVP_CIPHER_CTX *)> ctx(EVP_CIPHER_CTX_new(), EVP_CIPHER_CTX_free);
    int produced = 0;
    int last = 0;
    if (!ctx || cipher.size() > INT_MAX - kAesBlock
        || EVP_DecryptInit_ex(ctx.get(), EVP_aes_128_ecb(), nullptr, reinterpret_cast<const unsigned char *>(key.constData()), nullptr) != 1
        || EVP_CIPHER_CTX_set_padding(ctx.get(), 0) != 1
        || EVP_DecryptUpdate(ctx.get(), reinterpret_cast<unsigned char *>(plain.data()), &produced,
                             reinterpret_cast<const unsigned char *>(cipher.data()), static_cast<int>(cipher.size())) != 1
        || EVP_DecryptFinal_ex(ctx.get(), reinterpret_cast<unsigned char *>(plain.data()) + produced, &last) != 1)
        return Result<QByteArray>::failure(Fault::Damaged, QStringLiteral("damaged HWP 5 document: a view section cannot be decrypted"));
    plain.resize(produced + last);
    return plain;
}

Result<QString> propertySetTitle(QByteArrayView stream)
{
    constexpr quint32 kTitle = 2;
    constexpr quint32 kLpstr = 0x1E;
    constexpr quint32 kLpwstr = 0x1F;
    auto bad = [] { return Result<QString>::failure(Fault::Damaged, QStringLiteral("damaged summary information")); };

    Cursor head(stream);
    if (head.u16() != 0xFFFE)
        return bad();
    head.skip(2 + 4 + 16);
    const quint32 sectionCount = head.u32();
    head.skip(16); // format id of the first section
    const quint32 sectionAt = head.u32();
    if (head.failed() || sectionCount == 0 || sectionAt >= static_cast<quint32>(stream.size()))
        return bad();

    const QByteArrayView section = stream.sliced(sectionAt);
    Cursor sec(section);
    sec.skip(4); // section size
    const quint32 count = sec.u32();
    if (sec.failed() || count > static_cast<quint32>(sec.left() / 8))
        return bad();
    for (quint32 i = 0; i < count; ++i) {
        const quint32 id = sec.u32();
        const quint32 at = sec.u32();
        if (id != kTitle)
            continue;
        if (at >= static_cast<quint32>(section.size()))
            return bad();
        Cursor value(section.sliced(at));
        const quint32 type = value.u32();
        const quint32 length = value.u32();
        QString title;
        if (type == kLpwstr) {
            const QByteArrayView units = value.take(qint64(length) * 2);
            if (value.failed())
                return bad();
            title.resize(length);
            for (quint32 u = 0; u < length; ++u)
                title[u] = QChar(le16(units, 2 * qsizetype(u)));
        } else if (type == kLpstr) {
            const QByteArrayView bytes = value.take(length);
            if (value.failed())
                return bad();
            // No code-page property is written: byte strings are in the
            // Korean system code page.
            const qsizetype end = bytes.indexOf('\0');
            title = cp949::decode(end < 0 ? bytes : bytes.first(end));
        } else {
            return QString();
        }
        const qsizetype nul = title.indexOf(QChar(0));
        if (nul >= 0)
            title.truncate(nul);
        return title;
    }
    return QString();
}

Result<QString> readHwp5Title(const CompoundFile &file)
{
    const int at = file.find(CompoundFile::kRoot, u"\u0005HwpSummaryInformation");
    if (at < 0)
        return QString();
    auto stream = file.read(at);
    if (!stream.ok())
        return Result<QString>::failure(stream);
    return propertySetTitle(stream.value());
}

} // namespace verbana::hwp
