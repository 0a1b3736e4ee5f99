#pragma once

#include "player/CMediaPlayer.h"
#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoView.h"
#include "ui/CNxImages.h"
#include "ui/KelvoImageTable.h"

#include <QBasicTimer>
#include <QPointer>
#include <QWidget>

class CKelvoIconWnd;
class CMainFrameMessages;
class CNxButton;
class CPlaybackState;
class CNxStatic;
class CQuarnDataModel;
class CVideoSurface;

// View 0 of the main frame: the area the stream's picture is shown in. It owns the native window
// the engine draws into; the media player itself belongs to the application and outlives the view. While no
// picture is shown it paints the idle picture (or the radio picture while a radio service plays), during a
// stream start the busy animation with "Loading...", and each play/pause toggle flashes an icon over the
// view. Its title and "Program Guide" button live on the frame's view caption bar (CaptionContent).
class CKelvoViewPlayer final : public QWidget, public CKelvoView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoViewPlayer)

public:
    static constexpr int kBusyTimerId = 20;
    static constexpr int kBusyTimerMs = 100;
    static constexpr int kBusyFrames = 12;
    static constexpr int kBusyFrameSize = 46;
    static constexpr int kCaptionHeight = 38;
    static constexpr int kMediaTv = 0;
    static constexpr int kMediaRadio = 1;
    static constexpr int kPauseIcon = Kelvo::IDB_FLASH_PAUSE;
    static constexpr int kPlayIcon = Kelvo::IDB_FLASH_PLAY;

    CKelvoViewPlayer(const CQuarnDataModel& db, CMainFrameMessages& messages, CMediaPlayer& player,
                     QWidget* parent = nullptr);
    ~CKelvoViewPlayer() override;

    CMediaPlayer& MediaPlayer() { return m_player; }
    CVideoSurface* VideoSurface() const { return m_surface; }
    CKelvoIconWnd* IconWindow() const { return m_icon; }

    // The strip for the view caption bar: the title "TV" centred and the "Program Guide" button
    // at its right end. The frame reparents it onto its caption bar and shows it while this view
    // is the current one; the view deletes it with itself unless the bar went first.
    QWidget* CaptionContent() const override { return m_caption; }
    CNxButton* GuideButton() const { return m_guide; }

    // The busy animation while a stream is being started (timer 20, frame 0 first).
    void ShowBusy(bool on);
    bool IsBusy() const { return m_busy; }
    int BusyFrame() const { return m_busyFrame; }
    // Client-area geometry of the animation and its text, in view coordinates.
    QRect BusyRect() const { return m_busyRect; }
    QRect TextRect() const { return m_textRect; }

    // 0 TV, 1 radio: what plays decides between the radio picture and the idle picture.
    void SetMediaType(int type);
    int MediaType() const { return m_mediaType; }

    // The service whose guide the button opens; the button shows only when that service has a
    // present event.
    void SetService(int serviceKey);
    // From here on shows the service `now` plays and the busy animation while the box is asked.
    void Follow(const CPlaybackState& now);
    int Service() const { return m_service; }
    bool IsGuideAvailable() const { return m_guideAvailable; }

    // Full screen has no side borders.
    void SetFullScreen(bool on);

    // The guide button's action: the guide of the view's service, when it has one (the service is
    // looked up again: a reload may have taken it).
    void ShowGuide();

    // Pauses a playing stream or resumes a paused one and flashes the matching icon; nothing
    // when the engine can do neither.
    void TogglePause();
    // Keeps the icon window over the view after the view or its window moved.
    void CentreIcon();

    // Pure geometry, client coordinates (origin at the client area's top-left).
    static QRect BusyRectFor(QSize client);
    static QRect TextRectFor(QSize client, const QRect& busy, QSize text);
    // The part of an image of `image` size that fills `client` without distortion: the largest
    // centred part with the client's aspect ratio.
    static QRect FillSource(QSize image, QSize client);

public slots:
    // The channel database is about to change / has changed (see the frame's box operations).
    void RefreshContent() override;

signals:
    // A double click on the picture; the view has already toggled pause for it.
    void videoDoubleClicked();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void LayoutView();
    void PlaceCaptionItems();
    void DrawBackground(QPainter& p) const;
    void DrawOverlay(QPainter& p) const;
    void UpdateGuideAvailable(bool evenWhileUpdating = false);
    void OnVideoOutput(bool present);
    void UpdateSurface();

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    CKelvoFrameImpl m_frame;
    CMediaPlayer& m_player;
    CVideoSurface* m_surface = nullptr;
    CKelvoIconWnd* m_icon = nullptr;
    QPointer<QWidget> m_caption;
    CNxStatic* m_title = nullptr;
    CNxButton* m_guide = nullptr;
    QPointer<QWidget> m_watchedWindow;

    CNxImages m_busyImages;
    QString m_busyText;
    bool m_busy = false;
    int m_busyFrame = 0;
    QRect m_busyRect;
    QRect m_textRect;
    QBasicTimer m_busyTimer;

    int m_mediaType = kMediaTv;
    int m_service = -1;
    bool m_guideAvailable = false;
    bool m_videoPresent = false;
};
