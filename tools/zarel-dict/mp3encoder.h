// MP3 encoding for the sound data: LAME used in-process, mono 22050 Hz at a low average bit
// rate, whole files written through a temporary file and a rename.
#pragma once

#include "platform/result.h"

#include <cstdint>
#include <span>
#include <string>

namespace zarel::dicttool {

struct Mp3Options
{
    int inputRate = 22050; // sample rate of the PCM handed in (Hz)
    int outputRate = 22050; // sample rate of the MP3 (Hz); LAME resamples when they differ
    // Bit rate (kbit/s), the average and the highest a frame may use. Not a constant bit rate:
    // at a constant 24 kbit/s the frames are too small for LAME's tag, which tells decoders
    // the exact length.
    int bitrateKbps = 24;
    // LAME's algorithm quality, 0 (slowest) to 9 (fastest). For synthetic speech at this bit
    // rate 7 decodes as close to the input as 5 does and encodes a third faster.
    int quality = 7;
};

// Length of the silence encoded in place of empty PCM, so every sound is a playable file.
inline constexpr int kSilenceMs = 100;
// Most samples encoded from one call (60 s at 22050 Hz); the rest is dropped.
inline constexpr size_t kMaxEncodeSamples = 60 * 22050;

// Encodes 16-bit mono PCM to a complete MP3 in memory: the frames, with a LAME/Info tag in the
// first frame that gives decoders the exact length. Empty PCM is encoded as kSilenceMs of
// silence. BadInput for rates or a bit rate LAME refuses, WriteError when encoding fails.
Status encodeMp3(std::span<const int16_t> pcm, const Mp3Options &options, std::string &mp3);

// Encodes and writes `path` whole: to a temporary file in the same folder, then renamed over
// `path`. The file is not flushed to disk here; callers that record it as done sync the file
// system first (zarel::syncFileSystem), which costs one flush for thousands of files.
Status writeMp3File(const std::string &path, std::span<const int16_t> pcm,
                    const Mp3Options &options);

} // namespace zarel::dicttool
