// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace verbana::test {

// A temporary program folder for one test, with the desktop trash inside
// the same temporary folder so that deletions to the trash stay there.
class ProgramFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Path of an entry of the program folder.
    QString pf(const QString &name = QString()) const;
    // Makes <program folder>/name as a collection with an empty sermon
    // table and its index; returns the table's path.
    QString makeCollection(const QString &name, bool withIndex = true) const;
    // Folders and files in the trash, by name.
    QStringList trashed() const;
    static void writeFile(const QString &path, const QByteArray &bytes);

    QTemporaryDir tmp_;
    QString programFolder_;
    QByteArray savedDataHome_;
};

} // namespace verbana::test
