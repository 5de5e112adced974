// The file names of the sounds of words the user added.
#include "dictionary/usersound.h"

#include "dictionary/lettertabs.h"

namespace zarel {

namespace {

constexpr char kHex[] = "0123456789abcdef";

void appendHex(std::string &out, unsigned char byte)
{
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0F];
}

bool keptAsItIs(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

} // namespace

std::string userSoundName(std::string_view headword)
{
    // Capitals are escaped too, so "Turkey" and "turkey" stay apart on a file system that
    // ignores letter case.
    std::string name;
    for (const char ch : headword) {
        const auto c = static_cast<unsigned char>(ch);
        if (keptAsItIs(c)) {
            name += ch;
        } else {
            name += '_';
            appendHex(name, c);
        }
    }
    if (name.size() <= kMaxReadableSoundName)
        return name;
    // '+' never occurs in a readable name, so the two forms cannot meet.
    name = "+";
    for (const char ch : headword)
        appendHex(name, static_cast<unsigned char>(ch));
    return name;
}

std::string userSoundPath(int tab, std::string_view headword)
{
    if (!isEnglishTab(tab) || headword.empty())
        return {};
    return std::string(kUserSoundFolder) + "/" + std::to_string(tab + 1) + "/"
        + userSoundName(headword) + ".mp3";
}

} // namespace zarel
