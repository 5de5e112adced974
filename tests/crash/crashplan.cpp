// The crash-safety plan: base tree, added words, the settings sequence, the word-list sequence.
#include "crashplan.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"

#include <cstdio>

namespace zarel::crash {

namespace {

constexpr int kConfigCycle[] = { 1, 2, 4, 5 };

// An RTF article whose text begins with its headword; bytes above 127 as \'hh escapes.
std::string article(const std::string &headword, const std::string &meaning)
{
    std::string rtf = "{\\rtf1\\ansi\\ansicpg1254{\\fonttbl{\\f0\\fcharset162 Times New "
                      "Roman;}}\\f0{\\b ";
    for (const char c : headword) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 128) {
            rtf += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\'%02x", b);
            rtf += escaped;
        }
    }
    return rtf + "} " + meaning + "\\par}";
}

WriterEntry base(const std::string &utf8, const std::string &meaning)
{
    const std::string headword = cp1254::fromUtf8(utf8);
    return WriterEntry { headword, article(headword, meaning), 1 };
}

} // namespace

std::map<int, std::vector<WriterEntry>> baseTabs()
{
    return {
        { kWordTab,
          { base("w", "the letter w"), base("wad", "tomar"), base("Wales", "Galler"),
            base("wax", "balmumu"), base("web", "ag"), base("why", "neden"),
            base("wonder", "merak"), base("wry", "carpik") } },
        { 1,
          { base("bag", "canta"), base("bed", "yatak"), base("big", "buyuk"), base("book", "kitap"),
            base("box", "kutu"), base("bus", "otobus") } },
        { 29,
          { base("çanta", "bag"), base("çatı", "roof"), base("çay", "tea"), base("çiçek", "flower"),
            base("çocuk", "child"), base("çorba", "soup") } },
    };
}

std::string addedWord(int k)
{
    int code = static_cast<int>((static_cast<long>(k) * 7919) % 17576);
    std::string word = "w";
    for (int i = 0; i < 3; ++i) {
        word.insert(word.begin() + 1, static_cast<char>('a' + code % 26));
        code /= 26;
    }
    return word;
}

int configPosition(int v)
{
    return kConfigCycle[(v - 1) % 4];
}

std::string configFlags(int v)
{
    std::string flags = "11111";
    for (int s = 1; s <= v; ++s) {
        char &c = flags[static_cast<size_t>(configPosition(s) - 1)];
        c = c == '1' ? '0' : '1';
    }
    return flags;
}

std::string configFileBytes(int v)
{
    return v == 0 ? configFlags(0) : configFlags(v) + "\r\n";
}

const std::vector<ListWord> &listWords()
{
    static const std::vector<ListWord> words = [] {
        const char *english[] = { "bag", "bed", "big", "book", "box", "bus" };
        const char *turkish[] = { "çanta", "çatı", "çay", "çiçek", "çocuk", "çorba" };
        std::vector<ListWord> all;
        for (size_t i = 0; i < 6; ++i) {
            all.push_back({ 1, cp1254::fromUtf8(english[i]) });
            all.push_back({ 29, cp1254::fromUtf8(turkish[i]) });
        }
        return all;
    }();
    return words;
}

std::vector<std::string> listEntries(int n)
{
    // The window is smaller than the word cycle, so an added word is never already listed.
    static_assert(kListWindow < 12);
    std::vector<std::string> list;
    for (int s = 1; s <= n; ++s) {
        if (list.size() == static_cast<size_t>(kListWindow))
            list.erase(list.begin());
        const ListWord &w = listWords()[static_cast<size_t>(s - 1) % listWords().size()];
        list.push_back(isEnglishTab(w.tab) ? w.headword + "*" : w.headword);
    }
    return list;
}

std::string listFileBytes(int n)
{
    std::string bytes;
    for (const std::string &e : listEntries(n))
        bytes += e + "\r\n";
    return bytes;
}

} // namespace zarel::crash
