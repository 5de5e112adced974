// Dictionary.cfg: loading (or creating with the defaults) and storing one setting atomically.
#include "dictionary/configfile.h"

#include "platform/fileutil.h"

namespace zarel {

namespace {

std::string configPath(const std::string &folder)
{
    return folder.empty() ? std::string(kConfigFileName) : folder + "/" + kConfigFileName;
}

} // namespace

ConfigLoad loadConfig(const std::string &folder)
{
    ConfigLoad result;
    const std::string path = configPath(folder);
    std::string contents;
    Status st = readWholeFile(path, contents);
    if (st.code == ErrorCode::FileNotFound) {
        result.existed = false;
        result.flags = kDefaultConfigFlags;
        // Created with exactly the five characters and no line end, through a temporary file:
        // an empty file left by a crash between creating and writing would be read as "00000".
        // A failure leaves no file, so the next start creates it again.
        writeFileAtomic(path, kDefaultConfigFlags);
        return result;
    }
    if (!st.ok()) {
        result.status = st;
        return result;
    }
    result.existed = true;
    std::string flags;
    for (const char c : contents) {
        if (c == '\r' || c == '\n' || flags.size() == 5)
            break;
        flags += c;
    }
    flags.resize(5, '0');
    result.flags = flags;
    return result;
}

Status storeConfig(const std::string &folder, std::string &flags, int position, bool on,
                   bool *stored)
{
    if (stored)
        *stored = false;
    const std::string path = configPath(folder);
    if (!fileExists(path))
        return Status::success();
    if (position < 1 || position > 5)
        return Status::failure(ErrorCode::BadInput, "No such setting", path);
    flags.resize(5, '0');
    flags[static_cast<size_t>(position - 1)] = on ? '1' : '0';
    Status st = writeFileAtomic(path, flags + "\r\n");
    if (st.ok() && stored)
        *stored = true;
    return st;
}

} // namespace zarel
