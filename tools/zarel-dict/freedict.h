// Reading FreeDict dictionaries in the dictd format: the ".index" file (headword, offset and
// length in base 64) and the ".dict.dz" data (dictzip, a gzip file) or a plain ".dict".
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zarel::dicttool {

// One entry as FreeDict writes it: "headword /IPA/" on the first line (the IPA may be
// missing), then the senses, one per line, numbered "1. ..." when there are several.
struct FreeDictEntry
{
    std::string headword; // UTF-8, as the entry's first line spells it
    std::string ipa; // UTF-8, without the slashes; empty when the entry has none
    std::vector<std::string> senses; // UTF-8, numbers removed, blanks normalized
};

struct DictdStats
{
    int indexLines = 0; // lines of the index file
    int metaEntries = 0; // the database's own entries (00-database-info and the like)
    int badLines = 0; // lines that are malformed or point outside the data
    int duplicateRanges = 0; // lines pointing to a range already read
};

// Largest data file expanded from a ".dict.dz" (a cap against damaged or hostile input).
inline constexpr size_t kMaxDictBytes = size_t(512) << 20;

// Decodes a dictd base-64 number ("ig" -> 544). Returns -1 for an empty, malformed or
// too long (> 10 digits) text.
int64_t decodeDictdNumber(std::string_view text);

// Inflates gzip data (one or more members, as dictzip writes them) into `out`. BadFormat on
// damaged data or when the result would exceed `cap` bytes.
Status gunzip(std::string_view compressed, std::string &out, size_t cap = kMaxDictBytes);

// Parses the text of one entry. A first line ending in "/.../" after a blank carries the IPA.
FreeDictEntry parseEntry(std::string_view text);

// True for the database's own entries ("00-database-info", "00databaseshort", ...).
bool isMetaHeadword(std::string_view indexHeadword);

// Reads a whole dictionary: `basePath` + ".index", and `basePath` + ".dict.dz" or, when that
// does not exist, `basePath` + ".dict". Entries come in the order of the data file; each
// distinct (offset, length) range is read once. FileNotFound when a file is missing.
Status readDictd(const std::string &basePath, std::vector<FreeDictEntry> &entries,
                 DictdStats *stats = nullptr);

// Parses index text and data already in memory (the part of readDictd after the file reads).
void parseDictd(std::string_view index, std::string_view data, std::vector<FreeDictEntry> &entries,
                DictdStats *stats = nullptr);

} // namespace zarel::dicttool
