// TMixerSettings: reads the mixer's line records through the wave layer and turns its change
// notices, watched with socket notifiers, into OnMixerChange.
#include "sound/taudiomixer.h"

#include "sound/taudio.h"

#include <QSocketNotifier>

using namespace Qt::Literals::StringLiterals;
using namespace zarel::wave;

namespace {

TMixDetails detailsOf(const MixerLine &line)
{
    TMixDetails details;
    details.Destination = line.destination;
    details.Source = line.source;
    details.Name = QString::fromStdString(line.name);
    details.VolumeControl = line.volumeControl;
    details.MuteControl = line.muteControl;
    details.MeterControl = line.meterControl;
    details.LeftVolume = line.leftVolume;
    details.RightVolume = line.rightVolume;
    details.MeterChannels = line.meterChannels;
    details.Flags = line.flags;
    details.Muted = line.muted;
    details.Mono = line.mono;
    details.Speakers = line.speakers;
    details.HasControls = line.hasControls;
    return details;
}

} // namespace

TMixerSettings::TMixerSettings(TAudio *owner)
    : QObject(owner)
    , m_owner(owner)
    , m_window(std::make_unique<QObject>())
{ }

TMixerSettings::~TMixerSettings()
{
    closeMixer();
}

bool TMixerSettings::readMixer(int deviceId)
{
    closeMixer();
    if (m_owner->m_system->mixerDeviceCount() <= 0) {
        m_owner->m_errorText = u"There is no mixer device"_s;
        return false;
    }
    std::unique_ptr<Mixer> mixer;
    const int result = m_owner->m_system->openMixer(deviceId, mixer);
    if (result != Ok) {
        m_owner->m_errorText
            = u"Could not open the mixer: "_s + QString::fromUtf8(errorText(result));
        return false;
    }
    m_mixer = std::move(mixer);
    for (const MixerLine &line : m_mixer->lines())
        m_details.push_back(detailsOf(line));
    for (const pollfd &fd : m_mixer->pollDescriptors()) {
        const auto type = (fd.events & POLLOUT) ? QSocketNotifier::Write : QSocketNotifier::Read;
        auto *notifier = new QSocketNotifier(fd.fd, type, m_window.get());
        connect(notifier, &QSocketNotifier::activated, this, &TMixerSettings::noticesReady);
        m_notifiers.push_back(notifier);
    }
    m_initialised = true;
    return true;
}

void TMixerSettings::closeMixer()
{
    for (QSocketNotifier *notifier : m_notifiers)
        delete notifier;
    m_notifiers.clear();
    m_mixer.reset();
    m_details.clear();
    m_initialised = false;
}

void TMixerSettings::refreshValues()
{
    const std::vector<MixerLine> &lines = m_mixer->lines();
    for (size_t i = 0; i < lines.size() && i < m_details.size(); ++i) {
        m_details[i].LeftVolume = lines[i].leftVolume;
        m_details[i].RightVolume = lines[i].rightVolume;
        m_details[i].Muted = lines[i].muted;
    }
}

void TMixerSettings::noticesReady()
{
    if (!m_mixer)
        return;
    const std::vector<uint32_t> changed = m_mixer->handleEvents();
    refreshValues();
    if (!m_mixer->alive()) {
        // The control device is gone; its descriptors would report ready for ever.
        for (QSocketNotifier *notifier : m_notifiers)
            delete notifier;
        m_notifiers.clear();
    }
    if (!m_initialised)
        return;
    const quint16 handle = quint16(m_mixer->handle() & 0xFFFF);
    for (uint32_t control : changed) {
        Q_EMIT m_owner->OnMixerChange(m_owner, handle, quint16(control & 0xFFFF));
        for (const TMixDetails &details : m_details) {
            if (details.VolumeControl == control || details.MuteControl == control) {
                Q_EMIT m_owner->OnMixerChange(m_owner, quint16(details.Destination),
                                              quint16(details.Source));
                break;
            }
        }
    }
}
