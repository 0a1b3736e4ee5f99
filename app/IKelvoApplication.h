#pragma once

#include "discovery/DiscoveryScope.h"

class CBoxController;
class CKelvoConnection;
class CMediaPlayer;
class CPlaybackController;
class CQuarnDataModel;
class CRemoteBridge;
struct CKelvoAppState;

// What the main frame may ask of the application: the objects the composition root built, and
// saving the settings. The frame depends on this and nothing of the application object itself, so
// the root can build the frame without the frame reaching back up.
class IKelvoApplication
{
public:
    virtual ~IKelvoApplication() = default;

    virtual CKelvoAppState& State() = 0;
    virtual CQuarnDataModel& Database() = 0;
    virtual CBoxController& Box() = 0;
    virtual CKelvoConnection& Connection() = 0;
    virtual CMediaPlayer& MediaPlayer() = 0;
    virtual CPlaybackController& Playback() = 0;
    virtual CRemoteBridge& RemoteBridge() = 0;
    // Where the settings form searches for boxes.
    virtual DiscoveryScope Discovery() const = 0;

    // Writes the state and the connection; false when the store could not be written (what is in
    // memory stays either way).
    virtual bool SaveSettings() = 0;

protected:
    IKelvoApplication() = default;
    IKelvoApplication(const IKelvoApplication&) = default;
    IKelvoApplication& operator=(const IKelvoApplication&) = default;
};
