// Storing user entries: append, ordered insertion, validation, and the index left intact when a
// rewrite is interrupted.
#include "dictionary/userentries.h"

#include "dictionary/dictionaryindex.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zarel;
using namespace zarel::test;

TEST(UserEntries, StoredWordReadsBackAfterReload)
{
    TempDir dir;
    writeTestDictionary(
        dir.path(),
        { { 17, { baseEntry("ran", "A"), baseEntry("run", "B"), userEntry("rung", "old") } } });
    TWordRecord stored;
    ASSERT_TRUE(storeUserEntry(dir.path(), 17, "rub", "{\\rtf1 ovmak}", &stored).ok());
    EXPECT_EQ(stored.ArticleOffset(), 3); // after the existing user article
    EXPECT_EQ(stored.ArticleSize(), 13);
    EXPECT_FALSE(stored.isBase());
    EXPECT_EQ(readFile(articlePath(dir.path(), 17, false)), "old{\\rtf1 ovmak}");

    DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(dir.path()).ok());
    const TabLists &tab = index.tab(17);
    ASSERT_EQ(tab.count(), 4u);
    EXPECT_EQ(tab.headword(0), "ran");
    EXPECT_EQ(tab.headword(1), "rub");
    EXPECT_EQ(tab.headword(2), "run");
    EXPECT_EQ(tab.soundNumbers, (std::vector<std::string> { "1", "0", "2", "0" }));
    EXPECT_EQ(readArticle(dir.path(), 17, *tab.entries[1]), "{\\rtf1 ovmak}");
    EXPECT_EQ(readArticle(dir.path(), 17, *tab.entries[2]), "B");
}

TEST(UserEntries, TurkishTabWritesTheTurkishFiles)
{
    TempDir dir;
    writeTestDictionary(dir.path(),
                        { { 47,
                            { baseEntry("\xFE"
                                        "eker",
                                        "sugar") } } }); // şeker
    const std::string egIndex = readFile(indexPath(dir.path(), 18));
    ASSERT_TRUE(storeUserEntry(dir.path(), 47,
                               "\xFE"
                               "arap",
                               "wine")
                    .ok()); // şarap
    EXPECT_EQ(readFile(articlePath(dir.path(), 47, false)), "wine");
    EXPECT_EQ(readFile(indexPath(dir.path(), 47)).size(), 2u * kRecordSize);
    EXPECT_EQ(readFile(indexPath(dir.path(), 18)), egIndex);
    EXPECT_EQ(readFile(articlePath(dir.path(), 18, false)), "");
}

TEST(UserEntries, RefusedHeadwordsChangeNothing)
{
    TempDir dir;
    writeTestDictionary(dir.path(), { { 0, { baseEntry("a", "x") } } });
    const std::string before = readFile(indexPath(dir.path(), 0));
    for (const std::string &bad : { std::string(), std::string(102, 'a') })
        EXPECT_EQ(storeUserEntry(dir.path(), 0, bad, "art").code, ErrorCode::BadInput);
    EXPECT_TRUE(storeUserEntry(dir.path(), 0, std::string(101, 'a'), "art").ok());
    EXPECT_EQ(storeUserEntry(dir.path(), 56, "a", "art").code, ErrorCode::BadInput);
    EXPECT_NE(readFile(indexPath(dir.path(), 0)), before);
}

TEST(UserEntries, CompressedUserFileIsRefused)
{
    TempDir dir;
    writeTestDictionary(dir.path(), {});
    writeFile(articlePath(dir.path(), 2, false),
              std::string("SZDD\x88\xF0\x27\x33", 8) + std::string(20, 'x'));
    const std::string before = readFile(articlePath(dir.path(), 2, false));
    EXPECT_EQ(storeUserEntry(dir.path(), 2, "cat", "kedi").code, ErrorCode::BadFormat);
    EXPECT_EQ(readFile(articlePath(dir.path(), 2, false)), before);
}

TEST(UserEntries, FailedIndexRewriteLeavesTheOldIndex)
{
    TempDir dir;
    writeTestDictionary(dir.path(), { { 3, { baseEntry("dog", "k") } } });
    const std::string before = readFile(indexPath(dir.path(), 3));
    // A non-empty folder in the index file's place makes the final rename fail (even for root).
    const std::string index = indexPath(dir.path(), 3);
    std::filesystem::rename(index, index + ".keep");
    std::filesystem::create_directory(index);
    std::filesystem::create_directory(index + "/blocker");
    EXPECT_FALSE(storeUserEntry(dir.path(), 3, "day", "gün").ok());
    std::filesystem::remove_all(index);
    std::filesystem::rename(index + ".keep", index);
    EXPECT_EQ(readFile(index), before);
    // No temporary files are left behind.
    for (const auto &e : std::filesystem::directory_iterator(dir.path() + "/eg"))
        EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
}
