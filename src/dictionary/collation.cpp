// Dictionary order for English and Turkish headwords.
#include "dictionary/collation.h"

#include "dictionary/codepage1254.h"

#include <array>

namespace zarel {

namespace {

int compareRaw(std::string_view a, std::string_view b)
{
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// Sort key of a byte in the Turkish alphabet: letters get consecutive even ranks in Turkish
// order (so both cases of a letter share a rank); every other byte sorts by its own value,
// after the letters' rank space for bytes above 'z' and before it for digits and punctuation.
const std::array<int, 256> &turkishRanks()
{
    static const std::array<int, 256> ranks = [] {
        std::array<int, 256> r {};
        for (int b = 0; b < 256; ++b)
            r[static_cast<size_t>(b)] = b < 'A' ? b : 1000 + b;
        using namespace cp1254;
        const unsigned char lower[] = { 'a',
                                        'b',
                                        'c',
                                        kCCedillaLower,
                                        'd',
                                        'e',
                                        'f',
                                        'g',
                                        kGBreveLower,
                                        'h',
                                        kDotlessILower,
                                        'i',
                                        'j',
                                        'k',
                                        'l',
                                        'm',
                                        'n',
                                        'o',
                                        kOUmlautLower,
                                        'p',
                                        'q',
                                        'r',
                                        's',
                                        kSCedillaLower,
                                        't',
                                        'u',
                                        kUUmlautLower,
                                        'v',
                                        'w',
                                        'x',
                                        'y',
                                        'z' };
        const unsigned char upper[] = { 'A',          'B', 'C',           kCCedillaUpper,
                                        'D',          'E', 'F',           'G',
                                        kGBreveUpper, 'H', 'I',           kIDotUpper,
                                        'J',          'K', 'L',           'M',
                                        'N',          'O', kOUmlautUpper, 'P',
                                        'Q',          'R', 'S',           kSCedillaUpper,
                                        'T',          'U', kUUmlautUpper, 'V',
                                        'W',          'X', 'Y',           'Z' };
        for (size_t i = 0; i < sizeof lower; ++i) {
            r[lower[i]] = 100 + static_cast<int>(i);
            r[upper[i]] = 100 + static_cast<int>(i);
        }
        return r;
    }();
    return ranks;
}

} // namespace

int compareEnglish(std::string_view a, std::string_view b)
{
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const unsigned char x = cp1254::foldCase(static_cast<unsigned char>(a[i]));
        const unsigned char y = cp1254::foldCase(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return compareRaw(a, b);
}

int compareTurkish(std::string_view a, std::string_view b)
{
    const auto &rank = turkishRanks();
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const int x = rank[static_cast<unsigned char>(a[i])];
        const int y = rank[static_cast<unsigned char>(b[i])];
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return compareRaw(a, b);
}

} // namespace zarel
