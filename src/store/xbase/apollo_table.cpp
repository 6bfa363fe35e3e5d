// SPDX-License-Identifier: GPL-3.0-or-later
// The table object: opening and closing, creation, fields and editing.
// Navigation is in apollo_table_nav.cpp, index work in
// apollo_table_index.cpp.
#include "store/xbase/apollo_table.h"

#include "store/xbase/cdx_index.h"
#include "store/xbase/dbf_file.h"
#include "store/xbase/expression.h"
#include "store/xbase/memo_file.h"

#include "platform/cp949.h"
#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

namespace verbana::xbase {

struct TApolloTable::Creation {
    QString path;
    int driver = 2;
    std::vector<dbf::Field> fields;
};

TApolloEnv &TApolloEnv::instance()
{
    static TApolloEnv env;
    return env;
}

TApolloTable::TApolloTable(QObject *parent) : QObject(parent), fs_(&FileSystem::posix())
{
    qRegisterMetaType<TableNotification>();
}

TApolloTable::~TApolloTable() = default;

void TApolloTable::setFileSystem(FileSystem *fs) { fs_ = fs ? fs : &FileSystem::posix(); }

const std::vector<dbf::Field> &TApolloTable::fields() const
{
    requireActive();
    return dbf_->fields();
}

QString TApolloTable::tablePath() const
{
    QString name = TableName;
    if (QFileInfo(name).suffix().isEmpty())
        name += QStringLiteral(".DBF");
    if (QDir::isAbsolutePath(name) || DatabaseName.isEmpty())
        return paths::resolveFull(name);
    return paths::resolve(DatabaseName, name);
}

QString TApolloTable::indexPath() const
{
    const QString table = dbf_ ? dbf_->path() : tablePath();
    QFileInfo info(table);
    return paths::resolve(info.path(), info.completeBaseName() + QStringLiteral(".cdx"));
}

QString TApolloTable::memoPath() const
{
    const QString table = dbf_ ? dbf_->path() : tablePath();
    QFileInfo info(table);
    QString ext;
    switch (dbf_ ? dbf_->header().memoKind() : dbf::MemoKind::None) {
    case dbf::MemoKind::Fpt: ext = QStringLiteral(".fpt"); break;
    case dbf::MemoKind::Dbt: ext = QStringLiteral(".dbt"); break;
    case dbf::MemoKind::Smt: ext = QStringLiteral(".smt"); break;
    case dbf::MemoKind::None:
        switch (TableType) {
        case ttSXNTX: ext = QStringLiteral(".dbt"); break;
        case ttSXNSX: ext = QStringLiteral(".smt"); break;
        case ttSXFOX: ext = QStringLiteral(".fpt"); break;
        }
    }
    return paths::resolve(info.path(), info.completeBaseName() + ext);
}

bool TApolloTable::Active() const { return dbf_ != nullptr; }

void TApolloTable::SetActive(bool on)
{
    if (on)
        Open();
    else
        Close();
}

void TApolloTable::requireActive() const
{
    if (!dbf_)
        throw EApolloError(QStringLiteral("Table is not open"), QString(), StatusKind::InvalidArgument);
}

void TApolloTable::requireBrowse(const char *what) const
{
    requireActive();
    if (state_ != TableState::Browse)
        throw EApolloError(QStringLiteral("Table is not in browse mode: %1").arg(QLatin1String(what)), QString(),
                           StatusKind::InvalidArgument);
}

void TApolloTable::requireWritable() const
{
    requireActive();
    if (ReadOnly)
        throw EApolloError(texts::readOnly(), tablePath(), StatusKind::ReadOnly);
}

void TApolloTable::raise(const Status &s, const QString &text) const
{
    QString message = text;
    if (message.isEmpty()) {
        switch (s.kind()) {
        case StatusKind::ReadOnly: message = texts::readOnly(); break;
        case StatusKind::Locked: message = texts::lockFailure(); break;
        case StatusKind::NotExclusive: message = texts::needsExclusive(); break;
        default: message = s.message(); break;
        }
    }
    throw EApolloError(message, s.message(), s.kind());
}

void TApolloTable::announce(TableEvent e, int field)
{
    const TableNotification n{e, field};
    int bit = 0;
    while ((1u << bit) != unsigned(e))
        ++bit;
    if (detached_[bit] == 0)
        Q_EMIT notified(n);
    if (freeze_ == 0)
        Q_EMIT dataChanged(n);
}

void TApolloTable::DetachHandlers(unsigned mask)
{
    for (int bit = 0; bit < 7; ++bit)
        if (mask & (1u << bit))
            ++detached_[bit];
}

void TApolloTable::AttachHandlers(unsigned mask)
{
    for (int bit = 0; bit < 7; ++bit)
        if ((mask & (1u << bit)) && detached_[bit] > 0)
            --detached_[bit];
}

void TApolloTable::DisableControls() { ++freeze_; }

void TApolloTable::EnableControls()
{
    if (freeze_ > 0 && --freeze_ == 0)
        Q_EMIT controlsThawed();
}

void TApolloTable::Open()
{
    if (dbf_)
        return;
    const QString path = tablePath();
    if (!fs_->exists(path))
        throw EApolloError(texts::tableMissing(path), QString(), StatusKind::NotFound);
    auto opened = DbfFile::open(*fs_, path, Exclusive, ReadOnly);
    if (!opened) {
        const Status &s = opened.status();
        throw EApolloError(texts::unableToOpen(path), s.message(), s.kind());
    }
    dbf_ = std::move(opened.value());
    hideDeleted_ = TApolloEnv::instance().Deleted;
    tailKeptAs_.clear();
    batchBase_ = 0;
    try {
        // A header left behind the file (a program killed between writing
        // a record and the header) is brought up to date.
        if (!ReadOnly)
            check(dbf_->mendHeaderCount(), texts::unableToOpen(path));
        openMemo();
        openIndex();
    } catch (...) {
        closeFiles();
        throw;
    }
    state_ = TableState::Browse;
    query_.reset();
    marks_.clear();
    marksActive_ = false;
    order_ = 0;
    GoTop();
}

void TApolloTable::openMemo()
{
    const dbf::Header &h = dbf_->header();
    const dbf::MemoKind kind = h.memoKind();
    if (kind == dbf::MemoKind::None)
        return;
    const QString path = memoPath();
    if (!fs_->exists(path)) {
        // Visual FoxPro says by a flag whether a memo exists; the others by
        // their first byte, and then the memo file must be there.
        throw EApolloError(texts::memoMissing(path), QString(), StatusKind::NotFound);
    }
    auto file = fs_->open(path, OpenMode::ReadOnly);
    if (!file)
        raise(file.status(), texts::unableToOpen(path));
    auto memo = MemoFile::open(std::move(file.value()), kind, h.version == 0x8B);
    if (!memo)
        raise(memo.status(), texts::unableToOpen(path));
    memo_ = std::move(memo.value());
}

void TApolloTable::closeFiles()
{
    cursor_.reset();
    cdx_.reset();
    cdxFile_.reset();
    memo_.reset();
    dbf_.reset();
}

void TApolloTable::Close()
{
    if (!dbf_)
        return;
    if (batchBase_) {
        try {
            RollbackAppendBatch();
        } catch (const EApolloError &) {
            // What is left is counted in RecordsLeftByBatch().
        }
    }
    if (state_ == TableState::Editing)
        (void)dbf_->unlockRecord(recno_);
    state_ = TableState::Browse;
    if (cdx_)
        (void)cdx_->flush();
    closeFiles();
    query_.reset();
    marks_.clear();
    marksActive_ = false;
    order_ = 0;
    recno_ = 0;
    bof_ = eof_ = true;
    buffer_.clear();
}

int TApolloTable::CreateNew(const QString &path, int driver, int fieldCount)
{
    creation_ = std::make_unique<Creation>();
    creation_->path = path;
    creation_->driver = driver;
    creation_->fields.reserve(size_t(std::max(0, fieldCount)));
    return 1;
}

int TApolloTable::CreateField(const QByteArray &name, const QByteArray &type, int width, int decimals)
{
    if (!creation_ || name.isEmpty() || name.size() > 10 || type.size() != 1 || width < 1 || width > 65535)
        return 0;
    dbf::Field f;
    f.name = name;
    f.type = char(std::toupper(uchar(type[0])));
    if (f.type != 'C')
        return 0; // the tables this program creates hold character fields only
    f.length = width;
    f.decimals = decimals;
    creation_->fields.push_back(f);
    return 1;
}

int TApolloTable::CreateExec()
{
    if (!creation_ || creation_->fields.empty())
        return 0;
    std::unique_ptr<Creation> c = std::move(creation_);
    QString path = c->path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".DBF");
    return DbfFile::create(*fs_, path, std::move(c->fields)).isOk() ? 1 : 0;
}

