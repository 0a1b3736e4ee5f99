#include "ui/CBoundWndImpl.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <cstdlib>

namespace {

// Edges as the window system reports them: right and bottom are one past the last pixel.
int Right(const QRect& r)
{
    return r.x() + r.width();
}
int Bottom(const QRect& r)
{
    return r.y() + r.height();
}

// Distance to move back so that an edge of `r` coincides with one of `w`, or 0.
int EdgeDistance(int rLow, int rHigh, int wLow, int wHigh, const CBoundRect& w, int threshold)
{
    if (w.align) {
        if (std::abs(rLow - wLow) < threshold) {
            return rLow - wLow;
        }
        if (std::abs(rHigh - wHigh) < threshold) {
            return rHigh - wHigh;
        }
    }
    if (w.touch) {
        if (std::abs(rLow - wHigh) < threshold) {
            return rLow - wHigh;
        }
        if (std::abs(rHigh - wLow) < threshold) {
            return rHigh - wLow;
        }
    }
    return 0;
}

} // namespace

CBoundWndImpl::CBoundWndImpl()
{
    RebuildMonitors();
}

void CBoundWndImpl::RebuildMonitors()
{
    m_monitors.clear();
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    for (const QScreen* screen : QGuiApplication::screens()) {
        m_monitors.append(CBoundRect{screen->geometry(), true, false});
    }
}

void CBoundWndImpl::SetMonitors(const QList<QRect>& monitors)
{
    m_monitors.clear();
    for (const QRect& r : monitors) {
        m_monitors.append(CBoundRect{r, true, false});
    }
}

int CBoundWndImpl::RegisterWindow(QWidget* window)
{
    if (window == nullptr || m_windows.contains(window)) {
        return -1;
    }
    m_windows.append(window);
    return static_cast<int>(m_windows.size()) - 1;
}

int CBoundWndImpl::UnregisterWindow(QWidget* window)
{
    const qsizetype index = m_windows.indexOf(window);
    if (window == nullptr || index < 0) {
        return -1;
    }
    m_windows.removeAt(index);
    return static_cast<int>(m_windows.size());
}

void CBoundWndImpl::BeginDrag(QPoint cursor)
{
    m_snapH = 0;
    m_snapV = 0;
    m_snappedToWindow = false;
    m_prevCursor = cursor;
}

QList<CBoundRect> CBoundWndImpl::VisibleWindows() const
{
    QList<CBoundRect> result;
    for (const QPointer<QWidget>& w : m_windows) {
        // a window destroyed while registered simply drops out
        if (w != nullptr && w->isVisible()) {
            result.append(CBoundRect{w->frameGeometry(), true, true});
        }
    }
    return result;
}

bool CBoundWndImpl::Snap(QRect& proposed)
{
    return SnapAt(proposed, QCursor::pos(), VisibleWindows());
}

bool CBoundWndImpl::SnapAt(QRect& r, QPoint cursor, const QList<CBoundRect>& windows)
{
    const int dx = cursor.x() - m_prevCursor.x();
    const int dy = cursor.y() - m_prevCursor.y();

    if (m_snapH != 0) {
        const int a = m_snapH + dx;
        if (std::abs(a) < m_thresholdH) {
            m_snapH = a;
            r.translate(-dx, 0);
        } else {
            const int old = m_snapH;
            m_snapH = 0;
            m_snappedToWindow = false;
            r.translate(old, 0);
        }
    } else {
        int d = 0;
        for (const CBoundRect& w : windows) {
            d = EdgeDistance(r.x(), Right(r), w.rect.x(), Right(w.rect), w, m_thresholdH);
            if (d != 0) {
                m_snappedToWindow = true;
                break;
            }
        }
        if (d == 0) {
            for (const CBoundRect& m : m_monitors) {
                d = EdgeDistance(r.x(), Right(r), m.rect.x(), Right(m.rect), m, m_thresholdH);
                if (d != 0) {
                    break;
                }
            }
        }
        m_snapH = d;
        r.translate(-d, 0);
    }

    if (m_snapV != 0) {
        const int a = m_snapV + dy;
        if (std::abs(a) < m_thresholdV) {
            m_snapV = a;
            r.translate(0, -dy);
        } else {
            const int old = m_snapV;
            m_snapV = 0;
            m_snappedToWindow = false;
            r.translate(0, old);
        }
    } else {
        int d = 0;
        for (const CBoundRect& w : windows) {
            // without a horizontal snap, a window only counts when the two overlap side by side
            const int overlap = qMin(Right(r), Right(w.rect)) - qMax(r.x(), w.rect.x());
            if (m_snapH == 0 && overlap <= 0) {
                continue;
            }
            d = EdgeDistance(r.y(), Bottom(r), w.rect.y(), Bottom(w.rect), w, m_thresholdV);
            if (d != 0) {
                m_snappedToWindow = true;
                break;
            }
        }
        if (d == 0) {
            for (const CBoundRect& m : m_monitors) {
                d = EdgeDistance(r.y(), Bottom(r), m.rect.y(), Bottom(m.rect), m, m_thresholdV);
                if (d != 0) {
                    break;
                }
            }
        }
        m_snapV = d;
        r.translate(0, -d);
    }

    m_prevCursor = cursor;
    return m_snappedToWindow;
}
