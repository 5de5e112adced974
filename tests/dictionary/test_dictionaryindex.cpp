// Index loading: whole records, sound numbers, the stop at a missing file, splash dots, and
// entries added while the program runs.
#include "dictionary/dictionaryindex.h"

#include "dictionary/tcryptstream.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

using namespace zarel;
using namespace zarel::test;

namespace {

std::string records(int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        const TWordRecord r = TWordRecord::make("w" + std::to_string(i), i, 1, 1);
        bytes.append(reinterpret_cast<const char *>(&r), sizeof r);
    }
    return bytes;
}

} // namespace

TEST(DictionaryIndex, WholeRecordsOnly)
{
    const struct
    {
        size_t bytes;
        size_t records;
    } cases[] = { { 0, 0 }, { 110, 0 }, { 111, 1 }, { 221, 1 }, { 222, 2 }, { 333 + 50, 3 } };
    for (const auto &c : cases) {
        TempDir dir;
        writeTestDictionary(dir.path(), {});
        writeFile(indexPath(dir.path(), 30), records(4).substr(0, c.bytes));
        DictionaryIndex index;
        ASSERT_TRUE(index.loadTab(dir.path(), 30).ok());
        EXPECT_EQ(index.tab(30).count(), c.records) << c.bytes << " bytes";
        EXPECT_TRUE(index.tab(30).soundNumbers.empty()); // Turkish tabs keep none
    }
}

TEST(DictionaryIndex, AFileCutShortWhileLoadedReadsAsEmptyRecordsInsteadOfEndingTheProgram)
{
    // Enough records for several pages, so the cut leaves some pages whole and loses others.
    const int count = 200;
    const struct
    {
        size_t keptBytes;
        int wholeRecords; // the records that still lie wholly in the kept part
    } cases[] = { { 0, 0 }, { 4096, 4096 / 111 }, { 111 * 150, 150 } };
    for (const auto &c : cases) {
        TempDir dir;
        writeTestDictionary(dir.path(), {});
        const std::string path = indexPath(dir.path(), 40);
        writeFile(path, records(count));
        DictionaryIndex index;
        ASSERT_TRUE(index.loadTab(dir.path(), 40).ok());
        const TabLists &tab = index.tab(40);
        ASSERT_EQ(tab.count(), size_t(count));

        // Cut in place (not replaced by a rename, as the program and its tools do).
        std::filesystem::resize_file(path, c.keptBytes);
        for (int i = 0; i < count; ++i) {
            // Records that begin on a lost page read as zeros; records in the kept part are
            // unchanged.
            const std::string_view word = tab.headword(size_t(i));
            const size_t keptPages = (c.keptBytes + 4095) / 4096 * 4096;
            if (i < c.wholeRecords) {
                EXPECT_EQ(word, "w" + std::to_string(i)) << c.keptBytes << " bytes, record " << i;
            } else if (size_t(i) * kRecordSize >= keptPages) {
                EXPECT_EQ(word, "") << c.keptBytes << " bytes, record " << i;
            }
        }
    }
}

TEST(DictionaryIndex, AnIndexOfItsOwnOutlivesTheIndexItWasMovedFrom)
{
    TempDir dir;
    writeTestDictionary(dir.path(), { { 3, { baseEntry("dog", "x") } } });
    auto index = std::make_unique<DictionaryIndex>();
    ASSERT_TRUE(index->loadTab(dir.path(), 3).ok());
    TabLists kept = std::move(index->tab(3));
    index.reset();
    ASSERT_EQ(kept.count(), 1u);
    EXPECT_EQ(kept.headword(0), "dog");
    // Loading again replaces the old contents.
    ASSERT_TRUE(kept.indexBuffer.load(indexPath(dir.path(), 3)).ok());
    EXPECT_EQ(kept.indexBuffer.size(), kRecordSize);
}

