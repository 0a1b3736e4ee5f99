#pragma once

#include "player/CStreamRelay.h"
#include "player/VlcHandles.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <memory>
#include <string>

class QWidget;

// The application's one libvlc engine and media player. It draws into a native window of ours,
// opens the box's stream addresses (RTP, UDP or the HLS playlist) and reports the engine's
// progress as the "CMediaPlayer_DefaultMsg" message, `defaultMsg(code)`:
//   0  the player got a new media (every Open with a usable address),
//   1  pictures or sound of that media have started (exactly once per media): the first of the
//      engine's time update, video output created, or buffering complete,
//   2  the player stopped (the engine also reports it when it gives up on an input).
// Each code also comes as a signal of its own (mediaChanged, started, stopped), and moves the
// play state. The engine's callbacks run on its own threads; they copy what they need and queue
// it to the thread this object lives on, so every signal arrives there and never re-enters the
// caller.
class CMediaPlayer final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMediaPlayer)
    Q_PROPERTY(int volume READ Volume WRITE SetVolume NOTIFY volumeChanged)
    Q_PROPERTY(bool mute READ Mute WRITE SetMute NOTIFY muteChanged)
    Q_PROPERTY(PlayState state READ State NOTIFY stateChanged)

public:
    enum DefaultMsg : int
    {
        MsgMediaChanged = 0,
        MsgStarted = 1,
        MsgStopped = 2,
    };

    // Follows the engine's reports as they are delivered: a new media is Opening until its
    // pictures or sound start (Playing); the engine's stop makes it Stopped. Pausing is not a
    // state of its own.
    enum PlayState : int
    {
        Stopped = 0,
        Opening = 1,
        Playing = 2,
    };
    Q_ENUM(PlayState)

    // How a new media starts. Standard leaves the engine's own network cache (a second); with
    // LowLatency an RTP or UDP stream starts with a short cache, so that the picture moves about
    // a second sooner, and a lost datagram no longer stops the picture until the next key frame
    // (the damage shows briefly in the moving picture instead). HLS starts as in Standard: its
    // segments arrive in bursts over HTTP and need the longer cache.
    enum StartProfile : int
    {
        StartStandard = 0,
        StartLowLatency = 1,
    };
    Q_ENUM(StartProfile)

    // Under LowLatency, RTP and UDP streams also come to the engine through a relay of ours that
    // gives back the time the stream's own clock would keep a picture waiting (CStreamRelay).
    // The short cache low-latency start begins with, and the most it grows to.
    static constexpr int kLowLatencyCacheMs = 200;
    static constexpr int kLowLatencyCacheMaxMs = 1000;

    explicit CMediaPlayer(QObject* parent = nullptr);
    ~CMediaPlayer() override;

    // False when the engine could not be created (no plugins); every operation is then a no-op.
    bool IsValid() const { return m_player != nullptr; }

    // The engine draws the picture into this widget's native window. The widget must outlive
    // the playback: stop the player and set no window (nullptr) before the widget goes.
    void SetVideoWindow(QWidget* window);
    QWidget* VideoWindow() const { return m_videoWindow; }
    void AttachEvents();

    // Makes `address` the player's media, with the options of the start profile; playing is
    // started separately. An empty address releases the current media and returns false.
    bool Open(const QString& address);

    // Takes effect from the next Open. A change of profile forgets what low-latency start has
    // learnt about the network; setting the same profile again keeps it.
    void SetStartProfile(StartProfile profile);
    StartProfile GetStartProfile() const { return m_startProfile; }
    // The cache an RTP or UDP stream opened now starts with under LowLatency. It grows, for the
    // next Open, when the stream played under it stood still for want of data.
    int LowLatencyCacheMs() const { return m_lowLatencyCacheMs; }
    // The engine's per-media options for `address` under `profile` with the given short cache;
    // empty where the engine's own defaults apply.
    static QStringList StartOptions(const QString& address, StartProfile profile, int cacheMs);
    // Where a relay for `address` listens: "rtp" or "udp", the local IPv4 address the engine
    // would bind (empty for any) and the port. False for addresses the relay leaves to the
    // engine: other schemes, a source filter, IPv6, multicast groups.
    struct RelayPoint
    {
        QString scheme;
        std::string host;
        int port = 0;
    };
    static bool RelayPointOf(const QString& address, RelayPoint* point);
    // The relay in use for the current media, if any.
    const CStreamRelay* Relay() const { return m_relay.get(); }
    // One second of play as the engine counts it: pictures shown, and pictures it dropped because
    // they came too late.
    struct PlaySecond
    {
        int shown = 0;
        int lateDropped = 0;
    };
    // The cache for the next low-latency Open after `second`, where `steadyShown` is the most
    // pictures a second of this stream has shown. A stream under low-latency start does not stop
    // for a lost datagram, so a second short of pictures is one in which the data came late or
    // not at all for a stretch: a longer cache rides that out.
    static int GrownCache(int cacheMs, const PlaySecond& second, int steadyShown);
    // Takes one second of the stream playing under low-latency start into account: at most one
    // step of growth per stream.
    void NotePlaySecond(const PlaySecond& second);

    bool Play();
    void Pause();
    void Stop();
    bool IsPlaying() const;
    bool CanPause() const;
    // Paused by Pause() and not played, stopped or opened anew since.
    bool IsPaused() const { return m_paused; }
    bool WillPlay() const;

    // Mute and volume (0..100) wanted by the application: stored, applied to the engine at once
    // and applied again when the next media starts, because the engine's audio output may come
    // up with its own settings.
    void SetVolume(int volume);
    void SetMute(bool mute);
    int Volume() const { return m_volume; }
    bool Mute() const { return m_mute; }
    PlayState State() const { return m_state; }
    // What the engine reports now (-1 when it has no audio output).
    int EngineVolume() const;
    int EngineMute() const;

    // "l+t+r+b" borders to cut or "WxH+X+Y"; empty restores the full picture.
    void SetCropGeometry(const QString& geometry);

    // First video or audio track of the current media: codec as its upper-case four-character
    // code ("H264", "MPGA"), and size (with the frames per second, 0 while the engine does not
    // know them) or sample rate and channels.
    bool GetVideoTrack(QString& codec, int& width, int& height, double* frameRate = nullptr);
    bool GetAudioTrack(QString& codec, int& rate, int& channels);

    // For engine operations this class does not wrap.
    libvlc_media_player_t* Handle() const { return m_player.get(); }

