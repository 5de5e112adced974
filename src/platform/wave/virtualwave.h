// An in-process wave system for tests: its output device plays into a memory sink and its input
// device records from PCM bytes it was given, at real pace, faster, or as fast as it can.
#pragma once

#include "platform/wave/wavedevice.h"

#include <memory>
#include <vector>

namespace zarel::wave {

// One input and one output device (numbers -1 and 0) and no mixer. Any number of devices may
// be open at once; they share the source and the sink. All member functions are thread-safe.
class VirtualWave final : public WaveSystem
{
public:
    // `pace` 0 moves samples as fast as the device thread runs; 1 at the format's real rate;
    // 4 four times as fast. Applies to devices opened later.
    explicit VirtualWave(double pace = 0);
    ~VirtualWave() override;

    // The bytes the input devices record from now on, from the first. Once they are used up
    // the device delivers nothing more: the buffer being filled keeps what it has.
    void setInputSource(std::vector<char> pcm);

    // How many bytes of the input source the devices have recorded so far.
    size_t inputUsed() const;

    // Every byte played since creation or the last clearSink(), in order.
    std::vector<char> sink() const;
    void clearSink();

    // Unplugs (false) or plugs back (true) the devices: an open device fails at its next
    // transfer, opening fails with NotPresent and the device counts are 0.
    void setPresent(bool present);

    // How often an open output device ran dry after playing and was then given more to play.
    int gaps() const;

    // The formats of the last devices opened (input and output).
    WaveFormat lastFormat(bool input) const;

    int inputDeviceCount() override;
    int outputDeviceCount() override;
    int openInput(int deviceId, const WaveFormat &format, Callback callback, void *instance,
                  std::unique_ptr<WaveIn> &device) override;
    int openOutput(int deviceId, const WaveFormat &format, Callback callback, void *instance,
                   std::unique_ptr<WaveOut> &device) override;
    int mixerDeviceCount() override;
    int openMixer(int deviceId, std::unique_ptr<Mixer> &mixer) override;

    struct State;

private:
    int check(int deviceId, const WaveFormat &format, bool input);

    double m_pace;
    std::shared_ptr<State> m_state;
};

} // namespace zarel::wave
