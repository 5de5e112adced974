// Fuzz harness of the wave file reader behind the feedback-sound player: any file is refused as
// damaged or read into whole frames of a format the devices take; a sound that is read plays
// through the virtual wave device byte for byte, and records back through it in that format.
#include "fuzzsupport.h"
#include "platform/wave/virtualwave.h"
#include "sound/wavplayer.h"

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace zarel;

// Sounds above this size are only parsed: playing them adds time, not coverage.
constexpr size_t kMaxPlayedBytes = 1 << 20;

void checkSound(const WavSound &sound, size_t fileSize)
{
    const wave::WaveFormat &f = sound.format;
    ZAREL_FUZZ_CHECK(wave::isSupportedFormat(f));
    ZAREL_FUZZ_CHECK(f.samplesPerSec >= 1000 && f.samplesPerSec <= 192000);
    ZAREL_FUZZ_CHECK(f.avgBytesPerSec == f.samplesPerSec * f.blockAlign);
    ZAREL_FUZZ_CHECK(!sound.samples.empty() && sound.samples.size() % f.blockAlign == 0);
    // The RIFF header, a whole 16-byte format chunk and the data chunk's header come first.
    ZAREL_FUZZ_CHECK(sound.samples.size() + 44 <= fileSize);
    const double seconds = sound.seconds();
    ZAREL_FUZZ_CHECK(std::isfinite(seconds) && seconds > 0);
}

// Records the sound's bytes through the virtual input device into one buffer whose length
// carries a partial frame, which must stay unfilled.
struct Recording
{
    std::mutex mutex;
    std::condition_variable changed;
    bool handedBack = false;
    uint32_t bytesRecorded = 0;

    static void callback(wave::Message message, void *instance, wave::WaveHeader *header)
    {
        if (message != wave::Message::Data)
            return;
        auto *self = static_cast<Recording *>(instance);
        const std::lock_guard lock(self->mutex);
        self->handedBack = true;
        self->bytesRecorded = header->bytesRecorded;
        self->changed.notify_all();
    }
};

void checkRecording(wave::VirtualWave &system, const WavSound &sound)
{
    system.setInputSource(std::vector<char>(sound.samples.begin(), sound.samples.end()));
    Recording recording;
    std::unique_ptr<wave::WaveIn> device;
    ZAREL_FUZZ_CHECK(system.openInput(-1, sound.format, &Recording::callback, &recording, device)
                     == wave::Ok);
    std::vector<char> buffer(sound.samples.size() + sound.format.blockAlign - 1, '\x5A');
    wave::WaveHeader header {};
    header.data = buffer.data();
    header.bufferLength = static_cast<uint32_t>(buffer.size());
    ZAREL_FUZZ_CHECK(device->prepareHeader(&header) == wave::Ok);
    ZAREL_FUZZ_CHECK(device->addBuffer(&header) == wave::Ok);
    ZAREL_FUZZ_CHECK(device->start() == wave::Ok);
    {
        std::unique_lock lock(recording.mutex);
        ZAREL_FUZZ_CHECK(recording.changed.wait_for(lock, std::chrono::seconds(10),
                                                    [&] { return recording.handedBack; }));
    }
    ZAREL_FUZZ_CHECK(device->reset() == wave::Ok);
    ZAREL_FUZZ_CHECK(device->unprepareHeader(&header) == wave::Ok);
    ZAREL_FUZZ_CHECK(device->close() == wave::Ok);
    ZAREL_FUZZ_CHECK(recording.bytesRecorded == sound.samples.size());
    ZAREL_FUZZ_CHECK(std::string_view(buffer.data(), sound.samples.size()) == sound.samples);
    for (size_t i = sound.samples.size(); i < buffer.size(); ++i)
        ZAREL_FUZZ_CHECK(buffer[i] == '\x5A');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const auto system = std::make_shared<wave::VirtualWave>(0);
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);

    WavSound sound;
    sound.samples = "stale";
    const Status parsed = parseWav(bytes, sound);
    if (parsed.ok())
        checkSound(sound, size);
    else
        ZAREL_FUZZ_CHECK(parsed.code == ErrorCode::BadFormat && sound.samples.empty());

    // The player reads the same bytes from a file.
    const std::string path = fuzz::scratchPath("sound.wav");
    fuzz::writeFile(path, bytes);
    TWavPlayer player(system);
    player.FileName = path;
    ZAREL_FUZZ_CHECK(player.Open() == parsed.ok());
    ZAREL_FUZZ_CHECK(player.opened() == parsed.ok());
    ZAREL_FUZZ_CHECK(player.lastStatus().code == parsed.code);
    if (!parsed.ok() || sound.samples.size() > kMaxPlayedBytes) {
        ZAREL_FUZZ_CHECK(parsed.ok() || !player.Play());
        return 0;
    }

    system->clearSink();
    player.Wait = true;
    ZAREL_FUZZ_CHECK(player.Play());
    ZAREL_FUZZ_CHECK(!player.playing());
    const std::vector<char> played = system->sink();
    ZAREL_FUZZ_CHECK(std::string_view(played.data(), played.size()) == sound.samples);
    ZAREL_FUZZ_CHECK(system->lastFormat(false).blockAlign == sound.format.blockAlign);
    player.Close();
    ZAREL_FUZZ_CHECK(!player.opened());

    checkRecording(*system, sound);
    return 0;
}
