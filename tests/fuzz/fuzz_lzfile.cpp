// Fuzz harness of the LZ file layer: arbitrary files opened, read and sought through handles
// must give exactly the bytes SZDD expansion (or the plain file) holds, and the compressor's
// output of those bytes must expand back to them.
#include "fuzzsupport.h"
#include "platform/lzfile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zarel;

// Compression costs up to its chain length times the match length per byte; keep it to inputs
// whose round trip stays quick.
constexpr size_t kMaxCompressed = 8192;
// Bytes read in small pieces from the start, where every piece boundary is checked.
constexpr int64_t kSmallReads = 2048;

// Reads `count` bytes at the model position and checks them against `contents`.
void checkRead(int handle, const std::string &contents, int64_t &position, int count)
{
    std::vector<char> buffer(static_cast<size_t>(std::max(count, 1)));
    const int got = lz::lzRead(handle, buffer.data(), count);
    const int64_t size = static_cast<int64_t>(contents.size());
    const int64_t expected = std::clamp<int64_t>(size - position, 0, count);
    ZAREL_FUZZ_CHECK(got == expected);
    if (got > 0)
        ZAREL_FUZZ_CHECK(std::string_view(buffer.data(), static_cast<size_t>(got))
                         == std::string_view(contents).substr(static_cast<size_t>(position),
                                                              static_cast<size_t>(got)));
    position += got;
}

void checkSeek(int handle, int64_t &position, int64_t size, int64_t offset, int origin)
{
    const int64_t base = origin == 0 ? 0 : (origin == 1 ? position : size);
    const int64_t target = base + offset;
    const int64_t got = lz::lzSeek(handle, offset, origin);
    if (target < 0) {
        ZAREL_FUZZ_CHECK(got == -1);
    } else {
        ZAREL_FUZZ_CHECK(got == target);
        position = target;
    }
}

// The bytes in order from the start, in chunks of `chunk` bytes, up to `limit` bytes.
void checkReadFromStart(int handle, const std::string &contents, int chunk,
                        int64_t limit = INT64_MAX)
{
    int64_t position = 0;
    ZAREL_FUZZ_CHECK(lz::lzSeek(handle, 0, 0) == 0);
    const int64_t end = std::min(limit, static_cast<int64_t>(contents.size()));
    while (position < end)
        checkRead(handle, contents, position, chunk);
    if (end == static_cast<int64_t>(contents.size()))
        checkRead(handle, contents, position, chunk); // at the end: 0 bytes
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string path = fuzz::scratchPath("input.lz");
    fuzz::writeFile(path, bytes);

    std::string contents;
    const bool readable = fuzz::lzContents(bytes, contents);
    const int handle = lz::lzOpenFile(path);
    ZAREL_FUZZ_CHECK((handle >= 0) == readable);
    if (handle >= 0) {
        const auto total = static_cast<int64_t>(contents.size());
        checkReadFromStart(handle, contents, 4096);
        checkReadFromStart(handle, contents, 7, kSmallReads);

        // A script of reads and seeks taken from the input's last bytes.
        int64_t position = 0;
        ZAREL_FUZZ_CHECK(lz::lzSeek(handle, 0, 0) == 0);
        const size_t steps = std::min<size_t>(size, 24);
        for (size_t i = size - steps; i < size; ++i) {
            const unsigned op = data[i] & 3;
            const int64_t amount = (data[i] >> 2) * (total / 32 + 1);
            switch (op) {
            case 0:
                checkRead(handle, contents, position, static_cast<int>(amount % 70000));
                break;
            case 1:
                checkSeek(handle, position, total, amount, 0);
                break;
            case 2:
                checkSeek(handle, position, total, amount - total / 2, 1);
                break;
            default:
                checkSeek(handle, position, total, amount % 64 - 32, 2);
                break;
            }
        }
        ZAREL_FUZZ_CHECK(lz::lzSeek(handle, 0, 3) == -1);
        ZAREL_FUZZ_CHECK(lz::lzSeek(handle, INT64_MAX, 0) == INT64_MAX);
        char byte = 0;
        ZAREL_FUZZ_CHECK(lz::lzRead(handle, &byte, 1) == 0);
        ZAREL_FUZZ_CHECK(lz::lzSeek(handle, INT64_MAX, 1) == -1);
        ZAREL_FUZZ_CHECK(lz::lzRead(handle, &byte, -1) == -1);
        lz::lzClose(handle);
        ZAREL_FUZZ_CHECK(lz::lzRead(handle, &byte, 1) == -1);
        ZAREL_FUZZ_CHECK(lz::lzSeek(handle, 0, 0) == -1);
    }

    // Compressing what was read and expanding it again gives the same bytes, in memory and
    // through a file.
    if (contents.size() <= kMaxCompressed) {
        const std::vector<unsigned char> plain(contents.begin(), contents.end());
        const char lastChar = contents.empty() ? 0 : contents.back();
        const std::vector<unsigned char> packed = lz::szddCompress(plain, lastChar);
        std::vector<unsigned char> unpacked;
        ZAREL_FUZZ_CHECK(lz::isSzdd(packed) && lz::szddExpand(packed, unpacked));
        ZAREL_FUZZ_CHECK(unpacked == plain);
        fuzz::writeFile(
            path, std::string_view(reinterpret_cast<const char *>(packed.data()), packed.size()));
        const int again = lz::lzOpenFile(path);
        ZAREL_FUZZ_CHECK(again >= 0);
        checkReadFromStart(again, contents, 4096);
        lz::lzClose(again);
    }
    return 0;
}
