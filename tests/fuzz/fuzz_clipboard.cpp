// Fuzz harness of the clipboard keys: copied text (raw UTF-16, or UTF-8 made into UTF-16) gives
// the English and Turkish keys of their rules, computed here over the whole text, and the
// shortening search over a small tab finds a headword that begins with what is left of a key.
//
// Input: [mode byte: bit 0 set = UTF-8 text] [text bytes].
#include "dictionary/clipboardkeys.h"
#include "dictionary/codepage1254.h"
#include "dictionary/combosearch.h"
#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "fuzzsupport.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zarel;

std::u16string textOf(const uint8_t *data, size_t size, bool utf8Text)
{
    std::u16string text;
    if (!utf8Text) {
        for (size_t i = 0; i + 1 < size; i += 2)
            text += static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        return text;
    }
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    for (size_t pos = 0; pos < bytes.size();) {
        const char32_t c = utf8::next(bytes, pos);
        if (c > 0xFFFF) {
            text += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            text += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            text += static_cast<char16_t>(c);
        }
    }
    return text;
}

std::string referenceEnglishKey(std::u16string_view text)
{
    std::string key;
    for (const char16_t u : text.substr(0, kMaxEnglishKey)) {
        const int b = cp1254::fromUnicode(u);
        key += b < 0 ? '?' : static_cast<char>(b);
    }
    return key;
}

// The Turkish conversion over the whole text, without any shortcut, then cut to its limit.
std::string referenceTurkishKey(std::u16string_view text)
{
    std::string bytes;
    for (const char16_t u : text) {
        if (u < 0x80) {
            bytes += static_cast<char>(u);
        } else if (u < 0x800) {
            bytes += static_cast<char>(0xC0 | (u >> 6));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            bytes += static_cast<char>(0xE0 | (u >> 12));
            bytes += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            bytes += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    static const std::vector<std::pair<std::string, char>> letters = {
        { "\xC3\xB6", '\xF6' }, { "\xC3\xA7", '\xE7' }, { "\xC5\x9F", '\xFE' },
        { "\xC4\xB1", '\xFD' }, { "\xC3\xBC", '\xFC' }, { "\xC4\x9F", '\xF0' },
        { "\xC3\x96", '\xD6' }, { "\xC3\x87", '\xC7' }, { "\xC5\x9E", '\xDE' },
        { "\xC4\xB0", '\xDD' }, { "\xC3\x9C", '\xDC' }, { "\xC4\x9E", '\xD0' },
    };
    const std::string_view dropped = "\x87\x96\x9C\x9E\x9F\xA7\xB0\xB1\xB6\xBC";
    std::string key;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == ' ')
            continue;
        const auto letter = std::find_if(letters.begin(), letters.end(), [&](const auto &l) {
            return std::string_view(bytes).substr(i, 2) == l.first;
        });
        if (letter != letters.end()) {
            key += letter->second;
            ++i;
        } else if (dropped.find(bytes[i]) == std::string_view::npos) {
            key += bytes[i];
        }
    }
    return key.substr(0, kMaxTurkishKey);
}

// A few headwords of one English and one Turkish tab, as the word box holds them.
struct SmallTab
{
    std::vector<TWordRecord> records;
    std::vector<const TWordRecord *> entries;

    explicit SmallTab(const std::vector<std::string> &words)
    {
        for (const std::string &w : words)
            records.push_back(TWordRecord::make(w, 0, 1, 1));
        for (const TWordRecord &r : records)
            entries.push_back(&r);
    }
};

// The shortening search: the longest leading part of the key that begins a headword.
void checkShorteningSearch(const SmallTab &tab, std::string key)
{
    while (!key.empty()) {
        const int found = findStringPrefix(tab.entries, key);
        if (found >= 0) {
            ZAREL_FUZZ_CHECK(startsWithFolded(tab.entries[size_t(found)]->headword(), key));
            return;
        }
        key.pop_back();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const SmallTab english({ "a", "able", "about", "run", "run away", "s\xE7" });
    static const SmallTab turkish({ "\xFE"
                                    "eker",
                                    "\xFE"
                                    "eker pancar\xFD",
                                    "\xFEu", "elma",
                                    "\xDD"
                                    "nek" });

    const std::u16string copied = textOf(data + 1, size - 1, (data[0] & 1) != 0);
    const std::u16string_view text = skipLeadingBlanks(copied);
    ZAREL_FUZZ_CHECK(text.size() <= copied.size() && (text.empty() || text.front() != u' '));
    ZAREL_FUZZ_CHECK(copied.ends_with(text));
    if (text.empty())
        return 0;

    const std::string englishKey = englishClipboardKey(text);
    ZAREL_FUZZ_CHECK(englishKey == referenceEnglishKey(text));
    ZAREL_FUZZ_CHECK(!englishKey.empty() && englishKey.size() <= kMaxEnglishKey);
    const int englishTab = englishTabForChar(static_cast<unsigned char>(englishKey[0]));
    if (isEnglishTab(englishTab))
        checkShorteningSearch(english, englishKey);

    const std::string turkishKey = turkishClipboardKey(text);
    ZAREL_FUZZ_CHECK(turkishKey == referenceTurkishKey(text));
    const int turkishTab = turkishKeyTab(turkishKey);
    ZAREL_FUZZ_CHECK(turkishTab == -1 || isTurkishTab(turkishTab));
    checkShorteningSearch(turkish, turkishKey);
    return 0;
}
