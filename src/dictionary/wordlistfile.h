// Word-list files (".DIC"): one entry per line in code page 1254, CR LF written, CR LF or LF
// read. A line is a marked entry: an English headword ends in "*", a Turkish one is bare.
#pragma once

#include "platform/result.h"

#include <string>
#include <vector>

namespace zarel {

inline constexpr size_t kMaxWordListLines = 100000;

// Reads the entries of a list file; empty lines are skipped. A file that is not a word list
// (NUL or other control bytes, a line longer than a headword and its marker, more than
// 100,000 lines) is refused with BadFormat and `entries` is left empty.
Status readWordListFile(const std::string &path, std::vector<std::string> &entries);

// Writes the entries, each followed by CR LF, through a temporary file and rename.
Status writeWordListFile(const std::string &path, const std::vector<std::string> &entries);

// The shown form of a marked entry: the entry less its last character when it contains "*".
std::string shownEntry(const std::string &marked);
inline bool isEnglishEntry(const std::string &marked)
{
    return marked.find('*') != std::string::npos;
}

// The tab of a list entry: an English entry by (first byte AND 31) - 1 when that is 0..25, a
// Turkish one by the Turkish tab table; -1 when the tab is to stay as it is.
int listEntryTab(const std::string &marked);

} // namespace zarel
