// SPDX-License-Identifier: GPL-3.0-or-later
#include "hwp/hwpx.h"

#include "hwp/inflate.h"

#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace verbana::hwp {
namespace {

constexpr qsizetype kChunk = 64 * 1024;
constexpr zip_uint64_t kMaxMimeType = 64;

QString damagedReason(const QString &why) { return QStringLiteral("damaged HWPX document: %1").arg(why); }

// One XML part read as it inflates, a chunk at a time. Whatever the part
// holds, a document type declaration (and with it every entity
// declaration) is refused before anything refers to it, and elements may
// nest only kMaxHwpxDepth deep. The visitor sees start and end elements
// and text; its start() returns false when it has read enough.
class SafeXml {
public:
    explicit SafeXml(QString part) : part_(std::move(part)) {}

    template <typename Visit>
    bool feed(QByteArrayView bytes, Visit &visit)
    {
        xml_.addData(bytes.toByteArray());
        return pump(visit, false);
    }
    // The part has ended: what is still open is an error.
    template <typename Visit>
    bool finish(Visit &visit)
    {
        return done_ || pump(visit, true);
    }
    bool done() const { return done_; }
    Fault fault() const { return fault_; }
    const QString &reason() const { return reason_; }

private:
    bool fail(Fault fault, const QString &why)
    {
        fault_ = fault;
        reason_ = damagedReason(why);
        return false;
    }

    template <typename Visit>
    bool pump(Visit &visit, bool last)
    {
        while (!done_) {
            switch (xml_.readNext()) {
            case QXmlStreamReader::Invalid:
                if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && !last)
                    return true;
                return fail(Fault::Damaged, QStringLiteral("%1 is not well-formed XML (line %2: %3)")
                                                .arg(part_)
                                                .arg(xml_.lineNumber())
                                                .arg(xml_.errorString()));
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                return fail(Fault::Damaged,
                            QStringLiteral("%1 declares a document type or entities, which are refused").arg(part_));
            case QXmlStreamReader::StartElement:
                if (++depth_ > kMaxHwpxDepth)
                    return fail(Fault::Damaged, QStringLiteral("%1 nests elements deeper than %2 levels")
                                                    .arg(part_)
                                                    .arg(kMaxHwpxDepth));
                if (!visit.start(xml_))
                    done_ = true;
                break;
            case QXmlStreamReader::EndElement:
                --depth_;
                visit.end(xml_);
                break;
            case QXmlStreamReader::Characters:
                visit.text(xml_.text());
                break;
            case QXmlStreamReader::EndDocument:
                done_ = true;
                break;
            default:
                break;
            }
        }
        return true;
    }

    QString part_;
    QXmlStreamReader xml_;
    int depth_ = 0;
    bool done_ = false;
    Fault fault_ = Fault::None;
    QString reason_;
};

bool inParagraphNamespace(const QXmlStreamReader &xml)
{
    const QStringView ns = xml.namespaceUri();
    return ns.startsWith(u"http://www.hancom.co.kr/hwpml/") && ns.endsWith(u"/paragraph");
}

// The text of a section. The lines go out in the order the paragraphs
// open (a paragraph before those inside its objects), but a paragraph's
// line is whole only when it closes, after those inside it. So a line
// closing inside an open paragraph waits, kept with the lines that closed
// next to it in opening order, and the waiting ones go out in order when
// the outermost paragraph closes: every character is copied a fixed
// number of times however deep the nesting. Of the alternatives of a
// switch, the default is read, as by a reader that knows none of the
// cases.
class SectionWalk {
public:
    explicit SectionWalk(QString &out) : out_(out) {}

