#pragma once

#include "player/CPlaybackState.h"

#include <QBasicTimer>
#include <QObject>

class CBoxController;
class CMediaPlayer;
class CQuarnDataModel;
struct CKelvoAppState;

// Selects, plays, stops and steps services, and owns volume and mute: the playing half of the
// main frame. What is playing is kept in one observable state (Now()), which the bars, views and
// desktop adapters follow; the controller is its only writer, and it mirrors the engine's own
// reports (pictures started, pause) into it. Which view is shown stays the frame's business
// (`showPlayerView`).
class CPlaybackController final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPlaybackController)

public:
    // How long stepping waits for another step before it starts the stream (timer 1).
    static constexpr int kStepCommitMs = 1500;

    CPlaybackController(CBoxController& box, CMediaPlayer& player, CKelvoAppState& state,
                        QObject* parent = nullptr);
    ~CPlaybackController() override;

    // UM_PLAY_SERVICE: the streamed service stops, any other starts.
    void SelectService(int serviceKey);
    int PlayService(int serviceKey);
    int StopService();
    void StepService(int direction);
    void SetVolume(int volume);
    void SetMute(bool muted);
    // Applies the stored volume and mute to the player and the bars (the frame's creation).
    void ApplyStoredAudio();

    const CPlaybackState& Now() const { return m_now; }
    int PendingService() const { return m_now.PendingService(); }
    bool StepPending() const { return m_stepTimer.isActive(); }
    // Stops channel stepping (a view other than the player was shown).
    void CancelStep() { m_stepTimer.stop(); }

    // Tells the controller whether the player view is the shown view.
    void SetPlayerViewShown(bool shown) { m_playerViewShown = shown; }

signals:
    // The player view must be shown (a stepped service is committed while another view shows,
    // or a service was chosen elsewhere).
    void showPlayerView();
    // Pictures have started while the cursor may rest over them: time to start hiding it.
    void pictureStarted();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void OnPlayerMessage(int code);
    void SetStreaming(int key);

    CBoxController& m_box;
    CMediaPlayer& m_player;
    CKelvoAppState& m_state;
    CPlaybackState m_now;
    bool m_playerViewShown = true;
    QBasicTimer m_stepTimer;
};
