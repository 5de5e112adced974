// The zarel-dict command line: parses the arguments and runs build, check, list, show, speak or
// --data-version.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace zarel::dicttool {

// Runs one command; `args` excludes the program name. Returns the exit status: 0 on success,
// 1 on bad arguments, a missing source, a failed command or a tree that fails the check.
int runCommandLine(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace zarel::dicttool
