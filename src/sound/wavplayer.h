// TWavPlayer (MediaPlayer1 of the method windows): a small player of RIFF/WAVE PCM files over
// the wave output layer, for the short answer sounds. In wait mode Play returns once the sound
// has been played to its end.
#pragma once

#include "platform/result.h"
#include "platform/wave/wavedevice.h"

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace zarel {

// Larger wave files are refused: the answer sounds last a second or two.
inline constexpr size_t kMaxWavFileBytes = 16u * 1024u * 1024u;

// The samples of a wave file and their format (PCM, 1 or 2 channels, 8 or 16 bits).
struct WavSound
{
    wave::WaveFormat format;
    std::string samples; // whole frames only

    // Playing time in seconds; 0 for an empty sound.
    double seconds() const;
};

// Reads a RIFF/WAVE file held in `bytes`. Chunks other than "fmt " and "data" are skipped; a
// data chunk that claims more bytes than follow is cut to what exists, and a trailing partial
// frame is dropped. BadFormat for anything that is not an uncompressed PCM wave the devices
// play (see wave::isSupportedFormat), for a sample rate outside 1000-192000 Hz and for a file
// without samples; `sound` is then left empty.
Status parseWav(std::string_view bytes, WavSound &sound);

// Reads and parses the wave file at `path`: FileNotFound, ReadError, or BadFormat (also for a
// file larger than kMaxWavFileBytes).
Status readWavFile(const std::string &path, WavSound &sound);

} // namespace zarel

class TWavPlayer
{
public:
    // Plays through the sound card's default wave device (ALSA), reached at the first play.
    TWavPlayer();
    // Plays through `system` (the virtual wave device in tests).
    explicit TWavPlayer(std::shared_ptr<zarel::wave::WaveSystem> system);
    // Stops a sound that plays and releases the device.
    ~TWavPlayer();
    TWavPlayer(const TWavPlayer &) = delete;
    TWavPlayer &operator=(const TWavPlayer &) = delete;

    std::string FileName; // the wave file Open reads
    bool Wait = false; // Play returns only when the sound has ended
    int DeviceID = -1; // wave output device; -1 the default device

    // Reads FileName. A missing or damaged file is not an error the user sees: Open returns
    // false, lastStatus() tells why, and Play then plays nothing.
    bool Open();

    // Plays the opened sound from its start, stopping one that still plays. With Wait the call
    // returns when the device has played the last sample, or at the latest two seconds after the
    // sound's length when the device stalls (the sound is then cut off). False when nothing could
    // be played (nothing opened, no device).
    bool Play();

    // Stops a sound that plays and releases the device; the opened sound stays for the next
    // Play.
    void Stop();

    // Stops and forgets the opened sound.
    void Close();

    // The sound is being played (only ever true outside wait mode).
    bool playing() const;
    bool opened() const { return !m_sound.samples.empty(); }
    const zarel::Status &lastStatus() const { return m_status; }

private:
    static void waveCallback(zarel::wave::Message message, void *instance,
                             zarel::wave::WaveHeader *header);
    void releaseDevice();

    std::shared_ptr<zarel::wave::WaveSystem> m_system;
    zarel::WavSound m_sound;
    zarel::Status m_status;
    std::unique_ptr<zarel::wave::WaveOut> m_device;
    zarel::wave::WaveHeader m_header {};
    mutable std::mutex m_mutex;
    std::condition_variable m_doneChanged;
    bool m_done = true; // shared with the device thread
};
