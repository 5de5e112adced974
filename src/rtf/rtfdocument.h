// RtfDocument: the styled text that the RTF reader produces and the RTF writer consumes
// (paragraphs of styled runs; text in UTF-8).
#pragma once

#include "dictionary/codepage1254.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::rtf {

enum class Alignment { Left, Center, Right, Justify };

struct CharFormat
{
    std::string fontName; // empty: the reader's/widget's default font
    int halfPoints = 24; // \fs: font size in half points (24 = 12 pt)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool hasColor = false; // false: the default text colour
    uint32_t color = 0; // 0xRRGGBB when hasColor

    bool operator==(const CharFormat &) const = default;
};

// The largest \fs the reader accepts and the writer writes (1638 pt); the smallest is 1.
inline constexpr int kMaxHalfPoints = 3276;

struct Run
{
    std::string text; // UTF-8; "\t" for \tab, "\n" for \line (a break inside the paragraph)
    CharFormat format;

    bool operator==(const Run &) const = default;
};

struct Paragraph
{
    Alignment alignment = Alignment::Left;
    std::vector<Run> runs; // no empty runs; neighbours differ in format (as the reader builds them)

    bool operator==(const Paragraph &) const = default;
};

struct Document
{
    std::vector<Paragraph> paragraphs;
    // The document's default font (\deff): the font of runs whose fontName is empty. The
    // reader fills it from the font table; empty when the RTF names none.
    std::string defaultFontName;

    bool operator==(const Document &) const = default;
};

// The text of a document: paragraphs joined by "\n".
std::string plainText(const Document &doc);

// The UTF-8 coder of the code-page unit, under the names the RTF code uses.
inline void appendUtf8(std::string &out, char32_t codePoint)
{
    utf8::append(out, codePoint);
}
inline char32_t nextUtf8(std::string_view text, std::size_t &pos)
{
    return utf8::next(text, pos);
}

} // namespace zarel::rtf
