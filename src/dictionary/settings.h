// The five settings kept in Dictionary.cfg as named fields: clipboard translation, pop-up,
// view, interface language and translation direction. configfile.h reads and writes the file.
#pragma once

#include "dictionary/configfile.h"
#include "platform/result.h"

#include <string>
#include <string_view>

namespace zarel {

struct Settings
{
    bool clipboardTranslation = true; // Options > Control-C
    bool popUp = true; // Options > PopUp: the window comes to the front after a lookup
    bool standardView = true; // false: the compact view
    bool turkishInterface = true; // false: English captions and messages
    bool englishToTurkish = true; // false: Turkish-English lookups

    bool operator==(const Settings &other) const = default;

    // The fields of the five setting characters: "1" for true, anything else (or a missing
    // character) for false.
    static Settings fromFlags(std::string_view flags);
    // The five characters, "1" or "0" each, in file order.
    std::string flags() const;
    // The field of a file position (1-5); false for any other position.
    bool flag(int position) const;
    // Sets the field of a file position; any other position changes nothing.
    void setFlag(int position, bool on);
};

// Reads the settings of `folder` + "/Dictionary.cfg" as loadConfig does (a missing file is
// created with the defaults). On a read failure `status` says why and `settings` holds the
// defaults.
struct SettingsLoad
{
    Status status;
    bool existed = false;
    Settings settings;
};
SettingsLoad loadSettings(const std::string &folder);

// Writes the settings to `folder` + "/Dictionary.cfg" after the setting at `position` changed:
// as storeConfig, nothing is written when the file does not exist (`stored` false then), and a
// write failure is returned.
Status storeSettings(const std::string &folder, const Settings &settings, int position,
                     bool *stored = nullptr);

} // namespace zarel
