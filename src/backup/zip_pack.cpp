// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a collection into a ZIP archive.
#include "backup/zip_archive.h"
#include "backup/zip_progress.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

namespace verbana::backup {

namespace {

// What one run has packed so far, for the two percentages.
struct PackRun {
    explicit PackRun(const ZipProgress &progress) : throttle(progress) {}
    ProgressThrottle throttle;
    qint64 total = 0;
    qint64 done = 0;

    void report(qint64 fileDone, qint64 fileSize)
    {
        throttle.report(fileSize > 0 ? int(fileDone * 100 / fileSize) : 100, total > 0 ? int(done * 100 / total) : 100);
    }
};

// A libzip source over one file that counts what the library reads.
struct FileSource {
    PackRun *run;
    QString path;
    qint64 size;
    time_t mtime;
    int fd = -1; // read bare: a QFile would stat each of thousands of files once more
    qint64 done = 0;
    zip_error_t error;

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *s = static_cast<FileSource *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN:
            s->fd = ::open(QFile::encodeName(s->path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
            if (s->fd < 0) {
                zip_error_set(&s->error, ZIP_ER_OPEN, errno);
                return -1;
            }
            s->done = 0;
            s->run->report(0, s->size);
            return 0;
        case ZIP_SOURCE_READ: {
            ssize_t n;
            do
                n = ::read(s->fd, data, size_t(length));
            while (n < 0 && errno == EINTR);
            if (n < 0) {
                zip_error_set(&s->error, ZIP_ER_READ, errno);
                return -1;
            }
            s->done += n;
            s->run->done += n;
            s->run->report(s->done, s->size);
            return n;
        }
        case ZIP_SOURCE_CLOSE:
            ::close(s->fd);
            s->fd = -1;
            return 0;
        case ZIP_SOURCE_STAT: {
            auto *st = static_cast<zip_stat_t *>(data);
            zip_stat_init(st);
            st->mtime = s->mtime;
            st->size = zip_uint64_t(s->size);
            st->valid = ZIP_STAT_MTIME | ZIP_STAT_SIZE;
            return sizeof(*st);
        }
        case ZIP_SOURCE_ERROR:
            return zip_error_to_data(&s->error, data, length);
        case ZIP_SOURCE_FREE:
            if (s->fd >= 0)
                ::close(s->fd);
            zip_error_fini(&s->error);
            delete s;
            return 0;
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                                  ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
        default:
            zip_error_set(&s->error, ZIP_ER_OPNOTSUPP, 0);
            return -1;
        }
    }
};

QString libraryMessage(zip_t *archive)
{
    return QString::fromLocal8Bit(zip_strerror(archive));
}

} // namespace

QString packCollection(const QString &collectionFolder, const QString &archive, const ZipProgress &progress)
{
    const QFileInfo folderInfo(collectionFolder);
    const QString root = folderInfo.fileName().normalized(QString::NormalizationForm_C);
    const QString base = folderInfo.absoluteFilePath();

    // Files of the folder itself first, then each sub-folder's; links are
    // neither followed nor stored.
    struct Item {
        QString relative;
        QFileInfo info;
    };
    std::vector<Item> items;
    QStringList emptyFolders;
    const QString self = QFileInfo(archive).absoluteFilePath();
    QDirIterator it(base, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const QString relative = info.absoluteFilePath().mid(base.size() + 1);
        if (info.isDir()) {
            if (QDir(info.absoluteFilePath()).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden))
                emptyFolders << relative;
        } else if (info.isFile() && info.absoluteFilePath() != self) {
            items.push_back({relative, info});
        }
    }
    std::sort(items.begin(), items.end(), [](const Item &a, const Item &b) {
        const qsizetype da = a.relative.count(QLatin1Char('/')), db = b.relative.count(QLatin1Char('/'));
        return da != db ? da < db : a.relative < b.relative;
    });
    emptyFolders.sort();

    // The library makes and frees a deflate state of some 270 KiB for
    // every file. With glibc's sliding thresholds that block lands either
    // on fresh mapped pages or at the top of the heap, given back and taken
    // again each time: three times the whole run's work for thousands of
    // small files. Fixed thresholds keep it in the heap for good.
    ::mallopt(M_MMAP_THRESHOLD, 4 << 20);
    ::mallopt(M_TRIM_THRESHOLD, 32 << 20);

    PackRun run(progress);
    for (const Item &item : items)
        run.total += item.info.size();

    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return text;
    }
    auto fail = [&] {
        const QString text = libraryMessage(za);
        zip_discard(za);
        return text;
    };
    for (const Item &item : items) {
        auto *state = new FileSource{&run, item.info.absoluteFilePath(), item.info.size(),
                                     time_t(item.info.lastModified().toSecsSinceEpoch()), -1, 0, {}};
        zip_error_init(&state->error);
        zip_source_t *source = zip_source_function(za, &FileSource::callback, state);
        if (!source) {
            zip_error_fini(&state->error);
            delete state;
            return fail();
        }
        const QByteArray name = (root + QLatin1Char('/') + item.relative).normalized(QString::NormalizationForm_C).toUtf8();
        const zip_int64_t index = zip_file_add(za, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        if (index < 0) {
            zip_source_free(source);
            return fail();
        }
        if (zip_set_file_compression(za, zip_uint64_t(index), ZIP_CM_DEFLATE, 1) < 0)
            return fail();
    }
    for (const QString &folder : emptyFolders) {
        const QByteArray name = (root + QLatin1Char('/') + folder).normalized(QString::NormalizationForm_C).toUtf8();
        if (zip_dir_add(za, name.constData(), ZIP_FL_ENC_UTF_8) < 0)
            return fail();
    }
    if (zip_close(za) < 0)
        return fail();
    if (progress)
        progress(100, 100);
    return QString();
}

} // namespace verbana::backup
