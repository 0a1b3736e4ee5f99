#include "ui/CNxStatic.h"

#include "ui/CKelvoRes.h"

#include <QPainter>

std::array<QColor, 4> CNxStatic::EdgeColours(const QColor& background)
{
    float h = 0, s = 0, v = 0;
    background.getHsvF(&h, &s, &v);
    if (h < 0) {
        h = 0; // achromatic
    }
    const auto hsv = [](float hue, float sat, float val) {
        return QColor::fromHsvF(hue, qBound(0.0f, sat, 1.0f), qBound(0.0f, val, 1.0f)).toRgb();
    };
    return {hsv(h, s * 0.6f, qMin(v * 1.1f, 1.0f)), hsv(h, s * 0.7f, v),
            hsv(h, qMin(s * 1.2f, 1.0f), v * 0.7f), hsv(h, qMin(s * 1.3f, 1.0f), v * 0.5f)};
}

CNxStatic::CNxStatic(const QString& text, QWidget* parent)
    : QWidget(parent), m_text(text), m_textColour(KelvoRes().colorText), m_back(KelvoRes().colorBlack)
{}

void CNxStatic::SetText(const QString& text)
{
    m_text = text;
    update();
}

void CNxStatic::SetAlignment(Align align)
{
    m_align = align;
    update();
}

void CNxStatic::SetCentreVertically(bool on)
{
    m_centreV = on;
    update();
}

void CNxStatic::SetTransparent(bool on)
{
    m_transparent = on;
    update();
}

void CNxStatic::SetEdges(int edges)
{
    m_edges = edges;
    update();
}

void CNxStatic::SetTextColour(const QColor& c)
{
    m_textColour = c;
    repaint();
}

void CNxStatic::SetBackgroundColour(const QColor& c)
{
    m_back = c;
    repaint();
}

void CNxStatic::SizeToText()
{
    const QFontMetrics fm(font());
    int w = fm.horizontalAdvance(m_text) + 4;
    if (m_edges & DoubleRaised) {
        w = fm.horizontalAdvance(m_text) + 6;
    }
    if (m_edges & Sunken) {
        w += 4;
    } else if (m_edges & Thin) {
        w += 2;
    }
    resize(w, fm.height());
}

namespace {

void Draw3dRect(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    p.fillRect(QRect(r.left(), r.top(), r.width() - 1, 1), topLeft);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height() - 1), topLeft);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
}

} // namespace

void CNxStatic::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QRect r = rect();
    if (!m_transparent) {
        p.fillRect(r, m_back);
    }
    const auto c = EdgeColours(m_back);
    const QColor &light1 = c[0], &light2 = c[1], &dark1 = c[2], &dark2 = c[3];
    const auto ring = [&](const QColor& tl, const QColor& br) {
        Draw3dRect(p, r, tl, br);
        r.adjust(1, 1, -1, -1);
    };
    if (m_edges & DoubleRaised) {
        ring(light1, dark2);
        ring(light2, dark1);
    }
    if (m_edges & Sunken) {
        ring(dark2, light1);
        ring(dark1, light2);
    } else if (m_edges & Thin) {
        ring(dark1, light2);
    }
    const QRect textRect = r.adjusted(2, 0, -2, 0);
    int flags = m_align == Align::Left     ? Qt::AlignLeft
                : m_align == Align::Centre ? Qt::AlignHCenter
                                           : Qt::AlignRight;
    flags |= m_centreV ? (Qt::AlignVCenter | Qt::TextSingleLine) : (Qt::AlignTop | Qt::TextWordWrap);
    p.setFont(font());
    p.setPen(m_textColour);
    p.drawText(textRect, flags, m_text);
}
