// MP3 decoding through libmpg123: file and callback sources, format checks at open, exact
// lengths by scanning, a fresh start for every play, and jumps on seekable sources.
#include "decoder.h"

#include <mpg123.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

namespace mpegdll {
namespace {

// mpg123_read may report success without data while it parses tags or skips junk; this many in a
// row means the stream is stuck.
constexpr int kMaxEmptyReads = 256;

} // namespace

std::unique_ptr<Decoder> Decoder::create()
{
    int error = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &error);
    if (handle == nullptr)
        return nullptr;
    std::unique_ptr<Decoder> decoder(new Decoder);
    decoder->m_handle = handle;
    // Quiet: a library never prints. No "Frankenstein" streams: a stream whose format changes
    // midway ends there instead of switching the output format under the device.
    // More warm-up frames than the default before a seek target keep a jump from decoding the
    // first frames without their bit reservoir.
    if (mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_NO_FRANKENSTEIN, 0.0)
            != MPG123_OK
        || mpg123_param(handle, MPG123_PREFRAMES, 16, 0.0) != MPG123_OK
        || mpg123_format_none(handle) != MPG123_OK)
        return nullptr;
    const long *rates = nullptr;
    size_t count = 0;
    mpg123_rates(&rates, &count);
    for (size_t i = 0; i < count; ++i) {
        if (mpg123_format(handle, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16)
            != MPG123_OK)
            return nullptr;
    }
    return decoder;
}

Decoder::~Decoder()
{
    close();
    if (m_handle != nullptr)
        mpg123_delete(m_handle);
}

void Decoder::close()
{
    if (m_opened) {
        mpg123_close(m_handle);
        m_opened = false;
    }
    if (m_streamOpened) {
        m_streamOpened = false;
        if (m_callbacks.close != nullptr)
            m_callbacks.close(m_callbacks.context);
    }
}

int Decoder::openFile(const std::string &name)
{
    close();
    m_seekable = true;
    m_fileName = name;
    if (mpg123_open(m_handle, name.c_str()) != MPG123_OK)
        return MPEGDLL_ERR_INPUT;
    m_opened = true;
    const int result = finishOpen();
    if (result != MPEGDLL_OK)
        close();
    return result;
}

int Decoder::openStream(const StreamCallbacks &callbacks)
{
    close();
    if (callbacks.read == nullptr)
        return MPEGDLL_ERR_INPUT;
    m_callbacks = callbacks;
    m_streamOpened = true;
    bool nonseekable = false;
    m_streamContext = nullptr;
    if (m_callbacks.open != nullptr)
        m_callbacks.open(m_callbacks.context, &nonseekable, &m_streamContext);
    m_seekable = !nonseekable && m_callbacks.seek != nullptr;

    int result = MPEGDLL_OK;
    if (mpg123_replace_reader_handle(m_handle, &readAdapter, &seekAdapter, nullptr) != MPG123_OK)
        result = MPEGDLL_ERR_DECODER;
    else if (mpg123_open_handle(m_handle, this) != MPG123_OK)
        result = MPEGDLL_ERR_INPUT;
    if (result == MPEGDLL_OK) {
        m_opened = true;
        m_streamSize = -1;
        if (m_callbacks.size != nullptr)
            m_callbacks.size(m_callbacks.context, &m_streamSize);
        if (m_streamSize >= 0)
            mpg123_set_filesize(m_handle, m_streamSize);
        result = finishOpen();
    }
    if (result != MPEGDLL_OK)
        close();
    return result;
}

// libmpg123 may take a few bytes of random data for a frame header; a stream counts as MP3
// only when it gives a 16-bit format with a sane rate, channel count and layer, and (when it
// can be scanned) a non-zero decoded length.
int Decoder::finishOpen()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK)
        return MPEGDLL_ERR_INPUT;
    if (rate <= 0 || rate > 192000 || channels < 1 || channels > 2
        || encoding != MPG123_ENC_SIGNED_16)
        return MPEGDLL_ERR_INPUT;
    m_format = StreamFormat {};
    m_format.rate = static_cast<int32_t>(rate);
    m_format.channels = channels;
    mpg123_frameinfo info {};
    if (mpg123_info(m_handle, &info) == MPG123_OK) {
        m_format.layer = info.layer;
        m_format.bitrate = info.bitrate;
    }
    if (m_format.layer < 1 || m_format.layer > 3)
        return MPEGDLL_ERR_INPUT;
    if (m_seekable && mpg123_scan(m_handle) != MPG123_OK)
        return MPEGDLL_ERR_INPUT;
    const off_t length = mpg123_length(m_handle);
    if (m_seekable && length <= 0)
        return MPEGDLL_ERR_INPUT;
    m_length = length > 0 ? static_cast<int64_t>(length) : -1;
    m_position = 0;
    m_untouched = true;
    return MPEGDLL_OK;
}

