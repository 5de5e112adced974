// Dictionary.cfg: the five setting characters kept between runs (clipboard translation, pop-up,
// view, interface language, translation direction), "1" for the first alternative.
#pragma once

#include "platform/result.h"

#include <string>

namespace zarel {

inline constexpr const char *kConfigFileName = "Dictionary.cfg";
inline constexpr const char *kDefaultConfigFlags = "11111";

enum ConfigPosition {
    ConfigClipboard = 1,
    ConfigPopUp = 2,
    ConfigStandardView = 3,
    ConfigTurkishInterface = 4,
    ConfigEnglishToTurkish = 5
};

struct ConfigLoad
{
    Status status; // a read failure of an existing file
    bool existed = false; // false: the file was created with the defaults, nothing to apply
    std::string flags = kDefaultConfigFlags; // always five characters
};

// Load: reads the first line of `folder` + "/Dictionary.cfg" (at most five characters, padded
// with "0"; any line end accepted). A missing file is created holding exactly "11111" with no
// line end.
ConfigLoad loadConfig(const std::string &folder);

// Store one setting: when `folder` + "/Dictionary.cfg" does not exist nothing changes and the
// file is not re-created (returns success with `stored` false). Otherwise flags[position-1]
// becomes "1"/"0" and the file is rewritten as the five characters and CR LF, through a
// temporary file and rename. A write failure is returned; `flags` is changed all the same.
Status storeConfig(const std::string &folder, std::string &flags, int position, bool on,
                   bool *stored = nullptr);

// True when flags[position-1] is '1'.
inline bool configFlag(const std::string &flags, int position)
{
    return position >= 1 && static_cast<size_t>(position) <= flags.size()
        && flags[position - 1] == '1';
}

} // namespace zarel
