// Test helper: decodes an MP3 file with libmpg123 into 16-bit PCM, for checking what the sound
// code writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zarel::test {

struct DecodedMp3
{
    bool ok = false;
    std::string error;
    long rate = 0;
    int channels = 0;
    std::vector<int16_t> pcm; // interleaved when channels > 1
};

DecodedMp3 decodeMp3File(const std::string &path);

// The largest magnitude of the samples.
int peakOf(const std::vector<int16_t> &pcm);
// The root mean square of the samples.
double rmsOf(const std::vector<int16_t> &pcm);

} // namespace zarel::test
