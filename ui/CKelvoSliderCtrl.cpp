#include "ui/CKelvoSliderCtrl.h"

#include "ui/CKelvoRes.h"
#include "ui/KelvoImageTable.h"

#include <QMouseEvent>
#include <QPainter>

CKelvoSliderCtrl::CKelvoSliderCtrl(QWidget* parent, int commandId)
    : QSlider(Qt::Horizontal, parent), m_commandId(commandId)
{
    m_thumb.Load(Kelvo::IDB_VOLUME_THUMB);
    m_channel.Load(Kelvo::IDB_VOLUME_CHANNEL);
    m_channel.SetFrameCount(3);
    setMouseTracking(true);
    setRange(0, 100);
    setFocusPolicy(Qt::NoFocus);
}

void CKelvoSliderCtrl::SetThumbLength(int length)
{
    m_thumbLength = qMax(2, length);
    update();
}

int CKelvoSliderCtrl::ChannelLeft() const
{
    return m_thumbLength / 2;
}

int CKelvoSliderCtrl::ChannelRight() const
{
    return qMax(ChannelLeft(), width() - m_thumbLength / 2);
}

int CKelvoSliderCtrl::ChannelHeight() const
{
    return m_channel.FrameSize().height();
}

int CKelvoSliderCtrl::ChannelTop() const
{
    return (m_thumb.FrameSize().height() - ChannelHeight()) / 2 + 3;
}

QRect CKelvoSliderCtrl::Band() const
{
    return QRect(ChannelLeft(), ThumbRect().top(), ChannelRight() - ChannelLeft(),
                 m_thumb.FrameSize().height());
}

int CKelvoSliderCtrl::SplitX() const
{
    const int range = maximum() - minimum();
    if (range <= 0) {
        return ChannelLeft();
    }
    return ChannelLeft() + int(qint64(ChannelRight() - ChannelLeft()) * (value() - minimum()) / range);
}

QRect CKelvoSliderCtrl::ThumbRect() const
{
    const QSize t = m_thumb.FrameSize();
    // centred on the channel's middle line
    const int top = ChannelTop() + ChannelHeight() / 2 - t.height() / 2;
    return QRect(SplitX() - t.width() / 2, top, t.width(), t.height());
}

int CKelvoSliderCtrl::ValueAt(int x) const
{
    const int w = ChannelRight() - ChannelLeft();
    if (w <= 0) {
        return minimum();
    }
    const int offset = qBound(0, x - ChannelLeft(), w);
    return minimum() + int((qint64(offset) * (maximum() - minimum()) + w / 2) / w);
}

void CKelvoSliderCtrl::SetHot(bool hot)
{
    if (hot != m_hot) {
        m_hot = hot;
        update();
    }
}

void CKelvoSliderCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    using HA = CNxImages::HAlign;
    using VA = CNxImages::VAlign;
    const int left = ChannelLeft(), right = ChannelRight(), top = ChannelTop(), h = ChannelHeight();
    if (right <= left) {
        return;
    }
    if (isEnabled()) {
        const int split = SplitX();
        m_channel.Draw(p, QRect(left, top, split - left, h), 1, HA::Stretch, VA::Top);
        m_channel.Draw(p, QRect(split, top, right - split, h), 0, HA::Stretch, VA::Top);
    } else {
        m_channel.Draw(p, QRect(left, top, right - left, h), 0, HA::Stretch, VA::Top);
    }
    p.fillRect(QRect(left, top, 1, h), KelvoRes().colorBlack);
    p.fillRect(QRect(right - 1, top, 1, h), KelvoRes().colorBlack);
    if (m_hot && isEnabled()) {
        m_thumb.Draw(p, ThumbRect(), 0, HA::Left, VA::Top);
    }
}

void CKelvoSliderCtrl::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (event->button() != Qt::LeftButton || !Band().contains(pos)) {
        event->ignore();
        return;
    }
    m_dragging = true;
    setSliderDown(true);
    setSliderPosition(ValueAt(pos.x()));
    event->accept();
}

void CKelvoSliderCtrl::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    if (m_dragging) {
        setSliderPosition(ValueAt(pos.x()));
        return;
    }
    SetHot(Band().adjusted(-m_thumbLength / 2, 0, m_thumbLength / 2, 0).contains(pos));
}

void CKelvoSliderCtrl::mouseReleaseEvent(QMouseEvent* event)
{
    if (m_dragging && event->button() == Qt::LeftButton) {
        m_dragging = false;
        setSliderDown(false);
        SetHot(Band().contains(event->position().toPoint()));
    }
}

void CKelvoSliderCtrl::leaveEvent(QEvent* event)
{
    if (!m_dragging) {
        SetHot(false);
    }
    QSlider::leaveEvent(event);
}
