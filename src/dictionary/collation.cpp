// Dictionary order for English and Turkish headwords: plain letters of accented letters, the
// English fold, the Turkish weights and the two comparisons.
#include "dictionary/collation.h"

#include "dictionary/codepage1254.h"

#include <algorithm>
#include <array>

namespace zarel {

namespace {

// Plain letters of U+00C0..U+00FF and U+0100..U+017F, one per code point; '.' marks a code
// point that is no letter or has no single plain letter (×, ÷, Æ, Ĳ, Œ).
constexpr std::string_view kLatin1Letters = "aaaaaa.ceeeeiiii"
                                            "dnooooo.ouuuuyts"
                                            "aaaaaa.ceeeeiiii"
                                            "dnooooo.ouuuuyty";
constexpr std::string_view kLatinExtendedA = "aaaaaaccccccccdd"
                                             "ddeeeeeeeeeegggg"
                                             "gggghhhhiiiiiiii"
                                             "ii..jjkkklllllll"
                                             "lllnnnnnnnnnoooo"
                                             "oo..rrrrrrssssss"
                                             "ssttttttuuuuuuuu"
                                             "uuuuwwyyyzzzzzzs";

// Place of a byte in the Turkish alphabet (0 = a ... 31 = z), -1 for a byte that is no letter.
// Letters outside the Turkish alphabet (q, w, x) sit where the tab table puts them.
int turkishRank(unsigned char b)
{
    using namespace cp1254;
    switch (b) {
    case kCCedillaLower:
    case kCCedillaUpper:
        return 3;
    case kGBreveLower:
    case kGBreveUpper:
        return 8;
    case kDotlessILower:
    case 'I':
        return 10;
    case 'i':
    case kIDotUpper:
        return 11;
    case kOUmlautLower:
    case kOUmlautUpper:
        return 18;
    case kSCedillaLower:
    case kSCedillaUpper:
        return 23;
    case kUUmlautLower:
    case kUUmlautUpper:
        return 26;
    default:
        break;
    }
    static constexpr std::string_view kOrder = "abc.defg.h..jklmno.pqrs.tu.vwxyz";
    const char plain = plainLetter(cp1254::toUnicode(b));
    if (plain == 0)
        return -1;
    if (plain == 'i')
        return 11; // î and the like are dotted i
    const size_t pos = kOrder.find(plain);
    return pos == std::string_view::npos ? -1 : static_cast<int>(pos);
}

unsigned char computeEnglishFold(unsigned char byte)
{
    if (byte < 0x80)
        return (byte >= 'A' && byte <= 'Z') ? static_cast<unsigned char>(byte + 32) : byte;
    const char plain = plainLetter(cp1254::toUnicode(byte));
    return plain != 0 ? static_cast<unsigned char>(plain) : byte;
}

// The per-byte keys of both orders, computed once: sorting a dictionary compares millions of
// bytes, and each computation goes through the code page and the plain-letter tables.
struct OrderTables
{
    std::array<unsigned char, 256> englishFold {};
    std::array<int, 256> turkishWeight {};
};

const OrderTables &orderTables()
{
    static const OrderTables tables = [] {
        OrderTables t;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<unsigned char>(b);
            const int rank = turkishRank(byte);
            t.englishFold[byte] = computeEnglishFold(byte);
            t.turkishWeight[byte] = rank >= 0 ? 0x100 + rank : b;
        }
        return t;
    }();
    return tables;
}

// Both orders: per-byte keys first, a proper prefix before its extensions, then the raw bytes.
template<typename Key> int compareByKeys(std::string_view a, std::string_view b, Key key)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const int x = key(static_cast<unsigned char>(a[i]));
        const int y = key(static_cast<unsigned char>(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    const int c = a.compare(b);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

} // namespace

char plainLetter(char32_t c)
{
    if (c < 0x80) {
        if (c >= 'A' && c <= 'Z')
            return static_cast<char>(c + 32);
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c) : 0;
    }
    char letter = '.';
    if (c >= 0xC0 && c <= 0xFF)
        letter = kLatin1Letters[c - 0xC0];
    else if (c >= 0x100 && c <= 0x17F)
        letter = kLatinExtendedA[c - 0x100];
    else if (c == 0x0192) // ƒ
        letter = 'f';
    return letter == '.' ? 0 : letter;
}

unsigned char englishFold(unsigned char byte)
{
    return orderTables().englishFold[byte];
}

int turkishWeight(unsigned char byte)
{
    return orderTables().turkishWeight[byte];
}

int compareEnglish(std::string_view a, std::string_view b)
{
    return compareByKeys(a, b, [](unsigned char byte) { return int { englishFold(byte) }; });
}

int compareTurkish(std::string_view a, std::string_view b)
{
    return compareByKeys(a, b, turkishWeight);
}

} // namespace zarel
