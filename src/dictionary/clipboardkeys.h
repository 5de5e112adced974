// Search keys made from copied text: the English key (the text as code page 1254, bounded) and
// the Turkish key (a byte-level conversion of the text's UTF-8 form, blanks removed).
#pragma once

#include <string>
#include <string_view>

namespace zarel {

// No headword is longer than this, so no longer key can find one.
inline constexpr size_t kMaxEnglishKey = 101;
inline constexpr size_t kMaxTurkishKey = 62;

// The copied text (UTF-16) less its leading blanks.
std::u16string_view skipLeadingBlanks(std::u16string_view text);

// The English key: the text in code page 1254 ("?" for characters it lacks), cut to its first
// 101 bytes, which keeps the result of the shortening search and bounds its work.
std::string englishClipboardKey(std::u16string_view text);

// The Turkish key: the text encoded as UTF-8 one UTF-16 unit at a time; blanks dropped; the
// twelve two-byte sequences of the Turkish letters turned into their code-page-1254 bytes; the
// bytes 87 96 9C 9E 9F A7 B0 B1 B6 BC (hex) dropped wherever they stand; every other byte kept;
// at most 62 bytes.
std::string turkishClipboardKey(std::u16string_view text);

// The tab of a Turkish key: the first byte that is a letter of the Turkish tab table decides;
// -1 when none is.
int turkishKeyTab(std::string_view key);

} // namespace zarel
