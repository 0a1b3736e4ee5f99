#pragma once

#include <QPointer>

class CKelvoLeftBar;
class CKelvoPageChannel;
class CPopupFrame;
class QWidget;

// The channel page floating over the frame in a window of its own (the mini player and full
// screen hide the left bar), and its way back to the left bar. The window is made at the first
// show, beside the frame.
class CChannelPopup final
{
public:
    CChannelPopup(CKelvoPageChannel& page, CKelvoLeftBar& home, QWidget& owner);
    Q_DISABLE_COPY_MOVE(CChannelPopup)

    void Show();
    // The page goes back to the left bar and the window hides.
    void Dock();
    bool IsShown() const;
    bool IsFloating() const;
    // The popup's window, or null before the first show; its keys count as the frame's.
    QWidget* Window() const;

private:
    CKelvoPageChannel& m_page;
    CKelvoLeftBar& m_home;
    QWidget& m_owner;
    QPointer<CPopupFrame> m_popup;
};
