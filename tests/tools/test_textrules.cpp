// Tests of the builder's text rules: transliteration, headwords, tabs, the two orders.
#include "zarel-dict/textrules.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace zarel::dicttool;

namespace {

TEST(Transliteration, ConvertsToCodePage1254)
{
    struct Case
    {
        const char *utf8;
        const char *bytes;
        int transliterated;
        int dropped;
    };
    const Case cases[] = {
        { "plain", "plain", 0, 0 },
        { "café", "caf\xE9", 0, 0 }, // é is in the code page and stays
        { "şığ İÇÖÜ", "\xFE\xFD\xF0 \xDD\xC7\xD6\xDC", 0, 0 },
        { "ā", "a", 1, 0 },
        { "Ā", "A", 1, 0 },
        { "łódź",
          "l\xF3"
          "dz",
          2, 0 },
        { "Ōsaka", "Osaka", 1, 0 },
        { "e\xCC\x81", "e", 1, 0 }, // e + combining acute: the mark is dropped
        { "lamp‐shade", "lamp-shade", 1, 0 }, // U+2010 hyphen
        { "ý", "y", 1, 0 }, // ý has no place in code page 1254 (its byte is ı)
        { "€5",
          "\x80"
          "5",
          0, 0 },
        { "日本", "", 0, 2 },
        { "a\tb", "a b", 0, 0 },
        { "a\x01z", "az", 0, 1 },
        { "\xFF", "", 0, 1 }, // malformed UTF-8
    };
    for (const Case &c : cases) {
        const Cp1254Text t = toCp1254(c.utf8);
        EXPECT_EQ(t.bytes, c.bytes) << c.utf8;
        EXPECT_EQ(t.transliterated, c.transliterated) << c.utf8;
        EXPECT_EQ(t.dropped, c.dropped) << c.utf8;
    }
}

TEST(HeadwordConversion, AreCleanedOrRefused)
{
    struct Case
    {
        std::string utf8;
        std::optional<std::string> expected;
        const char *reason;
    };
    const Case cases[] = {
        { "atrabilious,", "atrabilious", "" },
        { "  a  la \t carte ; ", "a la carte", "" },
        { "à la", "\xE0 la", "" },
        { "Ōsaka", "Osaka", "" },
        { "Δ-wing", std::nullopt, "not expressible in code page 1254" },
        { " , ", std::nullopt, "empty headword" },
        { "", std::nullopt, "empty headword" },
        { std::string(101, 'x'), std::string(101, 'x'), "" },
        { std::string(102, 'x'), std::nullopt, "longer than 101 characters" },
        { std::string(50, 'x') + "ş" + std::string(50, 'x'),
          std::string(50, 'x') + "\xFE" + std::string(50, 'x'), "" },
    };
    for (const Case &c : cases) {
        std::string reason;
        EXPECT_EQ(headwordToCp1254(c.utf8, &reason), c.expected) << c.utf8;
        EXPECT_EQ(reason, c.reason) << c.utf8;
    }
}

TEST(HeadwordTabs, EnglishByFirstLetterWithAccentsFolded)
{
    struct Case
    {
        const char *headword; // code page 1254
        int tab;
    };
    const Case cases[] = {
        { "apple", 0 },
        { "Zebra", 25 },
        { "\xE0 la", 0 }, // à la
        { "\xC9lan", 4 },
        { "\xFE"
          "ey",
          18 },
        { "\xFDs\xFD", 8 }, // Élan, şey, ısı
        { "(anat.)", -1 },
        { "-ism", -1 },
        { "1st", -1 },
        { "", -1 },
        { "\xD7x", -1 }, // ×
    };
    for (const Case &c : cases)
        EXPECT_EQ(englishTabOf(c.headword), c.tab) << c.headword;
}

TEST(HeadwordTabs, TurkishByTheTurkishTabTable)
{
    struct Case
    {
        const char *headword; // code page 1254
        int tab;
        TurkishTabProblem problem;
    };
    using P = TurkishTabProblem;
    const Case cases[] = {
        { "a\xF0"
          "a\xE7",
          26, P::None }, // ağaç
        { "\xE7"
          "ay",
          29, P::None }, // çay
        { "\xC7"
          "ay",
          29, P::None },
        { "Irak", 35, P::None }, // I is the capital of ı
        { "\xFDslak", 35, P::None }, // ıslak
        { "iyi", 36, P::None }, // i belongs to İ
        { "\xDDstanbul", 36, P::None }, // İstanbul
        { "\xF6rdek", 43, P::None }, // ördek
        { "\xFE"
          "eker",
          47, P::None }, // şeker
        { "\xFCz\xFCm", 50, P::None }, // üzüm
        { "web", 52, P::None },
        { "zil", 55, P::None },
        { "\xE2"
          "det",
          26, P::None }, // âdet
        { "\xEEman", 36, P::None }, // îman
        { "\xFBmit", 49, P::None }, // ûmit
        { "\xE9tude", 31, P::None }, // étude
        { "\xF0", -1, P::BeginsWithGBreve },
        { "\xD0"
          "a",
          -1, P::BeginsWithGBreve },
        { "quartz", -1, P::BeginsWithQ },
        { "Quartz", -1, P::BeginsWithQ },
        { "-de", -1, P::NoTab },
        { "", -1, P::NoTab },
    };
    for (const Case &c : cases) {
        TurkishTabProblem problem = TurkishTabProblem::None;
        EXPECT_EQ(turkishTabOf(c.headword, &problem), c.tab) << c.headword;
        EXPECT_EQ(problem, c.problem) << c.headword;
    }
}

// Sorting a shuffled copy must give the list back.
template<typename Less> void expectOrder(const std::vector<std::string> &ordered, Less less)
{
    for (size_t i = 0; i + 1 < ordered.size(); ++i) {
        EXPECT_TRUE(less(ordered[i], ordered[i + 1])) << ordered[i] << " < " << ordered[i + 1];
        EXPECT_FALSE(less(ordered[i + 1], ordered[i])) << ordered[i + 1] << " !< " << ordered[i];
    }
    std::vector<std::string> shuffled = ordered;
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    std::sort(shuffled.begin(), shuffled.end(), less);
    EXPECT_EQ(shuffled, ordered);
}

TEST(HeadwordOrders, EnglishIsCaseInsensitiveDictionaryOrderThenBytes)
{
    const std::vector<std::string> ordered = {
        "a",
        "a la carte",
        "\xE0 la mode", // à la mode: à counts as a
        "aardvark",
        "cafe",
        "caf\xE9", // café right after cafe
        "car",
        "car park",
        "car-park",
        "card",
        "Carl",
        "carl",
        "carp",
        "CARPET",
        "carpet",
        "zoo",
    };
    expectOrder(ordered,
                [](const std::string &a, const std::string &b) { return englishLess(a, b); });
    EXPECT_EQ(englishSortKey("CaF\xC9"), "cafe");
}

TEST(HeadwordOrders, TurkishAlphabetWithTurkishCasing)
{
    const std::vector<std::string> ordered = {
        "\xE2"
        "det", // âdet as adet
        "Ankara",
        "ankara",
        "bal",
        "cam",
        "ceviz",
        "\xE7"
        "am", // çam after every c
        "da\xF0", // dağ: ğ before l
        "dal",
        "g\xFCl", // gül
        "\xF0"
        "a", // ğ after g
        "hava",
        "Irak", // I is ı
        "\xFDrmak", // ırmak
        "ila\xE7", // ilaç
        "\xDDstanbul", // İstanbul is i
        "jilet",
        "oda",
        "\xF6rdek", // ördek after o
        "pazar",
        "su",
        "su kab\xFD", // su kabı: a blank before letters
        "sucuk",
        "\xFE"
        "eker", // şeker after s
        "tuz",
        "\xFCz\xFCm", // üzüm after u
        "vazo",
        "web",
        "yol",
        "zil",
    };
    expectOrder(ordered,
                [](const std::string &a, const std::string &b) { return turkishLess(a, b); });
}

// Random code-page-1254 headwords: short, over an alphabet weighted towards letters that fold
// together (case, accents, the Turkish i's) so that many pairs share prefixes and folds, yet
// with every byte value possible.
class RandomHeadwords
{
public:
    std::string next()
    {
        std::string word;
        const int length = static_cast<int>(m_random() % 7);
        for (int i = 0; i < length; ++i)
            word += nextByte();
        return word;
    }

