// TMixerSettings: TAudio's reading of the mixer (one TMixDetails record per device, destination
// line and source line) and the watch on the mixer's change notices that raises OnMixerChange.
#pragma once

#include "platform/wave/mixer.h"

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

class QSocketNotifier;
class TAudio;

struct TMixDetails
{
    qint16 Destination = -1; // -1 for the device record
    qint16 Source = -1; // 0 the destination line itself, 1.. its sources; -1 the device record
    QString Name;
    quint32 VolumeControl = zarel::wave::kNoControl;
    quint32 MuteControl = zarel::wave::kNoControl;
    quint32 MeterControl = zarel::wave::kNoControl;
    quint16 LeftVolume = 0;
    quint16 RightVolume = 0; // 0 when mono
    qint16 MeterChannels = 0;
    qint16 Flags = 0; // 0 device; 128 line (cleared with a mute control); +64 mono volume
    bool Muted = false;
    bool Mono = false;
    bool Speakers = false;
    bool HasControls = false;
};

class TMixerSettings : public QObject
{
    Q_OBJECT

public:
    // The mixer was read successfully.
    bool Initialised() const { return m_initialised; }
    // The records in list order: the device, then each destination followed by its sources.
    // Volumes and mute values follow the change notices.
    const std::vector<TMixDetails> &Details() const { return m_details; }

private:
    explicit TMixerSettings(TAudio *owner);
    ~TMixerSettings() override;

    // Closes the current mixer and reads mixer `deviceId`; false with ErrorText set on failure.
    bool readMixer(int deviceId);
    void closeMixer();
    void noticesReady();
    void refreshValues();

    TAudio *const m_owner;
    std::unique_ptr<zarel::wave::Mixer> m_mixer;
    bool m_initialised = false;
    std::vector<TMixDetails> m_details;
    // The hidden window the notices go to; the socket notifiers are its children.
    std::unique_ptr<QObject> m_window;
    std::vector<QSocketNotifier *> m_notifiers;

    friend class TAudio;
};
