// The settings' fields and their five characters in Dictionary.cfg.
#include "dictionary/settings.h"

namespace zarel {

namespace {

// The field of a file position, or nullptr; const for a const Settings.
template<typename S> auto field(S &s, int position) -> decltype(&s.popUp)
{
    switch (position) {
    case ConfigClipboard:
        return &s.clipboardTranslation;
    case ConfigPopUp:
        return &s.popUp;
    case ConfigStandardView:
        return &s.standardView;
    case ConfigTurkishInterface:
        return &s.turkishInterface;
    case ConfigEnglishToTurkish:
        return &s.englishToTurkish;
    default:
        return nullptr;
    }
}

} // namespace

Settings Settings::fromFlags(std::string_view flags)
{
    const std::string text(flags);
    Settings s;
    for (int position = ConfigClipboard; position <= ConfigEnglishToTurkish; ++position)
        s.setFlag(position, configFlag(text, position));
    return s;
}

std::string Settings::flags() const
{
    std::string text;
    for (int position = ConfigClipboard; position <= ConfigEnglishToTurkish; ++position)
        text += flag(position) ? '1' : '0';
    return text;
}

bool Settings::flag(int position) const
{
    const bool *f = field(*this, position);
    return f && *f;
}

void Settings::setFlag(int position, bool on)
{
    if (bool *f = field(*this, position))
        *f = on;
}

SettingsLoad loadSettings(const std::string &folder)
{
    const ConfigLoad config = loadConfig(folder);
    SettingsLoad result;
    result.status = config.status;
    result.existed = config.existed;
    if (config.status.ok())
        result.settings = Settings::fromFlags(config.flags);
    return result;
}

Status storeSettings(const std::string &folder, const Settings &settings, int position,
                     bool *stored)
{
    std::string flags = settings.flags();
    return storeConfig(folder, flags, position, settings.flag(position), stored);
}

} // namespace zarel
