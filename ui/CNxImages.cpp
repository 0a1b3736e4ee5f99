#include "ui/CNxImages.h"

#include <QPainter>

QString CNxImages::ResourcePath(int id)
{
    return QStringLiteral(":/img/%1.png").arg(id);
}

bool CNxImages::Load(int id)
{
    m_id = id;
    QPixmap strip;
    if (!strip.load(ResourcePath(id), "PNG")) {
        m_strip = QPixmap();
        m_frames.clear();
        m_frameSize = QSize();
        return false;
    }
    return LoadImage(strip);
}

bool CNxImages::LoadImage(const QPixmap& strip)
{
    m_strip = strip;
    if (m_strip.isNull()) {
        m_frames.clear();
        m_frameSize = QSize();
        return false;
    }
    if (m_presetFrameSize.isValid() && m_presetFrameSize.width() > 0) {
        Split(QSize(m_presetFrameSize.width(), m_strip.height()));
    } else {
        Split(m_strip.size());
    }
    return true;
}

void CNxImages::SetFrameCount(int count)
{
    if (m_strip.isNull() || count <= 0) {
        return;
    }
    Split(QSize(m_strip.width() / count, m_strip.height()));
}

void CNxImages::Split(QSize frameSize)
{
    m_frames.clear();
    m_frameSize = frameSize;
    if (frameSize.width() <= 0 || frameSize.height() <= 0) {
        return;
    }
    const int count = m_strip.width() / frameSize.width();
    m_frames.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        m_frames.push_back(m_strip.copy(i * frameSize.width(), 0, frameSize.width(), frameSize.height()));
    }
}

const QPixmap& CNxImages::Frame(int index) const
{
    static const QPixmap none;
    if (index < 0 || index >= FrameCount()) {
        return none;
    }
    return m_frames[static_cast<size_t>(index)];
}

QRect CNxImages::PlaceFrame(const QRect& target, QSize frame, HAlign h, VAlign v)
{
    int x = target.left(), w = frame.width();
    switch (h) {
    case HAlign::Left:
        break;
    case HAlign::Centre:
        x = target.left() + (target.width() - w) / 2;
        break;
    case HAlign::Right:
        x = target.left() + target.width() - w;
        break;
    case HAlign::Stretch:
        w = target.width();
        break;
    }
    int y = target.top(), hgt = frame.height();
    switch (v) {
    case VAlign::Top:
        break;
    case VAlign::Centre:
        y = target.top() + (target.height() - hgt) / 2;
        break;
    case VAlign::Bottom:
        y = target.top() + target.height() - hgt;
        break;
    case VAlign::Stretch:
        hgt = target.height();
        break;
    }
    return QRect(x, y, w, hgt);
}

void CNxImages::Draw(QPainter& p, const QRect& target, int frame, HAlign h, VAlign v, const QRect& source,
                     int alpha) const
{
    const QPixmap& pm = Frame(frame);
    if (pm.isNull() || target.isEmpty() || alpha <= 0) {
        return;
    }
    QRect src = source.isValid() ? source.intersected(pm.rect()) : pm.rect();
    if (src.isEmpty()) {
        return;
    }
    const QRect dst = PlaceFrame(target, src.size(), h, v);
    const bool stretched = dst.size() != src.size();
    p.save();
    // Unstretched frames never paint outside their target, as a clipped blit would not.
    p.setClipRect(target, Qt::IntersectClip);
    if (alpha < 255) {
        p.setOpacity(p.opacity() * alpha / 255.0);
    }
    if (stretched) {
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    }
    p.drawPixmap(dst, pm, src);
    p.restore();
}

CNxImages::ThreeSlicePlan CNxImages::Plan3Slice(int frameCount, QSize frameSize, const QRect& rect, VAlign v)
{
    ThreeSlicePlan plan;
    const int fw = frameSize.width();
    const int stripWidth = frameCount * fw;
    const auto vertical = [&](int left, int width) {
        const QRect r = PlaceFrame(QRect(left, rect.top(), width, rect.height()),
                                   QSize(width, frameSize.height()), HAlign::Stretch, v);
        return r;
    };
    if (stripWidth < rect.width()) {
        plan.sliced = true;
        plan.left = vertical(rect.left(), fw);
        plan.middle = vertical(rect.left() + fw, rect.width() - 2 * fw);
        plan.right = vertical(rect.left() + rect.width() - fw, fw);
    } else {
        plan.whole = QRect(rect.left(), rect.top(), rect.width(), frameSize.height());
    }
    return plan;
}

void CNxImages::Draw3Slice(QPainter& p, const QRect& rect, VAlign v) const
{
    if (IsNull() || rect.isEmpty()) {
        return;
    }
    const ThreeSlicePlan plan = Plan3Slice(FrameCount(), m_frameSize, rect, v);
    if (!plan.sliced) {
        p.save();
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawPixmap(plan.whole, m_strip);
        p.restore();
        return;
    }
    const VAlign pieceV = v == VAlign::Stretch ? VAlign::Stretch : VAlign::Top;
    Draw(p, plan.left, 0, HAlign::Left, pieceV);
    Draw(p, plan.middle, 1, HAlign::Stretch, pieceV);
    Draw(p, plan.right, 2, HAlign::Left, pieceV);
}
