// Code page 1254 (Windows Turkish) to and from Unicode, and the byte-level letter rules of the
// program.
#pragma once

#include <string>
#include <string_view>

namespace zarel::cp1254 {

// Turkish letters by their code-page-1254 bytes.
inline constexpr unsigned char kCCedillaUpper = 0xC7, kCCedillaLower = 0xE7;
inline constexpr unsigned char kGBreveUpper = 0xD0, kGBreveLower = 0xF0;
inline constexpr unsigned char kIDotUpper = 0xDD, kDotlessILower = 0xFD;
inline constexpr unsigned char kOUmlautUpper = 0xD6, kOUmlautLower = 0xF6;
inline constexpr unsigned char kSCedillaUpper = 0xDE, kSCedillaLower = 0xFE;
inline constexpr unsigned char kUUmlautUpper = 0xDC, kUUmlautLower = 0xFC;

// The Unicode code point of a byte. The seven bytes that code page 1254 leaves undefined
// (0x81, 0x8D, 0x8E, 0x8F, 0x90, 0x9D, 0x9E) map to the C1 control of the same value so that
// every byte round-trips.
char32_t toUnicode(unsigned char byte);

// The byte of a code point, or -1 when code page 1254 cannot express it.
int fromUnicode(char32_t codePoint);

// Whole strings. Decoding never fails; encoding replaces what cannot be expressed by
// `replacement` (0 drops it) and reports through `lossless` whether anything was replaced.
std::string toUtf8(std::string_view bytes);
std::string fromUtf8(std::string_view utf8, char replacement = '?', bool *lossless = nullptr);

// Case folding used by the lookup searches: ASCII letters, and the pairs Ç/ç, Ğ/ğ, Ö/ö, Ş/ş, Ü/ü.
// I and i fold by the ASCII rule; İ (DD) and ı (FD) only match themselves.
unsigned char foldCase(unsigned char byte);

// ASCII-only upper-casing (a-z to A-Z), as used by the Turkish tab table.
inline unsigned char asciiUpper(unsigned char byte)
{
    return (byte >= 'a' && byte <= 'z') ? static_cast<unsigned char>(byte - 32) : byte;
}

} // namespace zarel::cp1254

namespace zarel::utf8 {

// Appends the UTF-8 encoding of a code point; surrogates and values above U+10FFFF are
// written as U+FFFD.
void append(std::string &out, char32_t codePoint);

// Decodes the code point that starts at `pos` and advances `pos` past it. An invalid,
// overlong or truncated sequence yields U+FFFD and advances one byte. `pos` < text.size().
char32_t next(std::string_view text, std::size_t &pos);

} // namespace zarel::utf8
