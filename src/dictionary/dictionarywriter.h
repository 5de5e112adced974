// Writing dictionary trees: index files and base/user article files for chosen entries.
// Used by the data builder (zarel-dict) and by tests that need a dictionary of their own.
#pragma once

#include "platform/result.h"

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

// Rebuilds one tab over an existing tree without losing the words the user added: the index gets
// the given base entries (all with a non-zero baseFlag, in dictionary order; BadInput otherwise)
// plus every user record (BaseFlag 0) of the tab's current index, unchanged, at its
// dictionary-order place. The base article file is replaced; the user article file is created
// empty when missing and never rewritten when it exists, so carried records keep pointing at
// their articles. Running it again over a tree it already rebuilt (wholly or in part) gives the
// same index: only user records are taken from the current one. An index that cannot be read
// stops the rebuild before anything is written. `carried` receives the number of user records.
Status rebuildTab(const std::string &programFolder, int tab,
                  const std::vector<WriterEntry> &baseEntries, const WriterOptions &options = {},
                  size_t *carried = nullptr);

// rebuildTab for all 56 tabs in order; tabs without entries keep only their user records.
// `carried`, when given, receives the number of user records per tab (56 numbers).
Status rebuildDictionary(const std::string &programFolder,
                         const std::vector<std::vector<WriterEntry>> &tabs,
                         const WriterOptions &options = {}, std::vector<size_t> *carried = nullptr);

} // namespace zarel
