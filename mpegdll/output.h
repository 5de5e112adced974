// Where the player hands its decoded samples: the ALSA "default" device or a raw PCM file.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace mpegdll {

// One play's output, opened by the caller of Play and then used only by the player thread.
// No call blocks for long, so the thread keeps answering stop and pause. Samples are signed
// 16-bit, interleaved, in the host's byte order. Destroying an output that
// was neither completed nor stopped discards it (the device is dropped, the file removed).
class Output
{
public:
    virtual ~Output() = default;

    // Hands over as many of `frames` frames as the device takes now without waiting; returns
    // that count, or -1 on a failure that recovery could not mend.
    virtual long writeSome(const int16_t *samples, size_t frames) = 0;
    // Waits until the device takes more frames, at most `timeout`.
    virtual void waitWritable(std::chrono::milliseconds timeout) = 0;
    // Everything has been handed over: makes sure the device plays it out.
    virtual void beginDrain() = 0;
    // Frames handed over but not heard yet; 0 once everything has been played.
    virtual int64_t queuedFrames() = 0;
    virtual void setPaused(bool paused) = 0;
    // Forgets what is queued (after a seek).
    virtual void discardQueued() = 0;
    // Normal end, after queuedFrames() reached 0: lets the last samples out and releases the
    // device or puts the file in place. False when that fails.
    virtual bool complete() = 0;
    // End by a stop: drops what is queued; a file keeps what was written.
    virtual void stop() = 0;
};

// Opens an ALSA PCM device for 16-bit interleaved playback at `rate` Hz with `channels`
// channels. Null when the device cannot be opened or does not take the format.
std::unique_ptr<Output> openAlsaOutput(const char *device, unsigned rate, unsigned channels);

// Creates a temporary file beside `path` that receives the samples as little-endian 16-bit PCM
// and replaces `path` when the output completes or stops. Null when it cannot be created.
std::unique_ptr<Output> openFileOutput(const std::string &path, unsigned channels);

} // namespace mpegdll
