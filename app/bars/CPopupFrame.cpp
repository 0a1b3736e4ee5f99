#include "app/bars/CPopupFrame.h"

#include "app/bars/CKelvoLeftBar.h"
#include "app/bars/CWindowDrag.h"
#include "ui/CKelvoBaseWnd.h"

#include <QMouseEvent>
#include <QWindow>

CPopupFrame::CPopupFrame(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint), m_drag(new CWindowDrag(this, this))
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setCursor(Qt::ArrowCursor);
    resize(m_creationSize);
    m_drag->SetAdjust([this](QRect& proposed, QPoint cursor) {
        QList<CBoundRect> windows;
        QWidget* frame = parentWidget();
        if (frame != nullptr && frame->isVisible()) {
            windows.append(CBoundRect{frame->frameGeometry(), true, true});
        }
        m_snap.SnapAt(proposed, cursor, windows);
    });
}

CPopupFrame::CPopupFrame(CKelvoLeftBar* home, QWidget* owner) : CPopupFrame(owner)
{
    m_home = home;
}

CPopupFrame::~CPopupFrame()
{
    // With its old parent already gone (the frame tears its children down) the page simply goes
    // with the popup instead of being left behind as a window of its own.
    if (m_previousParent != nullptr || m_home != nullptr) {
        GiveBack();
    }
}

void CPopupFrame::Create(const QString& title, const QRect& rect)
{
    setWindowTitle(title);
    m_creationSize = rect.size();
    setGeometry(rect);
}

void CPopupFrame::TakePage(CKelvoBaseWnd* page)
{
    if (page == nullptr || page == m_page) {
        return;
    }
    GiveBack();
    m_previousParent = page->parentWidget();
    m_page = page;
    page->setParent(this);
    page->setGeometry(rect());
    page->installEventFilter(this);
    // A page that the left bar had hidden (another page was shown there) still shows here.
    page->setVisible(true);
}

CKelvoBaseWnd* CPopupFrame::GiveBack()
{
    CKelvoBaseWnd* page = m_page;
    m_page = nullptr;
    if (page == nullptr) {
        return nullptr;
    }
    m_drag->End();
    page->removeEventFilter(this);
    QWidget* target = m_previousParent != nullptr ? m_previousParent.data() : m_home.data();
    page->setParent(target);
    if (auto* bar = qobject_cast<CKelvoLeftBar*>(target)) {
        bar->PageReturned(page);
    } else if (target != nullptr) {
        page->setGeometry(target->rect());
        page->show();
    }
    m_previousParent = nullptr;
    return page;
}

void CPopupFrame::SetBusy(bool busy)
{
    setCursor(busy ? Qt::WaitCursor : Qt::ArrowCursor);
}

void CPopupFrame::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_page != nullptr) {
        m_page->setGeometry(rect());
    }
}

bool CPopupFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_page && event->type() == QEvent::MouseButtonPress) {
        const auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::LeftButton) {
            // Moves of a drag reach the popup's window whichever widget holds the press.
            QObject* source =
                windowHandle() != nullptr ? static_cast<QObject*>(windowHandle()) : m_page.data();
            const QPoint cursor = me->globalPosition().toPoint();
            m_snap.BeginDrag(cursor);
            m_drag->Begin(cursor, source);
        }
    }
    // The page still gets the press (it moves the focus to its list).
    return QWidget::eventFilter(watched, event);
}