    bool start(const QXmlStreamReader &xml)
    {
        if (!inParagraphNamespace(xml))
            return true;
        const QStringView name = xml.name();
        if (name == u"case")
            ++inCase_;
        if (inCase_ > 0)
            return true;
        if (name == u"p") {
            open_.push_back({QString(), opened_++});
        } else if (name == u"t") {
            ++inText_;
        } else if (inText_ > 0 && !open_.empty()) {
            QString &text = open_.back().text;
            if (name == u"tab")
                text += u'\t';
            else if (name == u"lineBreak")
                text += u'\n';
            else if (name == u"hyphen")
                text += u'-';
            else if (name == u"nbSpace" || name == u"fwSpace")
                text += u' ';
        }
        return true;
    }

    void end(const QXmlStreamReader &xml)
    {
        if (!inParagraphNamespace(xml))
            return;
        if (xml.name() == u"case")
            --inCase_;
        if (inCase_ > 0 || xml.name() == u"case")
            return;
        if (xml.name() == u"t") {
            --inText_;
        } else if (xml.name() == u"p" && !open_.empty()) {
            const Paragraph done = std::move(open_.back());
            open_.pop_back();
            if (open_.empty() && runs_.empty()) { // the usual paragraph, holding none
                out_ += done.text;
                out_ += u'\n';
                return;
            }
            if (runs_.empty() || runs_.back().first + runs_.back().count != done.number
                || runs_.back().at + runs_.back().size != waiting_.size())
                runs_.push_back({done.number, 0, waiting_.size(), 0});
            waiting_ += done.text;
            waiting_ += u'\n';
            runs_.back().count += 1;
            runs_.back().size = waiting_.size() - runs_.back().at;
            if (open_.empty()) {
                std::sort(runs_.begin(), runs_.end(), [](const Run &a, const Run &b) { return a.first < b.first; });
                for (const Run &run : runs_)
                    out_ += QStringView(waiting_).sliced(run.at, run.size);
                runs_.clear();
                waiting_.clear();
            }
        }
    }

    void text(QStringView chars)
    {
        if (inText_ > 0 && inCase_ == 0 && !open_.empty())
            open_.back().text += chars;
    }

private:
    struct Paragraph {
        QString text;
        quint64 number; // in opening order
    };
    // Lines of paragraphs first, first + 1 ... opened one after another,
    // waiting at `at` in waiting_.
    struct Run {
        quint64 first;
        quint64 count;
        qsizetype at;
        qsizetype size;
    };
    QString &out_;
    std::vector<Paragraph> open_;
    quint64 opened_ = 0;
    QString waiting_;
    std::vector<Run> runs_;
    int inText_ = 0;
    int inCase_ = 0;
};

// The first title of the metadata.
class TitleWalk {
public:
    bool start(const QXmlStreamReader &xml)
    {
        if (xml.name() == u"metadata")
            ++inMetadata_;
        else if (xml.name() == u"title" && inMetadata_ > 0)
            inTitle_ = true;
        return !found_;
    }
    void end(const QXmlStreamReader &xml)
    {
        if (xml.name() == u"metadata")
            --inMetadata_;
        else if (xml.name() == u"title" && inTitle_) {
            found_ = true;
            inTitle_ = false;
        }
    }
    void text(QStringView chars)
    {
        if (inTitle_ && !found_)
            title += chars;
    }
    QString title;

private:
    int inMetadata_ = 0;
    bool inTitle_ = false;
    bool found_ = false;
};

// Sees whether the manifest says that the parts are encrypted.
class EncryptionWalk {
public:
    bool start(const QXmlStreamReader &xml)
    {
        if (xml.name() == u"encryption-data")
            encrypted = true;
        return !encrypted;
    }
    void end(const QXmlStreamReader &) {}
    void text(QStringView) {}
    bool encrypted = false;
};

struct ArchiveCloser {
    void operator()(zip_t *za) const { zip_discard(za); }
};
struct EntryCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

