// Text rules of the data builder: transliteration to code page 1254, tabs and orders.
#include "zarel-dict/textrules.h"

#include "dictionary/codepage1254.h"
#include "dictionary/lettertabs.h"
#include "dictionary/twordrecord.h"
#include "rtf/rtfdocument.h"

#include <unordered_map>

namespace zarel::dicttool {

namespace {

bool isUpperLatin(char32_t c)
{
    if (c >= 0xC0 && c <= 0xDE)
        return c != 0xD7;
    if (c >= 0x100 && c <= 0x137)
        return c % 2 == 0;
    if (c >= 0x139 && c <= 0x148)
        return c % 2 == 1;
    if (c >= 0x14A && c <= 0x177)
        return c % 2 == 0;
    if (c == 0x178)
        return true;
    if (c >= 0x179 && c <= 0x17E)
        return c % 2 == 1;
    return false;
}

// Characters outside the code page that have a plain-text stand-in other than a letter.
std::string_view standInOf(char32_t c)
{
    switch (c) {
    case 0x2010: // hyphen
    case 0x2011: // non-breaking hyphen
    case 0x2012: // figure dash
    case 0x2212: // minus sign
        return "-";
    case 0x2032: // prime
    case 0x02BC: // modifier letter apostrophe
        return "'";
    case 0x2033: // double prime
        return "\"";
    case 0x2002: // en space
    case 0x2003: // em space
    case 0x2009: // thin space
    case 0x200A: // hair space
        return " ";
    case 0x0132:
        return "IJ";
    case 0x0133:
        return "ij";
    default:
        return {};
    }
}

bool isCombiningMark(char32_t c)
{
    return c >= 0x0300 && c <= 0x036F;
}

bool isControl(char32_t c)
{
    return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

// Code point -> byte of the code page, built once from its decoding table (a hash lookup is
// much faster than a search per Turkish letter over megabytes of text).
int byteOf(char32_t c)
{
    static const std::unordered_map<char32_t, unsigned char> table = [] {
        std::unordered_map<char32_t, unsigned char> t;
        for (int b = 0xA0; b < 0x100; ++b)
            t.emplace(cp1254::toUnicode(static_cast<unsigned char>(b)),
                      static_cast<unsigned char>(b));
        for (int b = 0x80; b < 0xA0; ++b) {
            const char32_t u = cp1254::toUnicode(static_cast<unsigned char>(b));
            if (u > 0x9F) // the undefined positions decode to C1 controls: not text
                t.emplace(u, static_cast<unsigned char>(b));
        }
        return t;
    }();
    if (c < 0x80)
        return static_cast<int>(c);
    const auto it = table.find(c);
    return it == table.end() ? -1 : it->second;
}

} // namespace

bool isLowerCaseLetter(char32_t c)
{
    return plainLetter(c) != 0 && !(c >= 'A' && c <= 'Z') && !isUpperLatin(c);
}

Cp1254Text toCp1254(std::string_view utf8)
{
    Cp1254Text out;
    out.bytes.reserve(utf8.size());
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = rtf::nextUtf8(utf8, pos);
        if (c == U'\t') {
            out.bytes += ' ';
        } else if (isControl(c) || c == 0xFFFD) {
            ++out.dropped;
        } else if (const int b = byteOf(c); b >= 0) {
            out.bytes += static_cast<char>(b);
        } else if (isCombiningMark(c)) {
            ++out.transliterated; // the base letter is already written
        } else if (const char letter = plainLetter(c); letter != 0) {
            out.bytes += isUpperLatin(c) ? static_cast<char>(letter - 32) : letter;
            ++out.transliterated;
        } else if (const std::string_view standIn = standInOf(c); !standIn.empty()) {
            out.bytes += standIn;
            ++out.transliterated;
        } else {
            ++out.dropped;
        }
    }
    return out;
}

std::string normalizeSpaces(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    bool pendingBlank = false;
    for (const char ch : text) {
        if (ch == ' ' || ch == '\t') {
            pendingBlank = !out.empty();
            continue;
        }
        if (pendingBlank)
            out += ' ';
        pendingBlank = false;
        out += ch;
    }
    return out;
}

std::optional<std::string> headwordToCp1254(std::string_view utf8, std::string *reason)
{
    const auto refuse = [reason](const char *why) -> std::optional<std::string> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const Cp1254Text converted = toCp1254(utf8);
    if (converted.dropped > 0)
        return refuse("not expressible in code page 1254");
    std::string headword = normalizeSpaces(converted.bytes);
    while (!headword.empty()
           && (headword.back() == ',' || headword.back() == ';' || headword.back() == ' '))
        headword.pop_back();
    if (headword.empty())
        return refuse("empty headword");
    if (headword.size() > static_cast<size_t>(kMaxHeadwordLength))
        return refuse("longer than 101 characters");
    return headword;
}

int englishTabOf(std::string_view headword)
{
    if (headword.empty())
        return -1;
    const unsigned char f = englishFold(static_cast<unsigned char>(headword.front()));
    return (f >= 'a' && f <= 'z') ? f - 'a' : -1;
}

int turkishTabOf(std::string_view headword, TurkishTabProblem *problem)
{
    const auto fail = [problem](TurkishTabProblem p) {
        if (problem)
            *problem = p;
        return -1;
    };
    if (problem)
        *problem = TurkishTabProblem::None;
    if (headword.empty())
        return fail(TurkishTabProblem::NoTab);
    auto first = static_cast<unsigned char>(headword.front());
    if (first == cp1254::kGBreveUpper || first == cp1254::kGBreveLower)
        return fail(TurkishTabProblem::BeginsWithGBreve);
    if (first >= 0x80 && turkishTabForChar(first) < 0) {
        // Accented letters outside the Turkish alphabet take the tab of their plain letter;
        // a dotted i keeps its dot (î -> İ).
        const char plain = plainLetter(cp1254::toUnicode(first));
        if (plain != 0)
            first = static_cast<unsigned char>(plain);
    }
    if (first == 'q' || first == 'Q')
        return fail(TurkishTabProblem::BeginsWithQ);
    const int tab = turkishTabForChar(first);
    return tab < 0 ? fail(TurkishTabProblem::NoTab) : tab;
}

std::string englishSortKey(std::string_view headword)
{
    std::string key(headword);
    for (char &ch : key)
        ch = static_cast<char>(englishFold(static_cast<unsigned char>(ch)));
    return key;
}

std::u16string turkishSortKey(std::string_view headword)
{
    std::u16string key;
    key.reserve(headword.size());
    for (const char ch : headword)
        key += static_cast<char16_t>(turkishWeight(static_cast<unsigned char>(ch)));
    return key;
}

std::string turkishLower(std::string_view headword)
{
    using namespace cp1254;
    std::string out(headword);
    for (char &ch : out) {
        const auto b = static_cast<unsigned char>(ch);
        unsigned char l = b;
        if (b == 'I')
            l = kDotlessILower;
        else if (b == kIDotUpper)
            l = 'i';
        else if (b >= 'A' && b <= 'Z')
            l = static_cast<unsigned char>(b + 32);
        else if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
            l = static_cast<unsigned char>(b + 32); // Latin-1 capitals, Ç Ğ Ö Ş Ü among them
        ch = static_cast<char>(l);
    }
    return out;
}

} // namespace zarel::dicttool
