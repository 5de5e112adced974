// Rules of the learning methods that need no window: the answer check and the stepping through
// the word list.
#pragma once

#include <string_view>

namespace zarel {

// True when the typed answer equals the expected word. The letters A-Z and a-z are compared
// without regard to case; every other byte (Turkish letters such as Ç/ç, I/ı, İ/i included) must
// match exactly, and nothing is trimmed. Works on code-page-1254 and on UTF-8 bytes alike, since
// ASCII letter bytes never occur inside a UTF-8 multi-byte sequence.
bool answerMatches(std::string_view typed, std::string_view answer);

// The list index after `index` in a list of `count` entries: index + 1, and 0 after the last
// entry (or from any index outside the list). -1 for an empty list.
int nextWordIndex(int index, int count);

// The list index before `index`: index - 1 while index > 0, otherwise the last entry (so the
// first step back before any word shows the last one). -1 for an empty list.
int previousWordIndex(int index, int count);

} // namespace zarel
