// Scratch files and the property check of the fuzz harnesses.
#include "fuzzsupport.h"

#include "platform/lzfile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace zarel::fuzz {

namespace {

std::string g_scratch;

void removeScratch()
{
    std::error_code ec;
    if (!g_scratch.empty())
        std::filesystem::remove_all(g_scratch, ec);
}

} // namespace

void fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::fflush(stderr);
    std::abort();
}

const std::string &scratchFolder()
{
    if (g_scratch.empty()) {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/zarel-fuzz-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) {
            std::fprintf(stderr, "cannot create a scratch folder: %s\n", std::strerror(errno));
            std::abort();
        }
        g_scratch = pattern;
        std::atexit(removeScratch);
    }
    return g_scratch;
}

std::string scratchPath(std::string_view relative)
{
    return scratchFolder() + "/" + std::string(relative);
}

void writeFile(const std::string &path, std::string_view bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        std::abort();
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            std::abort();
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

std::string readFile(const std::string &path)
{
    std::string bytes;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), std::strerror(errno));
        std::abort();
    }
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), std::strerror(errno));
            std::abort();
        }
        if (n == 0)
            break;
        bytes.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return bytes;
}

void removeFile(const std::string &path)
{
    ::unlink(path.c_str());
}

bool lzContents(std::string_view file, std::string &contents)
{
    contents.clear();
    const std::vector<unsigned char> bytes(file.begin(), file.end());
    if (!lz::isSzdd(bytes)) {
        contents.assign(file);
        return true;
    }
    constexpr uint32_t kMaxExpanded = uint32_t(1) << 30;
    if (bytes.size() < 14 || bytes[8] != 'A')
        return false;
    const uint32_t length = uint32_t(bytes[10]) | uint32_t(bytes[11]) << 8
        | uint32_t(bytes[12]) << 16 | uint32_t(bytes[13]) << 24;
    std::vector<unsigned char> expanded;
    if (length > kMaxExpanded || !lz::szddExpand(bytes, expanded))
        return false;
    contents.assign(expanded.begin(), expanded.end());
    return true;
}

} // namespace zarel::fuzz
