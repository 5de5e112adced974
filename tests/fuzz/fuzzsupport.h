// Shared pieces of the fuzz harnesses: a scratch folder per process, writing an input to a file
// in it, and the check that ends the run when a promised property does not hold.
#pragma once

#include <string>
#include <string_view>

namespace zarel::fuzz {

// Reports a broken property and aborts, which libFuzzer records as a finding and the replay
// test as a failure.
[[noreturn]] void fail(const char *condition, const char *file, int line);

// The scratch folder of this process, created on first use under $TMPDIR (else /tmp) and
// removed when the process exits normally.
const std::string &scratchFolder();

// A path inside the scratch folder.
std::string scratchPath(std::string_view relative);

// Replaces the file at `path` with `bytes`; aborts when it cannot, since the harness would
// then test nothing.
void writeFile(const std::string &path, std::string_view bytes);

// The whole file at `path`; aborts when it cannot be read.
std::string readFile(const std::string &path);

// Removes the file at `path` if it exists.
void removeFile(const std::string &path);

// The bytes the LZ layer reads from a file holding `file`: SZDD data expanded, anything else as
// it is. False when the LZ layer refuses the file (damaged SZDD header, expansion above its cap).
bool lzContents(std::string_view file, std::string &contents);

} // namespace zarel::fuzz

#define ZAREL_FUZZ_CHECK(condition)                                                                \
    do {                                                                                           \
        if (!(condition))                                                                          \
            ::zarel::fuzz::fail(#condition, __FILE__, __LINE__);                                   \
    } while (false)
