// Reading the builder's tab-separated tables in data/: one entry a line, CR LF or LF, empty
// lines and lines starting with "#" skipped.
#pragma once

#include "platform/result.h"

#include <string_view>

namespace zarel::dicttool {

// Calls `take(lineNumber, line)` (numbers from 1, the line without its line end) for every line
// that is neither empty nor a comment; stops at the first failure `take` returns.
template<typename Take> Status forEachTableLine(std::string_view table, Take take)
{
    int number = 0;
    size_t pos = 0;
    while (pos < table.size()) {
        size_t end = table.find('\n', pos);
        if (end == std::string_view::npos)
            end = table.size();
        std::string_view line = table.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.empty() || line.front() == '#')
            continue;
        const Status st = take(number, line);
        if (!st.ok())
            return st;
    }
    return Status::success();
}

} // namespace zarel::dicttool
