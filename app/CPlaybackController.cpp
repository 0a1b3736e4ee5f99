#include "app/CPlaybackController.h"

#include "app/CBoxController.h"
#include "app/settings/CKelvoAppState.h"
#include "model/CQuarnDataModel.h"
#include "player/CMediaPlayer.h"

#include <QTimerEvent>
#include <algorithm>

namespace {

constexpr int kResultNotStopped = 6; // the box did not stop the stream it was sending

} // namespace

CPlaybackController::CPlaybackController(CBoxController& box, CMediaPlayer& player, CKelvoAppState& state,
                                         QObject* parent)
    : QObject(parent), m_box(box), m_player(player), m_state(state)
{
    connect(&m_player, &CMediaPlayer::defaultMsg, this, &CPlaybackController::OnPlayerMessage);
    connect(&m_player, &CMediaPlayer::pausedChanged, &m_now, &CPlaybackState::SetPaused);
}

CPlaybackController::~CPlaybackController() = default;

void CPlaybackController::SelectService(int serviceKey)
{
    m_now.SetPending(serviceKey);
    m_now.SetCurrent(serviceKey);
    m_now.SetStarted(false);
    if (!m_playerViewShown)
        emit showPlayerView();
    if (serviceKey == m_state.streamingService)
        StopService();
    else
        PlayService(serviceKey);
}

void CPlaybackController::SetStreaming(int key)
{
    m_state.streamingService = key;
    if (key >= 0)
        m_state.lastStreamingService = key;
    m_now.SetStreaming(key);
}

int CPlaybackController::PlayService(int serviceKey)
{
    m_player.Stop();
    m_now.SetRequesting(true);
    QString address;
    const int rc = m_box.StartStreaming(serviceKey, &address);
    // The wait above ran the event loop: another selection may have come and gone meanwhile, and
    // only the state as it is now counts.
    if (rc != kResultNotStopped && m_state.streamingService != -1)
        SetStreaming(-1);
    m_now.SetRequesting(false);
    if (rc != 0) {
        // Only now: the message box waits, and meanwhile the view must not show a start that
        // has already failed, nor the list a stream the box no longer sends.
        m_box.ReportStartFailure(rc);
        return rc;
    }
    SetStreaming(serviceKey);
    if (m_player.Open(address))
        m_player.Play();
    return 0;
}

int CPlaybackController::StopService()
{
    m_player.Stop();
    const bool streaming = m_state.streamingService >= 0;
    const int rc = m_box.StopStreaming(streaming);
    if (rc == 0 || m_state.streamingService < 0) {
        SetStreaming(-1);
        return 0;
    }
    return rc;
}

void CPlaybackController::StepService(int direction)
{
    m_stepTimer.stop();
    const auto& services = m_box.Database().Services();
    const int n = static_cast<int>(services.size());
    int p = 0;
    const int pending = m_now.PendingService();
    for (int i = 0; i < n && pending >= 0; ++i) {
        if (services[static_cast<size_t>(i)]->key == pending) {
            p = i;
            break;
        }
    }
    int candidate = -1;
    for (int step = 0; step < n; ++step) {
        p = direction > 0 ? (p + 1) % n : (p - 1 + n) % n;
        const CServiceElement& s = *services[static_cast<size_t>(p)];
        if (s.streamingPossible && s.type == m_state.mediaType) {
            candidate = s.key;
            m_stepTimer.start(kStepCommitMs, this);
            break;
        }
    }
    m_now.SetStarted(false);
    m_now.SetPending(candidate);
}

void CPlaybackController::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_stepTimer.timerId())
        return QObject::timerEvent(event);
    m_stepTimer.stop();
    const int pending = m_now.PendingService();
    m_now.SetPending(pending);
    m_now.SetCurrent(pending);
    if (!m_playerViewShown)
        emit showPlayerView();
    if (pending != m_state.streamingService)
        PlayService(pending);
}

void CPlaybackController::SetVolume(int volume)
{
    volume = std::clamp(volume, 0, 100);
    m_state.volume = volume;
    if (m_player.EngineVolume() != volume || m_player.Volume() != volume)
        m_player.SetVolume(volume);
    m_now.SetVolume(volume);
}

void CPlaybackController::SetMute(bool muted)
{
    m_state.mute = muted;
    m_player.SetMute(muted);
    m_now.SetMute(muted);
}

void CPlaybackController::ApplyStoredAudio()
{
    SetVolume(m_state.volume);
    SetMute(m_state.mute);
}

void CPlaybackController::OnPlayerMessage(int code)
{
    if (code != CMediaPlayer::MsgStarted)
        return;
    m_now.SetStarted(true);
    m_player.SetCropGeometry(QStringLiteral("%1+%2+%3+%4").arg(0).arg(8).arg(0).arg(4));
    emit pictureStarted();
}
