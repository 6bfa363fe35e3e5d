// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a collection into a ZIP archive.
#include "backup/zip_archive.h"
#include "backup/zip_run.h"

#include "platform/file.h"
#include "platform/folder_walk.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>

#include <zip.h>

#include <algorithm>
#include <malloc.h>

namespace verbana::backup {

namespace {

// A libzip source over one file of the collection, read through the file
// seam, that counts what the library reads.
struct FileSource {
    ZipRun *run;
    QString path;
    QString label;
    uint64_t size;
    time_t mtime;
    std::unique_ptr<files::File> file;
    uint64_t done = 0;
    zip_error_t error;

    static zip_int64_t callback(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
    {
        auto *s = static_cast<FileSource *>(state);
        switch (command) {
        case ZIP_SOURCE_OPEN: {
            auto opened = files::FileSystem::posix().open(s->path, files::OpenMode::ReadStored);
            if (!opened) {
                zip_error_set(&s->error, opened.status().kind() == files::StatusKind::NotFound ? ZIP_ER_NOENT : ZIP_ER_OPEN, 0);
                return -1;
            }
            s->file = std::move(opened.value());
            s->done = 0;
            s->run->beginFile(s->label, s->size);
            return 0;
        }
        case ZIP_SOURCE_READ: {
            if (s->run->stopped()) {
                zip_error_set(&s->error, ZIP_ER_CANCELLED, 0);
                return -1;
            }
            size_t got = 0;
            if (!s->file->readAt(s->done, std::span<char>(static_cast<char *>(data), size_t(length)), &got).isOk()) {
                zip_error_set(&s->error, ZIP_ER_READ, 0);
                return -1;
            }
            s->done += got;
            s->run->moved(got, s->done);
            return zip_int64_t(got);
        }
        case ZIP_SOURCE_CLOSE:
            s->file.reset();
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

} // namespace

Outcome<void> packCollection(const QString &collectionFolder, const QString &archive, Progress *progress)
{
    // "설교/" and "설교/." name the folder 설교 too: its name is the root.
    const QFileInfo folderInfo(QDir::cleanPath(QFileInfo(collectionFolder).absoluteFilePath()));
    const QString root = folderInfo.fileName().normalized(QString::NormalizationForm_C);
    const QString base = folderInfo.absoluteFilePath();

    // Files of the folder itself first, then each sub-folder's; links are
    // neither followed nor stored.
    std::vector<files::WalkEntry> items;
    QStringList emptyFolders;
    const QString self = QFileInfo(archive).absoluteFilePath();
    (void)files::walkFolder(base, files::WalkOrder::FilesFirst, [&](const files::WalkEntry &e) {
        if (e.folder && e.empty)
            emptyFolders << e.relative;
        else if (!e.folder && e.path != self)
            items.push_back(e);
        return true;
    });
    std::sort(items.begin(), items.end(), [](const files::WalkEntry &a, const files::WalkEntry &b) {
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

    ZipRun run(progress);
    uint64_t total = 0;
    for (const files::WalkEntry &item : items)
        total += uint64_t(item.size);
    run.start(total);

    int code = 0;
    zip_t *za = zip_open(QFile::encodeName(archive).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!za) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        return Outcome<void>::failure(Fault::Io, text);
    }
    auto fail = [&] {
        const QString text = QString::fromLocal8Bit(zip_strerror(za));
        zip_discard(za);
        if (run.stopped())
            return Outcome<void>::failure(Fault::Stopped, text);
        return Outcome<void>::failure(Fault::Io, text);
    };
    for (const files::WalkEntry &item : items) {
        const QString name = (root + QLatin1Char('/') + item.relative).normalized(QString::NormalizationForm_C);
        auto *state = new FileSource{&run, item.path, name, uint64_t(item.size), time_t(item.modified), {}, 0, {}};
        zip_error_init(&state->error);
        zip_source_t *source = zip_source_function(za, &FileSource::callback, state);
        if (!source) {
            zip_error_fini(&state->error);
            delete state;
            return fail();
        }
        const QByteArray utf8 = name.toUtf8();
        const zip_int64_t index = zip_file_add(za, utf8.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
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
    run.finish();
    return {};
}

} // namespace verbana::backup
