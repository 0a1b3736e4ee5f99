#pragma once

#include "app/bars/CKelvoCaptionBar.h"

class CBarOverlay;
class CNxStatic;

// The mini player's 38-pixel title bar with the "ON AIR" title. In full screen it also floats
// over the top of the picture while the cursor is there (ShowOverlay).
class CMiniFrameCaptionBar final : public CKelvoCaptionBar
{
    Q_OBJECT
public:
    explicit CMiniFrameCaptionBar(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CMiniFrameCaptionBar)

    int HitTest(QPoint pos) const override;

    // On: the bar leaves the frame's layout and floats, as a window of its own, over the top band
    // of the frame's client area until the cursor leaves that band. Off: it goes back to being a
    // hidden child of the frame, in its old place in the stacking order, on the next turn of the
    // event loop (docked); a show meanwhile waits for that.
    void ShowOverlay(bool on);
    void setVisible(bool visible) override;
    bool IsOverlayShown() const;
    // Docked but not yet a child again.
    bool IsDockPending() const;
    QRect OverlayRect() const;

    CNxStatic* Title() const { return m_title; }

signals:
    // A child of the frame again after floating: the frame lays it out anew.
    void docked();

protected:
    // From the overlay, a window action first leaves full screen (except close, which simply
    // closes the application), so that minimize or maximize act on the normal window.
    void EmitAction(int button) override;
    void LayoutItems(int width) override;
    // Leaving full screen docks the overlay before the frame shows its bars again.
    void FullScreenChanged(bool on) override;

private:
    CNxStatic* m_title = nullptr;
    CBarOverlay* m_overlay = nullptr;
};
