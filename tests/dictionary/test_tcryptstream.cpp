// TCryptStream and reading an article: scrambling, limits, damaged records, missing files, SZDD.
#include "dictionary/tcryptstream.h"

#include "dictionary/lettertabs.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace zarel;
using namespace zarel::test;

TEST(Scrambling, SubtractionWrapsBeforeTheXor)
{
    // 0x10 - 0x37 wraps to 0xD9; 0xD9 ^ 0x6B = 0xB2. XOR first would give (0x10 ^ 0x6B) - 0x37 =
    // 0x44.
    EXPECT_EQ(descrambleByte(0x10), 0xB2);
    EXPECT_EQ(descrambleByte(0x37), 0x6B);
    EXPECT_EQ(descrambleByte(0x00), static_cast<unsigned char>(0xC9 ^ 0x6B));
    for (int b = 0; b < 256; ++b) {
        EXPECT_EQ(descrambleByte(scrambleByte(static_cast<unsigned char>(b))), b);
        EXPECT_EQ(scrambleByte(descrambleByte(static_cast<unsigned char>(b))), b);
    }
}

TEST(TWordRecordLayout, FieldsAtTheirOffsets)
{
    const TWordRecord r = TWordRecord::make("run", 0x01020304, -5, 2);
    const auto *bytes = reinterpret_cast<const unsigned char *>(&r);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 'r');
    EXPECT_EQ(bytes[102], 0x04);
    EXPECT_EQ(bytes[105], 0x01);
    EXPECT_EQ(bytes[106], 0xFB);
    EXPECT_EQ(bytes[109], 0xFF);
    EXPECT_EQ(bytes[110], 2);
    EXPECT_EQ(r.ArticleOffset(), 0x01020304);
    EXPECT_EQ(r.ArticleSize(), -5);
    EXPECT_TRUE(r.isBase()); // BaseFlag 2 is a base entry
    EXPECT_EQ(r.headword(), "run");
}

TEST(TWordRecordLayout, OverlongLengthByteIsReadAs101)
{
    TWordRecord r = TWordRecord::make(std::string(101, 'x'), 0, 0, 1);
    r.headwordLength = 255;
    EXPECT_EQ(r.headword().size(), 101u);
    EXPECT_EQ(TWordRecord::make(std::string(150, 'y'), 0, 0, 1).headword().size(), 101u);
    EXPECT_TRUE(TWordRecord::make("", 0, 0, 1).headword().empty());
}

class ArticleTest : public ::testing::Test
{
protected:
    TempDir dir;
    std::string folder() const { return dir.path(); }
};

TEST_F(ArticleTest, BaseArticlesAreDescrambledAndUserArticlesReadAsTheyAre)
{
    const std::string article = "{\\rtf1 ko\xFEmak}";
    writeTestDictionary(
        folder(), { { 17, { baseEntry("run", article), userEntry("runner", "plain \xFE") } } });
    const std::string userBytes = readFile(articlePath(folder(), 17, false));
    EXPECT_EQ(userBytes, "plain \xFE");
    EXPECT_NE(readFile(articlePath(folder(), 17, true)), article);

    EXPECT_EQ(readArticle(folder(), 17,
                          TWordRecord::make("run", 0, static_cast<int32_t>(article.size()), 1)),
              article);
    EXPECT_EQ(readArticle(folder(), 17, TWordRecord::make("runner", 0, 7, 0)), "plain \xFE");
    // Reading never changes the user file; the same bytes through a base record are descrambled.
    EXPECT_EQ(readFile(articlePath(folder(), 17, false)), userBytes);
    std::string expected = userBytes;
    for (char &c : expected)
        c = static_cast<char>(descrambleByte(static_cast<unsigned char>(c)));
    writeFile(articlePath(folder(), 17, true), userBytes);
    EXPECT_EQ(readArticle(folder(), 17, TWordRecord::make("x", 0, 7, 1)), expected);
}

