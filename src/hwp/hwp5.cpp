// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/hwp5.h"

#include "hwp/cursor.h"
#include "hwp/inflate.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace verbana::hwp {
namespace {

constexpr quint32 kTagParaHeader = 66;
constexpr quint32 kTagParaText = 67;

template <typename T>
Result<T> damaged5(const QString &why)
{
    return Result<T>::failure(Fault::Damaged, QStringLiteral("damaged HWP 5 document: %1").arg(why));
}

// Number N of a stream called "SectionN", or -1.
int sectionNumber(const QString &name)
{
    if (!name.startsWith(QLatin1String("Section"), Qt::CaseInsensitive) || name.size() == 7 || name.size() > 13)
        return -1;
    bool ok = false;
    const int n = QStringView(name).sliced(7).toInt(&ok);
    return ok && n >= 0 ? n : -1;
}

// Appends the visible text of a PARA_TEXT record.
void appendParaText(QByteArrayView payload, QString &out)
{
    const qsizetype units = payload.size() / 2;
    for (qsizetype i = 0; i < units; ++i) {
        const char16_t u = le16(payload, 2 * i);
        if (u >= 32) {
            if (QChar::isHighSurrogate(u) && i + 1 < units && QChar::isLowSurrogate(le16(payload, 2 * i + 2))) {
                out.append(QChar(u));
                out.append(QChar(le16(payload, 2 * ++i)));
            } else {
                out.append(QChar::isSurrogate(u) ? QChar(u'?') : QChar(u));
            }
            continue;
        }
        switch (u) {
        case 13: // paragraph end
            return;
        case 10: // line break
            out.append(u'\n');
            break;
        case 24: // hyphen
            out.append(u'-');
            break;
        case 30: // non-breaking space
        case 31: // fixed-width space
            out.append(u' ');
            break;
        case 0: case 25: case 26: case 27: case 28: case 29:
            break; // one-unit controls without text
        case 9: // tab: an eight-unit inline control
            out.append(u'\t');
            i += 7;
            break;
        default: // eight-unit controls: their objects follow as records
            i += 7;
            break;
        }
    }
}

} // namespace

Result<Hwp5Header> readHwp5Header(const CompoundFile &file)
{
    const int at = file.find(CompoundFile::kRoot, u"FileHeader");
    if (at < 0)
        return Result<Hwp5Header>::failure(Fault::WrongKind, QStringLiteral("a compound file, but not an HWP document"));
    auto bytes = file.read(at);
    if (!bytes.ok())
        return Result<Hwp5Header>::failure(bytes);
    const QByteArray &h = bytes.value();
    if (h.size() < 40 || !h.startsWith("HWP Document File"))
        return Result<Hwp5Header>::failure(Fault::WrongKind, QStringLiteral("a compound file, but not an HWP document"));
    Hwp5Header header;
    header.version = le32(h, 32);
    header.flags = le32(h, 36);
    return header;
}

Result<bool> appendSectionText(QByteArrayView records, QString &out, bool padded)
{
    // Every PARA_HEADER, at whatever level, starts an output line; its text
    // is the PARA_TEXT one level below that follows it. Records of the
    // controls a paragraph holds come after it, so nested paragraphs land
    // on the lines after their holder, in document order.
    Cursor in(records);
    bool open = false;
    bool hasText = false;
    quint32 paraLevel = 0;
    while (!in.atEnd()) {
        const qsizetype recordAt = in.pos();
        const quint32 header = in.u32();
        const quint32 tag = header & 0x3FF;
        const quint32 level = (header >> 10) & 0x3FF;
        quint32 size = header >> 20;
        if (size == 0xFFF)
            size = in.u32();
        const QByteArrayView payload = in.take(size);
        if (in.failed() && padded && records.size() - recordAt < 16)
            break; // the cipher's padding after the last record
        if (in.failed())
            return damaged5<bool>(QStringLiteral("a record runs past the end of its section"));
        if (tag == kTagParaHeader) {
            if (open)
                out.append(u'\n');
            open = true;
            hasText = false;
            paraLevel = level;
        } else if (tag == kTagParaText && open && !hasText && level == paraLevel + 1) {
            appendParaText(payload, out);
            hasText = true;
        }
    }
    if (open)
        out.append(u'\n');
    return true;
}

Result<QString> readHwp5Text(const CompoundFile &file)
{
    auto header = readHwp5Header(file);
    if (!header.ok())
        return Result<QString>::failure(header);
    const Hwp5Header &h = header.value();
    if (h.password())
        return Result<QString>::failure(Fault::Protected, QStringLiteral("the document is protected by a password"));
    if (h.drm())
        return Result<QString>::failure(Fault::Protected, QStringLiteral("the document is encrypted (DRM)"));

    const int storage = file.find(CompoundFile::kRoot, h.distribution() ? u"ViewText" : u"BodyText");
    if (storage < 0)
        return damaged5<QString>(h.distribution() ? QStringLiteral("no ViewText storage") : QStringLiteral("no BodyText storage"));
    std::vector<std::pair<int, int>> sections; // number, entry
    for (int child : file.children(storage)) {
        const int n = sectionNumber(file.entry(child).name);
        if (n >= 0 && file.entry(child).type == CompoundFile::Stream)
            sections.emplace_back(n, child);
    }
    if (sections.empty())
        return damaged5<QString>(QStringLiteral("no sections"));
    std::sort(sections.begin(), sections.end());

    // Sections may not share sectors in a sound file, so together they are
    // no larger than the file; and all of them together inflate to no more
    // than one stream may. A directory that lists one large stream many
    // times is refused instead of being read and inflated over and over.
    quint64 rawBudget = static_cast<quint64>(file.fileSize());
    qsizetype inflateBudget = kMaxInflated;
    QString text;
    for (const auto &[number, entry] : sections) {
        if (file.entry(entry).size > rawBudget)
            return damaged5<QString>(QStringLiteral("the sections are larger than the file"));
        rawBudget -= file.entry(entry).size;
        auto raw = file.read(entry);
        if (!raw.ok())
            return Result<QString>::failure(raw);
        QByteArray records = raw.take();
        if (h.distribution()) {
            auto plain = decryptViewSection(records);
            if (!plain.ok())
                return Result<QString>::failure(plain);
            records = plain.take();
        }
        if (h.compressed()) {
            auto inflated = inflateRaw(records, inflateBudget);
            if (!inflated.ok())
                return Result<QString>::failure(inflated.fault(),
                                                QStringLiteral("damaged HWP 5 document: section %1: %2").arg(number).arg(inflated.reason()));
            records = std::move(inflated.value().data);
            inflateBudget -= records.size();
        }
        auto done = appendSectionText(records, text, h.distribution() && !h.compressed());
        if (!done.ok())
            return Result<QString>::failure(done);
    }
    return text;
}

} // namespace verbana::hwp
