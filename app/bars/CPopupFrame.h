#pragma once

#include "app/bars/CKelvoLeftBar.h"
#include "ui/CBoundWndImpl.h"
#include "ui/CKelvoBaseWnd.h"

#include <QPointer>
#include <QWidget>

class CWindowDrag;

// A borderless floating window, owned by the frame, that takes a page in (the channel page in the
// mini player and in full screen). It paints nothing: the page covers it. A press on the page's
// own background (not on one of its controls) drags the window, which snaps to the monitor edges
// and to the frame.
class CPopupFrame final : public QWidget
{
    Q_OBJECT
public:
    static constexpr QSize kCreationSize{323, 571};
    static constexpr QPoint kOffsetFromOwner{16, 16};

    explicit CPopupFrame(QWidget* owner);
    // `home`: where a page goes back when the parent it came from no longer exists.
    CPopupFrame(CKelvoLeftBar* home, QWidget* owner);
    // A page still hosted goes back to where it came from, so it never dies with the popup.
    ~CPopupFrame() override;
    Q_DISABLE_COPY_MOVE(CPopupFrame)

    // Title and place (screen coordinates) before it is first shown.
    void Create(const QString& title, const QRect& rect);
    QSize CreationSize() const { return m_creationSize; }

    // Takes the page in: remembers its parent, makes it a child sized to the popup. A page that is
    // already hosted is left alone; another page hosted before is given back first.
    void TakePage(CKelvoBaseWnd* page);
    // Gives the hosted page back to the parent it came from (laid out again by the left bar) and
    // returns it; nullptr when nothing is hosted.
    CKelvoBaseWnd* GiveBack();
    CKelvoBaseWnd* HostedPage() const { return m_page; }

    // The wait cursor over the popup while the channel database is busy with the box.
    void SetBusy(bool busy);

    CBoundWndImpl& Snapper() { return m_snap; }
    CWindowDrag& Drag() { return *m_drag; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<CKelvoBaseWnd> m_page;
    QPointer<QWidget> m_previousParent;
    QPointer<CKelvoLeftBar> m_home;
    QSize m_creationSize = kCreationSize;
    CBoundWndImpl m_snap;
    CWindowDrag* m_drag;
};
