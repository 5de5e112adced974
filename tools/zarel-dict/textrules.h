// Text rules of the data builder: UTF-8 to code page 1254 with transliteration, the tab of a
// headword in either direction, and the two dictionary orders (English and Turkish, the core's).
#pragma once

#include "dictionary/collation.h"

#include <optional>
#include <string>
#include <string_view>

namespace zarel::dicttool {

struct Cp1254Text
{
    std::string bytes; // code page 1254
    int transliterated = 0; // characters replaced by a plain letter (ā -> a) or dropped marks
    int dropped = 0; // characters that have no code-page-1254 form and no plain letter
};

// Converts UTF-8 text to code page 1254. Characters outside the code page become their plain
// letter where one exists (ā -> a, ł -> l, ‐ -> -); combining accents are dropped as marks;
// everything else, and control characters, are dropped and counted.
Cp1254Text toCp1254(std::string_view utf8);

// Collapses runs of blanks and tabs to one blank and trims both ends.
std::string normalizeSpaces(std::string_view text);

// A headword for the index: converted to code page 1254 and with normalized blanks and any
// trailing ',' or ';' removed. Empty when the headword cannot be expressed exactly (a character
// had to be dropped, nothing is left, or it is longer than 101 bytes); `reason` then says why.
std::optional<std::string> headwordToCp1254(std::string_view utf8, std::string *reason = nullptr);

// The plain letter of a code point and the English fold of a byte are the core's
// (dictionary/collation.h), so the builder and the program share one dictionary order.
using zarel::englishFold;
using zarel::plainLetter;

// True for a lower-case letter: ASCII, Latin-1 or Latin Extended-A (ı, ş, é, ...).
bool isLowerCaseLetter(char32_t codePoint);

// The English tab (0-25) of a code-page-1254 headword by its first letter, accented first
// letters folded to their plain letter; -1 when the headword starts with no letter.
int englishTabOf(std::string_view headword);

enum class TurkishTabProblem { None, BeginsWithQ, BeginsWithGBreve, NoTab };

// The Turkish tab (26-55) of a code-page-1254 headword by the Turkish tab table applied to its
// first character (Turkish casing: "i" is İ, "I" is ı; â, î, û and other accented letters
// folded to their plain letter first); -1 with the reason when there is none.
int turkishTabOf(std::string_view headword, TurkishTabProblem *problem = nullptr);

// English dictionary order (zarel::compareEnglish): the English folds of the bytes compared,
// then the raw bytes, so "car" < "card" < "Carl" < "carl" < "carp". The sort key is the folded
// headword: two headwords have equal keys exactly when they differ only in case and accents.
inline bool englishLess(std::string_view a, std::string_view b)
{
    return compareEnglish(a, b) < 0;
}
std::string englishSortKey(std::string_view headword);

// Turkish alphabetical order (zarel::compareTurkish): a b c ç d e f g ğ h ı i j k l m n o ö p
// (q) r s ş t u ü v (w x) y z, case-insensitive with Turkish casing (I/ı, İ/i), accented letters
// as their plain letter, blanks and punctuation before letters; ties by the raw bytes. The sort
// key holds the Turkish weight of each byte.
inline bool turkishLess(std::string_view a, std::string_view b)
{
    return compareTurkish(a, b) < 0;
}
std::u16string turkishSortKey(std::string_view headword);

// Turkish lower case of a code-page-1254 string (I -> ı, İ -> i, Ç -> ç, ...): the key under
// which Turkish headwords are merged.
std::string turkishLower(std::string_view headword);

} // namespace zarel::dicttool