int TApolloTable::FieldCount() const
{
    requireActive();
    return int(dbf_->fields().size());
}

QByteArray TApolloTable::FieldName(int number) const
{
    requireActive();
    if (number < 1 || number > FieldCount())
        return {};
    return dbf_->fields()[size_t(number - 1)].name;
}

int TApolloTable::FieldPos(const QByteArray &name) const
{
    requireActive();
    const QByteArray wanted = cp949::upperAscii(name);
    const auto &fields = dbf_->fields();
    for (size_t i = 0; i < fields.size(); ++i)
        if (cp949::upperAscii(fields[i].name) == wanted)
            return int(i + 1);
    return 0;
}

QByteArray TApolloTable::FieldType(const QByteArray &name) const
{
    const int pos = FieldPos(name);
    return pos ? QByteArray(1, dbf_->fields()[size_t(pos - 1)].type) : QByteArray();
}

int TApolloTable::FieldWidth(int number) const
{
    requireActive();
    if (number < 1 || number > FieldCount())
        return 0;
    return dbf_->fields()[size_t(number - 1)].length;
}

QByteArray TApolloTable::GetString(int number) const
{
    requireActive();
    const auto &fields = dbf_->fields();
    if (number < 1 || size_t(number) > fields.size() || buffer_.isEmpty())
        return {};
    const dbf::Field &f = fields[size_t(number - 1)];
    if (f.type == 'M')
        return GetMemo(f.name);
    QByteArray v = cp949::trimRight(QByteArrayView(buffer_).sliced(f.offset, f.length));
    if (f.type == 'N' || f.type == 'F') {
        qsizetype i = 0;
        while (i < v.size() && v[i] == ' ')
            ++i;
        v.remove(0, i);
    }
    return v;
}

