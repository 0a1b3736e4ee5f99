#include "player/CMediaPlayer.h"

#include "model/DottedIPv4.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <array>

namespace {

// The engine's arguments are fixed: no interface, none of the user's own engine configuration
// (it could change outputs or caching behind our back), and the audio gain the product ships with.
constexpr std::array<const char*, 4> kEngineArgs{"-I", "dumy", "--ignore-config", "--gain=20"};

// More pictures than this dropped as late in one second is a stand-still of a fifth of a second
// at the box's 15 frames/s; so is a second that shows less than 6/10 of the stream's steady rate.
constexpr int kLateDropsPerSecond = 3;
constexpr int kShownTenthsOfSteady = 6;
// The steady rate is known after this many pictures in one second.
constexpr int kSteadyShownMin = 5;

constexpr std::array<libvlc_event_e, 5> kEngineEvents{
    libvlc_MediaPlayerMediaChanged, libvlc_MediaPlayerStopped, libvlc_MediaPlayerTimeChanged,
    libvlc_MediaPlayerVout, libvlc_MediaPlayerBuffering};

QString FourCCText(uint32_t fourcc)
{
    // The code is four bytes in memory order; a shorter code ends at its first zero byte.
    char text[5] = {};
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((fourcc >> (8 * i)) & 0xFFu);
    return QString::fromLatin1(text).toUpper();
}

} // namespace

CMediaPlayer::CMediaPlayer(QObject* parent) : QObject(parent)
{
    m_instance.reset(libvlc_new(static_cast<int>(kEngineArgs.size()), kEngineArgs.data()));
    if (!m_instance)
        return;
    m_player.reset(libvlc_media_player_new(m_instance.get()));
    if (!m_player)
        return;
    m_events = libvlc_media_player_event_manager(m_player.get());
    m_lowLatencyWatch.setInterval(1000);
    connect(&m_lowLatencyWatch, &QTimer::timeout, this, &CMediaPlayer::WatchLowLatencyPlay);
    libvlc_video_set_mouse_input(m_player.get(), 1);
    m_mute = libvlc_audio_get_mute(m_player.get()) == 1;
    const int volume = libvlc_audio_get_volume(m_player.get());
    // Without an audio output the engine reports -1; full volume is what it would start with.
    m_volume = volume < 0 ? 100 : std::min(volume, 100);
}

CMediaPlayer::~CMediaPlayer()
{
    // Detaching waits for a callback in progress, so none can run on a half-destroyed object.
    if (m_attached && m_events != nullptr) {
        for (libvlc_event_e type : kEngineEvents)
            libvlc_event_detach(m_events, type, &CMediaPlayer::OnEngineEvent, this);
    }
    // The engine must stop drawing before the window it draws into can go.
    if (m_player)
        libvlc_media_player_stop(m_player.get());
    m_player.reset();
    m_media.reset();
    m_instance.reset();
    m_tracks.Reset();
}

void CMediaPlayer::SetVideoWindow(QWidget* window)
{
    m_videoWindow = window;
    if (!m_player)
        return;
    // No window: letting go of one that is about to be destroyed, which the engine must not draw
    // into any longer.
    const WId id = window ? window->winId() : 0; // makes the widget native
#if defined(Q_OS_WIN)
    libvlc_media_player_set_hwnd(m_player.get(), reinterpret_cast<void*>(id));
#elif defined(Q_OS_MACOS)
    libvlc_media_player_set_nsobject(m_player.get(), reinterpret_cast<void*>(id));
#else
    // Only an X11 window id is something the engine can draw into; on other platforms it keeps
    // its own window rather than being handed a meaningless number.
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        libvlc_media_player_set_xwindow(m_player.get(), static_cast<uint32_t>(id));
#endif
}

void CMediaPlayer::AttachEvents()
{
    if (m_attached || m_events == nullptr)
        return;
    for (libvlc_event_e type : kEngineEvents)
        libvlc_event_attach(m_events, type, &CMediaPlayer::OnEngineEvent, this);
    m_attached = true;
}

