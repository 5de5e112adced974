// Code page 1254 tables and UTF-8 conversion.
#include "dictionary/codepage1254.h"

#include <array>

namespace zarel::cp1254 {

namespace {

// Bytes 0x80..0x9F; undefined positions keep their C1 control value.
constexpr std::array<char32_t, 32> kHigh80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x008E, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x009E, 0x0178,
};

char32_t mapByte(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return kHigh80[b - 0x80];
    switch (b) {
    case 0xD0:
        return 0x011E; // Ğ
    case 0xDD:
        return 0x0130; // İ
    case 0xDE:
        return 0x015E; // Ş
    case 0xF0:
        return 0x011F; // ğ
    case 0xFD:
        return 0x0131; // ı
    case 0xFE:
        return 0x015F; // ş
    default:
        return b; // the rest is Latin-1
    }
}

void appendUtf8(std::string &out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `i`; malformed bytes decode as U+FFFD and advance by one.
char32_t nextUtf8(std::string_view s, size_t &i)
{
    const auto b0 = static_cast<unsigned char>(s[i]);
    int extra = 0;
    char32_t c = 0;
    if (b0 < 0x80) {
        ++i;
        return b0;
    } else if ((b0 & 0xE0) == 0xC0) {
        extra = 1;
        c = b0 & 0x1F;
    } else if ((b0 & 0xF0) == 0xE0) {
        extra = 2;
        c = b0 & 0x0F;
    } else if ((b0 & 0xF8) == 0xF0) {
        extra = 3;
        c = b0 & 0x07;
    } else {
        ++i;
        return 0xFFFD;
    }
    if (i + static_cast<size_t>(extra) >= s.size()) {
        ++i;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            ++i;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    i += static_cast<size_t>(extra) + 1;
    return c;
}

} // namespace

char32_t toUnicode(unsigned char byte)
{
    return mapByte(byte);
}

int fromUnicode(char32_t codePoint)
{
    static const auto reverse = [] {
        std::array<std::pair<char32_t, unsigned char>, 256> table {};
        for (int b = 0; b < 256; ++b)
            table[b] = { mapByte(static_cast<unsigned char>(b)), static_cast<unsigned char>(b) };
        return table;
    }();
    if (codePoint < 0x80)
        return static_cast<int>(codePoint);
    if (codePoint <= 0xFF && mapByte(static_cast<unsigned char>(codePoint)) == codePoint)
        return static_cast<int>(codePoint);
    for (const auto &[u, b] : reverse) {
        if (u == codePoint)
            return b;
    }
    return -1;
}

std::string toUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else
            appendUtf8(out, mapByte(b));
    }
    return out;
}

std::string fromUtf8(std::string_view utf8, char replacement, bool *lossless)
{
    std::string out;
    out.reserve(utf8.size());
    bool clean = true;
    size_t i = 0;
    while (i < utf8.size()) {
        const char32_t c = nextUtf8(utf8, i);
        const int b = fromUnicode(c);
        if (b >= 0 && c != 0xFFFD) {
            out += static_cast<char>(b);
        } else {
            clean = false;
            if (replacement != 0)
                out += replacement;
        }
    }
    if (lossless)
        *lossless = clean;
    return out;
}

unsigned char foldCase(unsigned char byte)
{
    if (byte >= 'A' && byte <= 'Z')
        return static_cast<unsigned char>(byte + 32);
    switch (byte) {
    case kCCedillaUpper:
        return kCCedillaLower;
    case kGBreveUpper:
        return kGBreveLower;
    case kOUmlautUpper:
        return kOUmlautLower;
    case kSCedillaUpper:
        return kSCedillaLower;
    case kUUmlautUpper:
        return kUUmlautLower;
    default:
        return byte;
    }
}

} // namespace zarel::cp1254
