// Tests of the Turkish terms taken from English-Turkish senses for the reverse index.
#include "zarel-dict/reverseindex.h"

#include <gtest/gtest.h>

using namespace zarel::dicttool;

namespace {

std::string repeat(const std::string &s, int n)
{
    std::string out;
    for (int i = 0; i < n; ++i)
        out += s;
    return out;
}

TEST(ReverseIndex, TakesTheTurkishTermsOfASense)
{
    using Terms = std::vector<std::string>;
    struct Case
    {
        std::string sense;
        Terms expected;
    };
    const Case cases[] = {
        { "tamamıyle bırakmak, terketmek, başından atmak",
          { "tamamıyle bırakmak", "terketmek", "başından atmak" } },
        { "(müz.) la notası; la perdesi.", { "la notası", "la perdesi" } },
        { "sığırkuyruğu, (bot.)  Verbascum.", { "sığırkuyruğu" } },
        { "kenevir muzu, (bot.) Musa textilis.", { "kenevir muzu" } },
        { "Paris, Londra", { "Paris", "Londra" } }, // capitals are fine without a scientific label
        { "bir, herhangi bir (ünsüzle başlayan kelimelerden önce kullanılır",
          { "bir", "herhangi bir" } },
        { "her bir, -de, -ne: twice a year senede iki defa", { "her bir" } },
        { "(den.) faça. taken aback şaşırmış.", { "faça" } },
        { "(bak.) archeology.", {} },
        { "(kıs.) Bachelor of Arts üniversite diploması", {} },
        { "kedi; kedi, \"kedi\"", { "kedi" } },
        { "AB, D, (k, dili.) taksi", { "taksi" } },
        { "A.B.D benzin, ABD aptal kimse",
          { "benzin", "aptal kimse" } }, // labels without parentheses
        { "A ! Ya ! Eyvah ! Aman", {} },
        { "Eyvah!", { "Eyvah" } },
        { "a, b, 2 kat, ev/bark", {} },
        { "(gen.) (çoğ.)", {} },
        { "iç (dış) kısım", { "iç kısım" } },
        { "", {} },
        { ")) ,; ((", {} },
    };
    for (const Case &c : cases)
        EXPECT_EQ(turkishTermsOfSense(c.sense), c.expected) << c.sense;
}

TEST(ReverseIndex, LimitsTermsToFortyCharacters)
{
    // Turkish letters take two bytes in UTF-8; the limit counts characters.
    const std::string forty = repeat("ş", 20) + repeat("a", 20);
    const std::string fortyOne = forty + "ı";
    EXPECT_EQ(turkishTermsOfSense(forty), std::vector<std::string> { forty });
    EXPECT_TRUE(turkishTermsOfSense(fortyOne).empty());
    EXPECT_EQ(turkishTermsOfSense(fortyOne + ", kısa"), std::vector<std::string> { "kısa" });
}

} // namespace
