// The 56 letter tabs: tabs 0-25 the English letters a-z, tabs 26-55 the 30 Turkish letter files,
// with the paths of their index and article files and the tab rules for typed characters.
#pragma once

#include <string>

namespace zarel {

inline constexpr int kTabCount = 56;
inline constexpr int kEnglishTabCount = 26;
inline constexpr int kTurkishTabCount = 30;

inline bool isEnglishTab(int tab)
{
    return tab >= 0 && tab < kEnglishTabCount;
}
inline bool isTurkishTab(int tab)
{
    return tab >= kEnglishTabCount && tab < kTabCount;
}
inline bool isValidTab(int tab)
{
    return tab >= 0 && tab < kTabCount;
}

// Turkish file number n = tab - 25 (1..30).
inline int turkishFileNumber(int tab)
{
    return tab - 25;
}

// The code-page-1254 capital shown on a tab: 'A'..'Z' for English tabs, the Turkish capitals
// A B C Ç D E F G H I İ J K L M N O Ö P R S Ş T U Ü V W X Y Z for Turkish tabs.
unsigned char tabCapital(int tab);

// The file stem of a tab inside the program folder: "/eg/base_a", "/tr/base_12" and so on.
// `base` picks the "base_" or the "user_" file.
std::string tabFileStem(int tab, bool base);

// Full paths: programFolder + "/eg/base_a.dak", "/eg/base_a.ref", "/eg/user_a.ref", and the
// Turkish "/tr/..." equivalents.
std::string indexPath(const std::string &programFolder, int tab);
std::string articlePath(const std::string &programFolder, int tab, bool base);

// Tab of a character typed first in the English-Turkish direction: (code AND 31) - 1.
// The result may lie outside 0..55 (a blank gives -1); callers keep the current tab then.
inline int englishTabForChar(unsigned char c)
{
    return (c & 31) - 1;
}

// Tab of a character in the Turkish-English direction by the Turkish tab table (A-Z compared
// after ASCII upper-casing, Turkish letters by byte; "i" belongs to İ, "I" to ı).
// Returns -1 for a character not in the table (Ğ, ğ, Q, q, digits, ...).
int turkishTabForChar(unsigned char c);

// Tab of the first character of a double-clicked word in the English-Turkish direction:
// t = (c AND 31) - 1; above 128 the tab is t + 27 when that is at most 55, else t.
// Returns -1 when the current tab is to be kept.
int doubleClickEnglishTab(unsigned char c);

} // namespace zarel
