// Word-list files: line ends, markers, tabs of entries, refused files and atomic writes.
#include "dictionary/wordlistfile.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

using namespace zarel;
using namespace zarel::test;

TEST(WordListFile, ReadsCrLfAndLfAndSkipsEmptyLines)
{
    TempDir dir;
    writeFile(dir.file("a.DIC"), "Book*\r\n\xE7" "ay\n\r\n\nrun*\r\nlast");
    std::vector<std::string> entries;
    ASSERT_TRUE(readWordListFile(dir.file("a.DIC"), entries).ok());
    EXPECT_EQ(entries, (std::vector<std::string>{"Book*", "\xE7" "ay", "run*", "last"}));
}

TEST(WordListFile, WrittenListReadsBackWithItsLanguages)
{
    TempDir dir;
    const std::vector<std::string> entries{"Book*", "\xFD" "l\xFD" "k", std::string(101, 'a') + "*"};
    ASSERT_TRUE(writeWordListFile(dir.file("b.DIC"), entries).ok());
    EXPECT_EQ(readFile(dir.file("b.DIC")), "Book*\r\n\xFD" "l\xFD" "k\r\n" + std::string(101, 'a') + "*\r\n");
    std::vector<std::string> back;
    ASSERT_TRUE(readWordListFile(dir.file("b.DIC"), back).ok());
    EXPECT_EQ(back, entries);
}

TEST(WordListFile, GarbageIsRefused)
{
    TempDir dir;
    const std::string cases[] = {
        std::string("run*\r\nab\0cd\r\n", 14),
        "ok\r\n" + std::string(102, 'x') + "\r\n",
        std::string(200, '\x01'),
    };
    for (const std::string &bytes : cases) {
        writeFile(dir.file("bad.DIC"), bytes);
        std::vector<std::string> entries{"kept"};
        EXPECT_EQ(readWordListFile(dir.file("bad.DIC"), entries).code, ErrorCode::BadFormat);
        EXPECT_TRUE(entries.empty());
    }
    std::string many;
    for (size_t i = 0; i <= kMaxWordListLines; ++i)
        many += "w\n";
    writeFile(dir.file("many.DIC"), many);
    std::vector<std::string> entries;
    EXPECT_EQ(readWordListFile(dir.file("many.DIC"), entries).code, ErrorCode::BadFormat);
    EXPECT_EQ(readWordListFile(dir.file("missing.DIC"), entries).code, ErrorCode::FileNotFound);
}

TEST(WordListFile, ShownFormAndTabOfEntries)
{
    const struct {
        std::string marked, shown;
        int tab;
    } cases[] = {
        {"Book*", "Book", 1}, {"zebra*", "zebra", 25}, {"1st*", "1st", 16}, {"@x*", "@x", -1}, {"\xE7" "ay", "\xE7" "ay", 29},
        {"\xFD" "s\xFD", "\xFD" "s\xFD", 35}, {"inek", "inek", 36}, {"Irmak", "Irmak", 35}, {"Quiz", "Quiz", -1},
        {"\xF0", "\xF0", -1}, {"*", "", -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(shownEntry(c.marked), c.shown) << c.marked;
        EXPECT_EQ(listEntryTab(c.marked), c.tab) << c.marked;
    }
}