QByteArray TApolloTable::GetString(const QByteArray &name) const
{
    const int pos = FieldPos(name);
    if (!pos)
        throw EApolloError(QStringLiteral("Field not found: %1").arg(QString::fromLatin1(name)), QString(),
                           StatusKind::NotFound);
    return GetString(pos);
}

QByteArray TApolloTable::GetMemo(const QByteArray &name) const
{
    const int pos = FieldPos(name);
    if (!pos || buffer_.isEmpty())
        return {};
    const dbf::Field &f = dbf_->fields()[size_t(pos - 1)];
    if (f.type != 'M' && f.type != 'B' && f.type != 'G')
        return GetString(pos);
    if (!memo_)
        return {};
    auto value = memo_->read(QByteArrayView(buffer_).sliced(f.offset, f.length));
    if (!value)
        raise(value.status());
    return value.value();
}

void TApolloTable::PutString(int number, const QByteArray &value)
{
    requireActive();
    if (state_ == TableState::Browse)
        throw EApolloError(QStringLiteral("Table is not in edit mode"), QString(), StatusKind::InvalidArgument);
    if (number < 1 || number > FieldCount())
        throw EApolloError(QStringLiteral("Field number %1 does not exist").arg(number), QString(), StatusKind::NotFound);
    const dbf::Field &f = dbf_->fields()[size_t(number - 1)];
    if (f.type != 'C')
        throw EApolloError(QStringLiteral("Field %1 is not a character field").arg(QString::fromLatin1(f.name)),
                           QString(), StatusKind::InvalidArgument);
    if (value.size() > f.length)
        throw EApolloError(QStringLiteral("Value too long for field %1 (%2 bytes, at most %3)")
                               .arg(QString::fromLatin1(f.name)).arg(value.size()).arg(f.length),
                           QString(), StatusKind::InvalidArgument);
    char *dst = buffer_.data() + f.offset;
    std::memcpy(dst, value.constData(), size_t(value.size()));
    std::memset(dst + value.size(), ' ', size_t(f.length - value.size()));
    announce(TableEvent::AfterEdit, number);
}

