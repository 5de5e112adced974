// Output device 2: raw little-endian 16-bit PCM written to a temporary file beside the target,
// flushed and renamed over it when playing ends or stops.
#include "output.h"

#include <bit>
#include <cerrno>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace mpegdll {
namespace {

bool writeAll(int fd, const void *data, size_t bytes)
{
    const auto *p = static_cast<const unsigned char *>(data);
    while (bytes > 0) {
        const ssize_t n = ::write(fd, p, bytes);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += n;
        bytes -= static_cast<size_t>(n);
    }
    return true;
}

std::string folderOf(const std::string &path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

class FileOutput final : public Output
{
public:
    FileOutput(std::string path, std::string temporary, int fd, unsigned channels)
        : m_path(std::move(path))
        , m_temporary(std::move(temporary))
        , m_fd(fd)
        , m_channels(channels)
    { }

    ~FileOutput() override
    {
        if (m_fd >= 0) {
            ::close(m_fd);
            ::unlink(m_temporary.c_str());
        }
    }

    long writeSome(const int16_t *samples, size_t frames) override
    {
        if (m_fd < 0)
            return -1;
        const size_t count = frames * m_channels;
        bool written = false;
        if constexpr (std::endian::native == std::endian::little) {
            written = writeAll(m_fd, samples, count * sizeof(int16_t));
        } else {
            m_swapped.resize(count);
            for (size_t i = 0; i < count; ++i) {
                const auto v = static_cast<uint16_t>(samples[i]);
                m_swapped[i] = static_cast<uint16_t>((v >> 8) | (v << 8));
            }
            written = writeAll(m_fd, m_swapped.data(), count * sizeof(uint16_t));
        }
        return written ? static_cast<long>(frames) : -1;
    }

    void waitWritable(std::chrono::milliseconds) override { }
    void beginDrain() override { }
    int64_t queuedFrames() override { return 0; }
    void setPaused(bool) override { }
    void discardQueued() override { }
    bool complete() override { return commit(); }
    void stop() override { commit(); }

private:
    bool commit()
    {
        if (m_fd < 0)
            return false;
        const bool flushed = ::fsync(m_fd) == 0;
        const bool closed = ::close(m_fd) == 0;
        m_fd = -1;
        if (!flushed || !closed || ::rename(m_temporary.c_str(), m_path.c_str()) != 0) {
            ::unlink(m_temporary.c_str());
            return false;
        }
        // Make the rename itself durable.
        const int folder = ::open(folderOf(m_path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (folder >= 0) {
            ::fsync(folder);
            ::close(folder);
        }
        return true;
    }

    std::string m_path;
    std::string m_temporary;
    int m_fd;
    unsigned m_channels;
    std::vector<uint16_t> m_swapped;
};

} // namespace

std::unique_ptr<Output> openFileOutput(const std::string &path, unsigned channels)
{
    if (path.empty() || channels == 0)
        return nullptr;
    std::string temporary = path + ".tmpXXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        return nullptr;
    return std::make_unique<FileOutput>(path, std::move(temporary), fd, channels);
}

} // namespace mpegdll
