#include "player/CVideoSurface.h"

#include <QPaintEvent>
#include <QPainter>

CVideoSurface::CVideoSurface(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_NativeWindow);
    // Only this window needs to be native; native ancestors would change how the parent paints.
    setAttribute(Qt::WA_DontCreateNativeAncestors);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void CVideoSurface::SetVideoShown(bool shown)
{
    if (m_videoShown == shown)
        return;
    m_videoShown = shown;
    // An empty paint handler is not enough: Qt would still copy its back buffer over the
    // engine's picture. With updates off it neither paints nor flushes this window.
    setUpdatesEnabled(!shown);
    if (!shown)
        update();
}

void CVideoSurface::paintEvent(QPaintEvent* event)
{
    if (m_videoShown)
        return;
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
}
