// Storing a word the user adds: the article appended to the tab's user article file, the index
// file rewritten with the new record at its dictionary-order position.
#pragma once

#include "dictionary/twordrecord.h"
#include "platform/result.h"

#include <string>
#include <string_view>
#include <vector>

namespace zarel {

// Checks a headword for storing: not empty, at most 101 bytes. (Whether its characters fit
// code page 1254 is checked where the text is converted.)
Status validateHeadword(std::string_view headword);

// Stores a user entry of `tab` under `programFolder`:
// 1. appends `article` unchanged to the tab's "user_" article file (created when missing) and
//    flushes it; ArticleOffset is the file's size before, ArticleSize the bytes written;
// 2. rewrites the index file through a temporary file, fsync and rename, with the record
//    (BaseFlag 0) inserted before the first record that sorts after it.
// A crash at any moment leaves the old or the new index; bytes appended to the article file
// by an interrupted store are referenced by no record. On success `stored` holds the record.
// A compressed user article file is refused, since appending to it would corrupt it.
Status storeUserEntry(const std::string &programFolder, int tab, std::string_view headword,
                      std::string_view article, TWordRecord *stored = nullptr);

// The list position at which a headword goes in a tab's entries (before the first entry that
// sorts after it).
size_t insertionPosition(int tab, const std::vector<const TWordRecord *> &entries,
                         std::string_view headword);

} // namespace zarel
