#pragma once

#include "app/bars/CKelvoCaptionBar.h"

#include <QBasicTimer>
#include <QPointer>

class CNxStatic;

// The mini player's 38-pixel title bar with the "ON AIR" title. In full screen it also floats
// over the top of the picture while the cursor is there (ShowOverlay).
class CMiniFrameCaptionBar final : public CKelvoCaptionBar
{
    Q_OBJECT
public:
    static constexpr int kOverlayPollMs = 100;

    explicit CMiniFrameCaptionBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CMiniFrameCaptionBar)

    int HitTest(QPoint pos) const override;

    // On: the bar leaves the frame's layout and floats, as a window of its own, over the top band
    // of the frame's client area until the cursor leaves that band. Off: it goes back to being a
    // hidden child of the frame.
    void ShowOverlay(bool on);
    bool IsOverlayShown() const { return m_overlay; }
    QRect OverlayRect() const { return m_overlayRect; }

    CNxStatic* Title() const { return m_title; }

signals:
    void overlayShown(bool on);

protected:
    // From the overlay, a window action first leaves full screen (except close, which simply
    // closes the application), so that minimize or maximize act on the normal window.
    void EmitAction(int button) override;
    void LayoutItems(int width) override;
    // Leaving full screen docks the overlay at once, so the frame finds its bar back in place.
    void FullScreenChanged(bool on) override;
    void timerEvent(QTimerEvent* event) override;

private:
    CNxStatic* m_title = nullptr;
    bool m_overlay = false;
    QRect m_overlayRect;
    QBasicTimer m_poll;
    QPointer<QWidget> m_home;
    // The sibling that was stacked just above the bar, so that docking keeps the stacking order.
    QPointer<QWidget> m_stackedAbove;
};
