// The lookup rules of the word box over a tab's code-page-1254 headwords: the tab of a typed
// or double-clicked word, the longest leading part of a text that begins a headword, Enter's
// search and the word cut out of a double-clicked selection. No widget is touched here.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zarel {

struct TWordRecord;

// The tab a word typed first into an empty word box goes to: in the English-Turkish direction
// (code AND 31) - 1, in the other by the Turkish letter table. -1 when the character names no
// tab and the current tab is to stay.
int typedWordTab(unsigned char first, bool englishToTurkish);

// The tab of a double-clicked word by its first byte: doubleClickEnglishTab in the
// English-Turkish direction, the Turkish letter table in the other; -1 to keep the current tab.
int doubleClickTab(unsigned char first, bool englishToTurkish);

// The index of the first entry of `tab` (the tab's headwords `entries`) that begins with the
// longest leading part of `text`, tried from the whole text down to its first byte with the
// tab's letter casing. -1 when no part matches or the text is empty.
int longestLeadingPartMatch(const std::vector<const TWordRecord *> &entries, std::string_view text,
                            int tab);

// Enter's search: the index of the first entry of `tab` equal to `typed` with letter case
// folded by the tab's language, or -1.
int enteredWordMatch(const std::vector<const TWordRecord *> &entries, std::string_view typed,
                     int tab);

// The word a double click looks up in the selected text: leading blanks skipped, cut at the
// next blank. Bytes other than the blank stay as they are.
std::string doubleClickedWord(std::string_view selected);

} // namespace zarel
