// IPA to transcription: the 48-symbol alphabet, the table loader with its checks, and the
// longest-match conversion.
#include "zarel-dict/ipamap.h"

#include "zarel-dict/tablelines.h"

#include "rtf/rtfdocument.h"

#include <algorithm>
#include <utility>

namespace zarel::dicttool {

namespace {

// A transcription as code points with their weight, for checking it against the alphabet.
struct Unit
{
    char32_t c;
    bool bold;
    bool operator==(const Unit &) const = default;
};

std::vector<Unit> unitsOf(const Transcription &t)
{
    std::vector<Unit> units;
    for (const TranscriptionPart &part : t) {
        size_t pos = 0;
        while (pos < part.text.size())
            units.push_back({ rtf::nextUtf8(part.text, pos), part.bold });
    }
    return units;
}

// True when the units can be cut into symbols of the alphabet.
bool madeOfSymbols(const std::vector<Unit> &units)
{
    static const std::vector<std::vector<Unit>> symbols = [] {
        std::vector<std::vector<Unit>> all;
        for (const std::string_view s : transcriptionSymbols())
            all.push_back(unitsOf(parseMarkup(s)));
        return all;
    }();
    std::vector<bool> reachable(units.size() + 1, false);
    reachable[0] = true;
    for (size_t i = 0; i < units.size(); ++i) {
        if (!reachable[i])
            continue;
        for (const std::vector<Unit> &symbol : symbols) {
            if (i + symbol.size() <= units.size()
                && std::equal(symbol.begin(), symbol.end(), units.begin() + static_cast<long>(i)))
                reachable[i + symbol.size()] = true;
        }
    }
    return reachable[units.size()];
}

std::u32string decode(std::string_view utf8)
{
    std::u32string out;
    size_t pos = 0;
    while (pos < utf8.size())
        out += rtf::nextUtf8(utf8, pos);
    return out;
}

void appendPart(Transcription &t, std::string_view text, bool bold)
{
    if (text.empty())
        return;
    if (!t.empty() && t.back().bold == bold)
        t.back().text += text;
    else
        t.push_back({ std::string(text), bold });
}

bool isBlank(char32_t c)
{
    return c == U' ' || c == U'\t' || c == 0xA0;
}

} // namespace

const std::array<std::string_view, kTranscriptionSymbolCount> &transcriptionSymbols()
{
    static const std::array<std::string_view, kTranscriptionSymbolCount> symbols = {
        "i:", "i",  "e",  "*e*", "ö:", "*ı*",  "a",    "a:",   "*o*",  "o:",    "u",     "u:",
        "ey", "ay", "oy", "au",  "ou", "e*ı*", "i*ı*", "u*ı*", "*o:*", "au*ı*", "ay*ı*", "ey*ı*",
        "y",  "w",  "p",  "b",   "t",  "d",    "k",    "g",    "*t*",  "*d*",   "s",     "z",
        "f",  "v",  "ş",  "ç",   "j",  "c",    "m",    "n",    "ng",   "r",     "l",     "h",
    };
    return symbols;
}

Transcription parseMarkup(std::string_view markup)
{
    Transcription t;
    bool bold = false;
    size_t start = 0;
    for (size_t i = 0; i <= markup.size(); ++i) {
        if (i == markup.size() || markup[i] == '*') {
            appendPart(t, markup.substr(start, i - start), bold);
            bold = !bold;
            start = i + 1;
        }
    }
    return t;
}

std::string toMarkup(const Transcription &t)
{
    std::string out;
    for (const TranscriptionPart &part : t)
        out += part.bold ? "*" + part.text + "*" : part.text;
    return out;
}

std::string toPlainText(const Transcription &t)
{
    std::string out;
    for (const TranscriptionPart &part : t)
        out += part.text;
    return out;
}

Status IpaMap::load(std::string_view tsv, IpaMap &out)
{
    IpaMap map;
    const Status read = forEachTableLine(tsv, [&map](int lineNumber, std::string_view line) {
        const auto bad = [lineNumber](const std::string &why) {
            return Status::failure(ErrorCode::BadFormat,
                                   "IPA table line " + std::to_string(lineNumber) + ": " + why);
        };
        const size_t tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0)
            return bad("expected IPA<TAB>transcription");
        const size_t noteTab = line.find('\t', tab + 1);
        const std::u32string key = decode(line.substr(0, tab));
        const std::string_view markup = line.substr(
            tab + 1,
            noteTab == std::string_view::npos ? std::string_view::npos : noteTab - tab - 1);
        if (std::count(markup.begin(), markup.end(), '*') % 2 != 0)
            return bad("unbalanced '*' in \"" + std::string(markup) + "\"");
        Transcription value = parseMarkup(markup);
        if (!madeOfSymbols(unitsOf(value)))
            return bad("\"" + std::string(markup) + "\" is not made of the 48 symbols");
        if (!map.m_map.emplace(key, std::move(value)).second)
            return bad("the IPA \"" + std::string(line.substr(0, tab)) + "\" appears twice");
        map.m_longestKey = std::max(map.m_longestKey, key.size());
        return Status::success();
    });
    if (!read.ok())
        return read;
    if (map.m_map.empty())
        return Status::failure(ErrorCode::BadFormat, "IPA table is empty");
    out = std::move(map);
    return Status::success();
}

Transcription IpaMap::convert(std::string_view ipa, std::map<char32_t, int> *unknown) const
{
    const std::u32string text = decode(ipa);
    Transcription out;
    bool pendingBlank = false;
    size_t i = 0;
    while (i < text.size()) {
        if (isBlank(text[i])) {
            pendingBlank = !out.empty();
            ++i;
            continue;
        }
        const Transcription *match = nullptr;
        size_t matched = 0;
        for (size_t n = std::min(m_longestKey, text.size() - i); n > 0 && !match; --n) {
            const auto it = m_map.find(text.substr(i, n));
            if (it != m_map.end()) {
                match = &it->second;
                matched = n;
            }
        }
        if (!match) {
            if (unknown)
                ++(*unknown)[text[i]];
            ++i;
            continue;
        }
        if (pendingBlank && !match->empty()) {
            appendPart(out, " ", false);
            pendingBlank = false;
        }
        for (const TranscriptionPart &part : *match)
            appendPart(out, part.text, part.bold);
        i += matched;
    }
    return out;
}

} // namespace zarel::dicttool
