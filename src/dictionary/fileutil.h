// Small file helpers shared by the Qt-free layers: whole-file reads and atomic writes.
#pragma once

#include "dictionary/result.h"

#include <string>
#include <string_view>

namespace zarel {

bool fileExists(const std::string &path);

// Reads a whole file into `out`. FileNotFound when it does not exist, ReadError otherwise.
Status readWholeFile(const std::string &path, std::string &out);

// Writes `data` to a temporary file in the same folder, flushes it to disk and renames it over
// `path`, so readers see either the old or the new contents, never a mix. Temporaries of `path`
// that an interrupted earlier write left behind (over a minute old) are removed afterwards.
Status writeFileAtomic(const std::string &path, std::string_view data);

} // namespace zarel
