// Dictionary order: English by plain letters with prefixes first, Turkish alphabet and casing,
// accented letters with their plain letter, and the raw bytes as the last word.
#include "dictionary/collation.h"

#include "dictionary/codepage1254.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace zarel;

namespace {

std::vector<std::string> sorted(std::vector<std::string> words, bool turkish)
{
    for (auto &w : words)
        w = cp1254::fromUtf8(w);
    std::stable_sort(words.begin(), words.end(), [&](const std::string &a, const std::string &b) {
        return (turkish ? compareTurkish(a, b) : compareEnglish(a, b)) < 0;
    });
    for (auto &w : words)
        w = cp1254::toUtf8(w);
    return words;
}

int sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST(Collation, EnglishOrder)
{
    EXPECT_EQ(sorted({ "card", "Carl", "car", "CAR", "cab", "car park", "c" }, false),
              (std::vector<std::string> { "c", "cab", "CAR", "car", "car park", "card", "Carl" }));
    EXPECT_EQ(sorted({ "cafes", "café", "Café", "cafe", "CAFE", "cafeteria" }, false),
              (std::vector<std::string> { "CAFE", "Café", "cafe", "café", "cafes", "cafeteria" }));
    EXPECT_EQ(sorted({ "elbow", "Élan", "elan", "eland", "ençok", "encore" }, false),
              (std::vector<std::string> { "elan", "Élan", "eland", "elbow", "ençok", "encore" }));
    EXPECT_LT(compareEnglish("a", "B"), 0);
    EXPECT_EQ(compareEnglish("same", "same"), 0);
}

TEST(Collation, TurkishAlphabet)
{
    EXPECT_EQ(sorted({ "çay", "cam", "dağ", "ılık", "inek", "Irmak", "İnce", "öküz", "ol", "şeker",
                       "su", "üç", "uç", "ğ", "gül", "ağaç", "ağa", "Zeytin" },
                     true),
              (std::vector<std::string> { "ağa", "ağaç", "cam", "çay", "dağ", "gül", "ğ", "ılık",
                                          "Irmak", "İnce", "inek", "ol", "öküz", "su", "şeker",
                                          "uç", "üç", "Zeytin" }));
    // Accented letters outside the alphabet count as their plain letter; î is a dotted i.
    EXPECT_EQ(sorted({ "adım", "âdet", "adet", "kâr", "kar", "kas", "îman", "ılık", "iman" }, true),
              (std::vector<std::string> { "adet", "âdet", "adım", "ılık", "iman", "îman", "kar",
                                          "kâr", "kas" }));
}

// Pairs in both directions: the sign of compareHeadwords(tab, a, b), its mirror, and a total
// order (0 only for the same bytes).
TEST(Collation, PairsByTab)
{
    struct Case
    {
        int tab;
        const char *a; // UTF-8, converted to code page 1254
        const char *b;
        int expected;
    };
    const Case cases[] = {
        { 2, "cafe", "café", -1 }, // é after e only by the raw bytes
        { 2, "café", "cafes", -1 }, // é counts as e before the next letter
        { 2, "cz", "ça", 1 }, // English: ç is c
        { 29, "cz", "ça", -1 }, // Turkish: ç is a letter after c
        { 8, "Irmak", "ilaç", 1 }, // English: I is i
        { 35, "Irmak", "ilaç", -1 }, // Turkish: I is ı, before i
        { 8, "ılık", "ilaç", 1 }, // English: ı is i
        { 18, "şeker", "seker", 1 },
        { 18, "şeker", "sekiz", -1 },
        { 4, "e-mail", "email", -1 }, // punctuation before letters
        { 4, "e mail", "e-mail", -1 },
        { 0, "a_b", "aab", -1 }, // '_' sorts below the lower-case letters
        { 0, "a~", "az", 1 }, // '~' above them
        { 26, "a_b", "aab", -1 }, // Turkish: every non-letter before the letters
        { 26, "a~", "aa", -1 },
        { 26, "a€", "aa", -1 },
        { 0, "a€", "az", 1 }, // English: a non-letter byte above 0x7F after the letters
        { 47, "su kabı", "sucuk", -1 },
        { 0, "a1", "a2", -1 },
        { 0, "", "a", -1 },
        { 26, "", "a", -1 },
        { 26, "Ankara", "ankara", -1 },
        { 0, "Same", "same", -1 },
        { 26, "same", "same", 0 },
    };
    for (const Case &c : cases) {
        const std::string a = cp1254::fromUtf8(c.a);
        const std::string b = cp1254::fromUtf8(c.b);
        EXPECT_EQ(sign(compareHeadwords(c.tab, a, b)), c.expected)
            << c.tab << ": " << c.a << " ? " << c.b;
        EXPECT_EQ(sign(compareHeadwords(c.tab, b, a)), -c.expected)
            << c.tab << ": " << c.b << " ? " << c.a;
    }
}

TEST(Collation, FoldsAndWeights)
{
    struct Case
    {
        const char *utf8; // one character
        char fold; // English fold
        char turkishLike; // the ASCII letter of the same Turkish weight, 0 for none
    };
    const Case cases[] = {
        { "A", 'a', 'a' }, { "é", 'e', 'e' },  { "É", 'e', 'e' },  { "ç", 'c', 0 },
        { "Ş", 's', 0 },   { "ı", 'i', 0 },    { "İ", 'i', 'i' },  { "I", 'i', 0 },
        { "î", 'i', 'i' }, { "ß", 's', 's' },  { "Š", 's', 's' },  { "ƒ", 'f', 'f' },
        { "Ÿ", 'y', 'y' }, { "q", 'q', 'q' },  { "w", 'w', 'w' },  { "-", '-', 0 },
        { "ÿ", 'y', 'y' }, { "Æ", '\xC6', 0 }, { "×", '\xD7', 0 }, { "€", '\x80', 0 },
    };
    for (const Case &c : cases) {
        const auto byte = static_cast<unsigned char>(cp1254::fromUtf8(c.utf8).at(0));
        EXPECT_EQ(englishFold(byte), static_cast<unsigned char>(c.fold)) << c.utf8;
        if (c.turkishLike != 0) {
            EXPECT_EQ(turkishWeight(byte), turkishWeight(static_cast<unsigned char>(c.turkishLike)))
                << c.utf8;
        }
    }
    // Turkish-only letters and non-letters have weights of their own.
    EXPECT_GT(turkishWeight(0xE7), turkishWeight('c')); // ç
    EXPECT_LT(turkishWeight(0xE7), turkishWeight('d'));
    EXPECT_EQ(turkishWeight('I'), turkishWeight(0xFD)); // I, ı
    EXPECT_LT(turkishWeight(0xFD), turkishWeight('i'));
    EXPECT_EQ(turkishWeight('-'), '-');
    EXPECT_EQ(turkishWeight(0xD7), 0xD7); // ×
}

TEST(Collation, PlainLetters)
{
    struct Case
    {
        char32_t codePoint;
        char plain;
    };
    const Case cases[] = {
        { U'a', 'a' }, { U'Z', 'z' }, { U'0', 0 },   { U'À', 'a' }, { U'ÿ', 'y' },   { U'Æ', 0 },
        { U'×', 0 },   { U'÷', 0 },   { U'ð', 'd' }, { U'þ', 't' }, { U'ā', 'a' },   { U'ł', 'l' },
        { U'ğ', 'g' }, { U'ı', 'i' }, { U'Ĳ', 0 },   { U'Œ', 0 },   { U'ſ', 's' },   { U'ž', 'z' },
        { U'ƒ', 'f' }, { 0x180, 0 },  { 0x0BF, 0 },  { U'Δ', 0 },   { 0x110000, 0 },
    };
    for (const Case &c : cases)
        EXPECT_EQ(plainLetter(c.codePoint), c.plain) << static_cast<unsigned>(c.codePoint);
}

} // namespace
