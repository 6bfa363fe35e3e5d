// SPDX-License-Identifier: GPL-3.0-or-later
// New collection names, table creation, the list of collections, counts,
// renaming, the first run and the editing guard.
#include "program_folder.h"
#include "store_helpers.h"
#include "support/fixtures.h"
#include "support/scripted_prompter.h"

#include "store/collection_document.h"
#include "store/collection_lifecycle.h"
#include "store/sermon_record.h"
#include "store/xbase/apollo_table.h"

#include "platform/cp949.h"
#include "platform/user_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace verbana;
using namespace verbana::store;

namespace {

const QString kUnderscore = QStringLiteral("파일명의 첫문자로 ( _ )를 사용하지 마십시오.\r파일명을 다시 입력해주십시오.");
const QString kBadChar = QStringLiteral("설교집 이름에 사용할 수 없는 문자가 있습니다.\r설교집 이름을 다시 입력해주십시오.");
const QString kExists = QStringLiteral("이미 존재하는 파일명입니다.\r파일명을 다시 입력해주십시오.");

class Lifecycle : public test::ProgramFolderTest {};

TEST_F(Lifecycle, NameRulesOfTheCreateDialog)
{
    QDir().mkpath(pf(QStringLiteral("Grace")));
    struct Case {
        const char *typed;
        NameVerdict verdict;
        const char *name;
    };
    const Case cases[] = {
        {"  새 설교집  ", NameVerdict::Ok, "새 설교집"},
        {" 설교.", NameVerdict::BadCharacter, "설교."},
        {"   ", NameVerdict::Exists, ""},
        {"", NameVerdict::Exists, ""},
        {"_숨김", NameVerdict::LeadingUnderscore, "_숨김"},
        {"a;b", NameVerdict::BadCharacter, "a;b"},
        {"a\"b", NameVerdict::BadCharacter, "a\"b"},
        {"a|b", NameVerdict::BadCharacter, "a|b"},
        {"GRACE", NameVerdict::Exists, "GRACE"},
        {"grace", NameVerdict::Exists, "grace"},
        {"Grace2", NameVerdict::Ok, "Grace2"},
    };
    for (const Case &c : cases) {
        const NameCheck check = checkNewCollectionName(QString::fromUtf8(c.typed));
        EXPECT_EQ(check.verdict, c.verdict) << c.typed;
        EXPECT_EQ(check.name, QString::fromUtf8(c.name)) << c.typed;
    }
    EXPECT_EQ(checkNewCollectionName(QStringLiteral("_x")).message(), kUnderscore);
    EXPECT_EQ(checkNewCollectionName(QStringLiteral("x.")).message(), kBadChar);
    EXPECT_EQ(checkNewCollectionName(QStringLiteral(" ")).message(), kExists);
    EXPECT_TRUE(checkNewCollectionName(QStringLiteral("ok")).message().isEmpty());
}

TEST_F(Lifecycle, LongNamesAreCutOnACharacterBoundary)
{
    // "a" and 50 Hangul syllables are 101 bytes: the cut keeps "a" and 49.
    const QString typed = QStringLiteral("a") + QString(50, QChar(u'가'));
    const NameCheck check = checkNewCollectionName(typed);
    EXPECT_EQ(check.verdict, NameVerdict::Ok);
    EXPECT_EQ(check.name, QStringLiteral("a") + QString(49, QChar(u'가')));
    EXPECT_EQ(cp949::encode(check.name).bytes.size(), 99);
    EXPECT_EQ(checkNewCollectionName(QString(60, QLatin1Char('b'))).name, QString(60, QLatin1Char('b')));
    EXPECT_EQ(checkNewCollectionName(QString(120, QLatin1Char('b'))).name, QString(100, QLatin1Char('b')));
}

TEST_F(Lifecycle, CharactersCodePage949CannotHoldAreNamed)
{
    const NameCheck check = checkNewCollectionName(QStringLiteral("설교 \u00e9t\u00e9 \U0001F600"));
    EXPECT_EQ(check.verdict, NameVerdict::BadCharacter);
    EXPECT_TRUE(check.message().startsWith(kBadChar));
    EXPECT_TRUE(check.message().contains(QStringLiteral("\U0001F600")));
}

TEST_F(Lifecycle, CreatesTheEmptySermonTableWithoutIndex)
{
    createCollectionFolders(QStringLiteral("새 설교집"));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새 설교집/data"))).isDir());
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("새 설교집/text"))).isDir());
    test::ScriptedPrompter prompts; // success shows nothing
    EXPECT_EQ(CreateSermonTable(QStringLiteral("새 설교집")), 1);
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("새 설교집/sul2file.cdx"))));
    auto t = test::openTable(pf(QStringLiteral("새 설교집/sul2file.dbf")));
    ASSERT_EQ(t->FieldCount(), kSermonFieldCount);
    for (int i = 1; i <= kSermonFieldCount; ++i) {
        EXPECT_EQ(t->FieldName(i), sermonFields()[size_t(i - 1)].createName());
        EXPECT_EQ(t->FieldWidth(i), sermonFields()[size_t(i - 1)].width);
    }
    EXPECT_EQ(t->RecCount(), 0u);
}

