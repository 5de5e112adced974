// The combo box's searches over a tab's code-page-1254 headwords: the first item that begins
// with a text (prefix search) and the first item equal to a text, both from the top of the
// list, with letter case folded for ASCII letters and Ç/ç, Ğ/ğ, Ö/ö, Ş/ş, Ü/ü. The dotted and
// dotless i fold by the casing of the tab's language: on English tabs I/i by the ASCII rule
// (İ and ı match only themselves), on Turkish tabs I/ı and İ/i, so "IŞIK" finds "ışık".
#pragma once

#include <string_view>
#include <vector>

namespace zarel {

struct TWordRecord;

enum class Casing {
    Ascii, // English tabs
    Turkish, // Turkish tabs
};

// The casing of a tab's headwords: Turkish for tabs 26..55, ASCII for every other number.
Casing casingOfTab(int tab);

// The index of the first entry whose headword begins with `prefix`, or -1. An empty prefix
// matches the first entry.
int findStringPrefix(const std::vector<const TWordRecord *> &entries, std::string_view prefix,
                     Casing casing = Casing::Ascii);

// The index of the first entry whose headword equals `text` in folded case, or -1.
int findStringExact(const std::vector<const TWordRecord *> &entries, std::string_view text,
                    Casing casing = Casing::Ascii);

// True when the two byte strings are equal in folded case.
bool equalsFolded(std::string_view a, std::string_view b, Casing casing = Casing::Ascii);
bool startsWithFolded(std::string_view text, std::string_view prefix,
                      Casing casing = Casing::Ascii);

} // namespace zarel