bool CMediaPlayer::Open(const QString& address)
{
    if (!m_player)
        return false;
    m_tracks.Reset();
    EndPause();
    QByteArray location = address.trimmed().toUtf8();
    const QStringList options = StartOptions(address, m_startProfile, m_lowLatencyCacheMs);
    m_relay.reset(); // frees the stream's port for the new relay or the engine itself
    RelayPoint point;
    if (!options.isEmpty() && RelayPointOf(address, &point)) {
        auto relay = std::make_unique<CStreamRelay>();
        std::string why;
        if (relay->Start(point.host, point.port, &why)) {
            location =
                QStringLiteral("%1://@127.0.0.1:%2").arg(point.scheme).arg(relay->EnginePort()).toUtf8();
            m_relay = std::move(relay);
        } else {
            // The engine opens the address itself, as under the standard start.
            qWarning("stream relay for %s: %s", qPrintable(address), why.c_str());
        }
    }
    vlc::Media media;
    if (!location.isEmpty())
        media.reset(libvlc_media_new_location(m_instance.get(), location.constData()));
    if (media) {
        for (const QString& option : options)
            libvlc_media_add_option(media.get(), option.toUtf8().constData());
    }
    m_lowLatencyWatch.stop();
    m_lowLatencyMedia = media && !options.isEmpty();
    // Even a failed open replaces the previous stream: the user asked for another one.
    libvlc_media_player_set_media(m_player.get(), media.get());
    m_media = std::move(media);
    return m_media != nullptr;
}

void CMediaPlayer::SetStartProfile(StartProfile profile)
{
    if (profile == m_startProfile)
        return;
    m_startProfile = profile;
    m_lowLatencyCacheMs = kLowLatencyCacheMs;
}

QStringList CMediaPlayer::StartOptions(const QString& address, StartProfile profile, int cacheMs)
{
    if (profile != StartLowLatency)
        return {};
    const QString scheme = address.trimmed().section(QLatin1Char(':'), 0, 0).toLower();
    if (scheme != QLatin1String("rtp") && scheme != QLatin1String("udp"))
        return {};
    const int cache = std::clamp(cacheMs, 0, kLowLatencyCacheMaxMs);
    // A lost datagram breaks the transport stream's continuity. Checking it makes the engine wait
    // for the next key frame, a stand-still of up to a second for every loss; without the check
    // the decoder goes on and the damage shows for a moment in the moving picture instead.
    return {QStringLiteral(":network-caching=%1").arg(cache), QStringLiteral(":no-ts-cc-check")};
}

bool CMediaPlayer::RelayPointOf(const QString& address, RelayPoint* point)
{
    const QString trimmed = address.trimmed();
    const int schemeEnd = trimmed.indexOf(QLatin1String("://"));
    if (schemeEnd <= 0)
        return false;
    const QString scheme = trimmed.left(schemeEnd).toLower();
    if (scheme != QLatin1String("rtp") && scheme != QLatin1String("udp"))
        return false;
    const bool rtp = scheme == QLatin1String("rtp");
    QString rest = trimmed.mid(schemeEnd + 3);
    // The engine reads "[source]@[bind][:port]"; without "@", RTP names the bind address and UDP
    // the source. A source is a filter the relay would lose, so such streams stay the engine's.
    const int at = rest.indexOf(QLatin1Char('@'));
    if (at > 0 || (at < 0 && !rtp && !rest.isEmpty()))
        return false;
    if (at == 0)
        rest.remove(0, 1);
    if (rest.contains(QLatin1Char('/')) || rest.contains(QLatin1Char('?')) ||
        rest.startsWith(QLatin1Char('[')))
        return false;
    const int colon = rest.lastIndexOf(QLatin1Char(':'));
    const QString host = colon < 0 ? rest : rest.left(colon);
    int port = rtp ? 5004 : 1234; // the engine's own defaults
    if (colon >= 0) {
        bool ok = false;
        const int given = rest.mid(colon + 1).toInt(&ok);
        // RTP takes port 0 for its default; UDP would listen on a port nobody sends to.
        if (!ok || given < 0 || given > 65535 || (given == 0 && !rtp))
            return false;
        if (given != 0)
            port = given;
    }
    quint32 bind = 0;
    if (!host.isEmpty() && !ParseDottedIPv4(host, bind))
        return false;
    if (bind >> 28 == 0xE)
        return false; // a group to join, which the engine does and the relay does not
    point->scheme = scheme;
    point->host = host.toStdString();
    point->port = port;
    return true;
}

int CMediaPlayer::GrownCache(int cacheMs, const PlaySecond& second, int steadyShown)
{
    // Counts that went back belong to another input of the engine; they say nothing of this one.
    if (second.shown < 0 || second.lateDropped < 0)
        return cacheMs;
    const bool lateDrops = second.lateDropped > kLateDropsPerSecond;
    const bool starved =
        steadyShown >= kSteadyShownMin && second.shown * 10 < steadyShown * kShownTenthsOfSteady;
    if (!lateDrops && !starved)
        return cacheMs;
    return std::min(std::max(cacheMs, 50) * 2, kLowLatencyCacheMaxMs);
}

