// Writing dictionary trees: index files and base/user article files for chosen entries.
// Used by the data builder (zarel-dict) and by tests that need a dictionary of their own.
#pragma once

#include "dictionary/result.h"

#include <string>
#include <vector>

namespace zarel {

struct WriterEntry
{
    std::string headword; // code page 1254, at most 101 bytes (longer ones are cut)
    std::string article; // the article bytes (RTF or plain), code page 1254
    unsigned char baseFlag = 1; // non-zero: base article (scrambled); 0: user article (plain)
};

struct WriterOptions
{
    bool compress = false; // write article files SZDD-compressed
};

// Writes one tab's files under `programFolder`: the index in the given order, base articles
// scrambled into "base_*.ref", user articles plain into "user_*.ref" (both files are always
// written, empty when they hold nothing; only base files are compressed, since user articles are
// appended in place). Creates the "eg"/"tr" folders as needed; every file
// is written atomically.
Status writeTab(const std::string &programFolder, int tab, const std::vector<WriterEntry> &entries,
                const WriterOptions &options = {});

// Writes all 56 tabs; tabs without entries get empty files.
Status writeDictionary(const std::string &programFolder,
                       const std::vector<std::vector<WriterEntry>> &tabs,
                       const WriterOptions &options = {});

} // namespace zarel
