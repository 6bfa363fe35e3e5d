// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/colours.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// The settings file: an INI file in code page 949 whose sections and keys
// are matched without regard to case. Every call opens the file, reads or
// writes one key and closes it again; nothing is cached, and everything
// else in the file is kept as it was. A key that cannot be written raises
// EUserError "Unable to write to <path>".
namespace verbana::settings {

// The program's settings file: verbdesk.ini in the program's folder.
QString iniPath();

class Profile {
public:
    explicit Profile(QString path) : path_(std::move(path)) {}
    const QString &path() const { return path_; }

    // Reading: a missing file, section or key gives the default.
    QString readString(const QString &section, const QString &key, const QString &def = QString()) const;
    int readInteger(const QString &section, const QString &key, int def) const;
    bool readBool(const QString &section, const QString &key, bool def) const;
    // A name in any case or a number; anything else gives the default.
    colours::TColor readColour(const QString &section, const QString &key, const QString &defaultName) const;
    // The words "1" to "수" of a list section.
    QStringList readList(const QString &section) const;

    // Writing: the file and the section are made when missing.
    void writeString(const QString &section, const QString &key, const QString &value) const;
    void writeInteger(const QString &section, const QString &key, int value) const;
    void writeBool(const QString &section, const QString &key, bool value) const;
    void writeColour(const QString &section, const QString &key, colours::TColor value) const;
    void writeList(const QString &section, const QStringList &words) const;

    // Several keys written at once, in the written form of their types:
    // the file is rewritten once, so either all of them are stored or,
    // when the file cannot be written, none (the file stays as it was).
    struct Entry {
        QString section, key;
        QByteArray value;
    };
    class Changes {
    public:
        Changes &string(const QString &section, const QString &key, const QString &value);
        Changes &integer(const QString &section, const QString &key, int value);
        Changes &boolean(const QString &section, const QString &key, bool value);
        Changes &colour(const QString &section, const QString &key, colours::TColor value);
        Changes &list(const QString &section, const QStringList &words);
        const std::vector<Entry> &entries() const { return entries_; }

    private:
        std::vector<Entry> entries_;
    };
    void write(const Changes &changes) const { writeAll(changes.entries()); }
    void writeAll(const std::vector<Entry> &entries) const;

    // Raw CP949 value of a key, or nullopt when it is missing.
    std::optional<QByteArray> readRaw(const QString &section, const QString &key) const;
    void writeRaw(const QString &section, const QString &key, const QByteArray &value) const;

private:
    QString path_;
};

} // namespace verbana::settings
