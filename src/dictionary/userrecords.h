// Carrying the words a user added through a rebuild of the dictionary data: the user records
// (BaseFlag 0) of a tab's index file, and their merge into a new index in dictionary order.
#pragma once

#include "dictionary/twordrecord.h"
#include "platform/result.h"

#include <string>
#include <vector>

namespace zarel {

// The user records of the tab's current index file under `programFolder`, byte for byte and in
// file order. A missing index file holds none (success); a trailing partial record is ignored, as
// the program ignores it. Any other read failure is returned, so a caller never mistakes an
// unreadable index for one without user words.
Status readUserRecords(const std::string &programFolder, int tab, std::vector<TWordRecord> &out);

// Merges `user` records into `base` records (already in the tab's dictionary order): each user
// record goes before the first base record that sorts after it, so a user entry whose headword
// the base also has stays right behind the base entry. User records are ordered among themselves
// by the same rule, keeping their relative order where headwords compare equal. The records are
// copied unchanged (offsets, sizes, unused headword bytes).
std::vector<TWordRecord> mergeUserRecords(int tab, const std::vector<TWordRecord> &base,
                                          std::vector<TWordRecord> user);

} // namespace zarel