TEST_F(Lifecycle, TableThatCannotBeWrittenGivesMinusThree)
{
    createCollectionFolders(QStringLiteral("blocked"));
    QDir().mkpath(pf(QStringLiteral("blocked/sul2file.dbf")));
    test::ScriptedPrompter prompts;
    prompts.ok();
    EXPECT_EQ(CreateSermonTable(QStringLiteral("blocked")), -3);
    EXPECT_EQ(prompts.texts(), QStringList{QStringLiteral("파일만들기를 실패했습니다. 3")});
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("blocked/data"))).isDir());
}

TEST_F(Lifecycle, FolderThatCannotBeMadeRaises)
{
    writeFile(pf(QStringLiteral("plain file")), "x");
    EXPECT_THROW(createCollectionFolders(QStringLiteral("plain file")), EUserError);
}

TEST_F(Lifecycle, ListsCollectionsSortedWithoutTheOpenOne)
{
    for (const char *name : {"b", "A", "_hidden", ".dot", "c", "열린 설교집"})
        makeCollection(QString::fromUtf8(name));
    QDir().mkpath(pf(QStringLiteral("no table")));
    QDir().mkpath(pf(QStringLiteral("Upper")));
    writeFile(pf(QStringLiteral("Upper/SUL2FILE.DBF")), test::readAll(pf(QStringLiteral("b/sul2file.dbf"))));
    writeFile(pf(QStringLiteral("file")), "x");
    EXPECT_EQ(listCollections(QString()),
              (QStringList{QStringLiteral("A"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("Upper"),
                           QStringLiteral("열린 설교집")}));
    EXPECT_EQ(listCollections(QStringLiteral("B")),
              (QStringList{QStringLiteral("A"), QStringLiteral("c"), QStringLiteral("Upper"),
                           QStringLiteral("열린 설교집")}));
    EXPECT_EQ(listCollections(QStringLiteral("열린 설교집")).size(), 4);
}

TEST_F(Lifecycle, CountsLeaveDeletedSermonsOut)
{
    auto t = test::openTable(makeCollection(QStringLiteral("c")));
    test::appendSermons(*t, {{"1999.01.01", "a"}, {"1999.01.02", "b"}, {"1999.01.03", "c"}});
    t->GoTop();
    t->Delete();
    t->Close();
    EXPECT_EQ(countCollectionSermons(QStringLiteral("c")), std::optional<quint32>(2));
    EXPECT_EQ(countCollectionSermons(QStringLiteral("C")), std::optional<quint32>(2));
    QDir().mkpath(pf(QStringLiteral("broken")));
    writeFile(pf(QStringLiteral("broken/sul2file.dbf")), "not a table");
    EXPECT_EQ(countCollectionSermons(QStringLiteral("broken")), std::nullopt);
    EXPECT_EQ(countCollectionSermons(QStringLiteral("missing")), std::nullopt);

    // Counting reads only: a damaged index stays as it is.
    writeFile(pf(QStringLiteral("c/sul2file.cdx")), QByteArray(512, 'x'));
    EXPECT_EQ(countCollectionSermons(QStringLiteral("c")), std::optional<quint32>(2));
    EXPECT_EQ(test::readAll(pf(QStringLiteral("c/sul2file.cdx"))), QByteArray(512, 'x'));
    EXPECT_EQ(QDir(pf(QStringLiteral("c"))).entryList(QDir::Files).size(), 2);
}

TEST_F(Lifecycle, RenameRules)
{
    makeCollection(QStringLiteral("one"));
    makeCollection(QStringLiteral("two"));
    test::ScriptedPrompter prompts;
    prompts.ok().ok().ok().ok();
    EXPECT_EQ(renameCollection(QStringLiteral("one"), QStringLiteral("   ")), QStringLiteral("one"));
    EXPECT_EQ(renameCollection(QStringLiteral("one"), QStringLiteral("two")), QStringLiteral("one"));
    EXPECT_EQ(renameCollection(QStringLiteral("one"), QStringLiteral("TWO")), QStringLiteral("one"));
    // A pasted path must not move the collection out of the program folder.
    EXPECT_EQ(renameCollection(QStringLiteral("one"), QStringLiteral("../away")), QStringLiteral("one"));
    EXPECT_EQ(prompts.texts(), (QStringList{QStringLiteral("적절하지 않은 파일명입니다.\r다시 입력하십시오."),
                                            QStringLiteral("알 수 없는 이유로 수정할 수 없습니다."),
                                            QStringLiteral("알 수 없는 이유로 수정할 수 없습니다."),
                                            QStringLiteral("알 수 없는 이유로 수정할 수 없습니다.")}));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("one/sul2file.dbf"))).isFile());
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("two/sul2file.dbf"))).isFile());
    prompts.clear();

    EXPECT_EQ(renameCollection(QStringLiteral("one"), QStringLiteral(" ONE ")), QStringLiteral("ONE"));
    EXPECT_EQ(renameCollection(QStringLiteral("ONE"), QStringLiteral("_한편")), QStringLiteral("_한편"));
    EXPECT_TRUE(prompts.texts().isEmpty());
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("_한편/sul2file.dbf"))).isFile());
    EXPECT_EQ(listCollections(QString()), QStringList{QStringLiteral("two")});
}