void TApolloTable::PutString(const QByteArray &name, const QByteArray &value)
{
    const int pos = FieldPos(name);
    if (!pos)
        throw EApolloError(QStringLiteral("Field not found: %1").arg(QString::fromLatin1(name)), QString(),
                           StatusKind::NotFound);
    PutString(pos, value);
}

QString TApolloTable::tailKeptAs() const
{
    return tailKeptAs_.isEmpty() && dbf_ ? dbf_->tailKeptAs() : tailKeptAs_;
}

std::optional<QByteArray> TApolloTable::TagKeyValue(int order) const
{
    requireActive();
    if (order < 1 || order > int(tagDefs_.size()) || !tagDefs_[size_t(order - 1)].usable || buffer_.isEmpty())
        return std::nullopt;
    return keyOf(order, buffer_);
}

QStringList TApolloTable::structuralFaults()
{
    requireActive();
    auto faults = dbf_->structuralFaults();
    if (!faults)
        raise(faults.status());
    return *faults;
}

TableFit TApolloTable::fit()
{
    requireActive();
    auto f = dbf_->fit();
    if (!f)
        raise(f.status());
    return *f;
}

void TApolloTable::requireSoundStructure()
{
    const QStringList faults = structuralFaults();
    if (!faults.isEmpty())
        throw EApolloError(texts::damaged(faults.first()), faults.join(QStringLiteral("; ")), StatusKind::Corruption);
}

bool TApolloTable::Deleted() const { return !buffer_.isEmpty() && buffer_[0] == dbf::kDeleted; }

void TApolloTable::Append()
{
    requireBrowse("append");
    requireWritable();
    savedRecno_ = recno_;
    savedBof_ = bof_;
    savedEof_ = eof_;
    saved_ = buffer_;
    buffer_ = QByteArray(dbf_->recordLength(), ' ');
    state_ = TableState::Inserting;
    recno_ = dbf_->recordCount() + 1;
    bof_ = eof_ = false;
    announce(TableEvent::AfterInsert);
    announce(TableEvent::AfterScroll);
}

void TApolloTable::Edit()
{
    requireActive();
    if (state_ != TableState::Browse)
        return;
    requireWritable();
    if (recno_ == 0)
        throw EApolloError(QStringLiteral("No record to edit"), QString(), StatusKind::InvalidArgument);
    check(dbf_->lockRecord(recno_), texts::lockFailure());
    Status s = dbf_->readRecord(recno_, buffer_);
    if (!s) {
        (void)dbf_->unlockRecord(recno_);
        raise(s);
    }
    saved_ = buffer_;
    state_ = TableState::Editing;
    announce(TableEvent::AfterEdit);
}

void TApolloTable::Cancel()
{
    requireActive();
    if (state_ == TableState::Browse)
        return;
    const TableState was = state_;
    state_ = TableState::Browse;
    if (was == TableState::Inserting) {
        recno_ = savedRecno_;
        bof_ = savedBof_;
        eof_ = savedEof_;
        buffer_ = saved_;
        if (recno_ != 0)
            (void)dbf_->readRecord(recno_, buffer_);
        cursorRecno_ = 0;
    } else {
        buffer_ = saved_;
        (void)dbf_->unlockRecord(recno_);
    }
    announce(TableEvent::AfterCancel);
    if (was == TableState::Inserting)
        announce(TableEvent::AfterScroll);
}

} // namespace verbana::xbase
