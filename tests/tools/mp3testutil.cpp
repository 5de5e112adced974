// Test helper: MP3 decoding with libmpg123 (gapless, so the LAME tag's padding is removed).
#include "mp3testutil.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include <mpg123.h>

namespace zarel::test {

DecodedMp3 decodeMp3File(const std::string &path)
{
    DecodedMp3 out;
    mpg123_init();
    int err = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle *)> mh(mpg123_new(nullptr, &err),
                                                                 mpg123_delete);
    if (!mh) {
        out.error = "mpg123_new failed";
        return out;
    }
    mpg123_param(mh.get(), MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS, 0);
    mpg123_format_none(mh.get());
    for (const long rate :
         { 8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L })
        mpg123_format(mh.get(), rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh.get(), path.c_str()) != MPG123_OK) {
        out.error = std::string("cannot open: ") + mpg123_strerror(mh.get());
        return out;
    }
    int encoding = 0;
    if (mpg123_getformat(mh.get(), &out.rate, &out.channels, &encoding) != MPG123_OK) {
        out.error = std::string("no format: ") + mpg123_strerror(mh.get());
        return out;
    }
    unsigned char buffer[16384];
    for (;;) {
        size_t done = 0;
        const int rc = mpg123_read(mh.get(), buffer, sizeof buffer, &done);
        const auto *samples = reinterpret_cast<const int16_t *>(buffer);
        out.pcm.insert(out.pcm.end(), samples, samples + done / 2);
        if (rc == MPG123_DONE)
            break;
        if (rc == MPG123_NEW_FORMAT) {
            mpg123_getformat(mh.get(), &out.rate, &out.channels, &encoding);
            continue;
        }
        if (rc != MPG123_OK) {
            out.error = std::string("decoding failed: ") + mpg123_strerror(mh.get());
            return out;
        }
    }
    mpg123_close(mh.get());
    out.ok = true;
    return out;
}

int peakOf(const std::vector<int16_t> &pcm)
{
    int peak = 0;
    for (const int16_t s : pcm)
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

double rmsOf(const std::vector<int16_t> &pcm)
{
    if (pcm.empty())
        return 0;
    double sum = 0;
    for (const int16_t s : pcm)
        sum += static_cast<double>(s) * s;
    return std::sqrt(sum / static_cast<double>(pcm.size()));
}

} // namespace zarel::test
