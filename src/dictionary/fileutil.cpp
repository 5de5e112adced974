// Whole-file reads and atomic writes (temporary file, fsync, rename).
#include "dictionary/fileutil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarel {

bool fileExists(const std::string &path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

Status readWholeFile(const std::string &path, std::string &out)
{
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Status::failure(ErrorCode::FileNotFound, "File not found", path);
        return Status::failure(ErrorCode::ReadError, std::strerror(errno), path);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return Status::failure(ErrorCode::ReadError, "Not a readable file", path);
    }
    out.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::read(fd, out.data() + done, out.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int err = errno;
            ::close(fd);
            out.clear();
            return Status::failure(ErrorCode::ReadError, std::strerror(err), path);
        }
        if (n == 0)
            break; // the file shrank while being read
        done += static_cast<size_t>(n);
    }
    out.resize(done);
    ::close(fd);
    return Status::success();
}

Status writeFileAtomic(const std::string &path, std::string_view data)
{
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
            const int err = errno;
            ::close(fd);
            ::unlink(tmpl.c_str());
            return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
        }
        done += static_cast<size_t>(n);
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
    }
    if (::rename(tmpl.c_str(), path.c_str()) != 0) {
        const int err = errno;
        ::unlink(tmpl.c_str());
        return Status::failure(ErrorCode::WriteError, std::strerror(err), path);
    }
    // Make the rename itself durable.
    const auto slash = path.find_last_of('/');
    const std::string dir
        = slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return Status::success();
}

} // namespace zarel
