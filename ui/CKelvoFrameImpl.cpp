#include "ui/CKelvoFrameImpl.h"

#include "ui/CKelvoRes.h"

#include <QPainter>
#include <QRegion>
#include <QWidget>

CKelvoFrameImpl::CKelvoFrameImpl(QWidget* owner) : m_owner(owner) {}

void CKelvoFrameImpl::SetBorders(int left, int right, int bottom, int outline)
{
    m_left = qMax(0, left);
    m_right = qMax(0, right);
    m_bottom = qMax(0, bottom);
    m_outline = qMax(0, outline);
}

void CKelvoFrameImpl::SetSkinBorders(bool withBottom)
{
    const CKelvoRes& res = KelvoRes();
    SetBorders(res.imgFrameLeft.FrameSize().width(), res.imgFrameRight.FrameSize().width(),
               withBottom ? res.imgFrameBottom.FrameSize().height() : 0, 0);
}

QMargins CKelvoFrameImpl::Margins() const
{
    return QMargins(m_left + m_outline, m_outline, m_right + m_outline, m_bottom + m_outline);
}

QRect CKelvoFrameImpl::CalcBorders(bool calculate, const QRect& proposed) const
{
    if (!calculate) {
        return proposed;
    }
    return proposed.marginsRemoved(Margins());
}

void CKelvoFrameImpl::PaintBorders(QPainter& p, const QRect& windowRect, const QRect& clientRect) const
{
    if (windowRect.isEmpty()) {
        return;
    }
    p.save();
    p.setClipRegion(QRegion(windowRect).subtracted(QRegion(clientRect)), Qt::IntersectClip);
    QRect r = windowRect;
    if (m_outline > 0) {
        p.fillRect(QRect(r.left(), r.top(), r.width(), m_outline), KelvoRes().colorBlack);
        p.fillRect(QRect(r.left(), r.bottom() - m_outline + 1, r.width(), m_outline), KelvoRes().colorBlack);
        p.fillRect(QRect(r.left(), r.top(), m_outline, r.height()), KelvoRes().colorBlack);
        p.fillRect(QRect(r.right() - m_outline + 1, r.top(), m_outline, r.height()), KelvoRes().colorBlack);
        r = r.marginsRemoved(QMargins(m_outline, m_outline, m_outline, m_outline));
    }
    const CKelvoRes& res = KelvoRes();
    using HA = CNxImages::HAlign;
    using VA = CNxImages::VAlign;
    // The side strips stop where the bottom band begins, so its end slices form the corners.
    const int sideHeight = r.height() - m_bottom;
    if (m_left > 0 && sideHeight > 0) {
        res.imgFrameLeft.Draw(p, QRect(r.left(), r.top(), m_left, sideHeight), 0, HA::Left, VA::Stretch);
    }
    if (m_right > 0 && sideHeight > 0) {
        res.imgFrameRight.Draw(p, QRect(r.left() + r.width() - m_right, r.top(), m_right, sideHeight), 0,
                               HA::Left, VA::Stretch);
    }
    if (m_bottom > 0) {
        res.imgFrameBottom.Draw3Slice(
            p, QRect(r.left(), r.top() + r.height() - m_bottom, r.width(), m_bottom), VA::Stretch);
    }
    p.restore();
}

void CKelvoFrameImpl::Apply() const
{
    if (m_owner != nullptr) {
        m_owner->setContentsMargins(Margins());
    }
}

void CKelvoFrameImpl::PaintBorders(QPainter& p) const
{
    if (m_owner != nullptr) {
        PaintBorders(p, m_owner->rect(), m_owner->contentsRect());
    }
}