signals:
    // The "CMediaPlayer_DefaultMsg" message (codes in DefaultMsg).
    void defaultMsg(int code);
    // The same three reports, one signal each; each comes right after its defaultMsg.
    void mediaChanged();
    void started();
    void stopped();
    // Only on a real change of the value.
    void volumeChanged(int volume);
    void muteChanged(bool mute);
    void stateChanged(CMediaPlayer::PlayState state);
    // Pause, and the end of a pause: Play, Stop or a new media.
    void pausedChanged(bool paused);
    // The engine created (true) or dropped (false) its video output.
    void videoOutputChanged(bool present);
    // Low-latency start met a network it could not keep up with and will open the next RTP or
    // UDP stream with this larger cache.
    void lowLatencyCacheChanged(int cacheMs);

private:
    static void OnEngineEvent(const libvlc_event_t* event, void* self);
    void Post(int code);
    void EndPause();
    void PostFirstUpdate();
    void Deliver(int code);
    void SetState(PlayState state);
    void DeliverVideoOutput(bool present);
    const libvlc_media_track_t* FindTrack(libvlc_track_type_t type);
    PlaySecond Counters() const;
    void WatchLowLatencyPlay();

    std::unique_ptr<CStreamRelay> m_relay; // outlives nothing the engine holds: it only sends
    vlc::Instance m_instance;
    vlc::Player m_player;
    vlc::Media m_media;
    libvlc_event_manager_t* m_events = nullptr; // belongs to m_player
    vlc::TrackList m_tracks;
    QPointer<QWidget> m_videoWindow;
    bool m_attached = false;
    bool m_mute = false;
    int m_volume = 100;
    PlayState m_state = Stopped;
    StartProfile m_startProfile = StartStandard;
    bool m_paused = false;
    int m_lowLatencyCacheMs = kLowLatencyCacheMs;
    // Whether the current media was opened with the short cache; the engine's counts at the last
    // look while it plays, and the most pictures one second of it has shown.
    bool m_lowLatencyMedia = false;
    PlaySecond m_countsSeen;
    int m_steadyShown = 0;
    QTimer m_lowLatencyWatch;
    // Set by the engine's media-changed event, consumed by the first sign of life of that media.
    std::atomic<bool> m_audioPending{true};
};
