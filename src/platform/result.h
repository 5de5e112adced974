// Status: the small result type returned by the Qt-free layers instead of raising or showing
// dialogs.
#pragma once

#include <string>
#include <utility>

namespace zarel {

enum class ErrorCode {
    None = 0,
    FileNotFound, // the file does not exist
    ReadError, // the file exists but could not be opened or read
    WriteError, // a file could not be written or renamed into place
    BadInput, // the caller's data was refused (too long, not representable, ...)
    BadFormat, // the file's contents are not what the format allows
};

struct Status
{
    ErrorCode code = ErrorCode::None;
    std::string message; // human-readable, e.g. "File not found"
    std::string path; // the file concerned, when there is one

    bool ok() const { return code == ErrorCode::None; }
    static Status success() { return {}; }
    static Status failure(ErrorCode c, std::string msg, std::string p = {})
    {
        return Status { c, std::move(msg), std::move(p) };
    }
};

} // namespace zarel
