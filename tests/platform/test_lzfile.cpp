// Tests of the LZ file layer: SZDD files written by the real mscompress read back through the
// handles, our compressor checked against the real msexpand, plain files, and damaged input.
#include "platform/lzfile.h"

#include "support/testdictionary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include <unistd.h>

namespace zarel::lz {
namespace {

using Bytes = std::vector<unsigned char>;

constexpr const char *kMscompress = "/usr/bin/mscompress";
constexpr const char *kMsexpand = "/usr/bin/msexpand";

Bytes toBytes(const std::string &s)
{
    return Bytes(s.begin(), s.end());
}
std::string toString(const Bytes &b)
{
    return std::string(b.begin(), b.end());
}

Bytes readBytes(const std::string &path)
{
    return toBytes(test::readFile(path));
}
void writeBytes(const std::string &path, const Bytes &bytes)
{
    test::writeFile(path, toString(bytes));
}

bool toolAvailable(const char *path)
{
    return ::access(path, X_OK) == 0;
}

enum class Kind { Text, Random, Runs, Spaces, Zeros };

// Deterministic inputs of the shapes that matter to an LZSS coder: repetitive text, noise that
// cannot be matched, long runs (overlapping matches), leading spaces (the window's initial fill).
Bytes makeInput(Kind kind, size_t size, unsigned seed = 1)
{
    std::mt19937 rng(seed);
    Bytes out;
    out.reserve(size);
    static const char *const words[] = { "dictionary", "word ",  "kelime ", "the ", "\r\n",
                                         "article",    "ğüşıöç", "trainer", " ",    "{\\rtf1 " };
    while (out.size() < size) {
        switch (kind) {
        case Kind::Text: {
            const std::string w = words[rng() % std::size(words)];
            out.insert(out.end(), w.begin(), w.end());
            break;
        }
        case Kind::Random:
            out.push_back(static_cast<unsigned char>(rng()));
            break;
        case Kind::Runs:
            out.insert(out.end(), 1 + rng() % 300, static_cast<unsigned char>(rng() % 4));
            break;
        case Kind::Spaces:
            out.insert(out.end(), out.empty() ? 5000 : 1 + rng() % 40, rng() % 3 ? ' ' : 'x');
            break;
        case Kind::Zeros:
            out.push_back(0);
            break;
        }
    }
    out.resize(size);
    return out;
}

struct Sample
{
    const char *name;
    Kind kind;
    size_t size;
};

// CTest lists each case by this text instead of the struct's bytes.
void PrintTo(const Sample &sample, std::ostream *out)
{
    *out << sample.name;
}

// mscompress writes corrupt files for inputs under 16 bytes, so the smallest sample is 16.
const Sample kSamples[] = {
    { "Text16", Kind::Text, 16 },         { "Text300", Kind::Text, 300 },
    { "TextWindow", Kind::Text, 4096 },   { "TextWindowPlus1", Kind::Text, 4097 },
    { "Text100k", Kind::Text, 100000 },   { "Random5000", Kind::Random, 5000 },
    { "Random70k", Kind::Random, 70000 }, { "Runs70k", Kind::Runs, 70000 },
    { "Spaces9000", Kind::Spaces, 9000 }, { "Zeros20000", Kind::Zeros, 20000 },
};

Bytes readThroughHandle(int handle, int chunk)
{
    Bytes out;
    Bytes buffer(static_cast<size_t>(chunk));
    for (;;) {
        const int n = lzRead(handle, buffer.data(), chunk);
        if (n <= 0)
            break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    return out;
}

// Seeks with every origin to offsets inside, at and past the end, and compares each read with
// the matching slice of `expected`.
void checkRandomAccess(int handle, const Bytes &expected, unsigned seed)
{
    const int64_t size = int64_t(expected.size());
    std::mt19937 rng(seed);
    Bytes buffer(6000);
    for (int round = 0; round < 60; ++round) {
        const int64_t target = int64_t(rng() % uint32_t(size + 200));
        const int count = int(rng() % buffer.size());
        int64_t got = -1;
        switch (round % 3) {
        case 0:
            got = lzSeek(handle, target, 0);
            break;
        case 1:
            got = lzSeek(handle, target - lzSeek(handle, 0, 1), 1);
            break;
        case 2:
            got = lzSeek(handle, target - size, 2);
            break;
        }
        ASSERT_EQ(got, target) << "round " << round;
        const int n = lzRead(handle, buffer.data(), count);
        const int64_t want = std::clamp<int64_t>(size - target, 0, count);
        ASSERT_EQ(n, want) << "offset " << target << " count " << count;
        ASSERT_TRUE(std::equal(buffer.begin(), buffer.begin() + n, expected.begin() + target))
            << "offset " << target;
        ASSERT_EQ(lzSeek(handle, 0, 1), target + n);
    }
}

class LzSampleTest : public ::testing::TestWithParam<Sample>
{
protected:
    test::TempDir m_dir;
};

TEST_P(LzSampleTest, MscompressFileReadsAsOriginal)
{
    if (!toolAvailable(kMscompress))
        GTEST_SKIP() << kMscompress << " is not installed (package mscompress)";
    const Bytes plain = makeInput(GetParam().kind, GetParam().size);
    const std::string path = m_dir.file("article.dat");
    writeBytes(path, plain);
    const std::string command = std::string(kMscompress) + " '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string packed = path + "_";
    ASSERT_TRUE(test::exists(packed)) << "mscompress wrote no " << packed;
    const Bytes compressed = readBytes(packed);
    ASSERT_TRUE(isSzdd(compressed));

    Bytes expanded;
    ASSERT_TRUE(szddExpand(compressed, expanded));
    EXPECT_TRUE(expanded == plain);

    const int handle = lzOpenFile(packed);
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(readThroughHandle(handle, 1000) == plain);
    EXPECT_EQ(lzSeek(handle, 0, 2), int64_t(plain.size()));
    checkRandomAccess(handle, plain, 7);
    lzClose(handle);
}

TEST_P(LzSampleTest, OurCompressionExpandsWithMsexpand)
{
    const Bytes plain = makeInput(GetParam().kind, GetParam().size, 3);
    const Bytes compressed = szddCompress(plain, 't');
    Bytes expanded;
    ASSERT_TRUE(szddExpand(compressed, expanded));
    EXPECT_TRUE(expanded == plain);

    if (!toolAvailable(kMsexpand))
        GTEST_SKIP() << kMsexpand << " is not installed (package mscompress)";
    const std::string in = m_dir.file("ours.dat_");
    const std::string out = m_dir.file("expanded.dat");
    writeBytes(in, compressed);
    const std::string command = std::string(kMsexpand) + " < '" + in + "' > '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(readBytes(out) == plain);
}

TEST_P(LzSampleTest, PlainFileReadsAsItIs)
{
    const Bytes plain = makeInput(GetParam().kind, GetParam().size, 5);
    const std::string path = m_dir.file("plain.dat");
    writeBytes(path, plain);
    const int handle = lzOpenFile(path);
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(readThroughHandle(handle, 777) == plain);
    checkRandomAccess(handle, plain, 11);
    lzClose(handle);
}

INSTANTIATE_TEST_SUITE_P(Samples, LzSampleTest, ::testing::ValuesIn(kSamples),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(LzCompressTest, HeaderCarriesModeLastCharAndLength)
{
    const Bytes plain(70000, 'a');
    const Bytes compressed = szddCompress(plain, 't');
    ASSERT_GE(compressed.size(), 14u);
    EXPECT_EQ(toString(Bytes(compressed.begin(), compressed.begin() + 8)),
              std::string("SZDD\x88\xF0\x27\x33"));
    EXPECT_EQ(compressed[8], 'A');
    EXPECT_EQ(compressed[9], 't');
    EXPECT_EQ(compressed[10] | (compressed[11] << 8) | (compressed[12] << 16)
                  | (compressed[13] << 24),
              70000);
}

TEST(LzCompressTest, CompressesRepetitiveDataAndStaysBoundedOnNoise)
{
    const Bytes text = makeInput(Kind::Text, 200000);
    EXPECT_LT(szddCompress(text).size(), text.size() / 3);
    const Bytes noise = makeInput(Kind::Random, 200000);
    EXPECT_LE(szddCompress(noise).size(), 14 + noise.size() + noise.size() / 8 + 1);
}

// How fast this goes is measured by bench_compress.
TEST(LzCompressTest, TwoMegabytesRoundTrip)
{
    for (Kind kind : { Kind::Text, Kind::Random, Kind::Runs }) {
        SCOPED_TRACE(int(kind));
        const Bytes plain = makeInput(kind, 2 << 20);
        const Bytes compressed = szddCompress(plain);
        Bytes expanded;
        ASSERT_TRUE(szddExpand(compressed, expanded));
        EXPECT_TRUE(expanded == plain);
    }
}

TEST(LzCompressTest, RoundTripsEverySmallLength)
{
    std::mt19937 rng(42);
    for (size_t size = 0; size < 300; ++size) {
        Bytes plain(size);
        for (auto &b : plain)
            b = static_cast<unsigned char>("ab "[rng() % 3]);
        Bytes expanded;
        ASSERT_TRUE(szddExpand(szddCompress(plain), expanded));
        ASSERT_TRUE(expanded == plain) << "size " << size;
    }
}

TEST(LzFileTest, EmptyFilesOpenAndReadNothing)
{
    test::TempDir dir;
    const struct
    {
        const char *name;
        Bytes bytes;
    } cases[] = { { "empty.dat", {} }, { "empty.dat_", szddCompress({}) } };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        writeBytes(dir.file(c.name), c.bytes);
        const int handle = lzOpenFile(dir.file(c.name));
        ASSERT_GE(handle, 0);
        char buffer[16];
        EXPECT_EQ(lzRead(handle, buffer, sizeof buffer), 0);
        EXPECT_EQ(lzSeek(handle, 0, 2), 0);
        EXPECT_EQ(lzSeek(handle, 10, 0), 10);
        EXPECT_EQ(lzRead(handle, buffer, sizeof buffer), 0);
        lzClose(handle);
    }
}

TEST(LzFileTest, MissingFileAndDirectoryAreRefused)
{
    test::TempDir dir;
    EXPECT_EQ(lzOpenFile(dir.file("missing.dat")), -1);
    EXPECT_EQ(lzOpenFile(dir.path()), -1);
    EXPECT_EQ(lzOpenFile(""), -1);
}

TEST(LzFileTest, IncompleteMagicIsReadAsPlain)
{
    test::TempDir dir;
    const Bytes bytes = toBytes(std::string("SZDD\x88\xF0\x27", 7));
    writeBytes(dir.file("short.dat"), bytes);
    const int handle = lzOpenFile(dir.file("short.dat"));
    ASSERT_GE(handle, 0);
    EXPECT_TRUE(readThroughHandle(handle, 3) == bytes);
    lzClose(handle);
}

TEST(LzFileTest, TruncatedDataYieldsAPrefix)
{
    test::TempDir dir;
    const Bytes plain = makeInput(Kind::Text, 50000);
    const Bytes compressed = szddCompress(plain);
    const size_t cuts[] = { 14, 15, 16, 17, 100, compressed.size() / 2, compressed.size() - 1 };
    size_t previous = 0;
    for (size_t cut : cuts) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        const Bytes truncated(compressed.begin(), compressed.begin() + cut);
        Bytes expanded;
        ASSERT_TRUE(szddExpand(truncated, expanded));
        EXPECT_GE(expanded.size(), previous);
        EXPECT_LT(expanded.size(), plain.size());
        EXPECT_TRUE(std::equal(expanded.begin(), expanded.end(), plain.begin()));
        previous = expanded.size();

        writeBytes(dir.file("cut.dat"), truncated);
        const int handle = lzOpenFile(dir.file("cut.dat"));
        ASSERT_GE(handle, 0);
        EXPECT_TRUE(readThroughHandle(handle, 4096) == expanded);
        lzClose(handle);
    }
    EXPECT_GT(previous, plain.size() / 2);
}

TEST(LzFileTest, DamagedHeadersAreRefused)
{
    test::TempDir dir;
    const Bytes good = szddCompress(makeInput(Kind::Text, 1000));
    auto withByte = [&](size_t index, unsigned char value) {
        Bytes b = good;
        b[index] = value;
        return b;
    };
    const struct
    {
        const char *name;
        Bytes bytes;
    } cases[] = {
        { "magic only", Bytes(good.begin(), good.begin() + 8) },
        { "header cut at 13", Bytes(good.begin(), good.begin() + 13) },
        { "mode B", withByte(8, 'B') },
        { "mode 0", withByte(8, 0) },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        Bytes expanded { 1, 2, 3 };
        EXPECT_FALSE(szddExpand(c.bytes, expanded));
        EXPECT_TRUE(expanded.empty());
        writeBytes(dir.file("bad.dat"), c.bytes);
        EXPECT_EQ(lzOpenFile(dir.file("bad.dat")), -1);
    }
}

// The claimed length bounds the output; a claim above 1 GiB is refused at open, one at the cap
// opens and yields what the data holds.
TEST(LzFileTest, ClaimedLengthBoundsOutputAndIsCapped)
{
    test::TempDir dir;
    const Bytes plain = makeInput(Kind::Text, 5000);
    const struct
    {
        uint32_t claim;
        bool opens;
        size_t expectedSize;
    } cases[] = {
        { 0, true, 0 },
        { 100, true, 100 },
        { 4999, true, 4999 },
        { 5001, true, 5000 },
        { uint32_t(1) << 30, true, 5000 },
        { (uint32_t(1) << 30) + 1, false, 5000 },
        { 0xFFFFFFFFu, false, 5000 },
    };
    for (const auto &c : cases) {
        SCOPED_TRACE("claim " + std::to_string(c.claim));
        Bytes compressed = szddCompress(plain);
        for (int i = 0; i < 4; ++i)
            compressed[size_t(10 + i)] = static_cast<unsigned char>(c.claim >> (8 * i));
        Bytes expanded;
        ASSERT_TRUE(szddExpand(compressed, expanded));
        EXPECT_EQ(expanded.size(), c.expectedSize);
        EXPECT_TRUE(std::equal(expanded.begin(), expanded.end(), plain.begin()));

        writeBytes(dir.file("claim.dat"), compressed);
        const int handle = lzOpenFile(dir.file("claim.dat"));
        EXPECT_EQ(handle >= 0, c.opens);
        if (handle >= 0) {
            EXPECT_EQ(lzSeek(handle, 0, 2), int64_t(c.expectedSize));
            lzClose(handle);
        }
    }
}

TEST(LzFileTest, GarbageAfterHeaderNeverCrashes)
{
    test::TempDir dir;
    std::mt19937 rng(99);
    Bytes bytes = toBytes(std::string("SZDD\x88\xF0\x27\x33"
                                      "A\0\x10\x27\0\0",
                                      14));
    for (int i = 0; i < 3000; ++i)
        bytes.push_back(static_cast<unsigned char>(rng()));
    writeBytes(dir.file("garbage.dat"), bytes);
    const int handle = lzOpenFile(dir.file("garbage.dat"));
    ASSERT_GE(handle, 0);
    EXPECT_LE(readThroughHandle(handle, 512).size(), 10000u);
    lzClose(handle);
}

// Random bodies behind valid and invalid headers, and random mutations of a real stream: the
// expander must stay inside its bounds whatever it is fed.
TEST(LzExpandTest, RandomInputsStayBounded)
{
    std::mt19937 rng(2024);
    const Bytes real = szddCompress(makeInput(Kind::Text, 3000));
    for (int round = 0; round < 4000; ++round) {
        Bytes input;
        switch (round % 3) {
        case 0:
            input.resize(rng() % 64);
            break;
        case 1:
            input = toBytes(std::string("SZDD\x88\xF0\x27\x33", 8));
            input.resize(8 + rng() % 600);
            for (size_t i = 8; i < input.size(); ++i)
                input[i] = static_cast<unsigned char>(rng());
            if (input.size() > 8 && rng() % 2)
                input[8] = 'A';
            break;
        case 2:
            input = real;
            for (int flips = 1 + int(rng() % 8); flips > 0; --flips)
                input[rng() % input.size()] = static_cast<unsigned char>(rng());
            input.resize(rng() % (input.size() + 1));
            break;
        }
        if (round % 3 == 0)
            for (auto &b : input)
                b = static_cast<unsigned char>(rng());
        Bytes out;
        if (!szddExpand(input, out)) {
            ASSERT_TRUE(out.empty());
            continue;
        }
        ASSERT_GE(input.size(), 14u);
        const size_t claim
            = input[10] | (input[11] << 8) | (input[12] << 16) | (size_t(input[13]) << 24);
        ASSERT_LE(out.size(), claim);
        ASSERT_LE(out.size(), (input.size() - 14) * 9);
    }
}

TEST(LzHandleTest, InvalidHandlesAndArgumentsAreRejected)
{
    test::TempDir dir;
    writeBytes(dir.file("a.dat"), makeInput(Kind::Text, 100));
    const int closed = lzOpenFile(dir.file("a.dat"));
    ASSERT_GE(closed, 0);
    lzClose(closed);

    char buffer[8];
    for (int handle : { -1, -2, closed, 123456, INT32_MAX }) {
        SCOPED_TRACE(handle);
        EXPECT_EQ(lzRead(handle, buffer, 8), -1);
        EXPECT_EQ(lzSeek(handle, 0, 0), -1);
        lzClose(handle);
    }

    const int handle = lzOpenFile(dir.file("a.dat"));
    ASSERT_GE(handle, 0);
    EXPECT_EQ(lzRead(handle, buffer, -1), -1);
    EXPECT_EQ(lzRead(handle, buffer, 0), 0);
    EXPECT_EQ(lzSeek(handle, 40, 0), 40);
    EXPECT_EQ(lzSeek(handle, 0, 3), -1);
    EXPECT_EQ(lzSeek(handle, 0, -1), -1);
    EXPECT_EQ(lzSeek(handle, -41, 1), -1);
    EXPECT_EQ(lzSeek(handle, -101, 2), -1);
    EXPECT_EQ(lzSeek(handle, INT64_MAX, 1), -1);
    EXPECT_EQ(lzSeek(handle, 0, 1), 40) << "a refused seek must not move the position";
    EXPECT_EQ(lzSeek(handle, INT64_MAX, 0), INT64_MAX);
    EXPECT_EQ(lzRead(handle, buffer, 8), 0);
    lzClose(handle);
    lzClose(handle);
}

TEST(LzHandleTest, ConcurrentOpenReadCloseKeepsFilesApart)
{
    test::TempDir dir;
    std::vector<Bytes> contents;
    std::vector<std::string> paths;
    for (int i = 0; i < 4; ++i) {
        contents.push_back(
            makeInput(i % 2 ? Kind::Text : Kind::Random, 20000 + size_t(i), unsigned(i)));
        paths.push_back(dir.file("f" + std::to_string(i)));
        writeBytes(paths.back(), i < 2 ? szddCompress(contents.back()) : contents.back());
    }
    std::atomic<int> failures { 0 };
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 100; ++round) {
                const size_t which = size_t(t + round) % paths.size();
                const int handle = lzOpenFile(paths[which]);
                if (handle < 0 || readThroughHandle(handle, 3000) != contents[which])
                    ++failures;
                lzClose(handle);
            }
        });
    }
    for (auto &thread : threads)
        thread.join();
    EXPECT_EQ(failures.load(), 0);
}

} // namespace
} // namespace zarel::lz
