// The ALSA simple mixer read as line records: the playback destination (its master element and
// the other playback elements as sources) and the capture destination (likewise), with change
// notices from the element callbacks.
#include "platform/wave/mixer.h"

#include "platform/wave/alsaquiet.h"
#include "platform/wave/wavedevice.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace zarel::wave {

namespace {

// Elements that stand for a whole destination, in order of preference.
constexpr std::array<const char *, 3> kPlaybackMasters = { "Master", "Speaker", "PCM" };
constexpr std::array<const char *, 1> kCaptureMasters = { "Capture" };

struct Binding
{
    snd_mixer_elem_t *element;
    bool capture;
    size_t line;
};

uint16_t scaleVolume(long value, long min, long max)
{
    if (max <= min)
        return 0;
    value = std::clamp(value, min, max);
    return uint16_t((value - min) * 65535 / (max - min));
}

std::vector<int> cardIndexes()
{
    std::vector<int> cards;
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0)
        cards.push_back(card);
    return cards;
}

std::string cardName(const std::string &ctlName)
{
    std::string name = ctlName;
    snd_ctl_t *ctl = nullptr;
    if (snd_ctl_open(&ctl, ctlName.c_str(), SND_CTL_NONBLOCK) < 0)
        return name;
    snd_ctl_card_info_t *info = nullptr;
    if (snd_ctl_card_info_malloc(&info) == 0) {
        if (snd_ctl_card_info(ctl, info) == 0 && *snd_ctl_card_info_get_name(info) != '\0')
            name = snd_ctl_card_info_get_name(info);
        snd_ctl_card_info_free(info);
    }
    snd_ctl_close(ctl);
    return name;
}

class AlsaMixer final : public Mixer
{
public:
    explicit AlsaMixer(int handle)
        : m_handle(handle)
    { }

    ~AlsaMixer() override
    {
        if (m_mixer != nullptr) {
            QuietAlsa quiet;
            snd_mixer_close(m_mixer);
        }
    }

    int open(const std::string &ctlName)
    {
        QuietAlsa quiet;
        if (snd_mixer_open(&m_mixer, 0) < 0) {
            m_mixer = nullptr;
            return NotPresent;
        }
        if (snd_mixer_attach(m_mixer, ctlName.c_str()) < 0
            || snd_mixer_selem_register(m_mixer, nullptr, nullptr) < 0
            || snd_mixer_load(m_mixer) < 0)
            return NotPresent;
        // Notices are read when the descriptors say so; a read must never wait.
        snd_hctl_t *hctl = nullptr;
        if (snd_mixer_get_hctl(m_mixer, ctlName.c_str(), &hctl) == 0)
            snd_hctl_nonblock(hctl, 1);

        MixerLine device;
        device.name = cardName(ctlName);
        m_lines.push_back(device);

        std::vector<snd_mixer_elem_t *> playback;
        std::vector<snd_mixer_elem_t *> capture;
        for (snd_mixer_elem_t *e = snd_mixer_first_elem(m_mixer); e != nullptr;
             e = snd_mixer_elem_next(e)) {
            if (!snd_mixer_selem_is_active(e))
                continue;
            if (snd_mixer_selem_has_playback_volume(e) || snd_mixer_selem_has_playback_switch(e))
                playback.push_back(e);
            if (snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e))
                capture.push_back(e);
        }
        int16_t destination = 0;
        if (!playback.empty())
            addDestination(destination++, playback, false, "Playback", kPlaybackMasters);
        if (!capture.empty())
            addDestination(destination++, capture, true, "Capture", kCaptureMasters);
        for (const Binding &binding : m_bindings) {
            snd_mixer_elem_set_callback(binding.element, &AlsaMixer::elementEvent);
            snd_mixer_elem_set_callback_private(binding.element, this);
        }
        return Ok;
    }

    const std::vector<MixerLine> &lines() const override { return m_lines; }
    int handle() const override { return m_handle; }
    bool alive() const override { return m_alive; }

    std::vector<pollfd> pollDescriptors() override
    {
        QuietAlsa quiet;
        std::vector<pollfd> fds;
        if (!m_alive)
            return fds;
        const int count = snd_mixer_poll_descriptors_count(m_mixer);
        if (count <= 0)
            return fds;
        fds.resize(size_t(count));
        const int filled = snd_mixer_poll_descriptors(m_mixer, fds.data(), unsigned(count));
        fds.resize(size_t(std::max(filled, 0)));
        return fds;
    }

    std::vector<uint32_t> handleEvents() override
    {
        m_changed.clear();
        std::vector<pollfd> fds = pollDescriptors();
        if (fds.empty())
            return {};
        QuietAlsa quiet;
        if (poll(fds.data(), fds.size(), 0) < 0)
            return {};
        unsigned short revents = 0;
        if (snd_mixer_poll_descriptors_revents(m_mixer, fds.data(), unsigned(fds.size()), &revents)
            < 0)
            return {};
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
            m_alive = false;
            return {};
        }
        if (revents & (POLLIN | POLLOUT | POLLPRI)) {
            if (snd_mixer_handle_events(m_mixer) < 0)
                m_alive = false;
        }
        return std::move(m_changed);
    }

