// Wave devices: the narrow interface over the sound card's wave input and output (open, prepare
// a header, add a buffer or write one, start, reset, unprepare, close) and its result codes.
//
// Ownership. The caller owns every WaveHeader and the data it points at. Adding or writing a
// header lends it to the device until the device hands it back through a Data (input) or Done
// (output) message; while lent, the caller must not touch the header or its data nor free them.
// A device object is owned by the caller that opened it (std::unique_ptr); destroying an open
// device resets and closes it.
//
// Threads. Every open device runs one device thread of its own. All messages of a device (Open
// first, then Data or Done for each returned buffer in queue order, Close last) are delivered on
// that thread, one at a time. The callback must return promptly and must not call reset() or
// close() on its own device (they return WrongThread). Every other call is made from one
// controlling thread at a time; calls never block for longer than the device needs to act on
// them (reset and close wait for the device thread to deliver the messages they cause).
//
// Failure. A device that fails for good while running (unplugged, server gone) hands every lent
// buffer back as reset() would; later addBuffer/write/start calls return InvalidHandle, while
// reset, unprepare and close keep working so the owner can wind down.
//
// Results. Functions return Ok (0) or a negative WaveResult; errorText() gives the text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace zarel::wave {

class Mixer;

enum WaveResult : int {
    Ok = 0,
    BadDevice = -1, // the device number is out of range
    NotPresent = -2, // the device is missing or could not be opened
    Busy = -3, // the device is in use
    BadFormat = -4, // the device does not take this wave format
    NoMemory = -5,
    InvalidHandle = -6, // the device has been closed or has failed
    InvalidParam = -7, // a null or malformed header, or a call that does not fit the device
    Unprepared = -8, // the header was not prepared
    StillPlaying = -9, // buffers are still lent to the device
    DeviceError = -10, // the device reported an error while running
    WrongThread = -11, // reset or close called from the device's own callback
};

// The text of a result code ("" for Ok); never null.
const char *errorText(int result);

// PCM wave format: tag 1, 1 or 2 channels, 8-bit unsigned or 16-bit signed little-endian
// samples, interleaved. In the platform's record it occupies kFormatBlockSize bytes.
struct WaveFormat
{
    uint16_t formatTag = 1;
    uint16_t channels = 1;
    uint32_t samplesPerSec = 11025;
    uint32_t avgBytesPerSec = 11025;
    uint16_t blockAlign = 1; // bytes of one frame: channels × bytes per sample
    uint16_t bitsPerSample = 8;
    uint16_t extraSize = 0;
};
constexpr int kFormatBlockSize = 18;

// True when the format is one the devices play and record (see WaveFormat).
bool isSupportedFormat(const WaveFormat &format);

enum HeaderFlags : uint32_t {
    HeaderDone = 1, // set when the device hands the buffer back
    HeaderPrepared = 2,
    HeaderBeginLoop = 4, // accepted and ignored: buffers play once
    HeaderEndLoop = 8,
    HeaderInQueue = 16, // set while the buffer is lent to the device
};

// One data buffer. Only whole frames are played or recorded: a trailing partial frame of an
// output buffer is skipped, and an input buffer fills up to its last whole frame.
struct WaveHeader
{
    char *data = nullptr;
    uint32_t bufferLength = 0; // bytes at data
    uint32_t bytesRecorded = 0; // input: bytes filled when handed back
    uintptr_t user = 0; // free for the caller
    uint32_t flags = 0;
    uint32_t loops = 0;
};

enum class Message {
    Open, // the device thread has started; first message of every device
    Close, // the device is closed; last message, the thread ends after it
    Data, // input: the buffer is handed back with bytesRecorded bytes
    Done, // output: the buffer has been played (or dropped by reset)
};

// Called on the device thread. `header` is the buffer handed back for Data and Done, else null.
using Callback = void (*)(Message message, void *instance, WaveHeader *header);

class DeviceCore;

// Operations shared by input and output devices.
class WaveDevice
{
public:
    virtual ~WaveDevice();
    WaveDevice(const WaveDevice &) = delete;
    WaveDevice &operator=(const WaveDevice &) = delete;

    // Marks the header ready for use. InvalidParam for a null header or a null data pointer
    // with a non-zero length; preparing a prepared header is allowed.
    int prepareHeader(WaveHeader *header);

    // Clears the prepared mark. StillPlaying while the header is lent; Ok for a header that was
    // never prepared.
    int unprepareHeader(WaveHeader *header);

    // Stops the device and hands every lent buffer back (Data/Done messages, in queue order) before
    // returning. An input buffer that was being filled comes back with the bytes it holds; an input
    // device must be started again afterwards.
    int reset();

    // Closes the device: the Close message is delivered before this returns, and every later call
    // returns InvalidHandle. StillPlaying while buffers are lent (reset first).
    int close();

    // The format the device was opened with.
    const WaveFormat &format() const;

protected:
    explicit WaveDevice(std::unique_ptr<DeviceCore> core);
    std::unique_ptr<DeviceCore> m_core;
};

class WaveIn final : public WaveDevice
{
public:
    explicit WaveIn(std::unique_ptr<DeviceCore> core);

    // Lends a prepared buffer to be filled. Unprepared, StillPlaying (already lent),
    // InvalidHandle (closed or failed device).
    int addBuffer(WaveHeader *header);

    // Starts recording into the lent buffers; samples that arrive while no buffer is lent are
    // lost. Starting a started device is allowed.
    int start();
};

class WaveOut final : public WaveDevice
{
public:
    explicit WaveOut(std::unique_ptr<DeviceCore> core);

    // Lends a prepared buffer to be played after those already written. Playing starts with the
    // first buffer. Unprepared, StillPlaying (already lent), InvalidHandle.
    int write(WaveHeader *header);
};

// A family of devices (the sound card through ALSA, or the in-process virtual device).
// Device numbers: -1 is the default device, 0 .. count-1 the devices in the family's order.
class WaveSystem
{
public:
    virtual ~WaveSystem() = default;

    virtual int inputDeviceCount() = 0;
    virtual int outputDeviceCount() = 0;

    // Open a device; on Ok `device` holds it and its Open message has been delivered. On failure
    // `device` is left empty and no message is delivered.
    virtual int openInput(int deviceId, const WaveFormat &format, Callback callback, void *instance,
                          std::unique_ptr<WaveIn> &device)
        = 0;
    virtual int openOutput(int deviceId, const WaveFormat &format, Callback callback,
                           void *instance, std::unique_ptr<WaveOut> &device)
        = 0;

    // Mixers: 0 .. count-1. On Ok `mixer` holds the open mixer.
    virtual int mixerDeviceCount() = 0;
    virtual int openMixer(int deviceId, std::unique_ptr<Mixer> &mixer) = 0;
};

} // namespace zarel::wave
