#include "ui/CNxGlowWindow.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

// Not a colour of the skin: the least alpha that the window system still hit-tests, so that the
// invisible glow windows take the mouse.
const QColor kHitTestFill(0, 0, 0, 1);

} // namespace

int CNxGlowWindow::CornerLength(int size)
{
    return 2 * size < 7 ? 8 : 2 * size;
}

QRect CNxGlowWindow::Placement(Side side, const QRect& ownerFrame, int s)
{
    // The owner's rectangle one pixel smaller on every side, with exclusive right and bottom.
    const int l = ownerFrame.x() + 1, t = ownerFrame.y() + 1;
    const int r = ownerFrame.x() + ownerFrame.width() - 1, b = ownerFrame.y() + ownerFrame.height() - 1;
    const auto edges = [](int left, int top, int right, int bottom) {
        return QRect(left, top, right - left, bottom - top);
    };
    switch (side) {
    case Left:
        return edges(l - s, t - s, l, b + s);
    case Top:
        return edges(l, t - s, r, t);
    case Right:
        return edges(r, t - s, r + s, b + s);
    case Bottom:
        return edges(l, b, r, b + s);
    }
    return QRect();
}

Qt::Edges CNxGlowWindow::HitTest(Side side, const QRect& w, int c, int s, QPoint g)
{
    const int right = w.x() + w.width(), bottom = w.y() + w.height();
    switch (side) {
    case Left:
        if (g.y() < w.y() + c) {
            return Qt::LeftEdge | Qt::TopEdge;
        }
        if (g.y() >= bottom - c) {
            return Qt::LeftEdge | Qt::BottomEdge;
        }
        return Qt::LeftEdge;
    case Top:
        if (g.x() < w.x() + c - s) {
            return Qt::LeftEdge | Qt::TopEdge;
        }
        if (g.x() >= right - c + s) {
            return Qt::RightEdge | Qt::TopEdge;
        }
        return Qt::TopEdge;
    case Right:
        if (g.y() < w.y() + c) {
            return Qt::RightEdge | Qt::TopEdge;
        }
        if (g.y() >= bottom - c) {
            return Qt::RightEdge | Qt::BottomEdge;
        }
        return Qt::RightEdge;
    case Bottom:
        if (g.x() < w.x() + c - s) {
            return Qt::LeftEdge | Qt::BottomEdge;
        }
        if (g.x() >= right - c + s) {
            return Qt::RightEdge | Qt::BottomEdge;
        }
        return Qt::BottomEdge;
    }
    return {};
}

Qt::CursorShape CNxGlowWindow::CursorFor(Qt::Edges e)
{
    const bool horizontal = e & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = e & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical) {
        const bool mainDiagonal =
            (e & Qt::LeftEdge && e & Qt::TopEdge) || (e & Qt::RightEdge && e & Qt::BottomEdge);
        return mainDiagonal ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
    }
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

CNxGlowWindow::CNxGlowWindow(Side side, QWidget* owner, int size, bool visibleMode, const QColor& colour)
    : QWidget(owner,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus | Qt::NoDropShadowWindowHint),
      m_side(side), m_owner(owner), m_size(qMax(1, size)), m_corner(CornerLength(qMax(1, size))),
      m_visibleMode(visibleMode), m_colour(colour)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    if (!m_visibleMode) {
        // Practically invisible but still hit by the mouse: one unit of alpha.
        setAttribute(Qt::WA_TranslucentBackground);
    }
    setCursor(CursorFor(side == Left    ? Qt::LeftEdge
                        : side == Right ? Qt::RightEdge
                        : side == Top   ? Qt::TopEdge
                                        : Qt::BottomEdge));
}

void CNxGlowWindow::Place()
{
    if (m_owner != nullptr) {
        setGeometry(Placement(m_side, m_owner->frameGeometry(), m_size));
    }
}

void CNxGlowWindow::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setCompositionMode(QPainter::CompositionMode_Source);
    p.fillRect(rect(), m_visibleMode ? m_colour : kHitTestFill);
}

void CNxGlowWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_owner == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    const Qt::Edges edges = HitTest(m_side, geometry(), m_corner, m_size, event->globalPosition().toPoint());
    m_owner->activateWindow();
    QWindow* handle = m_owner->windowHandle();
    if (handle != nullptr && handle->startSystemResize(edges)) {
        return;
    }
    m_dragEdges = edges;
    m_dragStart = event->globalPosition().toPoint();
    m_dragGeometry = m_owner->geometry();
}

void CNxGlowWindow::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint g = event->globalPosition().toPoint();
    if (m_dragEdges == Qt::Edges() || m_owner == nullptr) {
        setCursor(CursorFor(HitTest(m_side, geometry(), m_corner, m_size, g)));
        return;
    }
    const QPoint d = g - m_dragStart;
    QRect r = m_dragGeometry;
    const QSize minimum = m_owner->minimumSize().expandedTo(QSize(100, 60));
    if (m_dragEdges & Qt::LeftEdge) {
        r.setLeft(qMin(r.left() + d.x(), r.right() - minimum.width()));
    }
    if (m_dragEdges & Qt::RightEdge) {
        r.setRight(qMax(r.right() + d.x(), r.left() + minimum.width()));
    }
    if (m_dragEdges & Qt::TopEdge) {
        r.setTop(qMin(r.top() + d.y(), r.bottom() - minimum.height()));
    }
    if (m_dragEdges & Qt::BottomEdge) {
        r.setBottom(qMax(r.bottom() + d.y(), r.top() + minimum.height()));
    }
    m_owner->setGeometry(r);
}

void CNxGlowWindow::mouseReleaseEvent(QMouseEvent* event)
{
    m_dragEdges = Qt::Edges();
    QWidget::mouseReleaseEvent(event);
}