private:
    template<size_t N>
    void addDestination(int16_t destination, const std::vector<snd_mixer_elem_t *> &elements,
                        bool capture, const char *fallbackName,
                        const std::array<const char *, N> &masters)
    {
        snd_mixer_elem_t *master = nullptr;
        for (const char *wanted : masters) {
            for (snd_mixer_elem_t *e : elements) {
                if (master == nullptr && std::strcmp(snd_mixer_selem_get_name(e), wanted) == 0)
                    master = e;
            }
        }
        addLine(destination, 0, master, capture, fallbackName);
        int16_t source = 1;
        for (snd_mixer_elem_t *e : elements) {
            if (e != master)
                addLine(destination, source++, e, capture, fallbackName);
        }
    }

    void addLine(int16_t destination, int16_t source, snd_mixer_elem_t *element, bool capture,
                 const char *fallbackName)
    {
        MixerLine line;
        line.destination = destination;
        line.source = source;
        line.name = element != nullptr ? snd_mixer_selem_get_name(element) : fallbackName;
        line.speakers = !capture;
        line.flags = LineFlagNoMute;
        if (element != nullptr) {
            const bool volume = capture ? snd_mixer_selem_has_capture_volume(element)
                                        : snd_mixer_selem_has_playback_volume(element);
            const bool mute = capture ? snd_mixer_selem_has_capture_switch(element)
                                      : snd_mixer_selem_has_playback_switch(element);
            if (volume)
                line.volumeControl = m_nextControl++;
            if (mute)
                line.muteControl = m_nextControl++;
            line.hasControls = volume || mute;
            readValues(line, element, capture);
            if (volume && line.mono)
                line.flags = int16_t(line.flags | LineFlagMonoVolume);
            if (mute)
                line.flags = int16_t(line.flags & ~LineFlagNoMute);
            m_bindings.push_back(Binding { element, capture, m_lines.size() });
        }
        m_lines.push_back(line);
    }

    static void readValues(MixerLine &line, snd_mixer_elem_t *element, bool capture)
    {
        if (line.volumeControl != kNoControl) {
            long min = 0;
            long max = 0;
            long left = 0;
            long right = 0;
            if (capture) {
                snd_mixer_selem_get_capture_volume_range(element, &min, &max);
                line.mono = snd_mixer_selem_is_capture_mono(element);
                snd_mixer_selem_get_capture_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &left);
                if (!line.mono)
                    snd_mixer_selem_get_capture_volume(element, SND_MIXER_SCHN_FRONT_RIGHT, &right);
            } else {
                snd_mixer_selem_get_playback_volume_range(element, &min, &max);
                line.mono = snd_mixer_selem_is_playback_mono(element);
                snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_LEFT, &left);
                if (!line.mono)
                    snd_mixer_selem_get_playback_volume(element, SND_MIXER_SCHN_FRONT_RIGHT,
                                                        &right);
            }
            line.leftVolume = scaleVolume(left, min, max);
            line.rightVolume = line.mono ? 0 : scaleVolume(right, min, max);
        }
        if (line.muteControl != kNoControl) {
            int on = 1;
            if (capture)
                snd_mixer_selem_get_capture_switch(element, SND_MIXER_SCHN_FRONT_LEFT, &on);
            else
                snd_mixer_selem_get_playback_switch(element, SND_MIXER_SCHN_FRONT_LEFT, &on);
            line.muted = on == 0;
        }
    }

    static int elementEvent(snd_mixer_elem_t *element, unsigned int mask)
    {
        auto *self = static_cast<AlsaMixer *>(snd_mixer_elem_get_callback_private(element));
        if (self != nullptr)
            self->elementChanged(element, mask);
        return 0;
    }

    void elementChanged(snd_mixer_elem_t *element, unsigned int mask)
    {
        for (Binding &binding : m_bindings) {
            if (binding.element != element)
                continue;
            if (mask == SND_CTL_EVENT_MASK_REMOVE) {
                binding.element = nullptr;
                continue;
            }
            if (!(mask & SND_CTL_EVENT_MASK_VALUE))
                continue;
            MixerLine &line = m_lines[binding.line];
            const MixerLine before = line;
            readValues(line, element, binding.capture);
            if (line.leftVolume != before.leftVolume || line.rightVolume != before.rightVolume)
                noteChange(line.volumeControl);
            if (line.muted != before.muted)
                noteChange(line.muteControl);
        }
    }

    void noteChange(uint32_t control)
    {
        if (std::find(m_changed.begin(), m_changed.end(), control) == m_changed.end())
            m_changed.push_back(control);
    }

    const int m_handle;
    snd_mixer_t *m_mixer = nullptr;
    std::vector<MixerLine> m_lines;
    std::vector<Binding> m_bindings;
    std::vector<uint32_t> m_changed;
    uint32_t m_nextControl = 0;
    bool m_alive = true;
};

} // namespace

int alsaMixerDeviceCount()
{
    QuietAlsa quiet;
    return 1 + int(cardIndexes().size());
}

int openAlsaMixer(int deviceId, std::unique_ptr<Mixer> &mixer)
{
    std::string name = "default";
    if (deviceId != 0) {
        QuietAlsa quiet;
        const std::vector<int> cards = cardIndexes();
        if (deviceId < 0 || deviceId > int(cards.size()))
            return BadDevice;
        name = "hw:" + std::to_string(cards[size_t(deviceId - 1)]);
    }
    return openAlsaMixerByName(name, deviceId, mixer);
}

int openAlsaMixerByName(const std::string &ctlName, int handle, std::unique_ptr<Mixer> &mixer)
{
    auto opened = std::make_unique<AlsaMixer>(handle);
    const int result = opened->open(ctlName);
    if (result == Ok)
        mixer = std::move(opened);
    return result;
}

} // namespace zarel::wave
