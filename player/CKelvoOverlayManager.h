#pragma once

#include <QBasicTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <array>
#include <functional>

class QWidget;

// The mouse over the picture: in full screen a bar floats in when the cursor comes within 16
// pixels of its edge of the host (the control bar at the bottom, the mini caption bar at the
// top; each bar docks back by itself once the cursor has left it), and the cursor hides 2 s
// after it last moved over the host while something plays. The engine's picture is a native
// window of its own, so the cursor is followed by polling as well as through mouse events.
class CKelvoOverlayManager final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoOverlayManager)

public:
    enum class Edge
    {
        Top = 0,
        Bottom = 1,
    };
    static constexpr int kEdgeBand = 16;
    static constexpr int kPollMs = 100;
    static constexpr int kCursorHideMs = 2000;

    // `host` is the widget the picture fills (the player view, which fills the frame's client
    // area in full screen); the cursor hides only over it or its children.
    explicit CKelvoOverlayManager(QWidget* host, QObject* parent = nullptr);
    ~CKelvoOverlayManager() override;

    // What floats a bar in (true) or docks it (false): the bar's own ShowOverlay, which does
    // nothing when the state does not change.
    void SetOverlay(Edge edge, std::function<void(bool)> showOverlay);
    // Whether the engine is playing: the cursor hides only then.
    void SetPlayingQuery(std::function<bool()> isPlaying) { m_isPlaying = std::move(isPlaying); }

    // Edge overlays work only in full screen; leaving it docks both bars.
    void SetFullScreen(bool on);
    bool IsFullScreen() const { return m_fullScreen; }

    // Pictures started with the cursor resting over the host: start counting towards hiding it.
    void RestartCursorTimer();
    bool IsCursorHidden() const { return m_cursorHidden; }
    bool IsCursorTimerActive() const { return m_cursorTimer.isActive(); }
    void ShowCursor();

    // The cursor is at `global` now (moves, presses and the poll all end here).
    void OnCursor(const QPoint& global, bool pressed = false);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    bool OverHost(const QPoint& global) const;
    void OnCursorTimer();
    void UpdatePolling();

    QPointer<QWidget> m_host;
    std::array<std::function<void(bool)>, 2> m_overlays;
    std::function<bool()> m_isPlaying;
    bool m_fullScreen = false;
    bool m_cursorHidden = false;
    QPoint m_lastPos{-1000000, -1000000};
    QBasicTimer m_poll;
    QBasicTimer m_cursorTimer;
};
