// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cp949.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace verbana::cp949 {
namespace {

// One iconv descriptor per direction and thread, opened on first use.
class Converter {
public:
    Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts one chunk. Returns the number of input bytes consumed before
    // the first failure; `out` receives the output of those bytes.
    size_t convert(const char *in, size_t inLen, std::string &out)
    {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        out.clear();
        char buffer[4096];
        char *src = const_cast<char *>(in);
        size_t left = inLen;
        while (left > 0) {
            char *dst = buffer;
            size_t room = sizeof buffer;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buffer, static_cast<size_t>(dst - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        // Flush the shift state (a no-op for these encodings).
        char *dst = buffer;
        size_t room = sizeof buffer;
        iconv(cd_, nullptr, nullptr, &dst, &room);
        out.append(buffer, static_cast<size_t>(dst - buffer));
        return inLen - left;
    }

private:
    iconv_t cd_;
};

Converter &toUtf8()
{
    thread_local Converter c("UTF-8", "CP949");
    return c;
}

Converter &fromUtf8()
{
    thread_local Converter c("CP949", "UTF-8");
    return c;
}

bool isAscii(QByteArrayView b)
{
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

QString decode(QByteArrayView bytes)
{
    if (isAscii(bytes))
        return QString::fromLatin1(bytes);
    QString result;
    result.reserve(bytes.size());
    std::string out;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        size_t used = toUtf8().convert(bytes.data() + pos, static_cast<size_t>(bytes.size() - pos), out);
        result += QString::fromUtf8(out.data(), static_cast<qsizetype>(out.size()));
        pos += static_cast<qsizetype>(used);
        if (pos < bytes.size()) {
            // Not CP949 here: replace one character's worth and go on.
            result += QChar(QChar::ReplacementCharacter);
            pos += charLength(bytes, pos);
        }
    }
    return result;
}

Encoded encode(QStringView text)
{
    Encoded e;
    bool ascii = true;
    for (QChar c : text)
        if (c.unicode() >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) {
        e.bytes = text.toLatin1();
        return e;
    }
    e.bytes.reserve(text.size() * 2);
    std::string out;
    // Convert piece by piece so that one unmappable character is skipped and
    // reported without losing its neighbours.
    const QByteArray utf8 = text.toUtf8();
    qsizetype pos = 0;
    while (pos < utf8.size()) {
        size_t used = fromUtf8().convert(utf8.data() + pos, static_cast<size_t>(utf8.size() - pos), out);
        e.bytes.append(out.data(), static_cast<qsizetype>(out.size()));
        pos += static_cast<qsizetype>(used);
        if (pos < utf8.size()) {
            // Length of the UTF-8 sequence that failed.
            unsigned char lead = static_cast<unsigned char>(utf8[pos]);
            qsizetype len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
            len = std::min(len, utf8.size() - pos);
            const QString bad = QString::fromUtf8(utf8.constData() + pos, len);
            if (!e.unmappable.contains(bad))
                e.unmappable += bad;
            pos += len;
        }
    }
    return e;
}

QByteArray encodeLossy(QStringView text)
{
    Encoded e = encode(text);
    if (e.ok())
        return e.bytes;
    // Re-encode character by character, putting '?' for each failure.
    QByteArray out;
    for (qsizetype i = 0; i < text.size();) {
        qsizetype n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        Encoded one = encode(text.mid(i, n));
        out += one.ok() ? one.bytes : QByteArray("?");
        i += n;
    }
    return out;
}

qsizetype byteLength(QStringView text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.unicode() < 0x80)
            n += 1;
        else if (c.isLowSurrogate())
            continue;
        else
            n += 2;
    }
    return n;
}

QByteArray cut(QByteArrayView bytes, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    if (bytes.size() <= maxBytes)
        return bytes.toByteArray();
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype n = charLength(bytes, i);
        if (i + n > maxBytes)
            break;
        i += n;
    }
    return bytes.first(i).toByteArray();
}

namespace {
template <char From, char To>
QByteArray foldAscii(QByteArrayView bytes)
{
    QByteArray out = bytes.toByteArray();
    for (qsizetype i = 0; i < out.size();) {
        const unsigned char c = static_cast<unsigned char>(out[i]);
        if (isLeadByte(c) && i + 1 < out.size()) {
            i += 2;
            continue;
        }
        if (c >= From && c <= From + 25)
            out[i] = static_cast<char>(c - From + To);
        ++i;
    }
    return out;
}
} // namespace

QByteArray upperAscii(QByteArrayView bytes) { return foldAscii<'a', 'A'>(bytes); }
QByteArray lowerAscii(QByteArrayView bytes) { return foldAscii<'A', 'a'>(bytes); }

qsizetype indexOf(QByteArrayView haystack, QByteArrayView needle, qsizetype from)
{
    if (needle.isEmpty())
        return from <= haystack.size() ? from : -1;
    const qsizetype last = haystack.size() - needle.size();
    qsizetype i = 0;
    // Walk character boundaries; memchr-style skipping keeps it fast on the
    // common ASCII-first needle, but a candidate is only accepted when it
    // sits on a boundary, which the walk guarantees.
    const char first = needle[0];
    while (i <= last) {
        if (i >= from && haystack[i] == first && std::memcmp(haystack.data() + i, needle.data(), static_cast<size_t>(needle.size())) == 0)
            return i;
        i += charLength(haystack, i);
    }
    return -1;
}

QByteArray trimRight(QByteArrayView bytes)
{
    // Fields are mostly padding: drop eight blanks at a time first.
    const char *p = bytes.data();
    qsizetype n = bytes.size();
    constexpr uint64_t kBlanks = 0x2020202020202020ull;
    for (uint64_t word; n >= 8; n -= 8) {
        std::memcpy(&word, p + n - 8, 8);
        if (word != kBlanks)
            break;
    }
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return bytes.first(n).toByteArray();
}

QByteArray johabToCp949(QByteArrayView bytes)
{
    thread_local Converter johabToUtf8("UTF-8", "JOHAB");
    QByteArray out;
    std::string utf8;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        size_t used = johabToUtf8.convert(bytes.data() + pos, static_cast<size_t>(bytes.size() - pos), utf8);
        out += encodeLossy(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
        pos += static_cast<qsizetype>(used);
        if (pos < bytes.size()) {
            out += '?';
            const unsigned char c = static_cast<unsigned char>(bytes[pos]);
            pos += (c >= 0x84 && pos + 1 < bytes.size()) ? 2 : 1;
        }
    }
    return out;
}

} // namespace verbana::cp949
