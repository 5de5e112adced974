// Whole-file reads and atomic writes (temporary file, fsync, rename).
#include "platform/fileutil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace zarel {

namespace {

constexpr std::string_view kTempInfix = ".tmp";
constexpr size_t kTempSuffixLength = 6; // the XXXXXX of mkstemp
constexpr time_t kStaleTempSeconds = 60;

// Removes temporaries of `name` in `dir` that a write cut off by a crash or a kill left behind
// (name.tmpXXXXXX). Only those untouched for a minute go, so a write another running copy of the
// program is doing at this moment keeps its file.
void removeStaleTemporaries(const std::string &dir, const std::string &name)
{
    DIR *d = ::opendir(dir.c_str());
    if (d == nullptr)
        return;
    const std::string prefix = name + std::string(kTempInfix);
    const time_t now = std::time(nullptr);
    while (const dirent *entry = ::readdir(d)) {
        const std::string_view candidate(entry->d_name);
        if (candidate.size() != prefix.size() + kTempSuffixLength || !candidate.starts_with(prefix))
            continue;
        const std::string full = dir + '/' + std::string(candidate);
        struct stat st;
        if (::lstat(full.c_str(), &st) == 0 && S_ISREG(st.st_mode)
            && now - st.st_mtime > kStaleTempSeconds)
            ::unlink(full.c_str());
    }
    ::closedir(d);
}

} // namespace

bool fileExists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Status openRegularFile(const std::string &path, int &fd, size_t &size)
{
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Status::failure(ErrorCode::FileNotFound, "File not found", path);
        return Status::failure(ErrorCode::ReadError, std::strerror(errno), path);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        return Status::failure(ErrorCode::ReadError, "Not a readable file", path);
    }
    size = static_cast<size_t>(st.st_size);
    return Status::success();
}

Status readUpTo(int fd, char *buffer, size_t size, size_t &done, const std::string &path)
{
    done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return Status::failure(ErrorCode::ReadError, std::strerror(errno), path);
        if (n == 0)
            break; // the file shrank while being read
        done += static_cast<size_t>(n);
    }
    return Status::success();
}

Status readWholeFile(const std::string &path, std::string &out)
{
    out.clear();
    int fd = -1;
    size_t size = 0;
    Status status = openRegularFile(path, fd, size);
    if (!status.ok())
        return status;
    out.resize(size);
    size_t done = 0;
    status = readUpTo(fd, out.data(), out.size(), done, path);
    ::close(fd);
    out.resize(status.ok() ? done : 0);
    return status;
}

Status writeFileAtomic(const std::string &path, std::string_view data, Durability durability)
{
    const bool durable = durability == Durability::Durable;
    std::string tmpl = path + ".tmpXXXXXX";
    const int fd = ::mkstemp(tmpl.data());
    if (fd < 0)
        return Status::failure(ErrorCode::WriteError, std::strerror(errno), path);
    ::fchmod(fd, 0644);
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // write() returning 0 for a non-empty request sets no errno.
            const int err = n < 0 ? errno : EIO;
            ::close(fd);
            ::unlink(tmpl.c_str());
            return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
        }
        done += static_cast<size_t>(n);
    }
    if ((durable && ::fsync(fd) != 0) || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
    }
    const auto slash = path.find_last_of('/');
    const std::string dir
        = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    if (durable) {
        // Make the rename itself durable.
        const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dfd >= 0) {
            ::fsync(dfd);
            ::close(dfd);
        }
    }
    // Bulk writers put thousands of files in one folder and sweep their own leftovers; a scan
    // of the folder after each of them would cost quadratic time.
    if (durable)
        removeStaleTemporaries(dir, slash == std::string::npos ? path : path.substr(slash + 1));
    return Status::success();
}

Status syncFileSystem(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return Status::failure(ErrorCode::WriteError, std::strerror(errno), path);
    const int rc = ::syncfs(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
    return Status::success();
}

} // namespace zarel
