// Lookup rules: tabs of typed and double-clicked words, the longest-leading-part search, Enter's
// search and the double-click word cut.
#include "dictionary/lookuprules.h"

#include "dictionary/combosearch.h"
#include "dictionary/lettertabs.h"

namespace zarel {

int typedWordTab(unsigned char first, bool englishToTurkish)
{
    const int tab = englishToTurkish ? englishTabForChar(first) : turkishTabForChar(first);
    return isValidTab(tab) ? tab : -1;
}

int doubleClickTab(unsigned char first, bool englishToTurkish)
{
    const int tab = englishToTurkish ? doubleClickEnglishTab(first) : turkishTabForChar(first);
    return isValidTab(tab) ? tab : -1;
}

int longestLeadingPartMatch(const std::vector<const TWordRecord *> &entries, std::string_view text,
                            int tab)
{
    const Casing casing = casingOfTab(tab);
    for (; !text.empty(); text.remove_suffix(1)) {
        const int found = findStringPrefix(entries, text, casing);
        if (found >= 0)
            return found;
    }
    return -1;
}

int enteredWordMatch(const std::vector<const TWordRecord *> &entries, std::string_view typed,
                     int tab)
{
    return findStringExact(entries, typed, casingOfTab(tab));
}

std::string doubleClickedWord(std::string_view selected)
{
    const size_t start = selected.find_first_not_of(' ');
    if (start == std::string_view::npos)
        return {};
    selected.remove_prefix(start);
    return std::string(selected.substr(0, selected.find(' ')));
}

} // namespace zarel
