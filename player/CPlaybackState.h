#pragma once

#include <QObject>
#include <QString>

// What is playing, in one place, with a signal for every change: the service chosen and the one
// the box streams, whether the box is being asked, whether pictures came, pause, volume and mute.
// The playback controller is its only writer; the player's bars and view, the channel list's mark
// and any desktop adapter read it and follow its signals, so none of them needs to know a widget
// or the controller.
class CPlaybackState final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPlaybackState)

public:
    enum class Phase
    {
        Stopped,  // the box streams nothing to us
        Starting, // the box is being asked, or its stream has not shown a picture or sound yet
        Playing,
        Paused,
    };
    Q_ENUM(Phase)

    explicit CPlaybackState(QObject* parent = nullptr) : QObject(parent) {}

    // The service chosen (a selection, or each step before it is committed); -1 none.
    int PendingService() const { return m_pending; }
    // The service the player shows (a selection, or a step once committed); -1 none.
    int CurrentService() const { return m_current; }
    // The service the box streams to this computer; -1 none.
    int StreamingService() const { return m_streaming; }
    // Waiting for the box to start a stream.
    bool IsRequesting() const { return m_requesting; }
    // Pictures or sound of the current selection have come.
    bool IsStarted() const { return m_started; }
    bool IsPaused() const { return m_paused; }
    int Volume() const { return m_volume; }
    bool IsMuted() const { return m_mute; }
    Phase CurrentPhase() const;

    // Writers: the playback controller only. Each emits its signal on a real change, except
    // SetPending, which is announced at every step even to the same service.
    void SetPending(int key);
    void SetCurrent(int key);
    void SetStreaming(int key);
    void SetRequesting(bool on);
    void SetStarted(bool on);
    void SetPaused(bool on);
    void SetVolume(int volume);
    void SetMute(bool mute);

signals:
    void pendingServiceChanged(int key);
    void currentServiceChanged(int key);
    // `previous` lost its mark.
    void streamingServiceChanged(int previous, int current);
    void requestingChanged(bool on);
    void startedChanged(bool started);
    void pausedChanged(bool paused);
    void volumeChanged(int volume);
    void muteChanged(bool mute);
    void phaseChanged(CPlaybackState::Phase phase);

private:
    void AnnouncePhase(Phase before);

    int m_pending = -1;
    int m_current = -1;
    int m_streaming = -1;
    bool m_requesting = false;
    bool m_started = false;
    bool m_paused = false;
    int m_volume = 0;
    bool m_mute = false;
};
