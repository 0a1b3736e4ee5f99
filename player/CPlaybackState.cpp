#include "player/CPlaybackState.h"

CPlaybackState::Phase CPlaybackState::CurrentPhase() const
{
    if (m_streaming < 0 && !m_requesting)
        return Phase::Stopped;
    if (m_requesting || !m_started)
        return Phase::Starting;
    return m_paused ? Phase::Paused : Phase::Playing;
}

void CPlaybackState::AnnouncePhase(Phase before)
{
    if (CurrentPhase() != before)
        emit phaseChanged(CurrentPhase());
}

void CPlaybackState::SetPending(int key)
{
    m_pending = key;
    emit pendingServiceChanged(key);
}

void CPlaybackState::SetCurrent(int key)
{
    // Announced even unchanged: choosing the service that plays is what stops it.
    m_current = key;
    emit currentServiceChanged(key);
}

void CPlaybackState::SetStreaming(int key)
{
    const Phase before = CurrentPhase();
    const int previous = m_streaming;
    m_streaming = key;
    emit streamingServiceChanged(previous, key);
    AnnouncePhase(before);
}

void CPlaybackState::SetRequesting(bool on)
{
    if (m_requesting == on)
        return;
    const Phase before = CurrentPhase();
    m_requesting = on;
    emit requestingChanged(on);
    AnnouncePhase(before);
}

void CPlaybackState::SetStarted(bool on)
{
    const Phase before = CurrentPhase();
    m_started = on;
    // Announced every time: a new selection clears what the bars show even when nothing had come.
    emit startedChanged(on);
    if (!on && m_paused) {
        m_paused = false;
        emit pausedChanged(false);
    }
    AnnouncePhase(before);
}

void CPlaybackState::SetPaused(bool on)
{
    if (m_paused == on)
        return;
    const Phase before = CurrentPhase();
    m_paused = on;
    emit pausedChanged(on);
    AnnouncePhase(before);
}

void CPlaybackState::SetVolume(int volume)
{
    m_volume = volume;
    emit volumeChanged(volume);
}

void CPlaybackState::SetMute(bool mute)
{
    m_mute = mute;
    emit muteChanged(mute);
}
