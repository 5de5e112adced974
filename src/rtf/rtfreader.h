// RTF reader: turns RTF bytes (code page 1254 by default) into an rtf::Document. Bytes that
// do not begin with "{\rtf" are read as plain code-page-1254 text, one paragraph per line.
#pragma once

#include "rtf/rtfdocument.h"

#include <string_view>

namespace zarel::rtf {

// True when the bytes begin with "{\rtf".
bool isRtf(std::string_view bytes);

// Groups nested deeper than this are skipped with their content.
inline constexpr int kMaxGroupDepth = 200;

// Parses RTF, or plain code-page-1254 text when isRtf() is false. Never fails: malformed
// input (unbalanced braces, truncated escapes, huge numbers, nesting deeper than
// kMaxGroupDepth, NUL bytes) yields whatever text could be recovered.
// Paragraphs: every \par (and, in plain text, every CR LF, LF or CR) ends one paragraph,
// empty ones included; the text after the last break becomes a final paragraph only when it
// is not empty, so a trailing "\par}" or a final line break adds no empty paragraph. Runs use
// an empty fontName for the default font (\deff) and take Document::defaultFontName from it;
// adjacent runs of equal format are merged.
Document parse(std::string_view bytes);

} // namespace zarel::rtf
