// Drive query: finds the wave folder of the first optical disc in the mount table.
#pragma once

#include <string>

namespace zarel {

// Reads a mount table in the format of /proc/self/mounts and returns the mount point of the
// first entry (in table order) whose file system is iso9660 or udf, or whose device is
// /dev/sr*, followed by "/Wave/". Returns "" when there is none or the file cannot be read.
// Octal escapes of the mount point (\040 for a blank) are decoded.
std::string findCdWavePath(const std::string &mountsFile = "/proc/self/mounts");

} // namespace zarel