// The package over the file's bytes. Every part read is counted against
// one budget, and no part may give more bytes than its directory entry
// declares.
class Package {
public:
    static Result<std::unique_ptr<Package>> open(QByteArrayView file)
    {
        using R = Result<std::unique_ptr<Package>>;
        zip_error_t error;
        zip_error_init(&error);
        zip_source_t *source = zip_source_buffer_create(file.data(), zip_uint64_t(file.size()), 0, &error);
        zip_t *za = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
        if (!za) {
            const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
            if (source)
                zip_source_free(source);
            zip_error_fini(&error);
            return R::failure(Fault::Damaged,
                              damagedReason(QStringLiteral("the package cannot be opened: %1").arg(why)));
        }
        zip_error_fini(&error);
        auto package = std::unique_ptr<Package>(new Package(za));
        if (auto checked = package->checkMimeType(); !checked.ok())
            return R::failure(checked);
        if (auto checked = package->checkNotEncrypted(); !checked.ok())
            return R::failure(checked);
        return R(std::move(package));
    }

    // The index of the entry called `name`, or -1.
    zip_int64_t find(const char *name) const { return zip_name_locate(za_.get(), name, 0); }

    // The section parts, by their number.
    std::vector<std::pair<QString, zip_uint64_t>> sections() const
    {
        std::vector<std::tuple<int, zip_uint64_t, QString>> found;
        const zip_int64_t count = zip_get_num_entries(za_.get(), 0);
        for (zip_int64_t i = 0; i < count; ++i) {
            const char *raw = zip_get_name(za_.get(), zip_uint64_t(i), ZIP_FL_ENC_RAW);
            const QLatin1StringView name(raw ? raw : "");
            const QLatin1StringView prefix("Contents/section"), suffix(".xml");
            if (name.size() <= prefix.size() + suffix.size() || name.size() > prefix.size() + suffix.size() + 6
                || !name.startsWith(prefix) || !name.endsWith(suffix))
                continue;
            const QLatin1StringView digits = name.sliced(prefix.size(), name.size() - prefix.size() - suffix.size());
            if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
                continue;
            found.emplace_back(QString(digits).toInt(), zip_uint64_t(i), QString(name));
        }
        std::sort(found.begin(), found.end());
        std::vector<std::pair<QString, zip_uint64_t>> out;
        for (auto &[number, index, name] : found)
            out.emplace_back(std::move(name), index);
        return out;
    }

