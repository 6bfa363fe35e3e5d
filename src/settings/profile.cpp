// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/profile.h"

#include "platform/paths.h"

#include "platform/cp949.h"
#include "platform/user_error.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace verbana::settings {

QString iniPath() { return paths::programFolder() + QStringLiteral("/verbdesk.ini"); }

namespace {

constexpr qsizetype kMaxValue = 2047;
// A list longer than any the settings window writes by hand: a larger count
// (a damaged file, or one made to harm) reads as this many words, so that
// the start of the program neither hangs nor runs out of memory.
constexpr int kMaxListWords = 1000;

QByteArray encode(const QString &s) { return cp949::encodeLossy(s); }

QByteArray fold(QByteArrayView s) { return cp949::upperAscii(s.trimmed()); }

// The file as lines without their line ends.
QList<QByteArray> readLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Section name of a "[name]" line, or nullopt.
std::optional<QByteArray> sectionOf(const QByteArray &line)
{
    const QByteArray t = line.trimmed();
    if (t.size() >= 2 && t.startsWith('[')) {
        const qsizetype close = t.indexOf(']');
        if (close > 0)
            return t.mid(1, close - 1);
    }
    return std::nullopt;
}

struct Found {
    qsizetype sectionLine = -1; // index of the "[section]" line
    qsizetype keyLine = -1; // index of the key's line
    qsizetype lastLine = -1; // last non-blank line of the section
};

Found find(const QList<QByteArray> &lines, const QByteArray &section, const QByteArray &key)
{
    Found r;
    const QByteArray s = fold(section), k = fold(key);
    bool inside = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (auto name = sectionOf(lines[i])) {
            if (inside)
                break; // the section ended
            if (fold(*name) == s) {
                inside = true;
                r.sectionLine = r.lastLine = i;
            }
            continue;
        }
        if (!inside)
            continue;
        if (!lines[i].trimmed().isEmpty())
            r.lastLine = i;
        const qsizetype eq = lines[i].indexOf('=');
        if (eq > 0 && r.keyLine < 0 && fold(lines[i].left(eq)) == k)
            r.keyLine = i;
    }
    return r;
}

QByteArray valueOf(const QByteArray &line) { return cp949::cut(line.mid(line.indexOf('=') + 1).trimmed(), kMaxValue); }

// The values of a section's keys by their folded names, each key as find()
// takes it (the first of its name in the first section of that name).
QHash<QByteArray, QByteArray> sectionValues(const QList<QByteArray> &lines, const QByteArray &section)
{
    QHash<QByteArray, QByteArray> values;
    const QByteArray s = fold(section);
    bool inside = false;
    for (const QByteArray &line : lines) {
        if (auto name = sectionOf(line)) {
            if (inside)
                break;
            inside = fold(*name) == s;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inside || eq <= 0)
            continue;
        const QByteArray key = fold(line.left(eq));
        if (!values.contains(key))
            values.insert(key, valueOf(line));
    }
    return values;
}

int parseInteger(QByteArrayView text, int def)
{
    const QByteArray t = text.trimmed().toByteArray();
    bool ok = false;
    qlonglong v = t.startsWith('$') ? t.mid(1).toLongLong(&ok, 16) : t.toLongLong(&ok, 10);
    if (!ok || v < INT32_MIN || v > qlonglong(UINT32_MAX))
        return def;
    return int(v);
}

// Puts one key into the lines of the file: its line replaced, or a new
// line at the end of its section, or a new section at the end.
void putKey(QList<QByteArray> &lines, const QByteArray &s, const QByteArray &k, const QByteArray &value)
{
    const Found f = find(lines, s, k);
    if (f.keyLine >= 0) {
        const QByteArray &old = lines[f.keyLine];
        lines[f.keyLine] = old.left(old.indexOf('=')).trimmed() + '=' + value;
    } else if (f.sectionLine >= 0) {
        lines.insert(f.lastLine + 1, k + '=' + value);
    } else {
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines << QByteArray();
        lines << '[' + s + ']' << k + '=' + value;
    }
}

} // namespace

