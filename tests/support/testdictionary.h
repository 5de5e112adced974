// Test helpers: a temporary folder removed at the end of a test, and small dictionaries written
// into it with the real dictionary writer (base articles scrambled, user articles plain,
// optionally SZDD-compressed).
#pragma once

#include "dictionary/dictionarywriter.h"
#include "dictionary/twordrecord.h"

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace zarel::test {

class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    const std::string &path() const { return m_path; }
    std::string file(const std::string &relative) const { return m_path + "/" + relative; }

private:
    std::string m_path;
};

// Writes a complete 56-tab dictionary under `folder`: the given tabs with their entries, every
// other tab with empty files. Fails the current test on a write error.
void writeTestDictionary(const std::string &folder,
                         const std::map<int, std::vector<WriterEntry>> &tabs,
                         bool compress = false);

// Convenience: an entry with a base or user article.
WriterEntry baseEntry(const std::string &headword, const std::string &article);
WriterEntry userEntry(const std::string &headword, const std::string &article);

// File helpers for assertions.
std::string readFile(const std::string &path);
void writeFile(const std::string &path, const std::string &bytes);
bool exists(const std::string &path);

// The records of a word box's list, made from UTF-8 headwords, with the pointer list the searches
// take (`pointers` points into `records`, so an object is not copied).
struct Entries
{
    explicit Entries(std::initializer_list<const char *> words);
    Entries(const Entries &) = delete;
    Entries &operator=(const Entries &) = delete;

    std::vector<TWordRecord> records;
    std::vector<const TWordRecord *> pointers;
};

} // namespace zarel::test
