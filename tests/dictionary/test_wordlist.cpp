// The word list: languages and tabs of entries, adding without duplicates, removing, and list
// files read in place of or after the entries.
#include "dictionary/wordlist.h"

#include "dictionary/codepage1254.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

using namespace zarel;
using namespace zarel::test;

TEST(WordList, EntriesWithTheirLanguageAndTab)
{
    const struct
    {
        const char *marked; // UTF-8
        const char *headword;
        bool english;
        int tab;
    } cases[] = {
        { "Book*", "Book", true, 1 }, // (B AND 31) - 1
        { "run*", "run", true, 17 },   { "zebra*", "zebra", true, 25 },
        { "çay", "çay", false, 29 },   { "ılık", "ılık", false, 35 },
        { "İnce", "İnce", false, 36 }, { "ağaç", "ağaç", false, 26 },
        { "ğ", "ğ", false, -1 }, // no tab begins with ğ
        { "@x*", "@x", true, -1 }, // (@ AND 31) - 1 is no tab
        { "*", "", true, -1 },
    };
    std::vector<std::string> marked;
    for (const auto &c : cases)
        marked.push_back(cp1254::fromUtf8(c.marked));
    const WordList list(marked);
    ASSERT_EQ(list.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto &c = cases[i];
        EXPECT_EQ(list.headword(i), cp1254::fromUtf8(c.headword)) << c.marked;
        EXPECT_EQ(list.isEnglish(i), c.english) << c.marked;
        EXPECT_EQ(list.tab(i), c.tab) << c.marked;
        EXPECT_EQ(list.marked(i), marked[i]) << c.marked;
    }
    // Outside the list.
    EXPECT_EQ(list.headword(list.size()), "");
    EXPECT_FALSE(list.isEnglish(list.size()));
    EXPECT_EQ(list.tab(list.size()), -1);
    EXPECT_EQ(list.tab(static_cast<size_t>(-1)), -1);
}

TEST(WordList, AddKeepsOneEntryPerHeadwordAndLanguage)
{
    const struct
    {
        const char *headword;
        bool english;
        bool added;
    } steps[] = {
        { "run", true, true },  { "run", true, false }, // the same word again
        { "run", false, true }, // the same letters as a Turkish word are another entry
        { "Run", true, true }, // letter case counts
        { "", true, false },    { "", false, false }, // an empty headword is no entry
        { "çay", false, true }, { "çay", false, false },
    };
    WordList list;
    for (const auto &s : steps) {
        const std::string word = cp1254::fromUtf8(s.headword);
        EXPECT_EQ(list.add(word, s.english), s.added) << s.headword << ' ' << s.english;
        EXPECT_TRUE(word.empty() || list.contains(word, s.english)) << s.headword;
    }
    EXPECT_EQ(list.markedEntries(),
              (std::vector<std::string> { "run*", "run", "Run*", cp1254::fromUtf8("çay") }));
}

TEST(WordList, RemoveAndClear)
{
    WordList list({ "a*", "b", "c*" });
    EXPECT_FALSE(list.remove(3));
    EXPECT_TRUE(list.remove(1));
    EXPECT_EQ(list.markedEntries(), (std::vector<std::string> { "a*", "c*" }));
    EXPECT_TRUE(list.remove(1));
    EXPECT_TRUE(list.remove(0));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(list.remove(0));
    list.add("x", true);
    list.clear();
    EXPECT_TRUE(list.empty());
}

TEST(WordList, LoadReplacesOrAppendsAndAFailureChangesNothing)
{
    TempDir dir;
    writeFile(dir.file("good.DIC"),
              "Book*\r\nrun*\r\nrun*\r\n\xE7"
              "ay\r\n");
    writeFile(dir.file("bad.DIC"), std::string("run*\r\nab\0cd\r\n", 14));
    const std::vector<std::string> good { "Book*", "run*", "run*",
                                          "\xE7"
                                          "ay" };
    const struct
    {
        const char *file;
        bool replace;
        bool ok;
        std::vector<std::string> after;
    } cases[] = {
        // A list file's duplicates stay as the file has them.
        { "good.DIC", true, true, good },
        { "good.DIC",
          false,
          true,
          { "old*", "Book*", "run*", "run*",
            "\xE7"
            "ay" } },
        { "bad.DIC", true, false, { "old*" } },
        { "bad.DIC", false, false, { "old*" } },
        { "missing.DIC", true, false, { "old*" } },
    };
    for (const auto &c : cases) {
        WordList list({ "old*" });
        EXPECT_EQ(list.load(dir.file(c.file), c.replace).ok(), c.ok) << c.file;
        EXPECT_EQ(list.markedEntries(), c.after) << c.file << ' ' << c.replace;
    }
}

TEST(WordList, SavedListOpensAgainWithEveryLanguage)
{
    TempDir dir;
    WordList list;
    list.add("Book", true);
    list.add("\xFD"
             "l\xFD"
             "k",
             false); // ılık
    list.add(std::string(101, 'a'), true); // the longest headword and its marker
    ASSERT_TRUE(list.save(dir.file("list.DIC")).ok());
    EXPECT_EQ(readFile(dir.file("list.DIC")),
              "Book*\r\n\xFD"
              "l\xFD"
              "k\r\n"
                  + std::string(101, 'a') + "*\r\n");
    WordList back;
    ASSERT_TRUE(back.load(dir.file("list.DIC")).ok());
    EXPECT_EQ(back, list);
    EXPECT_EQ(back.tab(1), 35);

    // A folder that cannot be written leaves the old file whole and reports the failure.
    EXPECT_FALSE(list.save(dir.file("no/such/folder/list.DIC")).ok());
    WordList empty;
    ASSERT_TRUE(empty.save(dir.file("list.DIC")).ok());
    EXPECT_EQ(readFile(dir.file("list.DIC")), "");
}