class FirstRun : public test::ProgramFolderTest {
protected:
    void sample(const QString &name) { makeCollection(name); }
    bool has(const QString &name) const { return QFileInfo(pf(name)).isDir(); }
};

TEST_F(FirstRun, TurnsTheSamplesIntoCollections)
{
    for (const char *name : {"1999 narae", "1999 daon", "2000 Y2K", "Sample"})
        sample(QString::fromUtf8(name));
    writeFile(pf(QStringLiteral("___first.sys")), "");
    runFirstRun();
    EXPECT_FALSE(QFile::exists(pf(QStringLiteral("___first.sys"))));
    for (const char *name : {"1999년 나래솔 설교", "1999년 다온결 설교", "2000년 Y2K 실험", "실험 파일"})
        EXPECT_TRUE(QFileInfo(pf(QString::fromUtf8(name) + QStringLiteral("/sul2file.dbf"))).isFile()) << name;
    for (const char *name : {"1999 narae", "1999 daon", "2000 Y2K", "Sample"})
        EXPECT_FALSE(has(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(trashed().isEmpty());
}

TEST_F(FirstRun, OlderCollectionsMakeTheSampleGoToTheTrash)
{
    sample(QStringLiteral("1999 narae"));
    sample(QStringLiteral("1999년 나래솔 설교"));
    sample(QStringLiteral("2000 Y2K"));
    sample(QStringLiteral("1999년 Y2K 실험"));
    writeFile(pf(QStringLiteral("___first.sys")), "");
    runFirstRun();
    EXPECT_FALSE(has(QStringLiteral("1999 narae")));
    EXPECT_FALSE(has(QStringLiteral("2000 Y2K")));
    EXPECT_TRUE(has(QStringLiteral("1999년 나래솔 설교")));
    EXPECT_TRUE(has(QStringLiteral("1999년 Y2K 실험")));
    EXPECT_FALSE(has(QStringLiteral("2000년 Y2K 실험")));
    QStringList trash = trashed();
    trash.sort();
    EXPECT_EQ(trash, (QStringList{QStringLiteral("1999 narae"), QStringLiteral("2000 Y2K")}));
}

TEST_F(FirstRun, RenameOntoAnExistingFolderFailsSilently)
{
    sample(QStringLiteral("2000 Y2K"));
    sample(QStringLiteral("2000년 Y2K 실험"));
    writeFile(pf(QStringLiteral("___first.sys")), "");
    test::ScriptedPrompter prompts; // silent
    runFirstRun();
    EXPECT_TRUE(has(QStringLiteral("2000 Y2K")));
    EXPECT_TRUE(QFileInfo(pf(QStringLiteral("2000년 Y2K 실험/sul2file.dbf"))).isFile());
}

TEST_F(FirstRun, NothingHappensWithoutTheMarker)
{
    sample(QStringLiteral("Sample"));
    runFirstRun();
    EXPECT_TRUE(has(QStringLiteral("Sample")));
    EXPECT_FALSE(has(QStringLiteral("실험 파일")));
}

TEST_F(Lifecycle, EditingGuardRefusesWhileASermonIsAdded)
{
    CollectionDocument document;
    ASSERT_TRUE(document.OpenCollection(makeCollection(QStringLiteral("c"))));
    test::ScriptedPrompter prompts;
    EXPECT_FALSE(document.refuseWhileEditing());
    document.table().Append();
    prompts.ok();
    EXPECT_TRUE(document.refuseWhileEditing());
    EXPECT_EQ(prompts.texts(),
              QStringList{QStringLiteral("자료를 수정/추가 중입니다.\r자료를 저장/취소 하신 후에 실행하십시오.")});
    EXPECT_EQ(document.table().State(), xbase::TableState::Inserting);
    document.table().Cancel();
    document.CloseCollection();
    EXPECT_FALSE(document.refuseWhileEditing());
}

} // namespace
