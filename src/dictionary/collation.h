// Dictionary order of headwords, the order the data builder writes the index files in: English
// by letters folded to their plain lower-case letter, Turkish by the Turkish alphabet with
// Turkish casing; ties broken by the raw bytes so each order is total.
#pragma once

#include "dictionary/lettertabs.h"

#include <string_view>

namespace zarel {

// The plain lower-case ASCII letter of a code point (Á, ā, ğ -> a, a, g), or 0 when it is no
// Latin letter or has no single plain letter (×, Æ, Œ).
char plainLetter(char32_t codePoint);

// English fold of a code-page-1254 byte: letters to their plain lower-case letter (É -> e,
// Ş -> s, ı -> i), every other byte unchanged.
unsigned char englishFold(unsigned char byte);

// Weight of a code-page-1254 byte in the Turkish order. Letters weigh 0x100 + their place in
// a b c ç d e f g ğ h ı i j k l m n o ö p q r s ş t u ü v w x y z, both cases alike (I is the
// capital of ı, İ of i); other accented letters weigh as their plain letter (â as a, î as i).
// Every other byte weighs its own value, so blanks, digits and punctuation sort before letters.
int turkishWeight(unsigned char byte);

// <0, 0, >0 like strcmp; arguments are code-page-1254 bytes. Both compare the per-byte folds
// (English) or weights (Turkish) first, a proper prefix before its extensions, then the raw
// bytes: "car" < "card" < "Carl" < "carl" < "carp", "cafe" < "café" < "cafes".
int compareEnglish(std::string_view a, std::string_view b);
int compareTurkish(std::string_view a, std::string_view b);

// The order of the tab's index file: English for tabs 0-25, Turkish for 26-55.
inline int compareHeadwords(int tab, std::string_view a, std::string_view b)
{
    return tab < kEnglishTabCount ? compareEnglish(a, b) : compareTurkish(a, b);
}

} // namespace zarel
