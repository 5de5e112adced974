// The wave file reader and TWavPlayer, which hands the whole sound to the wave output device as
// one buffer and, in wait mode, waits for the device to hand it back.
#include "sound/wavplayer.h"

#include "platform/wave/alsawave.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace zarel {

namespace {

constexpr uint32_t kMinRate = 1000;
constexpr uint32_t kMaxRate = 192000;
constexpr int kMaxChunks = 4096;
constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagExtensible = 0xFFFE;

uint16_t le16(std::string_view b, size_t at)
{
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at])
                                 | (static_cast<unsigned char>(b[at + 1]) << 8));
}

uint32_t le32(std::string_view b, size_t at)
{
    return static_cast<uint32_t>(le16(b, at)) | (static_cast<uint32_t>(le16(b, at + 2)) << 16);
}

Status damaged(const std::string &why)
{
    return Status::failure(ErrorCode::BadFormat, "Damaged wave file: " + why);
}

// Reads the "fmt " chunk body into `format`.
Status readFormat(std::string_view body, wave::WaveFormat &format)
{
    if (body.size() < 16)
        return damaged("short format chunk");
    uint16_t tag = le16(body, 0);
    // The extensible header names the real sample type in the first two bytes of its
    // sub-format.
    if (tag == kTagExtensible && body.size() >= 26)
        tag = le16(body, 24);
    if (tag != kTagPcm)
        return damaged("not PCM");
    format.formatTag = kTagPcm;
    format.channels = le16(body, 2);
    format.samplesPerSec = le32(body, 4);
    format.bitsPerSample = le16(body, 14);
    format.extraSize = 0;
    if (format.channels < 1 || format.channels > 2)
        return damaged("channels");
    if (format.bitsPerSample != 8 && format.bitsPerSample != 16)
        return damaged("sample size");
    if (format.samplesPerSec < kMinRate || format.samplesPerSec > kMaxRate)
        return damaged("sample rate");
    // The frame size and byte rate follow from the rest; stored values that disagree are not
    // trusted.
    format.blockAlign = static_cast<uint16_t>(format.channels * format.bitsPerSample / 8);
    format.avgBytesPerSec = format.samplesPerSec * format.blockAlign;
    if (!wave::isSupportedFormat(format))
        return damaged("format");
    return Status::success();
}

} // namespace

double WavSound::seconds() const
{
    if (format.avgBytesPerSec == 0)
        return 0;
    return static_cast<double>(samples.size()) / format.avgBytesPerSec;
}

Status parseWav(std::string_view bytes, WavSound &sound)
{
    sound = WavSound {};
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        return damaged("not a RIFF/WAVE file");
    WavSound out;
    bool haveFormat = false;
    size_t at = 12;
    for (int chunk = 0; chunk < kMaxChunks && bytes.size() - at >= 8; ++chunk) {
        const std::string_view id = bytes.substr(at, 4);
        const uint64_t size = le32(bytes, at + 4);
        at += 8;
        const size_t available = bytes.size() - at;
        const std::string_view body
            = bytes.substr(at, static_cast<size_t>(std::min<uint64_t>(size, available)));
        if (id == "fmt ") {
            if (size > available)
                return damaged("cut format chunk");
            if (Status s = readFormat(body, out.format); !s.ok())
                return s;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return damaged("samples before the format");
            const size_t whole = body.size() - body.size() % out.format.blockAlign;
            out.samples.assign(body.substr(0, whole));
            break;
        }
        // Chunks are padded to an even length.
        const uint64_t next = size + (size & 1);
        if (next >= available)
            break;
        at += static_cast<size_t>(next);
    }
    if (out.samples.empty())
        return damaged(haveFormat ? "no samples" : "no format");
    sound = std::move(out);
    return Status::success();
}

Status readWavFile(const std::string &path, WavSound &sound)
{
    sound = WavSound {};
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        return Status::failure(ErrorCode::FileNotFound, "File not found", path);
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return Status::failure(ErrorCode::ReadError, "Cannot read the file", path);
    if (size > kMaxWavFileBytes)
        return Status::failure(ErrorCode::BadFormat, "Wave file too large", path);
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (!in || !in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
        return Status::failure(ErrorCode::ReadError, "Cannot read the file", path);
    Status s = parseWav(bytes, sound);
    s.path = path;
    return s;
}

} // namespace zarel

using namespace zarel;

TWavPlayer::TWavPlayer() = default;

TWavPlayer::TWavPlayer(std::shared_ptr<wave::WaveSystem> system)
    : m_system(std::move(system))
{ }

TWavPlayer::~TWavPlayer()
{
    releaseDevice();
}

void TWavPlayer::waveCallback(wave::Message message, void *instance, wave::WaveHeader *)
{
    if (message != wave::Message::Done)
        return;
    auto *self = static_cast<TWavPlayer *>(instance);
    const std::lock_guard lock(self->m_mutex);
    self->m_done = true;
    self->m_doneChanged.notify_all();
}

bool TWavPlayer::Open()
{
    releaseDevice();
    m_status = readWavFile(FileName, m_sound);
    return m_status.ok();
}

bool TWavPlayer::Play()
{
    releaseDevice();
    if (!opened())
        return false;
    if (!m_system)
        m_system = wave::makeAlsaWaveSystem();
    const int opened
        = m_system->openOutput(DeviceID, m_sound.format, &TWavPlayer::waveCallback, this, m_device);
    if (opened != wave::Ok || !m_device) {
        m_status = Status::failure(ErrorCode::ReadError, wave::errorText(opened));
        m_device.reset();
        return false;
    }
    m_header = wave::WaveHeader {};
    m_header.data = m_sound.samples.data();
    m_header.bufferLength = static_cast<uint32_t>(m_sound.samples.size());
    {
        const std::lock_guard lock(m_mutex);
        m_done = false;
    }
    if (m_device->prepareHeader(&m_header) != wave::Ok || m_device->write(&m_header) != wave::Ok) {
        {
            const std::lock_guard lock(m_mutex);
            m_done = true;
        }
        releaseDevice();
        return false;
    }
    if (Wait) {
        const auto limit = std::chrono::duration<double>(m_sound.seconds() + 2.0);
        std::unique_lock lock(m_mutex);
        m_doneChanged.wait_for(lock, limit, [this] { return m_done; });
        lock.unlock();
        releaseDevice();
    }
    return true;
}

void TWavPlayer::Stop()
{
    releaseDevice();
}

void TWavPlayer::Close()
{
    releaseDevice();
    m_sound = WavSound {};
}

bool TWavPlayer::playing() const
{
    const std::lock_guard lock(m_mutex);
    return m_device != nullptr && !m_done;
}

void TWavPlayer::releaseDevice()
{
    if (!m_device)
        return;
    // Reset hands a buffer that is still lent back before it returns, so the samples may be
    // released afterwards.
    m_device->reset();
    m_device->unprepareHeader(&m_header);
    m_device->close();
    m_device.reset();
    const std::lock_guard lock(m_mutex);
    m_done = true;
}
