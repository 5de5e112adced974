// RTF writer: writes an rtf::Document as RTF in code page 1254 (\ansicpg1254, fonts with
// \fcharset162, a colour table when colours are used). Characters outside code page 1254 are
// written as \uN escapes with a "?" fallback.
#pragma once

#include "rtf/rtfdocument.h"

#include <string>

namespace zarel::rtf {

// The RTF of `doc`, which parse() reads back to an equal document (its defaultFontName then
// being the font written as \f0). Runs with an empty fontName use \f0: doc.defaultFontName,
// or `defaultFont` when that is empty. Empty runs are left out, sizes are clamped to
// 1..kMaxHalfPoints, and invalid UTF-8 is written as U+FFFD.
std::string write(const Document &doc, const std::string &defaultFont = "Times New Roman");

} // namespace zarel::rtf
