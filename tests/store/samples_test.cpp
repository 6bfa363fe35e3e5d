// SPDX-License-Identifier: GPL-3.0-or-later
// The sample collections as the build made them: real collections whose
// manuscripts, text copies and Bible keys agree, turned into collections by
// the first run.
#include "program_folder.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include "bible/bible_books.h"
#include "store/collection_files.h"
#include "store/collection_lifecycle.h"
#include "store/collection_document.h"
#include "store/xbase/apollo_table.h"

#include "platform/cp949.h"
#include "platform/paths.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

using namespace verbana;
using namespace verbana::store;

namespace {

const QString kSamples = QStringLiteral(VERBANA_SAMPLES_DIR);
const QStringList kFolders{QStringLiteral("1999 narae"), QStringLiteral("1999 daon"), QStringLiteral("2000 Y2K"),
                           QStringLiteral("Sample")};

void copyTree(const QString &from, const QString &to)
{
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QDir().mkpath(to);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + path.mid(from.size());
        if (it.fileInfo().isDir())
            QDir().mkpath(target);
        else
            QFile::copy(path, target);
    }
}

// The characters of a simple RTF document: \'hh bytes, escaped symbols,
// \par as a line end; destinations (font and colour tables) skipped.
QByteArray rtfPlainText(const QByteArray &rtf)
{
    QByteArray out;
    int depth = 0, skipBelow = -1;
    for (qsizetype i = 0; i < rtf.size(); ++i) {
        const char c = rtf[i];
        if (c == '{') {
            ++depth;
            if (skipBelow < 0 && (rtf.mid(i, 9) == "{\\fonttbl" || rtf.mid(i, 10) == "{\\colortbl"))
                skipBelow = depth;
            continue;
        }
        if (c == '}') {
            if (depth == skipBelow)
                skipBelow = -1;
            --depth;
            continue;
        }
        if (c == '\r' || c == '\n')
            continue;
        const bool skipping = skipBelow >= 0;
        if (c != '\\') {
            if (!skipping)
                out += c;
            continue;
        }
        const char next = i + 1 < rtf.size() ? rtf[i + 1] : '\0';
        if (next == '\'') {
            if (!skipping)
                out += char(rtf.mid(i + 2, 2).toInt(nullptr, 16));
            i += 3;
            continue;
        }
        if (next == '\\' || next == '{' || next == '}') {
            if (!skipping)
                out += next;
            ++i;
            continue;
        }
        qsizetype j = i + 1;
        while (j < rtf.size() && std::isalpha(uchar(rtf[j])))
            ++j;
        const QByteArray word = rtf.mid(i + 1, j - i - 1);
        while (j < rtf.size() && (std::isdigit(uchar(rtf[j])) || rtf[j] == '-'))
            ++j;
        if (j < rtf.size() && rtf[j] == ' ')
            ++j;
        if (word == "par" && !skipping)
            out += "\r\n";
        i = j - 1;
    }
    return out;
}

class Samples : public test::ProgramFolderTest {
protected:
    void SetUp() override
    {
        ProgramFolderTest::SetUp();
        if (!QFileInfo(kSamples + QStringLiteral("/___first.sys")).isFile())
            GTEST_SKIP() << "the sample collections were not built";
        copyTree(kSamples, pf());
    }
};

TEST_F(Samples, EachIsACollectionWhoseFilesAgree)
{
    CollectionDocument session;
    for (const QString &folder : kFolders) {
        SCOPED_TRACE(folder.toStdString());
        ASSERT_TRUE(session.OpenCollection(pf(folder) + QStringLiteral("/sul2file.dbf")));
        xbase::TApolloTable &t = session.table();
        EXPECT_GE(t.Count(), 3u);
        for (t.GoTop(); !t.Eof(); t.Skip(1)) {
            const QString context = cp949::decode(t.GetString("CONTEXT"));
            SCOPED_TRACE(context.toStdString());
            const QString manuscript = paths::resolveExisting(session.collectionFolder(), QStringLiteral("data/") + context);
            const QString copy = paths::resolveExisting(session.collectionFolder(),
                                                        QStringLiteral("text/") + ReplaceExtension(context, QStringLiteral(".txt")));
            ASSERT_FALSE(manuscript.isEmpty());
            ASSERT_FALSE(copy.isEmpty());
            const QByteArray rtf = test::readAll(manuscript);
            const QByteArray text = test::readAll(copy);
            EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg949"));
            EXPECT_EQ(rtfPlainText(rtf), text);
            EXPECT_TRUE(text.endsWith("\r\n"));
            EXPECT_EQ(text.count('\n'), text.count("\r\n"));
            EXPECT_FALSE(cp949::decode(text).contains(QChar::ReplacementCharacter));
            EXPECT_FALSE(cp949::decode(t.GetString("TITLE1")).isEmpty());

            const QByteArray reference = t.GetString("BIBLE1");
            EXPECT_EQ(t.GetString("BIBLENO"), reference.isEmpty() ? QByteArray() : bible::MakeBibleNo(reference));
        }
        session.CloseCollection();
    }
}

TEST_F(Samples, FirstRunRenamesAllFour)
{
    runFirstRun();
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("___first.sys"))));
    EXPECT_EQ(listCollections(QString()),
              (QStringList{QStringLiteral("1999년 나래솔 설교"), QStringLiteral("1999년 다온결 설교"),
                           QStringLiteral("2000년 Y2K 실험"), QStringLiteral("실험 파일")}));
}

} // namespace
