// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cp949.h"

#include "platform/iconv_converter.h"

#include <array>
#include <cerrno>
#include <memory>
#include <string>
#include <algorithm>
#include <cstring>
#include <vector>

namespace verbana::cp949 {
namespace {

using Converter = IconvConverter;

constexpr int kLeadFirst = 0x81;
constexpr int kLeadCount = 0xFE - kLeadFirst + 1;
constexpr int kTrailFirst = 0x41;
constexpr int kTrailCount = 0xFE - kTrailFirst + 1;

// Every CP949 pair and its character, both ways, as the C library converts
// them.
struct Tables {
    std::array<char16_t, kLeadCount * kTrailCount> toUnicode{};
    std::array<std::uint16_t, 0x10000> fromUnicode{};

    Tables()
    {
        for (int c = 0; c < 0x80; ++c)
            fromUnicode[size_t(c)] = std::uint16_t(c);
        Converter cv("UTF-16LE", "CP949");
        if (!cv.valid())
            return;
        std::string out;
        for (int lead = kLeadFirst; lead <= 0xFE; ++lead) {
            for (int trail = kTrailFirst; trail <= 0xFE; ++trail) {
                const char in[2] = {char(lead), char(trail)};
                if (cv.convert(in, 2, out) != 2 || out.size() != 2)
                    continue;
                const char16_t u = char16_t(uint8_t(out[0]) | uint8_t(out[1]) << 8);
                toUnicode[size_t((lead - kLeadFirst) * kTrailCount + trail - kTrailFirst)] = u;
                if (fromUnicode[u] == 0)
                    fromUnicode[u] = std::uint16_t(lead << 8 | trail);
            }
        }
    }
};

const Tables &tables()
{
    static const std::unique_ptr<const Tables> t = std::make_unique<const Tables>();
    return *t;
}

bool isAscii(QByteArrayView b)
{
    for (char c : b)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

char16_t decodePair(unsigned char lead, unsigned char trail)
{
    if (lead < kLeadFirst || lead > 0xFE || trail < kTrailFirst || trail > 0xFE)
        return 0;
    return tables().toUnicode[size_t((lead - kLeadFirst) * kTrailCount + trail - kTrailFirst)];
}

std::uint16_t encodeChar(char16_t c) { return tables().fromUnicode[c]; }

void decodeAppend(QByteArrayView bytes, QString &out)
{
    if (isAscii(bytes)) {
        out.append(QLatin1StringView(bytes.data(), bytes.size()));
        return;
    }
    const Tables &t = tables();
    const qsizetype start = out.size();
    out.resize(start + bytes.size());
    char16_t *dst = reinterpret_cast<char16_t *>(out.data()) + start;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p++;
        if (b < 0x80) {
            *dst++ = b;
        } else if (isLeadByte(b) && p < end) {
            const unsigned char trail = *p++;
            const char16_t u = trail >= kTrailFirst && trail <= 0xFE
                ? t.toUnicode[size_t((b - kLeadFirst) * kTrailCount + trail - kTrailFirst)]
                : 0;
            *dst++ = u ? u : char16_t(QChar::ReplacementCharacter);
        } else {
            *dst++ = QChar::ReplacementCharacter;
        }
    }
    out.resize(dst - reinterpret_cast<const char16_t *>(out.constData()));
}

QString decode(QByteArrayView bytes)
{
    QString result;
    decodeAppend(bytes, result);
    return result;
}

Encoded encode(QStringView text)
{
    Encoded e;
    e.bytes.reserve(text.size() * 2);
    const Tables &t = tables();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        const std::uint16_t code = QChar::isSurrogate(c) ? 0 : t.fromUnicode[c];
        if (code >= 0x100) {
            e.bytes.append(char(code >> 8));
            e.bytes.append(char(code & 0xFF));
        } else if (code != 0 || c == 0) {
            e.bytes.append(char(c));
        } else {
            // Left out and reported once; a surrogate pair is one character.
            const qsizetype n = QChar::isHighSurrogate(c) && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
            const QStringView bad = text.sliced(i, n);
            if (!e.unmappable.contains(bad))
                e.unmappable += bad;
            i += n - 1;
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

namespace {

// In a run of lead-range bytes that starts on a character boundary every
// character is two bytes: the boundaries are the even offsets. Looks for
// `needle` at those offsets from `at` (a boundary inside the run) on, up
// to where the run ends. Returns the match, or -1 with `next` set to the
// first boundary after the run. Pairs are examined a block at a time
// without early exits so that the compiler can vectorise the loop.
qsizetype searchLeadRun(const unsigned char *data, size_t n, size_t at, QByteArrayView needle, size_t &next)
{
    const auto n0 = static_cast<unsigned char>(needle[0]);
    const auto n1 = needle.size() > 1 ? static_cast<unsigned char>(needle[1]) : 0;
    const bool single = needle.size() == 1;
    const size_t len = static_cast<size_t>(needle.size());
    constexpr size_t kBlock = 32; // pairs
    size_t p = at;
    for (;;) {
        if (p + 2 * kBlock <= n) {
            unsigned stop = 0;
            for (size_t k = 0; k < 2 * kBlock; k += 2) {
                const unsigned char a = data[p + k], b = data[p + k + 1];
                stop |= unsigned(!isLeadByte(a)) | unsigned(!isLeadByte(b)) | unsigned(a == n0 && (single || b == n1));
            }
            if (!stop) {
                p += 2 * kBlock;
                continue;
            }
        }
        // Somewhere in this block the run ends or the needle's start shows.
        const size_t limit = std::min(n, p + 2 * kBlock);
        for (; p < limit; p += 2) {
            if (!isLeadByte(data[p])) {
                next = p; // the run ended on a boundary
                return -1;
            }
            if (data[p] == n0 && p + len <= n && std::memcmp(data + p, needle.data(), len) == 0)
                return static_cast<qsizetype>(p);
            if (p + 1 < n && !isLeadByte(data[p + 1])) {
                next = p + 2; // the run ended on this character's second byte
                return -1;
            }
        }
        if (p >= n) {
            next = n;
            return -1;
        }
    }
}

} // namespace

qsizetype indexOf(QByteArrayView haystack, QByteArrayView needle, qsizetype from)
{
    if (from < 0)
        from = 0;
    if (needle.isEmpty())
        return from <= haystack.size() ? from : -1;
    const auto *data = reinterpret_cast<const unsigned char *>(haystack.data());
    const size_t n = static_cast<size_t>(haystack.size());
    const size_t len = static_cast<size_t>(needle.size());
    size_t pos = static_cast<size_t>(from);
    // A position known to start a character; every byte after a byte
    // outside the lead range starts one too.
    size_t known = 0;
    // Candidates come from the C library's search; one is accepted only on
    // a character boundary. Between a boundary and a candidate, a run of
    // lead-range bytes of even length means the candidate starts a
    // character. A candidate found inside such a run hands the rest of the
    // run to the pairwise search, so that nothing is looked at twice: the
    // search stays linear however long the run.
    while (pos + len <= n) {
        const void *hit = ::memmem(data + pos, n - pos, needle.data(), len);
        if (!hit)
            return -1;
        const size_t at = static_cast<size_t>(static_cast<const unsigned char *>(hit) - data);
        size_t boundary = at;
        while (boundary > known && isLeadByte(data[boundary - 1]))
            --boundary;
        if ((at - boundary) % 2 == 0)
            return static_cast<qsizetype>(at);
        // `at` is the second byte of a character: the pairs from the one
        // after it on are characters for as long as the run lasts.
        size_t next = n;
        const qsizetype found = searchLeadRun(data, n, at + 1, needle, next);
        if (found >= 0)
            return found;
        pos = known = next;
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
