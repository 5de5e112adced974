// Clipboard search keys.
#include "dictionary/clipboardkeys.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"

namespace zarel {

std::u16string_view skipLeadingBlanks(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    return text.substr(i);
}

std::string englishClipboardKey(std::u16string_view text)
{
    std::string key;
    key.reserve(kMaxEnglishKey);
    for (size_t i = 0; i < text.size() && key.size() < kMaxEnglishKey; ++i) {
        const int b = cp1254::fromUnicode(text[i]);
        key += b < 0 ? '?' : static_cast<char>(b);
    }
    return key;
}

std::string turkishClipboardKey(std::u16string_view text)
{
    // Only the UTF-8 bytes of the first units can reach the 62 kept bytes; the walk stops early
    // so a huge copied text costs nothing. Blanks are left out here rather than counted: every
    // other unit keeps at least one byte, so the bound holds however many blanks the text has.
    // (A blank never stands inside one of the letter pairs, so leaving it out early changes no
    // pair.)
    std::string utf8;
    for (size_t i = 0; i < text.size() && utf8.size() < 4 * kMaxTurkishKey + 8; ++i) {
        const char16_t u = text[i];
        if (u == u' ')
            continue;
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (u >> 12));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    struct Pair
    {
        unsigned char first, second, letter;
    };
    static constexpr Pair kLetters[] = {
        { 0xC3, 0xB6, 0xF6 }, { 0xC3, 0xA7, 0xE7 }, { 0xC5, 0x9F, 0xFE }, { 0xC4, 0xB1, 0xFD },
        { 0xC3, 0xBC, 0xFC }, { 0xC4, 0x9F, 0xF0 }, { 0xC3, 0x96, 0xD6 }, { 0xC3, 0x87, 0xC7 },
        { 0xC5, 0x9E, 0xDE }, { 0xC4, 0xB0, 0xDD }, { 0xC3, 0x9C, 0xDC }, { 0xC4, 0x9E, 0xD0 },
    };
    const auto dropped = [](unsigned char b) {
        switch (b) {
        case 0x87:
        case 0x96:
        case 0x9C:
        case 0x9E:
        case 0x9F:
        case 0xA7:
        case 0xB0:
        case 0xB1:
        case 0xB6:
        case 0xBC:
            return true;
        default:
            return false;
        }
    };
    std::string key;
    for (size_t i = 0; i < utf8.size() && key.size() < kMaxTurkishKey; ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        if (b == ' ')
            continue;
        if (i + 1 < utf8.size()) {
            const auto next = static_cast<unsigned char>(utf8[i + 1]);
            bool matched = false;
            for (const Pair &p : kLetters) {
                if (p.first == b && p.second == next) {
                    key += static_cast<char>(p.letter);
                    ++i;
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
        }
        if (dropped(b))
            continue;
        key += static_cast<char>(b);
    }
    return key;
}

int turkishKeyTab(std::string_view key)
{
    for (const char c : key) {
        const int tab = turkishTabForChar(static_cast<unsigned char>(c));
        if (tab >= 0)
            return tab;
    }
    return -1;
}

} // namespace zarel
