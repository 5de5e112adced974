// Letter tabs: capitals, file paths, and the tab rules for typed and double-clicked characters.
#include "dictionary/lettertabs.h"

#include <gtest/gtest.h>

using namespace zarel;

TEST(LetterTabs, CapitalsAndPaths)
{
    EXPECT_EQ(tabCapital(0), 'A');
    EXPECT_EQ(tabCapital(25), 'Z');
    const unsigned char turkish[]
        = { 'A', 'B', 'C',  0xC7, 'D', 'E', 'F',  'G', 'H', 'I',  0xDD, 'J', 'K', 'L', 'M',
            'N', 'O', 0xD6, 'P',  'R', 'S', 0xDE, 'T', 'U', 0xDC, 'V',  'W', 'X', 'Y', 'Z' };
    for (int n = 1; n <= 30; ++n)
        EXPECT_EQ(tabCapital(25 + n), turkish[n - 1]) << n;
    EXPECT_EQ(tabCapital(56), 0);

    EXPECT_EQ(indexPath("/p", 0), "/p/eg/base_a.dak");
    EXPECT_EQ(articlePath("/p", 16, true), "/p/eg/base_q.ref");
    EXPECT_EQ(articlePath("/p", 16, false), "/p/eg/user_q.ref");
    EXPECT_EQ(indexPath("/p", 26), "/p/tr/base_1.dak");
    EXPECT_EQ(articlePath("/p", 55, false), "/p/tr/user_30.ref");
}

TEST(LetterTabs, EnglishFormulaForTypedCharacters)
{
    EXPECT_EQ(englishTabForChar('a'), 0);
    EXPECT_EQ(englishTabForChar('A'), 0);
    EXPECT_EQ(englishTabForChar('z'), 25);
    EXPECT_EQ(englishTabForChar('1'), 16); // the formula puts "1" on the q tab
    EXPECT_EQ(englishTabForChar(' '), -1);
}

TEST(LetterTabs, TurkishTabTable)
{
    const struct
    {
        unsigned char c;
        int tab;
    } cases[] = {
        { 'a', 26 },  { 'A', 26 },  { 'c', 28 },  { 0xC7, 29 }, { 0xE7, 29 }, { 'g', 33 },
        { 'h', 34 },  { 'I', 35 },  { 0xFD, 35 }, { 'i', 36 },  { 0xDD, 36 }, { 'j', 37 },
        { 'o', 42 },  { 0xD6, 43 }, { 0xF6, 43 }, { 'p', 44 },  { 'r', 45 },  { 's', 46 },
        { 0xDE, 47 }, { 0xFE, 47 }, { 'u', 49 },  { 0xDC, 50 }, { 0xFC, 50 }, { 'w', 52 },
        { 'x', 53 },  { 'z', 55 },  { 0xF0, -1 }, { 0xD0, -1 }, { 'q', -1 },  { 'Q', -1 },
        { '1', -1 },  { ' ', -1 },
    };
    for (const auto &c : cases)
        EXPECT_EQ(turkishTabForChar(c.c), c.tab) << "char " << int(c.c);
}

TEST(LetterTabs, DoubleClickEnglishRule)
{
    EXPECT_EQ(doubleClickEnglishTab('r'), 17);
    EXPECT_EQ(doubleClickEnglishTab(0xE0), 26); // à
    EXPECT_EQ(doubleClickEnglishTab(0xFE), 29); // ş: 29 + 27 is past 55
    EXPECT_EQ(doubleClickEnglishTab('@'), -1); // keeps the current tab
}
