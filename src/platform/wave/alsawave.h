// The sound card's wave devices and mixers through ALSA.
#pragma once

#include "platform/wave/wavedevice.h"

#include <memory>
#include <string>
#include <vector>

namespace zarel::wave {

// At most this many numbered devices per direction.
constexpr int kMaxAlsaDevices = 10;

// The ALSA wave system. Wave device -1 is the PCM "default"; devices 0 .. 9 are the PCM devices
// that ALSA's name hints list for the direction, in hint order. Mixer 0 is the control device
// "default", mixers 1 .. n the sound cards "hw:N" in card order. Thread-safe; devices opened
// from it stay valid after it is destroyed.
std::shared_ptr<WaveSystem> makeAlsaWaveSystem();

// The PCM names that the numbered devices of a direction stand for (at most kMaxAlsaDevices).
std::vector<std::string> alsaDeviceNames(bool input);

} // namespace zarel::wave
