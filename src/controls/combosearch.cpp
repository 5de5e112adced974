// Combo-box searches: linear, from the top, case folded.
#include "controls/combosearch.h"

#include "dictionary/codepage1254.h"
#include "dictionary/twordrecord.h"

namespace zarel {

bool startsWithFolded(std::string_view text, std::string_view prefix)
{
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (cp1254::foldCase(static_cast<unsigned char>(text[i]))
            != cp1254::foldCase(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

bool equalsFolded(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && startsWithFolded(a, b);
}

int findStringPrefix(const std::vector<const TWordRecord *> &entries, std::string_view prefix)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (startsWithFolded(entries[i]->headword(), prefix))
            return static_cast<int>(i);
    }
    return -1;
}

int findStringExact(const std::vector<const TWordRecord *> &entries, std::string_view text)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (equalsFolded(entries[i]->headword(), text))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace zarel
