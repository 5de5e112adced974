// Inspecting a dictionary tree as the program reads it: `check` (every range inside its file,
// every article RTF that begins with its headword), `list` and `show`.
#pragma once

#include "platform/result.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

struct TabCheck
{
    int tab = 0;
    size_t records = 0;
    size_t baseRecords = 0;
    size_t userRecords = 0;
    int problems = 0;
};

struct CheckResult
{
    std::vector<TabCheck> tabs; // all 56 in order
    std::vector<std::string> problems; // the first kMaxListedProblems, UTF-8
    int problemCount = 0;
    bool ok() const { return problemCount == 0; }
};

inline constexpr size_t kMaxListedProblems = 100;

// Checks the tree under `programFolder`: every tab has its index and both article files; the
// index holds whole records with headword lengths up to 101; every record's range lies inside
// its (expanded) article file; every article read through TCryptStream is RTF with balanced
// braces, and a base article's text begins with its headword. Reads only; creates nothing.
CheckResult checkTree(const std::string &programFolder);

// Writes the per-tab counts and the problems.
void printCheck(const CheckResult &result, std::ostream &out);

// A tab named on the command line: a number 0-55, an English letter "a"-"z" (tabs 0-25) or a
// Turkish capital "A", "Ç", "İ", ... (tabs 26-55). -1 when it names none.
int parseTab(std::string_view text);

// A short name of a tab for messages: "0 (eg/a)", "29 (tr/Ç)".
std::string tabName(int tab);

// Prints the headwords of a tab in index order, UTF-8, one per line.
Status listTab(const std::string &programFolder, int tab, std::ostream &out);

struct FoundArticle
{
    int tab = 0;
    std::string headword; // UTF-8
    std::string text; // the article as plain text, UTF-8
};

// Looks a word (UTF-8) up as the program does: the English tab of its first character
// ((code AND 31) - 1) and the Turkish tab by the Turkish tab table; in each, the headwords
// equal to the word byte for byte, or when there are none, equal ignoring letter case.
Status findArticles(const std::string &programFolder, std::string_view word,
                    std::vector<FoundArticle> &found);

} // namespace zarel::dicttool
