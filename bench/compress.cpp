// Prints how fast the SZDD compressor and expander handle 2 MiB of text-like, random and
// run-length data (the builder compresses every article file with them).
#include "platform/lzfile.h"

#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

Bytes makeInput(int kind, size_t size)
{
    std::mt19937 rng(7);
    Bytes out(size);
    static const char words[] = "the quick brown fox jumps over a lazy dog and runs away ";
    for (size_t i = 0; i < size; ++i) {
        switch (kind) {
        case 0:
            out[i] = static_cast<unsigned char>(words[(i * 7 + rng() % 3) % (sizeof words - 1)]);
            break;
        case 1:
            out[i] = static_cast<unsigned char>(rng());
            break;
        default:
            out[i] = static_cast<unsigned char>((i / 300) % 5);
            break;
        }
    }
    return out;
}

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main()
{
    static const char *const names[] = { "text", "random", "runs" };
    std::printf("%-8s %12s %12s %12s\n", "input", "compress ms", "expand ms", "ratio");
    for (int kind = 0; kind < 3; ++kind) {
        const Bytes plain = makeInput(kind, 2 << 20);
        auto start = std::chrono::steady_clock::now();
        const Bytes packed = zarel::lz::szddCompress(plain);
        const double compressMs = millisecondsSince(start);
        Bytes expanded;
        start = std::chrono::steady_clock::now();
        const bool ok = zarel::lz::szddExpand(packed, expanded) && expanded == plain;
        const double expandMs = millisecondsSince(start);
        std::printf("%-8s %12.1f %12.1f %12.3f%s\n", names[kind], compressMs, expandMs,
                    double(packed.size()) / double(plain.size()),
                    ok ? "" : "  (round trip FAILED)");
    }
    return 0;
}
