// Rebuilding a dictionary tree that holds words the user added: the user records carried into
// the new index in dictionary order, the user article files left alone, repeated rebuilds.
#include "zarel-dict/cli.h"
#include "zarel-dict/treecheck.h"

#include "dictionary/codepage1254.h"
#include "dictionary/collation.h"
#include "dictionary/dictionaryindex.h"
#include "dictionary/dictionarywriter.h"
#include "dictionary/lettertabs.h"
#include "dictionary/tcryptstream.h"
#include "dictionary/userentries.h"
#include "dictionary/userrecords.h"
#include "fakesource.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>

#include <sys/stat.h>

using namespace zarel;
using test::baseEntry;
using test::userEntry;

namespace {

std::string rtfOf(const std::string &text)
{
    return "{\\rtf1\\ansi " + text + "\\par}";
}

// Headwords (UTF-8) of a tab's index with "*" after user records.
std::vector<std::string> listing(const std::string &folder, int tab)
{
    DictionaryIndex index;
    EXPECT_TRUE(index.loadTab(folder, tab).ok());
    std::vector<std::string> out;
    for (const TWordRecord *r : index.tab(tab).entries)
        out.push_back(cp1254::toUtf8(r->headword()) + (r->isBase() ? "" : "*"));
    return out;
}

std::vector<WriterEntry> bases(const std::vector<std::string> &utf8)
{
    std::vector<WriterEntry> out;
    for (const std::string &h : utf8)
        out.push_back(baseEntry(cp1254::fromUtf8(h), rtfOf(cp1254::fromUtf8(h) + " new")));
    return out;
}

ino_t inodeOf(const std::string &path)
{
    struct stat st
    {
    };
    ::stat(path.c_str(), &st);
    return st.st_ino;
}

struct MergeCase
{
    const char *name;
    int tab;
    std::vector<std::string> oldBase; // written with the user words as the old tree
    std::vector<std::string> user; // user words, in the order they were stored
    std::vector<std::string> newBase;
    std::vector<std::string> expected; // the new index, "*" marking user records
};

void PrintTo(const MergeCase &c, std::ostream *os)
{
    *os << c.name;
}

class RebuildMerge : public ::testing::TestWithParam<MergeCase>
{
};

TEST_P(RebuildMerge, CarriesEveryUserRecordToItsPlace)
{
    const MergeCase &c = GetParam();
    test::TempDir dir;
    test::writeTestDictionary(dir.path(), { { c.tab, bases(c.oldBase) } });
    for (const std::string &w : c.user)
        ASSERT_TRUE(
            storeUserEntry(dir.path(), c.tab, cp1254::fromUtf8(w), rtfOf(cp1254::fromUtf8(w)))
                .ok());
    const std::string userFile = articlePath(dir.path(), c.tab, false);
    const std::string userBytes = test::readFile(userFile);
    const ino_t userInode = inodeOf(userFile);

    size_t carried = 99;
    ASSERT_TRUE(rebuildTab(dir.path(), c.tab, bases(c.newBase), {}, &carried).ok());
    EXPECT_EQ(carried, c.user.size());
    EXPECT_EQ(listing(dir.path(), c.tab), c.expected);
    // The user article file is the very same file, byte for byte; every article reads back.
    EXPECT_EQ(test::readFile(userFile), userBytes);
    EXPECT_EQ(inodeOf(userFile), userInode);
    DictionaryIndex index;
    ASSERT_TRUE(index.loadTab(dir.path(), c.tab).ok());
    for (const TWordRecord *r : index.tab(c.tab).entries) {
        const std::string h(r->headword());
        EXPECT_EQ(readArticle(dir.path(), c.tab, *r), rtfOf(r->isBase() ? h + " new" : h)) << h;
    }

    // Again over the rebuilt tree, as after a kill right after the index was replaced.
    const std::string index1 = test::readFile(indexPath(dir.path(), c.tab));
    ASSERT_TRUE(rebuildTab(dir.path(), c.tab, bases(c.newBase)).ok());
    EXPECT_EQ(test::readFile(indexPath(dir.path(), c.tab)), index1);
    EXPECT_TRUE(dicttool::checkTree(dir.path()).ok());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RebuildMerge,
    ::testing::Values(
        MergeCase { "NoUserWords", 2, { "car", "card" }, {}, { "cab", "car" }, { "cab", "car" } },
        MergeCase { "BetweenFirstAndLast",
                    2,
                    { "car", "card" },
                    { "carb", "aardvark", "cz" },
                    { "cab", "car", "card", "Carl" },
                    { "aardvark*", "cab", "car", "carb*", "card", "Carl", "cz*" } },
        MergeCase { "BesideABaseEntryOfTheSameHeadword",
                    2,
                    { "car" },
                    { "card", "Card", "card" },
                    { "car", "Card", "card" },
                    { "car", "Card", "Card*", "card", "card*", "card*" } },
        MergeCase {
            "TabWithoutBaseEntriesNow", 2, { "car" }, { "cow", "cat" }, {}, { "cat*", "cow*" } },
        MergeCase { "TurkishOrder",
                    35, // I: ı sorts before i
                    { "ılık", "ırmak" },
                    { "Irak", "ıslak", "ılgın" },
                    { "ılık", "ırmak", "ısı" },
                    { "ılgın*", "ılık", "Irak*", "ırmak", "ısı", "ıslak*" } }),
    [](const ::testing::TestParamInfo<MergeCase> &info) { return info.param.name; });

TEST(Rebuild, CarriesRecordsByteForByte)
{
    // Records the program never writes itself (a long length byte, stray bytes after the
    // headword, a range past the file) are the user's all the same and carried unchanged.
    test::TempDir dir;
    test::writeTestDictionary(dir.path(), { { 1, bases({ "bed" }) } });
    TWordRecord odd = TWordRecord::make("bz", 0, 5000, 0);
    odd.headwordChars[50] = 'x';
    TWordRecord longer = TWordRecord::make(std::string(101, 'b'), 3, 4, 0);
    longer.headwordLength = 200;
    std::string index = test::readFile(indexPath(dir.path(), 1));
    index.append(reinterpret_cast<const char *>(&odd), sizeof odd);
    index.append(reinterpret_cast<const char *>(&longer), sizeof longer);
    index += "partial record";
    test::writeFile(indexPath(dir.path(), 1), index);

    ASSERT_TRUE(rebuildTab(dir.path(), 1, bases({ "bad", "bed" })).ok());
    const std::string rebuilt = test::readFile(indexPath(dir.path(), 1));
    ASSERT_EQ(rebuilt.size(), 4u * kRecordSize);
    EXPECT_EQ(rebuilt.substr(1 * kRecordSize, kRecordSize),
              std::string(reinterpret_cast<const char *>(&longer), sizeof longer));
    EXPECT_EQ(rebuilt.substr(3 * kRecordSize, kRecordSize),
              std::string(reinterpret_cast<const char *>(&odd), sizeof odd));
}

struct RefusalCase
{
    const char *name;
    std::function<void(const std::string &folder)> damage;
    ErrorCode expected;
};

TEST(Rebuild, RefusesWithoutTouchingTheTree)
{
    const RefusalCase cases[] = {
        { "unreadable index",
          [](const std::string &folder) {
              std::filesystem::remove(indexPath(folder, 1));
              std::filesystem::create_directory(indexPath(folder, 1));
          },
          ErrorCode::ReadError },
        { "user entry among the new base entries", [](const std::string &) {},
          ErrorCode::BadInput },
    };
    for (const RefusalCase &c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        test::writeTestDictionary(dir.path(), { { 1, bases({ "bed" }) } });
        c.damage(dir.path());
        const std::string baseBefore = test::readFile(articlePath(dir.path(), 1, true));
        std::vector<WriterEntry> entries = bases({ "bad" });
        if (c.expected == ErrorCode::BadInput)
            entries.push_back(userEntry("bz", rtfOf("bz")));
        EXPECT_EQ(rebuildTab(dir.path(), 1, entries).code, c.expected);
        EXPECT_EQ(test::readFile(articlePath(dir.path(), 1, true)), baseBefore);
    }
}

TEST(Rebuild, CreatesAMissingUserArticleFileEmpty)
{
    test::TempDir dir;
    ASSERT_TRUE(rebuildTab(dir.path(), 40, bases({ "masa" })).ok());
    EXPECT_TRUE(test::exists(articlePath(dir.path(), 40, false)));
    EXPECT_EQ(test::readFile(articlePath(dir.path(), 40, false)), "");
    EXPECT_EQ(listing(dir.path(), 40), std::vector<std::string> { "masa" });
}

struct Outcome
{
    int exitCode;
    std::string out;
    std::string err;
};

Outcome run(const std::vector<std::string> &args)
{
    std::ostringstream out;
    std::ostringstream err;
    const int code = dicttool::runCommandLine(args, out, err);
    return { code, out.str(), err.str() };
}

TEST(RebuildCommand, KeepsUserWordsAndEverythingElseTheUserWrote)
{
    test::TempDir source;
    test::TempDir tree;
    const std::string out = tree.path();
    test::writeGeneratedSource(source.path(), 5, 1);
    Outcome r = run({ "build", "--no-sound", "--source", source.path(), out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Words added by the user kept: 0 in 0 tabs"), std::string::npos) << r.out;

    const struct
    {
        int tab;
        const char *word; // UTF-8
    } words[] = { { 0, "abaa" }, { 0, "aaab" }, { 29, "çorap" }, { 36, "İzmir" } };
    for (const auto &w : words)
        ASSERT_TRUE(storeUserEntry(out, w.tab, cp1254::fromUtf8(w.word),
                                   rtfOf(cp1254::fromUtf8(w.word) + " user"))
                        .ok());
    test::writeFile(out + "/Dictionary.cfg", "10101\r\n");
    test::writeFile(out + "/study.DIC", "abaa*\r\n\xE7orap\r\n");
    test::writeFile(out + "/notes.txt", "mine");

    test::writeGeneratedSource(source.path(), 6, 2);
    r = run({ "build", "--no-sound", "--source", source.path(), out });
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Words added by the user kept: 4 in 3 tabs"), std::string::npos) << r.out;

    for (const auto &w : words) {
        std::vector<dicttool::FoundArticle> found;
        ASSERT_TRUE(dicttool::findArticles(out, w.word, found).ok());
        bool seen = false;
        for (const auto &f : found)
            seen |= f.tab == w.tab && f.text == std::string(w.word) + " user";
        EXPECT_TRUE(seen) << w.word;
    }
    // "aaab" is now a base headword too: the user's entry stands right behind it.
    const std::vector<std::string> a = listing(out, 0);
    const auto at = std::find(a.begin(), a.end(), "aaab");
    ASSERT_NE(at, a.end());
    ASSERT_NE(at + 1, a.end());
    EXPECT_EQ(*(at + 1), "aaab*");
    EXPECT_TRUE(std::is_sorted(a.begin(), a.end(), [](const std::string &x, const std::string &y) {
        return compareEnglish(cp1254::fromUtf8(x.substr(0, x.find('*'))),
                              cp1254::fromUtf8(y.substr(0, y.find('*'))))
            < 0;
    }));
    EXPECT_EQ(test::readFile(out + "/Dictionary.cfg"), "10101\r\n");
    EXPECT_EQ(test::readFile(out + "/study.DIC"), "abaa*\r\n\xE7orap\r\n");
    EXPECT_EQ(test::readFile(out + "/notes.txt"), "mine");

    r = run({ "check", out });
    EXPECT_EQ(r.exitCode, 0) << r.out;
    EXPECT_NE(r.out.find("tab 0 (eg/a): 9 records (7 base, 2 user)"), std::string::npos) << r.out;
}

TEST(RebuildCommand, DataVersionTakesTheSuffixFromTheEnvironment)
{
    ::unsetenv("ZAREL_DATA_VERSION_SUFFIX");
    const Outcome plain = run({ "--data-version" });
    ASSERT_EQ(plain.exitCode, 0);
    ASSERT_TRUE(plain.out.ends_with("\n"));
    ::setenv("ZAREL_DATA_VERSION_SUFFIX", "+test1", 1);
    const Outcome bumped = run({ "--data-version" });
    ::unsetenv("ZAREL_DATA_VERSION_SUFFIX");
    EXPECT_EQ(bumped.out, plain.out.substr(0, plain.out.size() - 1) + "+test1\n");
}

} // namespace
