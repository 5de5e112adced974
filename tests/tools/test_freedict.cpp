// Tests of the FreeDict reader: dictd numbers, gzip data, entries, whole dictionaries.
#include "zarel-dict/articles.h"
#include "zarel-dict/freedict.h"
#include "zarel-dict/reverseindex.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <random>

#include <zlib.h>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

// gzip data as dictzip writes it (one member); `extra` adds an FEXTRA field like dictzip's
// chunk table.
std::string gzipped(const std::string &plain)
{
    z_stream zs {};
    EXPECT_EQ(deflateInit2(&zs, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    gz_header header {};
    Bytef extra[] = { 'R', 'A', 2, 0, 1, 0 };
    header.extra = extra;
    header.extra_len = sizeof extra;
    deflateSetHeader(&zs, &header);
    std::string out(deflateBound(&zs, plain.size()) + 64, '\0');
    zs.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(plain.data()));
    zs.avail_in = static_cast<uInt>(plain.size());
    zs.next_out = reinterpret_cast<Bytef *>(out.data());
    zs.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&zs, Z_FINISH), Z_STREAM_END);
    out.resize(zs.total_out);
    deflateEnd(&zs);
    return out;
}

TEST(DictdNumbers, DecodeBase64)
{
    struct Case
    {
        const char *text;
        int64_t value;
    };
    const Case cases[] = {
        { "A", 0 },
        { "B", 1 },
        { "/", 63 },
        { "BA", 64 },
        { "ig", 34 * 64 + 32 },
        { "C+", 2 * 64 + 62 },
        { "//////////", (int64_t(1) << 60) - 1 },
        { "", -1 },
        { "a*", -1 },
        { "AAAAAAAAAAA", -1 },
        { "a b", -1 },
    };
    for (const Case &c : cases)
        EXPECT_EQ(decodeDictdNumber(c.text), c.value) << c.text;
}

TEST(Gunzip, InflatesDictzipData)
{
    const std::string plain = "hello\n" + std::string(100000, 'x') + "world\n";
    std::string out;
    ASSERT_TRUE(gunzip(gzipped(plain), out).ok());
    EXPECT_EQ(out, plain);

    // Two members one after the other read as one text.
    ASSERT_TRUE(gunzip(gzipped("one ") + gzipped("two"), out).ok());
    EXPECT_EQ(out, "one two");
}

TEST(Gunzip, RefusesDamagedOrTooLargeData)
{
    const std::string packed = gzipped(std::string(5000, 'y') + "end");
    std::string out = "stale";
    struct Case
    {
        std::string data;
        size_t cap;
    };
    const Case cases[] = {
        { packed.substr(0, packed.size() / 2), kMaxDictBytes }, // truncated
        { "not gzip at all", kMaxDictBytes },
        { "", kMaxDictBytes },
        { packed, 1000 }, // above the cap
        { packed + "garbage after the member", kMaxDictBytes },
    };
    for (const Case &c : cases) {
        const Status st = gunzip(c.data, out, c.cap);
        EXPECT_EQ(st.code, ErrorCode::BadFormat) << c.data.size();
        EXPECT_TRUE(out.empty());
    }
}

TEST(FreeDictEntries, ParseHeadwordIpaAndSenses)
{
    struct Case
    {
        const char *text;
        const char *headword;
        const char *ipa;
        std::vector<std::string> senses;
    };
    const Case cases[] = {
        { "a /ˈeɪ/\n1. ingiliz alfabesinin ilk harfi\n2. (müz.) la  notası\n",
          "a",
          "ˈeɪ",
          { "ingiliz alfabesinin ilk harfi", "(müz.) la notası" } },
        { "a la carte /ˌala kˈɑːt/\n1. alâkart\n", "a la carte", "ˌala kˈɑːt", { "alâkart" } },
        { "and/or /ˈand ˈɔː/\n1. ve/veya\n", "and/or", "ˈand ˈɔː", { "ve/veya" } },
        { "Afrika /afrikˈa/\nAfrica\n", "Afrika", "afrikˈa", { "Africa" } },
        { "abide\nmonument\n\n", "abide", "", { "monument" } },
        { "x/y\r\n1. z\r\n", "x/y", "", { "z" } },
        { "odd  head  /ɒd/", "odd head", "ɒd", {} },
        { "12. twelve /t/\n10. ten\n1.5 kg\n", "12. twelve", "t", { "ten", "1.5 kg" } },
        { "", "", "", {} },
        { " /", "/", "", {} },
    };
    for (const Case &c : cases) {
        const FreeDictEntry e = parseEntry(c.text);
        EXPECT_EQ(e.headword, c.headword) << c.text;
        EXPECT_EQ(e.ipa, c.ipa) << c.text;
        EXPECT_EQ(e.senses, c.senses) << c.text;
    }
}

