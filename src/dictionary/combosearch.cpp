// Combo-box searches: linear, from the top, case folded.
#include "dictionary/combosearch.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"

namespace zarel {

namespace {

unsigned char fold(unsigned char byte, Casing casing)
{
    if (casing == Casing::Turkish) {
        // Turkish pairs the dotless capital I with ı and the dotted capital İ with i.
        if (byte == 'I')
            return cp1254::kDotlessILower;
        if (byte == cp1254::kIDotUpper)
            return 'i';
    }
    return cp1254::foldCase(byte);
}

} // namespace

Casing casingOfTab(int tab)
{
    return isTurkishTab(tab) ? Casing::Turkish : Casing::Ascii;
}

bool startsWithFolded(std::string_view text, std::string_view prefix, Casing casing)
{
    if (prefix.size() > text.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (fold(static_cast<unsigned char>(text[i]), casing)
            != fold(static_cast<unsigned char>(prefix[i]), casing))
            return false;
    }
    return true;
}

bool equalsFolded(std::string_view a, std::string_view b, Casing casing)
{
    return a.size() == b.size() && startsWithFolded(a, b, casing);
}

int findStringPrefix(const std::vector<const TWordRecord *> &entries, std::string_view prefix,
                     Casing casing)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (startsWithFolded(entries[i]->headword(), prefix, casing))
            return static_cast<int>(i);
    }
    return -1;
}

int findStringExact(const std::vector<const TWordRecord *> &entries, std::string_view text,
                    Casing casing)
{
    for (size_t i = 0; i < entries.size(); ++i) {
        if (equalsFolded(entries[i]->headword(), text, casing))
            return static_cast<int>(i);
    }
    return -1;
}

} // namespace zarel