CMediaPlayer::PlaySecond CMediaPlayer::Counters() const
{
    libvlc_media_stats_t stats{};
    if (!m_media || libvlc_media_get_stats(m_media.get(), &stats) == 0)
        return {};
    return {stats.i_displayed_pictures, stats.i_lost_pictures};
}

// While a stream opened with the short cache plays, the engine itself moves its play-out point
// back when the stream's clock arrives late; what it cannot absorb shows as late pictures dropped
// or as seconds short of pictures. Those decide the cache the next
// stream starts with; this one is not reopened, which would cost the user a second picture start
// for a stutter that has already happened.
void CMediaPlayer::WatchLowLatencyPlay()
{
    const PlaySecond now = Counters();
    const PlaySecond second{now.shown - m_countsSeen.shown, now.lateDropped - m_countsSeen.lateDropped};
    m_countsSeen = now;
    NotePlaySecond(second);
}

void CMediaPlayer::NotePlaySecond(const PlaySecond& second)
{
    const int grown = GrownCache(m_lowLatencyCacheMs, second, m_steadyShown);
    m_steadyShown = std::max(m_steadyShown, second.shown);
    if (grown == m_lowLatencyCacheMs)
        return;
    m_lowLatencyCacheMs = grown;
    m_lowLatencyWatch.stop(); // one step per stream
    emit lowLatencyCacheChanged(grown);
}

bool CMediaPlayer::Play()
{
    if (m_relay && !m_relay->Running()) {
        std::string why;
        if (!m_relay->Resume(&why))
            qWarning("stream relay: %s", why.c_str());
    }
    const bool playing = m_player && libvlc_media_player_play(m_player.get()) == 0;
    if (playing)
        EndPause();
    return playing;
}

void CMediaPlayer::EndPause()
{
    if (m_paused) {
        m_paused = false;
        emit pausedChanged(false);
    }
}

void CMediaPlayer::Pause()
{
    if (!m_player)
        return;
    libvlc_media_player_set_pause(m_player.get(), 1);
    if (!m_paused) {
        m_paused = true;
        emit pausedChanged(true);
    }
}

void CMediaPlayer::Stop()
{
    if (m_player)
        libvlc_media_player_stop(m_player.get());
    EndPause();
    // Stopped, the stream's port is free for whoever listens next, as with the engine alone.
    if (m_relay)
        m_relay->Stop();
}

bool CMediaPlayer::IsPlaying() const
{
    return m_player && libvlc_media_player_is_playing(m_player.get()) != 0;
}

bool CMediaPlayer::CanPause() const
{
    return m_player && libvlc_media_player_can_pause(m_player.get()) != 0;
}

bool CMediaPlayer::WillPlay() const
{
    return m_player && libvlc_media_player_will_play(m_player.get()) != 0;
}

void CMediaPlayer::SetVolume(int volume)
{
    const int previous = m_volume;
    m_volume = std::clamp(volume, 0, 100);
    if (m_player && libvlc_audio_get_volume(m_player.get()) != m_volume)
        libvlc_audio_set_volume(m_player.get(), m_volume);
    if (m_volume != previous)
        emit volumeChanged(m_volume);
}

void CMediaPlayer::SetMute(bool mute)
{
    const bool previous = m_mute;
    m_mute = mute;
    // Applied even when unchanged: the engine's own mute may have drifted from ours.
    if (m_player)
        libvlc_audio_set_mute(m_player.get(), mute ? 1 : 0);
    if (m_mute != previous)
        emit muteChanged(m_mute);
}

int CMediaPlayer::EngineVolume() const
{
    return m_player ? libvlc_audio_get_volume(m_player.get()) : -1;
}

int CMediaPlayer::EngineMute() const
{
    return m_player ? libvlc_audio_get_mute(m_player.get()) : -1;
}

void CMediaPlayer::SetCropGeometry(const QString& geometry)
{
    if (!m_player)
        return;
    const QByteArray text = geometry.toLatin1();
    libvlc_video_set_crop_geometry(m_player.get(), text.isEmpty() ? nullptr : text.constData());
}

const libvlc_media_track_t* CMediaPlayer::FindTrack(libvlc_track_type_t type)
{
    m_tracks.Reset();
    if (!m_media)
        return nullptr;
    libvlc_media_track_t** tracks = nullptr;
    const unsigned count = libvlc_media_tracks_get(m_media.get(), &tracks);
    m_tracks = vlc::TrackList(tracks, tracks != nullptr ? count : 0);
    if (tracks == nullptr)
        return nullptr;
    for (unsigned i = 0; i < m_tracks.Count(); ++i) {
        const libvlc_media_track_t* track = m_tracks.At(i);
        if (track != nullptr && track->i_type == type)
            return track;
    }
    return nullptr;
}

