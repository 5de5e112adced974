// Conversions between code-page-1254 bytes (headwords, typed keys, list files) and QString.
#pragma once

#include <string>
#include <string_view>

#include <QString>

namespace zarel::app {

// Every byte has a code point (the core's table), so the conversion never fails and keeps
// the length: character i of the result is byte i of the input.
QString fromCp1254(std::string_view bytes);

// Characters that code page 1254 cannot express become `replacement`.
std::string toCp1254(const QString &text, char replacement = '?');

} // namespace zarel::app