    // Hands the entry's bytes to `sink` a chunk at a time, until the entry
    // ends or `sink` returns false.
    template <typename Sink>
    Result<bool> read(zip_uint64_t index, const QString &name, Sink &&sink)
    {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(za_.get(), index, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
            return damaged(QStringLiteral("%1 cannot be read").arg(name));
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            return protectedDocument();
        if (st.size > zip_uint64_t(budget_))
            return Result<bool>::failure(
                Fault::TooLarge,
                QStringLiteral("the package unpacks to more than %1 MB (at %2)").arg(kMaxInflated >> 20).arg(name));
        std::unique_ptr<zip_file_t, EntryCloser> entry(zip_fopen_index(za_.get(), index, 0));
        if (!entry)
            return damaged(
                QStringLiteral("%1 cannot be read: %2").arg(name, QString::fromLocal8Bit(zip_strerror(za_.get()))));
        QByteArray chunk(kChunk, Qt::Uninitialized);
        zip_uint64_t total = 0;
        for (;;) {
            const zip_int64_t n = zip_fread(entry.get(), chunk.data(), zip_uint64_t(chunk.size()));
            if (n < 0)
                return damaged(QStringLiteral("%1 cannot be read: %2")
                                   .arg(name, QString::fromLocal8Bit(zip_file_strerror(entry.get()))));
            if (n == 0)
                break;
            total += zip_uint64_t(n);
            if (total > st.size)
                return damaged(QStringLiteral("%1 inflates past its declared size").arg(name));
            budget_ -= qsizetype(n);
            if (!sink(QByteArrayView(chunk.constData(), qsizetype(n))))
                return false;
        }
        if (total != st.size)
            return damaged(QStringLiteral("%1 ends before its declared size").arg(name));
        return true;
    }

    // Reads a whole XML part through `visit`.
    template <typename Visit>
    Result<bool> readXml(zip_uint64_t index, const QString &name, Visit &visit)
    {
        SafeXml xml(name);
        bool refused = false;
        auto got = read(index, name, [&](QByteArrayView bytes) {
            refused = !xml.feed(bytes, visit);
            return !refused && !xml.done();
        });
        if (!refused && !got.ok())
            return got;
        if (refused || !xml.finish(visit))
            return Result<bool>::failure(xml.fault(), xml.reason());
        return true;
    }

private:
    explicit Package(zip_t *za) : za_(za) {}

    static Result<bool> damaged(const QString &why)
    {
        return Result<bool>::failure(Fault::Damaged, damagedReason(why));
    }
    static Result<bool> protectedDocument()
    {
        return Result<bool>::failure(Fault::Protected, QStringLiteral("the document is protected by a password"));
    }

    Result<bool> checkMimeType()
    {
        const zip_int64_t at = find("mimetype");
        if (at < 0)
            return Result<bool>::failure(
                Fault::WrongKind, QStringLiteral("a ZIP package, but not an HWPX document (it has no mimetype)"));
        zip_stat_t st;
        zip_stat_init(&st);
        QByteArray type;
        if (zip_stat_index(za_.get(), zip_uint64_t(at), 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)
            && st.size <= kMaxMimeType) {
            auto got = read(zip_uint64_t(at), QStringLiteral("mimetype"), [&](QByteArrayView bytes) {
                type += bytes;
                return true;
            });
            if (!got.ok())
                return got;
        } else {
            type = "(too long)";
        }
        if (type.trimmed() != QByteArrayView(kHwpxMimeType.data(), kHwpxMimeType.size()))
            return Result<bool>::failure(
                Fault::WrongKind, QStringLiteral("a ZIP package, but not an HWPX document (its mimetype is \"%1\")")
                                      .arg(QString::fromLatin1(type.trimmed())));
        return true;
    }

    Result<bool> checkNotEncrypted()
    {
        const zip_int64_t at = find("META-INF/manifest.xml");
        if (at < 0)
            return true;
        EncryptionWalk walk;
        auto got = readXml(zip_uint64_t(at), QStringLiteral("META-INF/manifest.xml"), walk);
        if (!got.ok())
            return got;
        return walk.encrypted ? protectedDocument() : Result<bool>(true);
    }

    std::unique_ptr<zip_t, ArchiveCloser> za_;
    qsizetype budget_ = kMaxInflated;
};

} // namespace

Result<bool> appendHwpxSectionText(QByteArrayView xml, QString &out, const QString &part)
{
    SectionWalk walk(out);
    SafeXml reader(part.isEmpty() ? QStringLiteral("the section") : part);
    if (!reader.feed(xml, walk) || !reader.finish(walk))
        return Result<bool>::failure(reader.fault(), reader.reason());
    return true;
}

Result<QString> readHwpxText(QByteArrayView file)
{
    auto package = Package::open(file);
    if (!package.ok())
        return Result<QString>::failure(package);
    Package &p = *package.value();
    const auto sections = p.sections();
    if (sections.empty())
        return Result<QString>::failure(Fault::Damaged,
                                        damagedReason(QStringLiteral("it has no section (Contents/section0.xml)")));
    QString text;
    for (const auto &[name, index] : sections) {
        SectionWalk walk(text);
        auto read = p.readXml(index, name, walk);
        if (!read.ok())
            return Result<QString>::failure(read);
    }
    return text;
}

Result<QString> readHwpxTitle(QByteArrayView file)
{
    auto package = Package::open(file);
    if (!package.ok())
        return Result<QString>::failure(package);
    Package &p = *package.value();
    const zip_int64_t at = p.find("Contents/content.hpf");
    if (at < 0)
        return QString();
    TitleWalk walk;
    auto read = p.readXml(zip_uint64_t(at), QStringLiteral("Contents/content.hpf"), walk);
    if (!read.ok())
        return Result<QString>::failure(read);
    return walk.title.trimmed();
}

} // namespace verbana::hwp
