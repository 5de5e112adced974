// Combo-box searches: prefix and exact matches from the top, with the program's case folding.
#include "dictionary/combosearch.h"

#include "dictionary/codepage1254.h"
#include "dictionary/twordrecord.h"
#include "support/testdictionary.h"

#include <gtest/gtest.h>

using namespace zarel;

namespace {

using test::Entries;

} // namespace

TEST(ComboSearch, PrefixAndExact)
{
    const Entries list { "run", "runner", "Running", "çay", "Çorba", "ılık", "İnce", "ince" };
    const struct
    {
        const char *text;
        int prefix, exact;
    } cases[] = {
        { "run", 0, 0 },  { "RUN", 0, 0 },  { "runn", 1, -1 },      { "running", 2, 2 },
        { "ÇAY", 3, 3 },  { "çor", 4, -1 }, { "Ilık", -1, -1 }, // I folds to i, not to ı
        { "ılı", 5, -1 }, { "İnce", 6, 6 }, { "ince", 7, 7 },       { "INCE", 7, 7 },
        { "", 0, -1 },    { "x", -1, -1 },  { "runnerss", -1, -1 },
    };
    for (const auto &c : cases) {
        const std::string text = cp1254::fromUtf8(c.text);
        EXPECT_EQ(findStringPrefix(list.pointers, text), c.prefix) << c.text;
        EXPECT_EQ(findStringExact(list.pointers, text), c.exact) << c.text;
    }
    EXPECT_EQ(findStringPrefix({}, "a"), -1);
}

TEST(ComboSearch, DottedAndDotlessIByTheCasingOfTheTab)
{
    // On a Turkish tab I pairs with ı and İ with i; on an English tab I pairs with i and the
    // two Turkish letters match only themselves.
    const Entries list { "kişi", "kış", "ılık", "ilaç", "ink" };
    const struct
    {
        const char *text;
        Casing casing;
        int prefix, exact;
    } cases[] = {
        { "KIŞ", Casing::Turkish, 1, 1 },  { "KIŞ", Casing::Ascii, 0, -1 },
        { "KİŞİ", Casing::Turkish, 0, 0 }, { "KİŞİ", Casing::Ascii, -1, -1 },
        { "ILIK", Casing::Turkish, 2, 2 }, { "ILIK", Casing::Ascii, -1, -1 },
        { "İLAÇ", Casing::Turkish, 3, 3 }, { "İLAÇ", Casing::Ascii, -1, -1 },
        { "INK", Casing::Ascii, 4, 4 },    { "INK", Casing::Turkish, -1, -1 },
        { "ılık", Casing::Ascii, 2, 2 },   { "ki", Casing::Turkish, 0, -1 },
    };
    for (const auto &c : cases) {
        const std::string text = cp1254::fromUtf8(c.text);
        const bool turkish = c.casing == Casing::Turkish;
        EXPECT_EQ(findStringPrefix(list.pointers, text, c.casing), c.prefix) << c.text << turkish;
        EXPECT_EQ(findStringExact(list.pointers, text, c.casing), c.exact) << c.text << turkish;
    }
    EXPECT_EQ(casingOfTab(25), Casing::Ascii);
    EXPECT_EQ(casingOfTab(26), Casing::Turkish);
    EXPECT_EQ(casingOfTab(55), Casing::Turkish);
    EXPECT_EQ(casingOfTab(56), Casing::Ascii);
}
