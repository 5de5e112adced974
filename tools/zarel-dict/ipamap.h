// The program's transcription alphabet (48 symbols written with Turkish letters, six of them in
// bold) and the conversion of FreeDict's IPA into it by the table in data/.
#pragma once

#include "platform/result.h"

#include <array>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// A stretch of transcription text (UTF-8) in one weight.
struct TranscriptionPart
{
    std::string text;
    bool bold = false;

    bool operator==(const TranscriptionPart &) const = default;
};
using Transcription = std::vector<TranscriptionPart>;

inline constexpr int kTranscriptionSymbolCount = 48;

// The 48 symbols in sound-number order (symbol n is sound n + 1), written in the table's
// markup: text between '*' is bold ("*e*", "e*ı*").
const std::array<std::string_view, kTranscriptionSymbolCount> &transcriptionSymbols();

// Parses the markup ("e*ı*") into parts. An unmatched '*' makes the rest bold.
Transcription parseMarkup(std::string_view markup);

// Writes parts back as markup (the inverse of parseMarkup) and as plain text without weights.
std::string toMarkup(const Transcription &t);
std::string toPlainText(const Transcription &t);

class IpaMap
{
public:
    // Loads a mapping table: one "IPA<TAB>transcription" pair per line, the transcription in
    // the markup above and made of the 48 symbols only (it may be empty: the IPA is dropped);
    // '#' starts a comment line. BadFormat names the first bad line.
    static Status load(std::string_view tsv, IpaMap &out);

    // The table kept in data/ipa_to_transcription.tsv, compiled into the program.
    static const IpaMap &builtin();
    static std::string_view builtinTable();

    // Converts IPA (UTF-8) by the longest matching table entry at each point; blanks between
    // words become one blank. Characters the table does not know are left out and counted in
    // `unknown` when given.
    Transcription convert(std::string_view ipa, std::map<char32_t, int> *unknown = nullptr) const;

    size_t size() const { return m_map.size(); }

private:
    std::map<std::u32string, Transcription> m_map;
    size_t m_longestKey = 0;
};

} // namespace zarel::dicttool
