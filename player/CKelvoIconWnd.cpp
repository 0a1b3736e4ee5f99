#include "player/CKelvoIconWnd.h"

#include "ui/CNxImages.h"

#include <QBitmap>
#include <QPainter>
#include <QTimerEvent>

CKelvoIconWnd::CKelvoIconWnd(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowTransparentForInput | Qt::WindowDoesNotAcceptFocus |
                         Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // With a compositing window manager the icon's own alpha and the fade show; without one the
    // shape mask still keeps the icon's transparent corners off the picture.
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

bool CKelvoIconWnd::ShowImage(const QRect& screenRect, int imageId)
{
    QPixmap image;
    if (!image.load(CNxImages::ResourcePath(imageId), "PNG")) {
        return false;
    }
    m_image = image;
    m_imageId = imageId;
    m_alpha = 255;
    setFixedSize(m_image.size());
    if (m_image.hasAlphaChannel()) {
        setMask(m_image.mask());
    } else {
        clearMask();
    }
    setWindowOpacity(1.0);
    CentreOn(screenRect);
    m_fade.start(kFadeStepMs, this);
    show();
    update();
    return true;
}

void CKelvoIconWnd::CentreOn(const QRect& screenRect)
{
    if (m_image.isNull()) {
        return;
    }
    move(screenRect.left() + (screenRect.width() - m_image.width()) / 2,
         screenRect.top() + (screenRect.height() - m_image.height()) / 2);
}

void CKelvoIconWnd::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), Qt::transparent);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.drawPixmap(0, 0, m_image);
}

void CKelvoIconWnd::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_fade.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    setWindowOpacity(m_alpha / 255.0);
    if (kAlphaStep < m_alpha) {
        m_alpha -= kAlphaStep;
    } else {
        m_fade.stop();
        hide();
    }
}

void CKelvoIconWnd::hideEvent(QHideEvent* event)
{
    m_fade.stop();
    QWidget::hideEvent(event);
}
