// The word list the user collects: entries in the order added, each a code-page-1254 headword
// with its language, kept in the marked form of list files (an English headword ends in "*").
#pragma once

#include "platform/result.h"

#include <cstddef>
#include <string>
#include <vector>

namespace zarel {

class WordList
{
public:
    WordList() = default;
    // A list of marked entries as a list file holds them, duplicates included.
    explicit WordList(std::vector<std::string> marked);

    size_t size() const { return m_marked.size(); }
    bool empty() const { return m_marked.empty(); }
    bool operator==(const WordList &other) const = default;

    // Entry i, for i < size(); outside the list: an empty string, false, -1.
    // The headword as shown (the marked form less its marker).
    std::string headword(size_t i) const;
    // True for an English entry (its marked form holds "*").
    bool isEnglish(size_t i) const;
    // The marked form: the line a list file holds for the entry.
    std::string marked(size_t i) const;
    // The tab the entry belongs to: an English entry by (first byte AND 31) - 1, any other by
    // the Turkish letter table; -1 when there is none (or i is outside the list).
    int tab(size_t i) const;
    const std::vector<std::string> &markedEntries() const { return m_marked; }

    // True when the list holds `headword` in that language (bytes compared exactly).
    bool contains(const std::string &headword, bool english) const;
    // Adds `headword` at the end unless the list holds it in that language already, or it is
    // empty. True when it was added.
    bool add(const std::string &headword, bool english);
    // Appends marked entries as they come (a list file's duplicates stay).
    void append(const std::vector<std::string> &marked);
    // Removes entry i; false when i is outside the list.
    bool remove(size_t i);
    void clear() { m_marked.clear(); }

    // Reads the list file at `path` and puts its entries in place of the list (`replace`) or
    // after them. A file that cannot be read or is no word list leaves the list unchanged and
    // returns the failure.
    Status load(const std::string &path, bool replace = true);
    // Writes the marked entries to `path` (CR LF lines, through a temporary file and rename).
    Status save(const std::string &path) const;

private:
    std::vector<std::string> m_marked;
};

} // namespace zarel
