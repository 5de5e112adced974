// Drive query over the mount table.
#include "platform/drivequery.h"

#include "platform/fileutil.h"

#include <sstream>

namespace zarel {

namespace {

std::string unescapeMountField(const std::string &field)
{
    std::string out;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3'
            && field[i + 2] >= '0' && field[i + 2] <= '7' && field[i + 3] >= '0'
            && field[i + 3] <= '7') {
            out += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8
                                     + (field[i + 3] - '0'));
            i += 3;
        } else {
            out += field[i];
        }
    }
    return out;
}

} // namespace

std::string findCdWavePath(const std::string &mountsFile)
{
    std::string contents;
    if (!readWholeFile(mountsFile, contents).ok())
        return {};
    std::istringstream lines(contents);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string device, mountPoint, type;
        if (!(fields >> device >> mountPoint >> type))
            continue;
        const bool optical = type == "iso9660" || type == "udf" || device.rfind("/dev/sr", 0) == 0;
        if (!optical)
            continue;
        std::string root = unescapeMountField(mountPoint);
        if (root.empty() || root.back() != '/')
            root += '/';
        return root + "Wave/";
    }
    return {};
}

} // namespace zarel
