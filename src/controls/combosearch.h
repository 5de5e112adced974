// The combo box's searches over a tab's code-page-1254 headwords: the first item that begins
// with a text (prefix search) and the first item equal to a text, both from the top of the
// list, with letter case folded for ASCII letters and Ç/ç, Ğ/ğ, Ö/ö, Ş/ş, Ü/ü (İ and ı match only
// themselves).
#pragma once

#include <string_view>
#include <vector>

namespace zarel {

struct TWordRecord;

// The index of the first entry whose headword begins with `prefix`, or -1. An empty prefix
// matches the first entry.
int findStringPrefix(const std::vector<const TWordRecord *> &entries, std::string_view prefix);

// The index of the first entry whose headword equals `text` in folded case, or -1.
int findStringExact(const std::vector<const TWordRecord *> &entries, std::string_view text);

// True when the two byte strings are equal in folded case.
bool equalsFolded(std::string_view a, std::string_view b);
bool startsWithFolded(std::string_view text, std::string_view prefix);

} // namespace zarel