bool CMediaPlayer::GetVideoTrack(QString& codec, int& width, int& height, double* frameRate)
{
    const libvlc_media_track_t* track = FindTrack(libvlc_track_video);
    if (track == nullptr || track->video == nullptr)
        return false;
    codec = FourCCText(track->i_codec);
    width = static_cast<int>(track->video->i_width);
    height = static_cast<int>(track->video->i_height);
    if (frameRate != nullptr) {
        // A fraction, as the stream states it (30000/1001); 0/0 while it is not known.
        const unsigned num = track->video->i_frame_rate_num;
        const unsigned den = track->video->i_frame_rate_den;
        *frameRate = den != 0 ? static_cast<double>(num) / den : 0.0;
    }
    return true;
}

bool CMediaPlayer::GetAudioTrack(QString& codec, int& rate, int& channels)
{
    const libvlc_media_track_t* track = FindTrack(libvlc_track_audio);
    if (track == nullptr || track->audio == nullptr)
        return false;
    codec = FourCCText(track->i_codec);
    rate = static_cast<int>(track->audio->i_rate);
    channels = static_cast<int>(track->audio->i_channels);
    return true;
}

// Engine thread. Over RTP the engine never reports a time change, and for a stream with sound
// only it reports neither time nor a video output, only buffering; so the first of the three is
// taken as "pictures or sound have started". The atomic exchange lets exactly one of them through
// per media, whichever thread it comes on.
void CMediaPlayer::OnEngineEvent(const libvlc_event_t* event, void* self)
{
    auto* player = static_cast<CMediaPlayer*>(self);
    switch (event->type) {
    case libvlc_MediaPlayerMediaChanged:
        player->m_audioPending.store(true);
        player->Post(MsgMediaChanged);
        break;
    case libvlc_MediaPlayerStopped:
        player->Post(MsgStopped);
        break;
    case libvlc_MediaPlayerTimeChanged:
        player->PostFirstUpdate();
        break;
    case libvlc_MediaPlayerVout: {
        const bool present = event->u.media_player_vout.new_count > 0;
        QMetaObject::invokeMethod(
            player, [player, present] { player->DeliverVideoOutput(present); }, Qt::QueuedConnection);
        if (present)
            player->PostFirstUpdate();
        break;
    }
    case libvlc_MediaPlayerBuffering:
        if (event->u.media_player_buffering.new_cache >= 100.0f)
            player->PostFirstUpdate();
        break;
    default:
        break;
    }
}

void CMediaPlayer::PostFirstUpdate()
{
    if (m_audioPending.exchange(false))
        Post(MsgStarted);
}

void CMediaPlayer::Post(int code)
{
    QMetaObject::invokeMethod(
        this, [this, code] { Deliver(code); }, Qt::QueuedConnection);
}

void CMediaPlayer::Deliver(int code)
{
    if (code == MsgStarted && m_player) {
        // The audio output of the new media is up now; make it follow the application's wish.
        libvlc_audio_set_mute(m_player.get(), m_mute ? 1 : 0);
        libvlc_audio_set_volume(m_player.get(), m_volume);
    }
    // A receiver may end the player's life; nothing more is said by a destroyed object.
    const QPointer<CMediaPlayer> alive(this);
    switch (code) {
    case MsgMediaChanged:
        // Released media (an empty address) is nothing to open.
        SetState(m_media ? Opening : Stopped);
        break;
    case MsgStarted:
        // Only the media being opened starts playing; a report that trails a stop does not.
        if (m_state == Opening) {
            SetState(Playing);
            if (alive && m_lowLatencyMedia) {
                m_countsSeen = Counters();
                m_steadyShown = 0;
                m_lowLatencyWatch.start();
            }
        }
        break;
    default:
        m_lowLatencyWatch.stop();
        SetState(Stopped);
        break;
    }
    if (!alive)
        return;
    emit defaultMsg(code);
    if (!alive)
        return;
    switch (code) {
    case MsgMediaChanged:
        emit mediaChanged();
        break;
    case MsgStarted:
        emit started();
        break;
    default:
        emit stopped();
        break;
    }
}

void CMediaPlayer::SetState(PlayState state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void CMediaPlayer::DeliverVideoOutput(bool present)
{
    emit videoOutputChanged(present);
}