std::optional<QByteArray> Profile::readRaw(const QString &section, const QString &key) const
{
    const QList<QByteArray> lines = readLines(path_);
    const Found f = find(lines, encode(section), encode(key));
    if (f.keyLine < 0)
        return std::nullopt;
    return valueOf(lines[f.keyLine]);
}

void Profile::writeRaw(const QString &section, const QString &key, const QByteArray &value) const
{
    writeAll({{section, key, value}});
}

void Profile::writeAll(const std::vector<Entry> &entries) const
{
    QList<QByteArray> lines = readLines(path_);
    for (const Entry &e : entries)
        putKey(lines, encode(e.section), encode(e.key), e.value);
    // The whole file goes to a temporary file that replaces the old one:
    // either every key is written or, on failure, none.
    QByteArray all;
    for (const QByteArray &l : lines)
        all += l + "\r\n";
    // The buffer is flushed and checked before the rename: a disk that
    // fills up half way must not put a cut file in place of the old one
    // (commit() alone renames after a failed partial write).
    QSaveFile out(path_);
    const bool ok = out.open(QIODevice::WriteOnly) && out.write(all) == all.size() && out.flush()
                    && out.error() == QFileDevice::NoError;
    if (!ok)
        out.cancelWriting();
    if (!ok || !out.commit())
        throw EUserError(QStringLiteral("Unable to write to %1").arg(path_));
}

QString Profile::readString(const QString &section, const QString &key, const QString &def) const
{
    const auto raw = readRaw(section, key);
    return raw ? cp949::decode(*raw) : def;
}

int Profile::readInteger(const QString &section, const QString &key, int def) const
{
    const auto raw = readRaw(section, key);
    return raw ? parseInteger(*raw, def) : def;
}

bool Profile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

colours::TColor Profile::readColour(const QString &section, const QString &key, const QString &defaultName) const
{
    const auto raw = readRaw(section, key);
    if (raw)
        if (auto c = colours::parse(*raw))
            return *c;
    return colours::parse(defaultName.toLatin1()).value_or(colours::clNone);
}

QStringList Profile::readList(const QString &section) const
{
    // The file is read once for the whole list.
    const QHash<QByteArray, QByteArray> values = sectionValues(readLines(path_), encode(section));
    const auto count = values.constFind(fold(encode(QStringLiteral("수"))));
    const int n = count == values.cend() ? 0 : qMin(parseInteger(*count, 0), kMaxListWords);
    QStringList words;
    for (int i = 1; i <= n; ++i)
        words << cp949::decode(values.value(QByteArray::number(i)));
    return words;
}

void Profile::writeString(const QString &section, const QString &key, const QString &value) const
{
    write(Changes().string(section, key, value));
}

void Profile::writeInteger(const QString &section, const QString &key, int value) const
{
    write(Changes().integer(section, key, value));
}

void Profile::writeBool(const QString &section, const QString &key, bool value) const
{
    write(Changes().boolean(section, key, value));
}

void Profile::writeColour(const QString &section, const QString &key, colours::TColor value) const
{
    write(Changes().colour(section, key, value));
}

void Profile::writeList(const QString &section, const QStringList &words) const
{
    write(Changes().list(section, words));
}

Profile::Changes &Profile::Changes::string(const QString &section, const QString &key, const QString &value)
{
    entries_.push_back({section, key, encode(value)});
    return *this;
}

Profile::Changes &Profile::Changes::integer(const QString &section, const QString &key, int value)
{
    entries_.push_back({section, key, QByteArray::number(value)});
    return *this;
}

Profile::Changes &Profile::Changes::boolean(const QString &section, const QString &key, bool value)
{
    entries_.push_back({section, key, value ? "1" : "0"});
    return *this;
}

Profile::Changes &Profile::Changes::colour(const QString &section, const QString &key, colours::TColor value)
{
    entries_.push_back({section, key, colours::format(value)});
    return *this;
}

// The count under "수", then the words under "1", "2", ... in order.
Profile::Changes &Profile::Changes::list(const QString &section, const QStringList &words)
{
    integer(section, QStringLiteral("수"), int(words.size()));
    for (qsizetype i = 0; i < words.size(); ++i)
        string(section, QString::number(i + 1), words[i]);
    return *this;
}

} // namespace verbana::settings
