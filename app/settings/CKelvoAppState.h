#pragma once

#include <QRect>

// What the main frame and the views share for the life of the process; the settings store keeps
// part of it between runs. Plain values, one instance, owned by the application object.
struct CKelvoAppState
{
    // The main frame's normal (restored) rectangle in screen pixels, as last saved. A rectangle
    // with right equal to left counts as none.
    int windowLeft = 0;
    int windowTop = 0;
    int windowRight = 0;
    int windowBottom = 0;
    QRect WindowRect() const
    {
        return QRect(QPoint(windowLeft, windowTop), QPoint(windowRight - 1, windowBottom - 1));
    }
    void SetWindowRect(const QRect& r)
    {
        windowLeft = r.left();
        windowTop = r.top();
        windowRight = r.left() + r.width();
        windowBottom = r.top() + r.height();
    }
    bool maximized = false;
    bool fullScreen = false;
    // Active left-bar page and view group: 0 channel, 1 schedule, 2 setting, 3 mini player.
    // Always starts at 0; only the main frame changes it.
    int uiMode = 0;
    int displayMode = 0; // 0 normal window, 1 mini player window
    int mediaType = 0;   // 0 TV services, 1 radio services
    bool mute = false;
    int volume = 0; // 0..100; 100 unless the store says otherwise once settings are loaded
    // How the player starts a stream: 0 standard (the engine's own one-second network cache), 1
    // low-latency start (CMediaPlayer::StartProfile), which starts RTP and UDP streams about a
    // second sooner and stands still less on a lossy network. Stored as "LowLatencyStart".
    int startProfile = 1;
    // Index of the service the box streams to this computer, -1 none; and its last non-negative
    // value, which the schedule views read.
    int streamingService = -1;
    int lastStreamingService = 0;
    // The box address is anything but "0.0.0.0"; set by every load and save of the settings.
    bool boxConfigured = false;
};
