// Dictionary order of headwords: English tabs case-insensitively by folded bytes, Turkish tabs
// by the Turkish alphabet (a b c ç d e f g ğ h ı i j k l m n o ö p r s ş t u ü v w x y z,
// Turkish casing: I/ı and İ/i), ties broken by the raw bytes so the order is total.
#pragma once

#include <string_view>

namespace zarel {

// <0, 0, >0 like strcmp; arguments are code-page-1254 bytes.
int compareEnglish(std::string_view a, std::string_view b);
int compareTurkish(std::string_view a, std::string_view b);

// The order of the tab's index file.
inline int compareHeadwords(int tab, std::string_view a, std::string_view b)
{
    return tab < 26 ? compareEnglish(a, b) : compareTurkish(a, b);
}

} // namespace zarel