TEST_F(ArticleTest, RangesAndSizes)
{
    writeTestDictionary(folder(), { { 0, { userEntry("a", "0123456789abcdef") } } });
    const struct
    {
        int32_t offset, size;
        std::string expected;
    } cases[] = {
        { 0, 0, "" }, // size 0 reads nothing although the file has more bytes
        { 0, 4, "0123" }, { 10, 100, "abcdef" }, // past the end: what exists
        { 16, 5, "" },    { 100, 5, "" },
        { -1, 5, "" }, // damaged records read as empty articles
        { 3, -2, "" },    { 3, 2, "34" },
    };
    for (const auto &c : cases)
        EXPECT_EQ(readArticle(folder(), 0, TWordRecord::make("a", c.offset, c.size, 0)), c.expected)
            << c.offset << "," << c.size;
}

TEST_F(ArticleTest, StreamReadsNothingUntilRemainingIsSet)
{
    writeTestDictionary(folder(), { { 0, { userEntry("a", "0123456789abcdef") } } });
    TCryptStream s(articlePath(folder(), 0, false), 0, false);
    char buf[8];
    EXPECT_EQ(s.remaining(), 0);
    EXPECT_EQ(s.read(buf, 8), 0);
    s.setRemaining(5);
    EXPECT_EQ(s.read(buf, 3), 3);
    EXPECT_EQ(s.remaining(), 2);
    EXPECT_EQ(s.read(buf, 8), 2);
    EXPECT_EQ(s.read(buf, 8), 0);
}

TEST_F(ArticleTest, MissingArticleFileIsCreatedEmpty)
{
    writeTestDictionary(folder(), {});
    const std::string path = articlePath(folder(), 16, false);
    std::remove(path.c_str());
    ASSERT_FALSE(exists(path));
    EXPECT_EQ(readArticle(folder(), 16, TWordRecord::make("quick", 0, 10, 0)), "");
    ASSERT_TRUE(exists(path));
    EXPECT_EQ(readFile(path), "");
    // A missing folder: nothing can be created, nothing is read, nothing crashes.
    EXPECT_EQ(readArticle(folder() + "/nowhere", 16, TWordRecord::make("quick", 0, 10, 0)), "");
    EXPECT_FALSE(exists(folder() + "/nowhere"));
}

TEST_F(ArticleTest, WriteAppendsUnscrambledInPlainMode)
{
    writeTestDictionary(folder(), { { 0, { userEntry("a", "first") } } });
    const std::string path = articlePath(folder(), 0, false);
    {
        TCryptStream s(path, 2, true);
        EXPECT_EQ(s.write("second", 6), 6);
    }
    EXPECT_EQ(readFile(path), "firstsecond");
    TCryptStream lz(path, 0, false);
    EXPECT_EQ(lz.write("x", 1), 0); // the LZ layer is read only
}

TEST_F(ArticleTest, SzddCompressedArticleFilesReadAsExpandedBytes)
{
    std::string longArticle;
    for (int i = 0; i < 200; ++i)
        longArticle += "{\\rtf1\\b run\\b0  /ran/ koşmak " + std::to_string(i) + "}";
    writeTestDictionary(
        folder(), { { 17, { baseEntry("ran", "{\\rtf1 ran}"), baseEntry("run", longArticle) } } },
        true);
    const std::string raw = readFile(articlePath(folder(), 17, true));
    ASSERT_EQ(raw.substr(0, 4), "SZDD");
    EXPECT_EQ(
        readArticle(folder(), 17,
                    TWordRecord::make("run", 11, static_cast<int32_t>(longArticle.size()), 1)),
        longArticle);
    EXPECT_EQ(readArticle(folder(), 17, TWordRecord::make("ran", 0, 11, 1)), "{\\rtf1 ran}");
}

TEST_F(ArticleTest, ArticleFileCompressedByMscompress)
{
    if (std::system("command -v mscompress >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "mscompress is not installed";
    std::string plain;
    for (int i = 0; i < 300; ++i)
        plain += "article number " + std::to_string(i) + " \xFE\xF0\xFD; ";
    std::string scrambled = plain;
    scrambleInPlace(scrambled);
    writeTestDictionary(folder(), {});
    const std::string path = articlePath(folder(), 1, true);
    writeFile(path, scrambled);
    ASSERT_EQ(std::system(
                  ("mscompress " + path + " >/dev/null 2>&1 && mv " + path + "_ " + path).c_str()),
              0);
    ASSERT_EQ(readFile(path).substr(0, 4), "SZDD");
    EXPECT_EQ(readArticle(folder(), 1, TWordRecord::make("b", 100, 500, 1)),
              plain.substr(100, 500));
}
