// Tests of the builder's data: merging, skipping, ordering, the reverse index and articles.
#include "zarel-dict/articles.h"
#include "zarel-dict/builder.h"

#include "dictionary/codepage1254.h"
#include "rtf/rtfreader.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zarel;
using namespace zarel::dicttool;

namespace {

FreeDictEntry entry(const std::string &headword, const std::string &ipa,
                    std::vector<std::string> senses)
{
    return FreeDictEntry { headword, ipa, std::move(senses) };
}

std::vector<std::string> headwordsOf(const std::vector<EnglishHeadword> &tab)
{
    std::vector<std::string> out;
    for (const EnglishHeadword &h : tab)
        out.push_back(cp1254::toUtf8(h.headword));
    return out;
}

std::vector<std::string> headwordsOf(const std::vector<TurkishHeadword> &tab)
{
    std::vector<std::string> out;
    for (const TurkishHeadword &h : tab)
        out.push_back(cp1254::toUtf8(h.headword));
    return out;
}

const TurkishHeadword *findTurkish(const TurkishSide &side, const std::string &utf8)
{
    const std::string bytes = cp1254::fromUtf8(utf8);
    for (const auto &tab : side.tabs)
        for (const TurkishHeadword &h : tab)
            if (h.headword == bytes)
                return &h;
    return nullptr;
}

TEST(CollectEnglish, MergesRepeatedHeadwordsAndDropsRepeatedSenses)
{
    const EnglishSide side = collectEnglish({
        entry("ab", "", { "(önek) uzağa" }),
        entry("ab", "ˈab", { "temmuz ortasında başlayan ay", "(önek) uzağa" }),
        entry("ab", "ˈæb", { "üçüncü" }),
        entry("Ab", "ˈab", { "büyük" }), // another spelling is another headword
    });
    EXPECT_EQ(side.entries, 4);
    EXPECT_EQ(side.merged, 2);
    ASSERT_EQ(headwordsOf(side.tabs[0]), (std::vector<std::string> { "Ab", "ab" }));
    const EnglishHeadword &ab = side.tabs[0][1];
    EXPECT_EQ(ab.ipa, "ˈab"); // the first IPA there is
    EXPECT_EQ(
        ab.senses,
        (std::vector<std::string> { "(önek) uzağa", "temmuz ortasında başlayan ay", "üçüncü" }));
}

TEST(CollectEnglish, SkipsAndCountsHeadwordsThatCannotBeWritten)
{
    const EnglishSide side = collectEnglish({
        entry("(anat.)", "ˈanat", { "(kıs.) anatomy." }), entry("Δ-wing", "", { "delta kanat" }),
        entry(std::string(102, 'x'), "", { "uzun" }), entry("", "", {}),
        entry("3-D", "", { "üç boyutlu" }), entry("ōkay", "", { "tamam" }), // transliterated, kept
    });
    EXPECT_EQ(side.headwordCount(), 1u);
    EXPECT_EQ(headwordsOf(side.tabs[14]), std::vector<std::string> { "okay" });
    const SkipCounts expected = { { "no tab for the first character", 2 },
                                  { "not expressible in code page 1254", 1 },
                                  { "longer than 101 characters", 1 },
                                  { "empty headword", 1 } };
    EXPECT_EQ(side.skipped, expected);
}

TEST(CollectEnglish, SortsEachTabInDictionaryOrder)
{
    const EnglishSide side = collectEnglish({
        entry("carl", "", {}),
        entry("Carl", "", {}),
        entry("card", "", {}),
        entry("car", "", {}),
        entry("café", "", {}),
        entry("cab", "", {}),
        entry("à la", "", {}),
        entry("a", "", {}),
        entry("élan", "", {}),
        entry("eel", "", {}),
    });
    EXPECT_EQ(headwordsOf(side.tabs[2]),
              (std::vector<std::string> { "cab", "café", "car", "card", "Carl", "carl" }));
    EXPECT_EQ(headwordsOf(side.tabs[0]), (std::vector<std::string> { "a", "à la" }));
    EXPECT_EQ(headwordsOf(side.tabs[4]), (std::vector<std::string> { "eel", "élan" }));
}

TEST(CollectTurkish, BuildsTheReverseIndexAndMergesWithTurkishEntries)
{
    const EnglishSide english = collectEnglish({
        entry("car", "kˈɑː", { "araba, otomobil", "(A.B.D.) vagon" }),
        entry("automobile", "", { "otomobil" }),
        entry("exaggerate", "", { "abartmak, mübalağa etmek" }),
        entry("overstate", "", { "abartmak" }), entry("see", "", { "(bak.) look" }),
        entry("quebec", "", { "Quebec" }), entry("iraq", "", { "Irak" }),
        entry("island", "", { "ada" }),
        entry("islet", "", { "Ada" }), // another spelling of the same Turkish word
    });
    const TurkishSide side = collectTurkish(
        {
            entry("abartmak", "abartmˈak", { "exaggerate" }),
            entry("Irak", "ɯɾak", { "Iraq" }),
            entry("Ğ", "", { "soft g" }),
        },
        english);
    EXPECT_EQ(side.entries, 3);

    const TurkishHeadword *abartmak = findTurkish(side, "abartmak");
    ASSERT_NE(abartmak, nullptr);
    EXPECT_EQ(abartmak->senses, std::vector<std::string> { "exaggerate" });
    // "exaggerate" is already named by the Turkish-English sense.
    EXPECT_EQ(abartmak->english, std::vector<std::string> { "overstate" });

    const TurkishHeadword *otomobil = findTurkish(side, "otomobil");
    ASSERT_NE(otomobil, nullptr);
    EXPECT_EQ(otomobil->english, (std::vector<std::string> { "automobile", "car" }));

    const TurkishHeadword *ada = findTurkish(side, "ada");
    ASSERT_NE(ada, nullptr) << "merged under one spelling";
    EXPECT_EQ(findTurkish(side, "Ada"), nullptr);
    EXPECT_EQ(ada->english, (std::vector<std::string> { "island", "islet" }));

    // Turkish casing: Irak (I = ı) is on the ı tab 35, not on the İ tab 36.
    EXPECT_EQ(headwordsOf(side.tabs[35 - 26]), std::vector<std::string> { "Irak" });
    const TurkishHeadword *irak = findTurkish(side, "Irak");
    ASSERT_NE(irak, nullptr);
    EXPECT_TRUE(irak->english.empty()); // "iraq" is "Iraq" already

    EXPECT_NE(findTurkish(side, "vagon"), nullptr); // its label removed
    EXPECT_EQ(findTurkish(side, "look"), nullptr); // a cross reference gives nothing
    const SkipCounts expected = { { "begins with Q", 1 }, { "begins with Ğ", 1 } };
    EXPECT_EQ(side.skipped, expected);
}

TEST(CollectTurkish, OrdersTabsAlphabetically)
{
    const EnglishSide english = collectEnglish({
        entry("x1", "", { "çam, cam, ceviz, çukur" }),
        entry("x2", "", { "ısı, ılık, iğne, İzmir, Irmak" }),
    });
    const TurkishSide side = collectTurkish({}, english);
    EXPECT_EQ(headwordsOf(side.tabs[28 - 26]), (std::vector<std::string> { "cam", "ceviz" }));
    EXPECT_EQ(headwordsOf(side.tabs[29 - 26]), (std::vector<std::string> { "çam", "çukur" }));
    EXPECT_EQ(headwordsOf(side.tabs[35 - 26]),
              (std::vector<std::string> { "ılık", "Irmak", "ısı" }));
    EXPECT_EQ(headwordsOf(side.tabs[36 - 26]), (std::vector<std::string> { "iğne", "İzmir" }));
}

TEST(CollectTurkish, CapsTheEnglishList)
{
    std::vector<FreeDictEntry> entries;
    for (size_t i = 0; i < kMaxEnglishEquivalents + 5; ++i)
        entries.push_back(entry("w" + std::to_string(1000 + i), "", { "bir" }));
    const TurkishSide side = collectTurkish({}, collectEnglish(entries));
    const TurkishHeadword *bir = findTurkish(side, "bir");
    ASSERT_NE(bir, nullptr);
    EXPECT_EQ(bir->english.size(), kMaxEnglishEquivalents);
    EXPECT_EQ(side.cappedLists, 1);
}

struct RunShape
{
    std::string text;
    bool bold;
    bool italic;
    bool operator==(const RunShape &) const = default;
};

std::vector<RunShape> runShapes(const std::vector<rtf::Run> &runs)
{
    std::vector<RunShape> out;
    for (const rtf::Run &r : runs)
        out.push_back({ r.text, r.format.bold, r.format.italic });
    return out;
}

TEST(ArticleDocuments, SetsShortLabelsInItalics)
{
    struct Case
    {
        std::string sense;
        std::vector<RunShape> runs;
    };
    const std::string fifteen = "(ççççççççççççççç)"; // 15 characters, 30 bytes
    const std::string sixteen = "(çççççççççççççççç)";
    const Case cases[] = {
        { "(müz.) la notası", { { "(müz.)", false, true }, { " la notası", false, false } } },
        { "a (k. dili) b (huk.)",
          { { "a ", false, false },
            { "(k. dili)", false, true },
            { " b ", false, false },
            { "(huk.)", false, true } } },
        { "aforoz (özellikle katoliklerde)",
          { { "aforoz (özellikle katoliklerde)", false, false } } },
        { "(a (b) c)",
          { { "(a ", false, false }, { "(b)", false, true }, { " c)", false, false } } },
        { "unclosed (label", { { "unclosed (label", false, false } } },
        { "() x", { { "() x", false, false } } },
        { fifteen, { { fifteen, false, true } } },
        { sixteen, { { sixteen, false, false } } },
        { "", {} },
    };
    for (const Case &c : cases)
        EXPECT_EQ(runShapes(senseRuns(c.sense)), c.runs) << c.sense;
}

TEST(ArticleDocuments, BeginWithTheHeadwordAndTranscription)
{
    const rtf::Document doc
        = articleDocument("abandon", parseMarkup("*ı*b*e*nd*ı*n"), { "terk etmek", "(den.) faça" });
    ASSERT_EQ(doc.paragraphs.size(), 3u);
    EXPECT_EQ(runShapes(doc.paragraphs[0].runs),
              (std::vector<RunShape> { { "abandon", true, false },
                                       { " /", false, false },
                                       { "ı", true, false },
                                       { "b", false, false },
                                       { "e", true, false },
                                       { "nd", false, false },
                                       { "ı", true, false },
                                       { "n/", false, false } }));
    EXPECT_EQ(runShapes(doc.paragraphs[2].runs),
              (std::vector<RunShape> {
                  { "2. ", false, false }, { "(den.)", false, true }, { " faça", false, false } }));
    EXPECT_EQ(rtf::plainText(doc), "abandon /ıbendın/\n1. terk etmek\n2. (den.) faça");

    // No transcription: no slashes; code page 1254 headwords come out as UTF-8.
    const rtf::Document plain = articleDocument("\xE7"
                                                "am",
                                                {}, { "pine" });
    EXPECT_EQ(rtf::plainText(plain), "çam\n1. pine");

    // Written and read back through the RTF writer and reader.
    const std::string bytes = articleRtf(doc);
    EXPECT_TRUE(bytes.starts_with("{\\rtf1"));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    })) << "7-bit RTF";
    EXPECT_EQ(rtf::plainText(rtf::parse(bytes)), rtf::plainText(doc));
}

TEST(WriterTabs, HoldOneBaseRecordPerHeadwordWithItsArticle)
{
    const EnglishSide english = collectEnglish({
        entry("this", "ðˈɪs", { "bu" }),
        entry("abide", "", { "katlanmak" }),
    });
    const TurkishSide turkish = collectTurkish({}, english);
    std::map<char32_t, int> unknown;
    const auto tabs = makeWriterTabs(english, turkish, IpaMap::builtin(), &unknown);
    ASSERT_EQ(tabs.size(), 56u);
    ASSERT_EQ(tabs[19].size(), 1u);
    EXPECT_EQ(tabs[19][0].headword, "this");
    EXPECT_EQ(tabs[19][0].baseFlag, 1);
    EXPECT_EQ(rtf::plainText(rtf::parse(tabs[19][0].article)), "this /dis/\n1. bu");
    EXPECT_EQ(rtf::plainText(rtf::parse(tabs[0][0].article)), "abide\n1. katlanmak");
    ASSERT_EQ(tabs[27].size(), 1u); // bu
    EXPECT_EQ(rtf::plainText(rtf::parse(tabs[27][0].article)), "bu\n1. this");
    EXPECT_TRUE(unknown.empty());
}

} // namespace