int Decoder::rewind()
{
    if (m_untouched)
        return MPEGDLL_OK;
    if (m_opened) {
        mpg123_close(m_handle);
        m_opened = false;
    }
    if (!m_streamOpened) {
        if (mpg123_open(m_handle, m_fileName.c_str()) != MPG123_OK)
            return MPEGDLL_ERR_INPUT;
        m_opened = true;
        return reopen();
    }
    if (!m_seekable || seekAdapter(this, 0, SEEK_SET) != 0) {
        bool restarted = false;
        if (m_callbacks.restart != nullptr)
            m_callbacks.restart(m_callbacks.context, &restarted);
        if (!restarted)
            return MPEGDLL_ERR_NONSEEKABLE;
    }
    if (mpg123_replace_reader_handle(m_handle, &readAdapter, &seekAdapter, nullptr) != MPG123_OK
        || mpg123_open_handle(m_handle, this) != MPG123_OK)
        return MPEGDLL_ERR_INPUT;
    m_opened = true;
    if (m_streamSize >= 0)
        mpg123_set_filesize(m_handle, m_streamSize);
    return reopen();
}

// The source was opened again: it must still give the format it gave at the first open.
int Decoder::reopen()
{
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_getformat(m_handle, &rate, &channels, &encoding) != MPG123_OK
        || rate != m_format.rate || channels != m_format.channels)
        return MPEGDLL_ERR_INPUT;
    m_position = 0;
    m_untouched = true;
    return MPEGDLL_OK;
}

int Decoder::seek(int64_t frame)
{
    if (!m_opened)
        return MPEGDLL_ERR_MODE;
    if (!m_seekable)
        return MPEGDLL_ERR_NONSEEKABLE;
    frame = std::max<int64_t>(frame, 0);
    if (m_length >= 0)
        frame = std::min(frame, m_length);
    m_untouched = false;
    const off_t reached = mpg123_seek(m_handle, static_cast<off_t>(frame), SEEK_SET);
    if (reached < 0)
        return MPEGDLL_ERR_INPUT;
    m_position = reached;
    return MPEGDLL_OK;
}

ReadStatus Decoder::read(int16_t *buffer, size_t maxFrames, size_t &frames)
{
    frames = 0;
    if (!m_opened || maxFrames == 0)
        return ReadStatus::Error;
    m_untouched = false;
    const size_t frameBytes = sizeof(int16_t) * static_cast<size_t>(m_format.channels);
    for (int attempt = 0; attempt < kMaxEmptyReads; ++attempt) {
        size_t done = 0;
        const int result = mpg123_read(m_handle, buffer, maxFrames * frameBytes, &done);
        frames = done / frameBytes;
        m_position += static_cast<int64_t>(frames);
        if (frames > 0)
            return ReadStatus::Data;
        if (result == MPG123_DONE)
            return ReadStatus::End;
        if (result == MPG123_NEW_FORMAT) {
            long rate = 0;
            int channels = 0;
            int encoding = 0;
            mpg123_getformat(m_handle, &rate, &channels, &encoding);
            if (rate != m_format.rate || channels != m_format.channels)
                return ReadStatus::End;
            continue;
        }
        if (result != MPG123_OK)
            return ReadStatus::Error;
    }
    return ReadStatus::Error;
}

int32_t Decoder::currentBitrate() const
{
    mpg123_frameinfo info {};
    if (!m_opened || mpg123_info(m_handle, &info) != MPG123_OK)
        return m_format.bitrate;
    return info.bitrate;
}

ssize_t Decoder::readAdapter(void *handle, void *buffer, size_t count)
{
    auto *self = static_cast<Decoder *>(handle);
    const size_t want = std::min<size_t>(count, std::numeric_limits<int32_t>::max());
    int32_t got = 0;
    bool ok = false;
    self->m_callbacks.read(self->m_callbacks.context, buffer, static_cast<int32_t>(want), &got,
                           &ok);
    if (!ok || got < 0)
        return -1;
    return static_cast<ssize_t>(std::min<size_t>(static_cast<size_t>(got), want));
}

off_t Decoder::seekAdapter(void *handle, off_t offset, int whence)
{
    auto *self = static_cast<Decoder *>(handle);
    if (!self->m_seekable || offset < std::numeric_limits<int32_t>::min()
        || offset > std::numeric_limits<int32_t>::max())
        return -1;
    int32_t method = 0;
    switch (whence) {
    case SEEK_SET:
        method = 0;
        break;
    case SEEK_CUR:
        method = 1;
        break;
    case SEEK_END:
        method = 2;
        break;
    default:
        return -1;
    }
    int32_t position = -1;
    self->m_callbacks.seek(self->m_callbacks.context, static_cast<int32_t>(offset), method,
                           &position);
    return position < 0 ? -1 : static_cast<off_t>(position);
}

} // namespace mpegdll
