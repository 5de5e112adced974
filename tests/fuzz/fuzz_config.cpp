// Fuzz harness of Dictionary.cfg: any file loads as five setting characters, a stored setting
// reads back, and a missing file is created with the defaults but never by a store.
#include "dictionary/configfile.h"
#include "fuzzsupport.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

using namespace zarel;

const std::string &configFolder()
{
    static const std::string folder = [] {
        const std::string f = fuzz::scratchPath("cfg");
        std::filesystem::create_directories(f);
        return f;
    }();
    return folder;
}

// The flags a file holds: its first line, at most five characters, padded with '0'.
std::string expectedFlags(std::string_view file)
{
    std::string flags(file.substr(0, file.find_first_of("\r\n")).substr(0, 5));
    flags.resize(5, '0');
    return flags;
}

void checkFlags(const std::string &flags)
{
    ZAREL_FUZZ_CHECK(flags.size() == 5);
    for (int position = -1; position <= 7; ++position)
        ZAREL_FUZZ_CHECK(configFlag(flags, position)
                         == (position >= 1 && position <= 5 && flags[size_t(position - 1)] == '1'));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string &folder = configFolder();
    const std::string path = folder + "/" + kConfigFileName;
    fuzz::writeFile(path, bytes);

    ConfigLoad load = loadConfig(folder);
    ZAREL_FUZZ_CHECK(load.status.ok() && load.existed);
    ZAREL_FUZZ_CHECK(load.flags == expectedFlags(bytes));
    checkFlags(load.flags);

    // One setting stored: the file becomes the five characters and CR LF and loads back.
    const int position = size > 0 ? data[0] % 7 : 0;
    const bool on = size > 0 && (data[0] & 0x80) != 0;
    std::string flags = load.flags;
    bool stored = true;
    const Status st = storeConfig(folder, flags, position, on, &stored);
    if (position >= 1 && position <= 5) {
        ZAREL_FUZZ_CHECK(st.ok() && stored);
        std::string expected = load.flags;
        expected[size_t(position - 1)] = on ? '1' : '0';
        ZAREL_FUZZ_CHECK(flags == expected);
        ZAREL_FUZZ_CHECK(fuzz::readFile(path) == expected + "\r\n");
        const ConfigLoad again = loadConfig(folder);
        ZAREL_FUZZ_CHECK(again.status.ok() && again.existed && again.flags == expected);
    } else {
        ZAREL_FUZZ_CHECK(st.code == ErrorCode::BadInput && !stored && flags == load.flags);
        ZAREL_FUZZ_CHECK(fuzz::readFile(path) == bytes);
    }

    // Without a file a store changes nothing on disk, and a load creates the defaults.
    fuzz::removeFile(path);
    flags = load.flags;
    ZAREL_FUZZ_CHECK(storeConfig(folder, flags, 1, on, &stored).ok() && !stored);
    ZAREL_FUZZ_CHECK(!std::filesystem::exists(path));
    const ConfigLoad fresh = loadConfig(folder);
    ZAREL_FUZZ_CHECK(fresh.status.ok() && !fresh.existed && fresh.flags == kDefaultConfigFlags);
    ZAREL_FUZZ_CHECK(fuzz::readFile(path) == kDefaultConfigFlags);
    return 0;
}