TEST(Dictd, ReadsIndexLinesSkipsMetaAndBadOnes)
{
    const std::string data = "00-database-info\nabout\n"
                             "b /b/\n1. bee\n"
                             "a /a/\n1. ay\n";
    // Offsets and lengths: meta 0+23 (A, X), "b" 23+13 (X, N), "a" 36+12 (k, M).
    const std::string index = "00databaseinfo\tA\tX\n"
                              "a\tk\tM\n"
                              "b\tX\tN\n"
                              "b\tX\tN\n" // the same range again
                              "c\tZZZ\tB\n" // past the data
                              "d\tA\n" // malformed
                              "e\tA\t*\n"
                              "\n";
    std::vector<FreeDictEntry> entries;
    DictdStats stats;
    parseDictd(index, data, entries, &stats);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].headword, "b"); // data order
    EXPECT_EQ(entries[1].headword, "a");
    EXPECT_EQ(entries[1].senses, std::vector<std::string> { "ay" });
    EXPECT_EQ(stats.indexLines, 7);
    EXPECT_EQ(stats.metaEntries, 1);
    EXPECT_EQ(stats.badLines, 3);
    EXPECT_EQ(stats.duplicateRanges, 1);
}

TEST(Dictd, ReadsCompressedOrPlainFilesAndReportsMissingOnes)
{
    test::TempDir dir;
    const std::string data = "kedi /kedi/\ncat\n";
    test::writeFile(dir.file("z.index"), "kedi\tA\tQ\n");
    test::writeFile(dir.file("z.dict.dz"), gzipped(data));
    test::writeFile(dir.file("p.index"), "kedi\tA\tQ\n");
    test::writeFile(dir.file("p.dict"), data);
    for (const char *stem : { "z", "p" }) {
        std::vector<FreeDictEntry> entries;
        ASSERT_TRUE(readDictd(dir.file(stem), entries).ok()) << stem;
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].headword, "kedi");
        EXPECT_EQ(entries[0].senses, std::vector<std::string> { "cat" });
    }
    std::vector<FreeDictEntry> entries;
    EXPECT_EQ(readDictd(dir.file("missing"), entries).code, ErrorCode::FileNotFound);
    test::writeFile(dir.file("m.index"), "kedi\tA\tQ\n");
    EXPECT_EQ(readDictd(dir.file("m"), entries).code, ErrorCode::FileNotFound);
    test::writeFile(dir.file("bad.index"), "kedi\tA\tQ\n");
    test::writeFile(dir.file("bad.dict.dz"), "broken");
    EXPECT_EQ(readDictd(dir.file("bad"), entries).code, ErrorCode::BadFormat);
}

// Random bytes through every text parser of the builder: no crash, no endless loop.
TEST(BuilderRobustness, SurvivesGarbage)
{
    std::mt19937 random(1254);
    const std::string alphabet = "ab /\t\n\r()[],;:.-*AZ09+\xC3\xA7\xC4\xB1\xCB\x88\xFF\x80";
    for (int round = 0; round < 300; ++round) {
        std::string text;
        const size_t length = random() % 200;
        for (size_t i = 0; i < length; ++i)
            text += round % 2 ? alphabet[random() % alphabet.size()]
                              : static_cast<char>(random() % 256);
        std::vector<FreeDictEntry> entries;
        parseDictd(text, text, entries);
        (void)parseEntry(text);
        (void)turkishTermsOfSense(text);
        (void)senseRuns(text);
        (void)IpaMap::builtin().convert(text);
        std::string out;
        (void)gunzip(text, out);
    }
}

} // namespace
