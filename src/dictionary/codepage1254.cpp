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
            zarel::utf8::append(out, mapByte(b));
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
        const char32_t c = zarel::utf8::next(utf8, i);
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

namespace zarel::utf8 {

void append(std::string &out, char32_t c)
{
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF)
        c = 0xFFFD;
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

char32_t next(std::string_view text, std::size_t &pos)
{
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int extra = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        c = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        c = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        c = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (text.size() - pos <= static_cast<std::size_t>(extra)) {
        ++pos;
        return 0xFFFD;
    }
    for (int k = 1; k <= extra; ++k) {
        const auto b = static_cast<unsigned char>(text[pos + static_cast<std::size_t>(k)]);
        if ((b & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (b & 0x3F);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<std::size_t>(extra) + 1;
    return c;
}

} // namespace zarel::utf8
