// LAME encoding of one sound to memory with its LAME/Info tag, and the file writing of the sound
// data: temporary file and rename per file, one flush of the file system for the whole set.
#include "zarel-dict/mp3encoder.h"

#include "platform/fileutil.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include <lame/lame.h>

namespace zarel::dicttool {

namespace {

struct LameCloser
{
    void operator()(lame_global_flags *gfp) const { lame_close(gfp); }
};
using LamePtr = std::unique_ptr<lame_global_flags, LameCloser>;

} // namespace

Status encodeMp3(std::span<const int16_t> pcm, const Mp3Options &options, std::string &mp3)
{
    mp3.clear();
    if (options.inputRate < 8000 || options.inputRate > 48000 || options.outputRate < 8000
        || options.outputRate > 48000 || options.bitrateKbps < 8 || options.bitrateKbps > 320)
        return Status::failure(ErrorCode::BadInput, "MP3 settings out of range");
    LamePtr lame(lame_init());
    if (!lame)
        return Status::failure(ErrorCode::WriteError, "Cannot start the MP3 encoder");
    lame_global_flags *gfp = lame.get();
    lame_set_num_channels(gfp, 1);
    lame_set_in_samplerate(gfp, options.inputRate);
    lame_set_out_samplerate(gfp, options.outputRate);
    lame_set_mode(gfp, MONO);
    lame_set_VBR(gfp, vbr_abr);
    lame_set_VBR_mean_bitrate_kbps(gfp, options.bitrateKbps);
    lame_set_VBR_max_bitrate_kbps(gfp, options.bitrateKbps);
    lame_set_quality(gfp, std::clamp(options.quality, 0, 9));
    lame_set_bWriteVbrTag(gfp, 1);
    lame_set_write_id3tag_automatic(gfp, 0);
    if (lame_init_params(gfp) < 0)
        return Status::failure(ErrorCode::BadInput, "The MP3 encoder refuses these settings");

    std::vector<int16_t> silence;
    if (pcm.empty()) {
        silence.assign(static_cast<size_t>(options.inputRate) * kSilenceMs / 1000, 0);
        pcm = silence;
    }
    pcm = pcm.first(std::min(pcm.size(), kMaxEncodeSamples));
    const int samples = static_cast<int>(pcm.size());

    // LAME's documented worst case: 1.25 bytes per sample plus 7200 (a resampled input
    // can only need fewer bytes at the same bit rate).
    std::vector<unsigned char> buffer(pcm.size() + pcm.size() / 4 + 7200);
    const int encoded = lame_encode_buffer(gfp, pcm.data(), pcm.data(), samples, buffer.data(),
                                           static_cast<int>(buffer.size()));
    if (encoded < 0)
        return Status::failure(ErrorCode::WriteError,
                               "MP3 encoding failed (LAME error " + std::to_string(encoded) + ")");
    const int flushed = lame_encode_flush(gfp, buffer.data() + encoded,
                                          static_cast<int>(buffer.size()) - encoded);
    if (flushed < 0)
        return Status::failure(ErrorCode::WriteError,
                               "MP3 encoding failed (LAME error " + std::to_string(flushed) + ")");
    const size_t total = static_cast<size_t>(encoded) + static_cast<size_t>(flushed);

    // LAME leaves an empty first frame of the tag's size; the finished tag replaces it.
    unsigned char tag[2880];
    const size_t tagSize = lame_get_lametag_frame(gfp, tag, sizeof tag);
    if (tagSize > 0 && tagSize <= sizeof tag && tagSize <= total)
        std::memcpy(buffer.data(), tag, tagSize);
    mp3.assign(reinterpret_cast<const char *>(buffer.data()), total);
    return Status::success();
}

Status writeMp3File(const std::string &path, std::span<const int16_t> pcm,
                    const Mp3Options &options)
{
    std::string mp3;
    Status st = encodeMp3(pcm, options, mp3);
    if (!st.ok()) {
        st.path = path;
        return st;
    }
    return writeFileAtomic(path, mp3, Durability::Deferred);
}

} // namespace zarel::dicttool
