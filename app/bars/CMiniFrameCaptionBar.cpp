#include "app/bars/CMiniFrameCaptionBar.h"

#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"

#include <QCursor>
#include <QTimerEvent>

CMiniFrameCaptionBar::CMiniFrameCaptionBar(QWidget* parent) : CKelvoCaptionBar(parent)
{
    SetBackgroundImage(&KelvoRes().imgBarDark38);
    m_title = new CNxStatic(CStringTable::Get(CStringTable::IDS_ON_AIR), this);
    m_title->setObjectName(QStringLiteral("title"));
    m_title->SetTransparent(true);
    m_title->setFont(KelvoRes().fontBold15);
    m_title->SetTextColour(QColor(243, 243, 243));
    m_title->SizeToText();
    LayoutItems(width());
}

int CMiniFrameCaptionBar::HitTest(QPoint pos) const
{
    const int hit = CKelvoCaptionBar::HitTest(pos);
    return hit == HitCaption && m_overlay ? HitNowhere : hit;
}

void CMiniFrameCaptionBar::LayoutItems(int width)
{
    if (m_title != nullptr) {
        m_title->move((width - m_title->width()) / 2, (height() - m_title->height()) / 2);
    }
}

void CMiniFrameCaptionBar::EmitAction(int button)
{
    if (m_overlay) {
        ShowOverlay(false);
        if (button != CloseButton) {
            emit fullScreenRequested();
        }
    }
    CKelvoCaptionBar::EmitAction(button);
}

void CMiniFrameCaptionBar::FullScreenChanged(bool on)
{
    if (!on) {
        ShowOverlay(false);
    }
}

void CMiniFrameCaptionBar::ShowOverlay(bool on)
{
    if (on == m_overlay) {
        return;
    }
    if (on) {
        QWidget* home = parentWidget();
        if (home == nullptr) {
            return;
        }
        m_home = home;
        m_stackedAbove = nullptr;
        const QObjectList& siblings = home->children();
        const qsizetype index = siblings.indexOf(this);
        for (qsizetype i = index + 1; index >= 0 && i < siblings.size(); ++i) {
            if (siblings.at(i)->isWidgetType()) {
                m_stackedAbove = static_cast<QWidget*>(siblings.at(i));
                break;
            }
        }
        // The top of the frame's client area, inside its border: where the picture is.
        const QRect client = home->contentsRect();
        const QRect band(home->mapToGlobal(client.topLeft()), QSize(client.width(), height()));
        m_overlayRect = band;
        m_overlay = true;
        // A window of its own, so that it stays above the engine's native video window.
        setParent(home, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setGeometry(band);
        show();
        m_poll.start(kOverlayPollMs, this);
    } else {
        m_poll.stop();
        m_overlay = false;
        hide();
        if (m_home != nullptr) {
            setParent(m_home, Qt::Widget);
            if (m_stackedAbove != nullptr && m_stackedAbove->parentWidget() == m_home) {
                stackUnder(m_stackedAbove);
            }
        }
    }
    emit overlayShown(on);
}

void CMiniFrameCaptionBar::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_poll.timerId()) {
        CKelvoCaptionBar::timerEvent(event);
        return;
    }
    if (!m_overlayRect.contains(QCursor::pos())) {
        ShowOverlay(false);
    }
}
