// Turkish terms of a sense: labels and examples removed, split at commas and semicolons.
#include "zarel-dict/reverseindex.h"

#include "rtf/rtfdocument.h"
#include "zarel-dict/textrules.h"

#include <algorithm>

namespace zarel::dicttool {

namespace {

size_t characterCount(std::string_view utf8)
{
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

// Letters in all, and lower-case letters among them.
struct LetterCount
{
    size_t letters = 0;
    size_t lowerCase = 0;
};

LetterCount countLetters(std::string_view utf8)
{
    LetterCount n;
    size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t c = rtf::nextUtf8(utf8, pos);
        if (plainLetter(c) != 0)
            ++n.letters;
        if (isLowerCaseLetter(c))
            ++n.lowerCase;
    }
    return n;
}

// Characters that do not occur in a Turkish word or phrase of the dictionary but do in the
// broken labels and examples of the source ("A.B.D benzin", "A ! Ya ! Eyvah").
bool hasForeignPunctuation(std::string_view piece)
{
    return piece.find_first_of("0123456789.!?/=+&[]{}<>|_#@") != std::string_view::npos;
}

std::string_view trim(std::string_view s)
{
    const auto junk = [](char c) { return c == ' ' || c == '"' || c == '\'' || c == '*'; };
    while (!s.empty() && junk(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (junk(s.back()) || s.back() == '.' || s.back() == '!' || s.back() == '?'))
        s.remove_suffix(1);
    return s;
}

// A name such as "Musa textilis": ASCII letters and blanks only, starting with a capital.
bool looksLatinName(std::string_view piece)
{
    if (piece.empty() || piece.front() < 'A' || piece.front() > 'Z')
        return false;
    return std::all_of(piece.begin(), piece.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ' ' || c == '.';
    });
}

} // namespace

std::vector<std::string> turkishTermsOfSense(std::string_view sense)
{
    std::vector<std::string> terms;
    if (sense.find("(bak.)") != std::string_view::npos
        || sense.find("(kıs.)") != std::string_view::npos)
        return terms;
    const bool scientific = sense.find("(bot.)") != std::string_view::npos
        || sense.find("(zool.)") != std::string_view::npos
        || sense.find("(Lat.)") != std::string_view::npos;

    std::string_view text = sense;
    if (const size_t colon = text.find(':'); colon != std::string_view::npos)
        text = text.substr(0, colon);
    if (const size_t stop = text.find(". "); stop != std::string_view::npos)
        text = text.substr(0, stop);

    // Remove parenthesized text; a '(' without its ')' removes the rest, a lone ')' itself.
    std::string plain;
    plain.reserve(text.size());
    int depth = 0;
    for (const char c : text) {
        if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth > 0)
                --depth;
        } else if (depth == 0) {
            plain += c;
        }
    }

    size_t start = 0;
    for (size_t i = 0; i <= plain.size(); ++i) {
        if (i < plain.size() && plain[i] != ',' && plain[i] != ';')
            continue;
        std::string piece = normalizeSpaces(trim(std::string_view(plain).substr(start, i - start)));
        start = i + 1;
        // A label written without parentheses ("ABD aptal kimse") starts with a word in
        // capitals only.
        for (size_t blank = piece.find(' '); blank != std::string::npos; blank = piece.find(' ')) {
            const LetterCount first = countLetters(std::string_view(piece).substr(0, blank));
            if (first.letters < 2 || first.lowerCase > 0)
                break;
            piece.erase(0, blank + 1);
        }
        if (piece.empty() || piece.front() == '-' || characterCount(piece) > kMaxReverseTermLength
            || hasForeignPunctuation(piece) || (scientific && looksLatinName(piece)))
            continue;
        const LetterCount letters = countLetters(piece);
        if (letters.letters < 2 || letters.lowerCase == 0)
            continue; // a lone letter, or an abbreviation such as "AB"

        if (std::find(terms.begin(), terms.end(), piece) == terms.end())
            terms.push_back(piece);
    }
    return terms;
}

} // namespace zarel::dicttool
