// MP3 decoding for the player: one libmpg123 handle reading a file or the owner's stream
// callbacks, giving signed 16-bit interleaved samples at the stream's own rate.
#pragma once

#include "mpegdll/mpegdll.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <sys/types.h>

struct mpg123_handle_struct;

namespace mpegdll {

// The owner's data source for a stream opened through callbacks.
struct StreamCallbacks
{
    MpegOpenStreamCallback open = nullptr;
    MpegCloseStreamCallback close = nullptr;
    MpegRestartStreamCallback restart = nullptr;
    MpegReadStreamCallback read = nullptr;
    MpegSeekStreamCallback seek = nullptr;
    MpegStreamSizeCallback size = nullptr;
    void *context = nullptr;
};

struct StreamFormat
{
    int32_t rate = 0; // Hz
    int32_t channels = 0; // 1 or 2
    int32_t layer = 0; // 1, 2 or 3
    int32_t bitrate = 0; // kbit/s of the first frame
};

enum class ReadStatus { Data, End, Error };

// One open MP3 stream. Not thread-safe: one thread at a time uses it. Positions are sample
// frames (one sample per channel) from the start of the decoded stream. Error results are the
// library's LastError codes (0 = success).
class Decoder
{
public:
    // Creates a decoder with no stream; null (error 1) when libmpg123 cannot make a handle.
    static std::unique_ptr<Decoder> create();
    ~Decoder();
    Decoder(const Decoder &) = delete;
    Decoder &operator=(const Decoder &) = delete;

    // Opens a file (3 when it is missing, unreadable or holds no MP3 frames).
    int openFile(const std::string &name);
    // Opens the owner's stream: calls the open callback, then reads through the others. The
    // close callback runs when this decoder closes, also after a failed open.
    int openStream(const StreamCallbacks &callbacks);

    const StreamFormat &format() const { return m_format; }
    bool seekable() const { return m_seekable; }
    // Exact for files and seekable streams (they are scanned at open), an estimate or -1
    // (unknown) for non-seekable ones.
    int64_t lengthFrames() const { return m_length; }
    int64_t position() const { return m_position; }

    // Puts the decoder back at the start of the stream in the state of a fresh open, so every
    // play from the start gives the same samples: reopens the file, or rewinds the stream by
    // seeking it to byte 0 or (non-seekable) through its restart callback (4 when that is
    // missing or fails). Free when nothing has been decoded since the open.
    int rewind();

    // Jumps to `frame` (clamped to the known length) on a seekable source (4 otherwise). The
    // decoder warms up on the frames before the target, but samples right after a jump may
    // differ in the last bit from a continuous decode.
    int seek(int64_t frame);

    // Decodes up to maxFrames frames into buffer. Data: `frames` > 0 were stored. End: the
    // stream ended, or changed its rate or channel count (what follows is not played).
    ReadStatus read(int16_t *buffer, size_t maxFrames, size_t &frames);

    // Drops the owner's callbacks that need no answer (close), for a release after the owner
    // may be gone.
    void forgetCallbacks() { m_callbacks.close = nullptr; }

    // Bit rate of the frame decoded last (kbit/s).
    int32_t currentBitrate() const;

private:
    Decoder() = default;
    int finishOpen();
    int reopen();
    void close();

    static ssize_t readAdapter(void *handle, void *buffer, size_t count);
    static off_t seekAdapter(void *handle, off_t offset, int whence);

    mpg123_handle_struct *m_handle = nullptr;
    bool m_opened = false;
    bool m_streamOpened = false; // the close callback is owed
    bool m_seekable = true;
    bool m_untouched = false; // nothing decoded or sought since the open
    std::string m_fileName;
    StreamCallbacks m_callbacks;
    void *m_streamContext = nullptr;
    int32_t m_streamSize = -1;
    StreamFormat m_format;
    int64_t m_length = -1;
    int64_t m_position = 0;
};

} // namespace mpegdll
