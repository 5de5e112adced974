// Lookup rules: tabs of typed and double-clicked words, the longest leading part that begins a
// headword, Enter's search and the double-click word cut.
#include "dictionary/lookuprules.h"

#include "dictionary/codepage1254.h"
#include "dictionary/twordrecord.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

using namespace zarel;

namespace {

using test::Entries;

constexpr int kEnglishH = 7;
constexpr int kTurkishI = 35; // ı, I
constexpr int kTurkishK = 38;

} // namespace

TEST(LookupRules, TabsOfTypedAndDoubleClickedWords)
{
    const struct
    {
        const char *first; // UTF-8, one character
        bool englishToTurkish;
        int typed, doubleClicked;
    } cases[] = {
        { "a", true, 0, 0 },    { "Z", true, 25, 25 },  { "h", true, 7, 7 },
        { " ", true, -1, -1 }, // a blank keeps the tab
        { "1", true, 16, 16 }, // (0x31 AND 31) - 1
        { "@", true, -1, -1 },  { "ç", true, 6, 33 }, // above 128: t + 27
        { "ş", true, 29, 29 }, // t + 27 would pass 55
        { "ç", false, 29, 29 }, { "ı", false, 35, 35 }, { "i", false, 36, 36 },
        { "I", false, 35, 35 }, { "ğ", false, -1, -1 }, { "q", false, -1, -1 },
    };
    for (const auto &c : cases) {
        const auto first = static_cast<unsigned char>(cp1254::fromUtf8(c.first).at(0));
        EXPECT_EQ(typedWordTab(first, c.englishToTurkish), c.typed)
            << c.first << ' ' << c.englishToTurkish;
        EXPECT_EQ(doubleClickTab(first, c.englishToTurkish), c.doubleClicked)
            << c.first << ' ' << c.englishToTurkish;
    }
}

TEST(LookupRules, LongestLeadingPartThatBeginsAHeadword)
{
    const Entries english { "hour", "house", "household", "houses", "huge" };
    const Entries turkish { "kış", "kişi", "kitap", "kitaplık" };
    const struct
    {
        const Entries &entries;
        int tab;
        const char *text;
        int found;
    } cases[] = {
        { english, kEnglishH, "houses of parliament", 3 },
        { english, kEnglishH, "housework", 1 }, // "house" is the longest part found
        { english, kEnglishH, "HOUSEHOLDS", 2 },
        { english, kEnglishH, "hz", 0 }, // down to the first letter
        { english, kEnglishH, "x", -1 },
        { english, kEnglishH, "", -1 },
        { english, kEnglishH, "h", 0 },
        { turkish, kTurkishK, "KIŞ günü", 0 }, // the Turkish tab folds I to ı
        { english, kEnglishH, "HUGE", 4 },
        { turkish, kTurkishK, "kitaplıklar", 3 },
        { turkish, kTurkishK, "KİTAP", 2 },
        { Entries {}, kTurkishI, "ılık", -1 },
    };
    for (const auto &c : cases) {
        EXPECT_EQ(longestLeadingPartMatch(c.entries.pointers, cp1254::fromUtf8(c.text), c.tab),
                  c.found)
            << c.text;
    }
}

TEST(LookupRules, EnterFindsTheWholeWordInAnyLetterCase)
{
    const Entries english { "house", "House", "Ink", "ink" };
    const Entries turkish { "ılık", "ince", "İnce" };
    const struct
    {
        const Entries &entries;
        int tab;
        const char *typed;
        int found;
    } cases[] = {
        { english, kEnglishH, "house", 0 }, { english, kEnglishH, "HOUSE", 0 },
        { english, kEnglishH, "hous", -1 }, { english, kEnglishH, "houses", -1 },
        { english, kEnglishH, "INK", 2 },   { english, kEnglishH, "", -1 },
        { turkish, kTurkishI, "ILIK", 0 },  { turkish, kTurkishI, "İNCE", 1 },
        { turkish, kTurkishI, "INCE", -1 }, // I is ı on a Turkish tab
        { english, kEnglishH, "ınk", -1 }, // ı is no i on an English tab
    };
    for (const auto &c : cases)
        EXPECT_EQ(enteredWordMatch(c.entries.pointers, cp1254::fromUtf8(c.typed), c.tab), c.found)
            << c.typed;
}

TEST(LookupRules, DoubleClickedWordIsCutAtTheFirstBlank)
{
    const struct
    {
        std::string selected, word;
    } cases[] = {
        { "house", "house" },
        { "  house of", "house" },
        { "house ", "house" },
        { "   ", "" },
        { "", "" },
        { "a\tb c", "a\tb" }, // only the blank cuts
        { std::string("x\0y z", 5), std::string("x\0y", 3) },
    };
    for (const auto &c : cases)
        EXPECT_EQ(doubleClickedWord(c.selected), c.word) << c.selected;
}
