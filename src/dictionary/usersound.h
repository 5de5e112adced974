// Where the spoken sound of a word the user added lives: a folder of the data folder of its own,
// apart from the numbered dictionary sounds (which may be a link into read-only shared data),
// under a file name made from the headword's bytes.
#pragma once

#include <string>
#include <string_view>

namespace zarel {

// The folder, relative to the data folder, that holds one folder per English tab
// ("usersound/1" .. "usersound/26").
inline constexpr std::string_view kUserSoundFolder = "usersound";

// The file name (without ".mp3") of the sound of `headword` (code page 1254 bytes): the bytes
// a-z, 0-9 and '-' as they are, every other byte as '_' and two lower-case hex digits; when that
// would be longer than kMaxReadableSoundName, '+' followed by the hex digits of every byte.
// Different headwords give different names, the name never holds '/', '.' or a blank and no
// name is longer than 203 characters. Empty for an empty headword.
inline constexpr size_t kMaxReadableSoundName = 200;
std::string userSoundName(std::string_view headword);

// "usersound/<tab + 1>/<name>.mp3" for an English tab 0-25; empty for any other tab or an
// empty headword.
std::string userSoundPath(int tab, std::string_view headword);

} // namespace zarel