    // A near miss of `word`: one byte changed, one added, or the last one removed.
    std::string variantOf(std::string word)
    {
        const unsigned choice = m_random() % 3;
        if (choice == 0 && !word.empty())
            word[m_random() % word.size()] = nextByte();
        else if (choice == 1 || word.empty())
            word.insert(word.begin() + static_cast<std::ptrdiff_t>(m_random() % (word.size() + 1)),
                        nextByte());
        else
            word.pop_back();
        return word;
    }

private:
    char nextByte()
    {
        static const std::string kCommon
            = zarel::cp1254::fromUtf8("aAcCçÇeEéÉiIıİîsSşŞgGğĞoOöÖuUüÜz -'_~");
        if (m_random() % 4 == 0)
            return static_cast<char>(m_random() % 256);
        return kCommon[m_random() % kCommon.size()];
    }

    std::mt19937 m_random { 1254 };
};

int sign(int value)
{
    return (value > 0) - (value < 0);
}

// The builder sorts with englishLess/turkishLess and merges headwords by their sort keys; the
// program inserts a user's word with compareEnglish/compareTurkish. They must never disagree,
// or a word the user adds lands out of the order its index file was written in.
TEST(HeadwordOrders, AgreeWithTheCoreOnRandomHeadwords)
{
    RandomHeadwords words;
    for (int i = 0; i < 5000; ++i) {
        const std::string a = words.next();
        const std::string b = i % 2 == 0 ? words.variantOf(a) : words.next();
        const std::string pair = zarel::cp1254::toUtf8(a) + " ? " + zarel::cp1254::toUtf8(b);
        const int english = zarel::compareEnglish(a, b);
        const int turkish = zarel::compareTurkish(a, b);
        ASSERT_EQ(englishLess(a, b), english < 0) << pair;
        ASSERT_EQ(englishLess(b, a), english > 0) << pair;
        ASSERT_EQ(turkishLess(a, b), turkish < 0) << pair;
        ASSERT_EQ(turkishLess(b, a), turkish > 0) << pair;
        ASSERT_EQ(english == 0, a == b) << pair;
        ASSERT_EQ(turkish == 0, a == b) << pair;

        // The keys order as the comparisons do; equal keys leave the raw bytes to decide.
        const int englishKeys = englishSortKey(a).compare(englishSortKey(b));
        const int turkishKeys = turkishSortKey(a).compare(turkishSortKey(b));
        const int raw = a.compare(b);
        ASSERT_EQ(sign(english), sign(englishKeys != 0 ? englishKeys : raw)) << pair;
        ASSERT_EQ(sign(turkish), sign(turkishKeys != 0 ? turkishKeys : raw)) << pair;
    }
}

TEST(HeadwordOrders, TurkishLowerCaseUsesTurkishCasing)
{
    EXPECT_EQ(turkishLower("I\xD0"
                           "DIR"),
              "\xFD\xF0"
              "d\xFDr"); // IĞDIR -> ığdır
    EXPECT_EQ(turkishLower("\xDDSTANBUL"), "istanbul");
    EXPECT_EQ(turkishLower("\xC7\xD6\xDE\xDC"), "\xE7\xF6\xFE\xFC");
    EXPECT_EQ(turkishLower("ab-1"), "ab-1");
}

} // namespace
