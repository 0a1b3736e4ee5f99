#pragma once

#include "ui/CBarOverlay.h"
#include "ui/CKelvoView.h"
#include "ui/CNxControlBar.h"

class CKelvoButton;
class CKelvoInfoBox;
class CPlaybackState;
class CKelvoSliderCtrl;
class CMainFrameMessages;
class CQuarnDataModel;

// The player's control bar: channel stepping, the information box, mute and volume, the
// channel-list popup button and the mini/normal player buttons. It keeps no playback state of
// its own: its buttons carry command ids that the frame's command table binds, the slider sends the
// frame's volume message, and the frame tells it what to show.
class CKelvoControlBar final : public CNxControlBar, public CKelvoView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoControlBar)

public:
    static constexpr int kHeight = 58;

    // Where the layout puts the controls of a bar of width `width`; a null rectangle means hidden.
    struct Layout
    {
        QRect mini;
        QRect normal;
        QRect channelList;
        QRect mute;
        QRect volume;
        QRect infoBox;
    };

    CKelvoControlBar(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent = nullptr);

    // The service that is selected or stepped to; the information button waits for playback.
    void SetPendingService(int serviceKey);
    void SetVolume(int volume);
    void SetMute(bool muted);
    // Shows what `now` says from here on: the chosen service, whether pictures came, volume and mute.
    void Follow(const CPlaybackState& now);
    void SetPlaybackStarted(bool started);
    // 0 normal, 1 mini player.
    void SetDisplayMode(int mode);
    int DisplayMode() const { return m_displayMode; }

    // Full screen: on, the bar leaves the frame's layout and floats as a window of its own over
    // the bottom band of its parent's client area, and docks back by itself once the cursor has
    // left that band (checked every 100 ms). Off: a hidden child of its parent again, in its old
    // place in the stacking order, so that the next layout docks it as before.
    void ShowOverlay(bool on);
    void setVisible(bool visible) override;
    bool IsOverlayShown() const { return m_overlay->IsFloating(); }
    // Docked but not yet a child again (that happens on the next turn of the event loop).
    bool IsDockPending() const { return m_overlay->IsDockPending(); }
    QRect OverlayRect() const { return m_overlay->Rect(); }

    CKelvoInfoBox* InfoBox() const { return m_infoBox; }
    CKelvoSliderCtrl* VolumeSlider() const { return m_volume; }
    // The control with a command id (49200..49206), or nullptr.
    QWidget* Control(int commandId) const;

    static Layout ComputeLayout(int width, bool channelListShown);

signals:
    void overlayShown(bool on);
    // A child of its home again after floating: the home lays it out anew.
    void docked();

public:
    void RefreshContent() override;

protected:
    // The information box is the part that shows the database.
    void OnBeginUpdate() override;
    void OnEndUpdate() override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void DrawContent(QPainter& p) override;

private:
    void LayoutBar();
    void ShowModeButtons();

    CMainFrameMessages& m_messages;
    CKelvoButton* m_next = nullptr;
    CKelvoButton* m_prev = nullptr;
    CKelvoButton* m_mute = nullptr;
    CKelvoSliderCtrl* m_volume = nullptr;
    CKelvoButton* m_channelList = nullptr;
    CKelvoButton* m_mini = nullptr;
    CKelvoButton* m_normal = nullptr;
    CKelvoInfoBox* m_infoBox = nullptr;
    CBarOverlay* m_overlay = nullptr;
    int m_displayMode = 0;
    bool m_settingVolume = false;
};