TEST(DictionaryIndex, RecordsAreUsedInPlace)
{
    TempDir dir;
    writeTestDictionary(
        dir.path(), { { 0, { baseEntry("a", "x"), baseEntry("", "y"), userEntry("able", "z") } } });
    DictionaryIndex index;
    ASSERT_TRUE(index.loadTab(dir.path(), 0).ok());
    const TabLists &tab = index.tab(0);
    ASSERT_EQ(tab.count(), 3u);
    for (size_t i = 0; i < tab.count(); ++i)
        EXPECT_EQ(reinterpret_cast<const unsigned char *>(tab.entries[i]),
                  tab.indexBuffer.get() + i * kRecordSize);
    EXPECT_EQ(tab.headword(0), "a");
    EXPECT_EQ(tab.headword(1), ""); // an empty headword is a valid entry
    EXPECT_EQ(tab.headword(2), "able");
}

TEST(DictionaryIndex, SoundNumbersCountBaseRecordsPerLetter)
{
    TempDir dir;
    writeTestDictionary(dir.path(),
                        {
                            { 1,
                              { baseEntry("b1", "1"), userEntry("b2", "2"), baseEntry("b3", "3"),
                                WriterEntry { "b4", "4", 2 } } },
                            { 2, { baseEntry("c1", "1"), baseEntry("c2", "2") } },
                        });
    DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(dir.path()).ok());
    EXPECT_EQ(index.tab(1).soundNumbers, (std::vector<std::string> { "1", "0", "2", "3" }));
    EXPECT_EQ(index.tab(2).soundNumbers, (std::vector<std::string> { "1", "2" }));
}

TEST(DictionaryIndex, MissingFileStopsLoadingThere)
{
    TempDir dir;
    writeTestDictionary(dir.path(),
                        { { 0, { baseEntry("a", "x") } }, { 40, { baseEntry("m", "y") } } });
    std::remove(indexPath(dir.path(), 30).c_str());
    DictionaryIndex index;
    int files = 0;
    const Status st = index.loadAll(dir.path(), [&] { ++files; });
    EXPECT_EQ(st.code, ErrorCode::FileNotFound);
    EXPECT_EQ(st.message, "File not found");
    EXPECT_EQ(st.path, dir.path() + "/tr/base_5.dak");
    EXPECT_EQ(files, 30);
    EXPECT_EQ(index.tab(0).count(), 1u);
    EXPECT_TRUE(index.tab(30).created); // the failing tab's lists exist, empty
    EXPECT_EQ(index.tab(30).count(), 0u);
    EXPECT_FALSE(index.tab(40).created);
    EXPECT_EQ(index.tab(40).count(), 0u);
}

TEST(DictionaryIndex, InsertedUserEntriesKeepTheListsParallel)
{
    TempDir dir;
    writeTestDictionary(dir.path(), { { 1, { baseEntry("ba", "1"), baseEntry("bc", "2") } } });
    DictionaryIndex index;
    ASSERT_TRUE(index.loadAll(dir.path()).ok());
    index.insertUserEntry(1, 1, TWordRecord::make("bb", 0, 3, 0));
    index.insertUserEntry(1, 99, TWordRecord::make("bz", 3, 3, 0));
    const TabLists &tab = index.tab(1);
    ASSERT_EQ(tab.count(), 4u);
    EXPECT_EQ(tab.headword(1), "bb");
    EXPECT_EQ(tab.headword(3), "bz");
    EXPECT_EQ(tab.soundNumbers, (std::vector<std::string> { "1", "0", "2", "0" }));
}

TEST(SplashProgress, DotsAndResets)
{
    SplashProgress p;
    std::vector<std::string> labels;
    for (int i = 0; i < 15; ++i)
        labels.push_back(p.advance());
    EXPECT_EQ(labels[0], ".");
    EXPECT_EQ(labels[5], "......");
    EXPECT_EQ(labels[6], ""); // after the seventh file
    EXPECT_EQ(labels[13], ""); // after 14 files
    EXPECT_EQ(labels[14], "."); // after 15 files
}
