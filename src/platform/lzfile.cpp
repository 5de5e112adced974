// The LZ file layer: SZDD expansion and compression, and a handle table that reads SZDD files as
// their expanded bytes (held in memory) and other files as they are (through pread).
#include "platform/lzfile.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace zarel::lz {

namespace {

constexpr std::array<unsigned char, 8> kMagic = { 'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33 };
constexpr size_t kHeaderSize = 14;
constexpr unsigned char kModeA = 'A';

constexpr size_t kWindowSize = 4096;
constexpr size_t kWindowMask = kWindowSize - 1;
constexpr size_t kWindowStart = kWindowSize - 16;
constexpr size_t kMinMatch = 3;
constexpr size_t kMaxMatch = 18;
// Matches stay well inside the ring so a source byte is never overwritten before it is read,
// whatever order an expander uses for its read and write.
constexpr size_t kMaxDistance = kWindowSize - kMaxMatch;

constexpr uint64_t kMaxExpandedSize = uint64_t(1) << 30;
// Each control byte plus eight 2-byte matches expands to at most 8 * 18 bytes, so compressed
// data is never smaller than about 1/9 of its expansion; a larger file is not worth reading.
constexpr uint64_t kMaxCompressedSize = kHeaderSize + kMaxExpandedSize + kMaxExpandedSize / 8 + 16;
constexpr size_t kMaxHandles = 1 << 16;

uint32_t readLe32(const unsigned char *p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// A header is sound when it is complete, carries the magic and uses the only defined mode.
bool parseHeader(const std::vector<unsigned char> &bytes, uint32_t &expandedLength)
{
    if (bytes.size() < kHeaderSize || !isSzdd(bytes) || bytes[8] != kModeA)
        return false;
    expandedLength = readLe32(bytes.data() + 10);
    return true;
}

// One open file: either expanded SZDD bytes in memory or a plain file descriptor.
struct LzFile
{
    std::mutex mutex;
    bool compressed = false;
    std::vector<unsigned char> data;
    int fd = -1;
    int64_t position = 0;

    ~LzFile()
    {
        if (fd >= 0)
            ::close(fd);
    }

    int64_t size() const
    {
        if (compressed)
            return int64_t(data.size());
        struct stat st
        {
        };
        if (::fstat(fd, &st) != 0)
            return -1;
        return int64_t(st.st_size);
    }
};

// Handles index this table; a closed slot is empty and may be reused. Entries are shared so a
// close racing with a read on another thread cannot free the file under that read.
struct HandleTable
{
    std::mutex mutex;
    std::vector<std::shared_ptr<LzFile>> slots;
};

HandleTable &table()
{
    static HandleTable instance;
    return instance;
}

std::shared_ptr<LzFile> lookup(int handle)
{
    if (handle < 0)
        return nullptr;
    HandleTable &t = table();
    std::lock_guard lock(t.mutex);
    if (size_t(handle) >= t.slots.size())
        return nullptr;
    return t.slots[size_t(handle)];
}

int insert(std::shared_ptr<LzFile> file)
{
    HandleTable &t = table();
    std::lock_guard lock(t.mutex);
    for (size_t i = 0; i < t.slots.size(); ++i) {
        if (!t.slots[i]) {
            t.slots[i] = std::move(file);
            return int(i);
        }
    }
    if (t.slots.size() >= kMaxHandles)
        return -1;
    t.slots.push_back(std::move(file));
    return int(t.slots.size() - 1);
}

// Reads up to `count` bytes at `offset`, retrying short reads and interruptions. Returns the
// number read, or -1 when the first read fails.
ssize_t preadFull(int fd, unsigned char *buffer, size_t count, off_t offset)
{
    size_t done = 0;
    while (done < count) {
        ssize_t n = ::pread(fd, buffer + done, count - done, offset + off_t(done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return done > 0 ? ssize_t(done) : -1;
        }
        if (n == 0)
            break;
        done += size_t(n);
    }
    return ssize_t(done);
}

// Reads the whole file from its start, refusing files above `limit` bytes.
bool readAll(int fd, uint64_t limit, std::vector<unsigned char> &out)
{
    out.clear();
    struct stat st
    {
    };
    if (::fstat(fd, &st) == 0 && st.st_size > 0) {
        if (uint64_t(st.st_size) > limit)
            return false;
        out.reserve(size_t(st.st_size));
    }
    std::array<unsigned char, 65536> chunk {};
    off_t offset = 0;
    for (;;) {
        ssize_t n = preadFull(fd, chunk.data(), chunk.size(), offset);
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (out.size() + size_t(n) > limit)
            return false;
        out.insert(out.end(), chunk.begin(), chunk.begin() + n);
        offset += n;
    }
}

// Greedy LZSS matcher over hash chains of 3-byte prefixes. Chains are kept in a ring as long as
// the window, which is valid because candidates further back than the window are never used.
class MatchFinder
{
public:
    explicit MatchFinder(const std::vector<unsigned char> &plain)
        : m_plain(plain)
        , m_head(size_t(1) << kHashBits, -1)
        , m_prev(kWindowSize, -1)
    { }

    void insert(size_t i)
    {
        if (i + kMinMatch > m_plain.size())
            return;
        const uint32_t h = hash(i);
        m_prev[i & kWindowMask] = m_head[h];
        m_head[h] = int64_t(i);
    }

    // Finds the longest match for position `i` among earlier positions; returns its length
    // (0 when below the minimum) and sets `from` to its source.
    size_t find(size_t i, size_t &from) const
    {
        const size_t limit = std::min(kMaxMatch, m_plain.size() - i);
        if (limit < kMinMatch)
            return 0;
        size_t best = 0;
        int64_t candidate = m_head[hash(i)];
        for (int steps = 0; candidate >= 0 && steps < kMaxChainSteps; ++steps) {
            const size_t j = size_t(candidate);
            if (i - j > kMaxDistance)
                break;
            size_t len = 0;
            while (len < limit && m_plain[j + len] == m_plain[i + len])
                ++len;
            if (len > best) {
                best = len;
                from = j;
                if (len == limit)
                    break;
            }
            candidate = m_prev[j & kWindowMask];
        }
        return best >= kMinMatch ? best : 0;
    }

private:
    static constexpr int kHashBits = 14;
    static constexpr int kMaxChainSteps = 64;

    uint32_t hash(size_t i) const
    {
        const uint32_t v = uint32_t(m_plain[i]) | (uint32_t(m_plain[i + 1]) << 8)
            | (uint32_t(m_plain[i + 2]) << 16);
        return (v * 2654435761u) >> (32 - kHashBits);
    }

    const std::vector<unsigned char> &m_plain;
    std::vector<int64_t> m_head;
    std::vector<int64_t> m_prev;
};

} // namespace

bool isSzdd(const std::vector<unsigned char> &bytes)
{
    return bytes.size() >= kMagic.size() && std::equal(kMagic.begin(), kMagic.end(), bytes.begin());
}

bool szddExpand(const std::vector<unsigned char> &compressed, std::vector<unsigned char> &out)
{
    out.clear();
    uint32_t expandedLength = 0;
    if (!parseHeader(compressed, expandedLength))
        return false;

    const size_t length = expandedLength;
    const size_t n = compressed.size();
    out.reserve(std::min(length, (n - kHeaderSize) * 9));

    std::array<unsigned char, kWindowSize> window;
    window.fill(' ');
    size_t writePos = kWindowStart;
    size_t pos = kHeaderSize;

    while (out.size() < length && pos < n) {
        const unsigned control = compressed[pos++];
        for (int bit = 0; bit < 8 && out.size() < length; ++bit) {
            if (control & (1u << bit)) {
                if (pos >= n)
                    return true;
                const unsigned char c = compressed[pos++];
                window[writePos] = c;
                writePos = (writePos + 1) & kWindowMask;
                out.push_back(c);
            } else {
                if (pos + 1 >= n)
                    return true;
                const unsigned b0 = compressed[pos];
                const unsigned b1 = compressed[pos + 1];
                pos += 2;
                size_t from = b0 | ((b1 & 0xF0u) << 4);
                const size_t len = std::min<size_t>((b1 & 0x0Fu) + kMinMatch, length - out.size());
                for (size_t k = 0; k < len; ++k) {
                    const unsigned char c = window[from];
                    from = (from + 1) & kWindowMask;
                    window[writePos] = c;
                    writePos = (writePos + 1) & kWindowMask;
                    out.push_back(c);
                }
            }
        }
    }
    return true;
}

std::vector<unsigned char> szddCompress(const std::vector<unsigned char> &plain, char lastChar)
{
    std::vector<unsigned char> out;
    if (plain.size() > 0xFFFFFFFFu)
        return out;
    out.reserve(kHeaderSize + plain.size() + plain.size() / 8 + 2);
    out.insert(out.end(), kMagic.begin(), kMagic.end());
    out.push_back(kModeA);
    out.push_back(static_cast<unsigned char>(lastChar));
    const uint32_t length = uint32_t(plain.size());
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(length >> shift));

    MatchFinder finder(plain);
    size_t controlIndex = 0;
    int bit = 8;
    size_t i = 0;
    while (i < plain.size()) {
        if (bit == 8) {
            controlIndex = out.size();
            out.push_back(0);
            bit = 0;
        }
        size_t from = 0;
        const size_t len = finder.find(i, from);
        if (len == 0) {
            out[controlIndex] |= static_cast<unsigned char>(1u << bit);
            out.push_back(plain[i]);
            finder.insert(i);
            ++i;
        } else {
            const size_t windowPos = (kWindowStart + from) & kWindowMask;
            out.push_back(static_cast<unsigned char>(windowPos & 0xFF));
            out.push_back(
                static_cast<unsigned char>(((windowPos >> 4) & 0xF0) | (len - kMinMatch)));
            for (size_t k = 0; k < len; ++k)
                finder.insert(i + k);
            i += len;
        }
        ++bit;
    }
    return out;
}

int lzOpenFile(const std::string &path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    auto file = std::make_shared<LzFile>();
    file->fd = fd;

    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return -1;

    std::vector<unsigned char> head(kMagic.size());
    const ssize_t n = preadFull(fd, head.data(), head.size(), 0);
    if (n < 0)
        return -1;
    head.resize(size_t(n));

    if (isSzdd(head)) {
        std::vector<unsigned char> compressed;
        uint32_t expandedLength = 0;
        if (!readAll(fd, kMaxCompressedSize, compressed) || !parseHeader(compressed, expandedLength)
            || expandedLength > kMaxExpandedSize || !szddExpand(compressed, file->data))
            return -1;
        file->compressed = true;
        ::close(file->fd);
        file->fd = -1;
    }
    return insert(std::move(file));
}

int lzRead(int handle, void *buffer, int count)
{
    if (count < 0)
        return -1;
    auto file = lookup(handle);
    if (!file)
        return -1;
    if (count == 0)
        return 0;
    if (!buffer)
        return -1;

    std::lock_guard lock(file->mutex);
    if (file->compressed) {
        const int64_t size = int64_t(file->data.size());
        if (file->position >= size)
            return 0;
        const int64_t n = std::min<int64_t>(count, size - file->position);
        std::memcpy(buffer, file->data.data() + file->position, size_t(n));
        file->position += n;
        return int(n);
    }
    // A position so far out that position + count would overflow lies past any real file.
    if (file->position > INT64_MAX - count)
        return 0;
    const ssize_t n = preadFull(file->fd, static_cast<unsigned char *>(buffer), size_t(count),
                                off_t(file->position));
    if (n < 0)
        return -1;
    file->position += n;
    return int(n);
}

int64_t lzSeek(int handle, int64_t offset, int origin)
{
    auto file = lookup(handle);
    if (!file)
        return -1;
    std::lock_guard lock(file->mutex);
    int64_t base = 0;
    switch (origin) {
    case 0:
        base = 0;
        break;
    case 1:
        base = file->position;
        break;
    case 2:
        base = file->size();
        if (base < 0)
            return -1;
        break;
    default:
        return -1;
    }
    int64_t target = 0;
    if (__builtin_add_overflow(base, offset, &target) || target < 0)
        return -1;
    file->position = target;
    return target;
}

void lzClose(int handle)
{
    if (handle < 0)
        return;
    std::shared_ptr<LzFile> file;
    {
        HandleTable &t = table();
        std::lock_guard lock(t.mutex);
        if (size_t(handle) >= t.slots.size())
            return;
        file = std::move(t.slots[size_t(handle)]);
        t.slots[size_t(handle)].reset();
    }
    // The descriptor closes here, outside the table lock, unless a read still holds the file.
}

} // namespace zarel::lz
