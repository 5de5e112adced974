// The Turkish words of an English-Turkish sense, for the Turkish-English reverse index.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// Longest Turkish term taken into the reverse index, in characters.
inline constexpr size_t kMaxReverseTermLength = 40;

// The Turkish words and short phrases of one sense (UTF-8 in, UTF-8 out, in sense order,
// without repeats):
// - a cross reference ("(bak.) archeology") or an abbreviation ("(kıs.) ...") gives nothing;
// - examples after the first ':' and text after a sentence end (". ") are dropped;
// - parenthesized text (usage labels, remarks) is removed, stray parentheses too;
// - the rest is split at ',' and ';', trimmed, with a final '.' removed;
// - pieces longer than 40 characters, with fewer than two letters or no lower-case one (an
//   abbreviation), with digits or punctuation such as '.', '!' or '/' inside (broken labels,
//   exclamations), starting with '-' (a suffix) or looking like a Latin name after a (bot.),
//   (zool.) or (Lat.) label are left out.
std::vector<std::string> turkishTermsOfSense(std::string_view sense);

} // namespace zarel::dicttool
