// TWordRecord: the fixed 111-byte index record of the ".dak" files, used in place in the
// loaded index buffers (byte-aligned, integers little-endian).
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace zarel {

inline constexpr int kRecordSize = 111;
inline constexpr int kMaxHeadwordLength = 101;

struct TWordRecord
{
    unsigned char headwordLength; // L, 0..101
    char headwordChars[kMaxHeadwordLength]; // code page 1254, only the first L count
    unsigned char articleOffset[4]; // signed 32-bit, little-endian
    unsigned char articleSize[4]; // signed 32-bit, little-endian
    unsigned char baseFlag; // 0 = user entry, anything else = base entry

    // The headword bytes. A length byte above 101 is read as 101, so a damaged record never
    // reads past its own bytes.
    std::string_view headword() const
    {
        const int n = headwordLength > kMaxHeadwordLength ? kMaxHeadwordLength : headwordLength;
        return std::string_view(headwordChars, static_cast<size_t>(n));
    }
    int32_t ArticleOffset() const { return readLe32(articleOffset); }
    int32_t ArticleSize() const { return readLe32(articleSize); }
    bool isBase() const { return baseFlag != 0; }

    // A record with the given fields; the headword is cut to 101 bytes, unused bytes are 0.
    static TWordRecord make(std::string_view headword, int32_t offset, int32_t size,
                            unsigned char baseFlag)
    {
        TWordRecord r;
        std::memset(&r, 0, sizeof r);
        const size_t n
            = headword.size() > kMaxHeadwordLength ? kMaxHeadwordLength : headword.size();
        r.headwordLength = static_cast<unsigned char>(n);
        std::memcpy(r.headwordChars, headword.data(), n);
        writeLe32(r.articleOffset, offset);
        writeLe32(r.articleSize, size);
        r.baseFlag = baseFlag;
        return r;
    }

private:
    static int32_t readLe32(const unsigned char *p)
    {
        const uint32_t v
            = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
        return static_cast<int32_t>(v);
    }
    static void writeLe32(unsigned char *p, int32_t value)
    {
        const auto v = static_cast<uint32_t>(value);
        p[0] = v & 0xFF;
        p[1] = (v >> 8) & 0xFF;
        p[2] = (v >> 16) & 0xFF;
        p[3] = (v >> 24) & 0xFF;
    }
};

static_assert(sizeof(TWordRecord) == kRecordSize, "TWordRecord must be exactly 111 bytes");
static_assert(alignof(TWordRecord) == 1, "TWordRecord is used in place at any byte offset");

} // namespace zarel
