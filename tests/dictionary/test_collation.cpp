// Dictionary order: English case-insensitive with prefixes first, Turkish alphabet and casing.
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

} // namespace

TEST(Collation, EnglishOrder)
{
    EXPECT_EQ(sorted({ "card", "Carl", "car", "CAR", "cab", "car park", "c" }, false),
              (std::vector<std::string> { "c", "cab", "CAR", "car", "car park", "card", "Carl" }));
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
}
