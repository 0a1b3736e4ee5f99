#pragma once

#include <QBasicTimer>
#include <QObject>

class CBoxController;
class CMediaPlayer;
class CQuarnDataModel;
struct CKelvoAppState;

// Selects, plays, stops and steps services, and owns volume and mute: the playing half of the
// main frame. It changes the application state and tells the bars and views what to show through
// its signals; which view is shown stays the frame's business (`showPlayerView`).
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

    int PendingService() const { return m_pending; }
    bool StepPending() const { return m_stepTimer.isActive(); }
    // Stops channel stepping (a view other than the player was shown).
    void CancelStep() { m_stepTimer.stop(); }

    // Tells the controller whether the player view is the shown view.
    void SetPlayerViewShown(bool shown) { m_playerViewShown = shown; }

signals:
    // The service chosen and not yet (or being) played, at every step: info box and SAT bar.
    void pendingServiceChanged(int serviceKey);
    // The player view's service (its guide button): a selection, or a step once it is committed.
    void currentServiceChanged(int serviceKey);
    // Pictures or sound of the current stream started (true) or a new one is being looked for.
    void playbackStarted(bool started);
    // The box streams another service now (or none, -1); `previous` lost its mark.
    void streamingServiceChanged(int previous, int current);
    void busyIndicator(bool on);
    void volumeChanged(int volume);
    void muteChanged(bool muted);
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
    int m_pending = -1;
    bool m_playerViewShown = true;
    QBasicTimer m_stepTimer;
};
