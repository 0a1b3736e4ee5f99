#pragma once

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QWidget>

// One of the four thin windows round a frameless top-level window that give it resize borders:
// a press on it starts the window system's resize of the owner from that edge or corner.
// Invisible mode: translucent and practically invisible (alpha 1) but still taking the mouse;
// visible mode: a painted strip in a colour.
class CNxGlowWindow final : public QWidget
{
    Q_OBJECT
public:
    enum Side
    {
        Left = 0,
        Top = 1,
        Right = 2,
        Bottom = 3
    };

    // Corner zone length along a side: twice the thickness, but 8 when that is under 7.
    static int CornerLength(int size);
    // The window's rectangle next to an owner's frame rectangle.
    static QRect Placement(Side side, const QRect& ownerFrame, int size);
    // The edges a press at `global` resizes, for a glow window at `rect`.
    static Qt::Edges HitTest(Side side, const QRect& rect, int corner, int size, QPoint global);
    static Qt::CursorShape CursorFor(Qt::Edges edges);

    CNxGlowWindow(Side side, QWidget* owner, int size, bool visibleMode, const QColor& colour);
    Q_DISABLE_COPY_MOVE(CNxGlowWindow)

    Side GlowSide() const { return m_side; }
    int Thickness() const { return m_size; }
    int Corner() const { return m_corner; }
    void Place();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Side m_side;
    QWidget* m_owner;
    int m_size;
    int m_corner;
    bool m_visibleMode;
    QColor m_colour;
    // Resizing by hand where the window system cannot do it.
    Qt::Edges m_dragEdges;
    QPoint m_dragStart;
    QRect m_dragGeometry;
};
