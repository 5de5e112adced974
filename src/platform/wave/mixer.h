// The sound card's mixer as a list of line records (device, destination lines for playback and
// capture, their source lines) with volume, mute and meter controls, and its change notices.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <poll.h>

namespace zarel::wave {

// Control identifier of a control a line does not have.
constexpr uint32_t kNoControl = 65535;

enum MixerLineFlags : int16_t {
    LineFlagMonoVolume = 64, // the volume control has one channel
    LineFlagNoMute = 128, // set on every line, cleared when it has a mute control
};

// One record: the device (destination and source -1), a destination line (source 0) or one of
// its source lines (source 1, 2, ...).
struct MixerLine
{
    int16_t destination = -1;
    int16_t source = -1;
    std::string name;
    uint32_t volumeControl = kNoControl;
    uint32_t muteControl = kNoControl;
    uint32_t meterControl = kNoControl; // ALSA's simple mixer has no peak meters
    uint16_t leftVolume = 0; // 0 .. 65535
    uint16_t rightVolume = 0; // 0 when the volume is mono
    int16_t meterChannels = 0;
    int16_t flags = 0;
    bool muted = false;
    bool mono = false;
    bool speakers = false; // the line belongs to the playback (speakers) destination
    bool hasControls = false;
};

// An open mixer. Used from one thread; nothing here blocks.
class Mixer
{
public:
    virtual ~Mixer() = default;

    // The device record first, then each destination line followed by its source lines.
    virtual const std::vector<MixerLine> &lines() const = 0;

    // A small number naming the open mixer (its device number).
    virtual int handle() const = 0;

    // The descriptors to watch; when one is ready, call handleEvents().
    virtual std::vector<pollfd> pollDescriptors() = 0;

    // Reads the pending change notices without blocking, refreshes the values of the affected
    // lines and returns the identifiers of the controls whose values changed, each once, in the
    // order the notices came.
    virtual std::vector<uint32_t> handleEvents() = 0;

    // False once the control device has gone away (its descriptors report an error); the
    // mixer then has no descriptors to watch and reports no more changes.
    virtual bool alive() const = 0;
};

// ALSA mixers: 0 is the control device "default", 1 .. n the sound cards "hw:N" in card order.
int alsaMixerDeviceCount();

// Opens an ALSA mixer and reads its lines. Returns Ok, BadDevice for a number out of range or
// NotPresent when the control device cannot be opened or read.
int openAlsaMixer(int deviceId, std::unique_ptr<Mixer> &mixer);

// Opens the ALSA mixer of a named control device ("default", "hw:0", "pulse:SINK") and gives it
// the handle number `handle`. Ok or NotPresent.
int openAlsaMixerByName(const std::string &ctlName, int handle, std::unique_ptr<Mixer> &mixer);

} // namespace zarel::wave
