// Letter tabs: capitals, file paths and the tab rules for typed and double-clicked characters.
#include "dictionary/lettertabs.h"

#include "dictionary/codepage1254.h"

#include <array>

namespace zarel {

namespace {

// The 30 Turkish capitals in file-number order (code page 1254 bytes).
constexpr std::array<unsigned char, kTurkishTabCount> kTurkishCapitals = {
    'A', 'B', 'C',  0xC7, 'D', 'E', 'F',  'G', 'H', 'I',  0xDD, 'J', 'K', 'L', 'M',
    'N', 'O', 0xD6, 'P',  'R', 'S', 0xDE, 'T', 'U', 0xDC, 'V',  'W', 'X', 'Y', 'Z',
};

} // namespace

unsigned char tabCapital(int tab)
{
    if (isEnglishTab(tab))
        return static_cast<unsigned char>('A' + tab);
    if (isTurkishTab(tab))
        return kTurkishCapitals[static_cast<size_t>(tab - kEnglishTabCount)];
    return 0;
}

std::string tabFileStem(int tab, bool base)
{
    const char *kind = base ? "base_" : "user_";
    if (isEnglishTab(tab))
        return std::string("/eg/") + kind + static_cast<char>('a' + tab);
    return std::string("/tr/") + kind + std::to_string(turkishFileNumber(tab));
}

std::string indexPath(const std::string &programFolder, int tab)
{
    return programFolder + tabFileStem(tab, true) + ".dak";
}

std::string articlePath(const std::string &programFolder, int tab, bool base)
{
    return programFolder + tabFileStem(tab, base) + ".ref";
}

int turkishTabForChar(unsigned char c)
{
    using namespace cp1254;
    switch (c) {
    case kCCedillaUpper:
    case kCCedillaLower:
        return 29;
    case kOUmlautUpper:
    case kOUmlautLower:
        return 43;
    case kSCedillaUpper:
    case kSCedillaLower:
        return 47;
    case kUUmlautUpper:
    case kUUmlautLower:
        return 50;
    case kIDotUpper:
        return 36; // İ
    case kDotlessILower:
        return 35; // ı
    case 'i':
        return 36; // Turkish casing: i belongs to İ
    case 'I':
        return 35; // and I to ı
    default:
        break;
    }
    const unsigned char u = asciiUpper(c);
    if (u < 'A' || u > 'Z' || u == 'Q')
        return -1;
    for (int n = 0; n < kTurkishTabCount; ++n) {
        if (kTurkishCapitals[static_cast<size_t>(n)] == u)
            return kEnglishTabCount + n;
    }
    return -1;
}

int doubleClickEnglishTab(unsigned char c)
{
    const int t = (c & 31) - 1;
    if (c > 128)
        return (t + 27 <= 55) ? t + 27 : t;
    return t;
}

} // namespace zarel
