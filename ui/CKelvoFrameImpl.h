#pragma once

#include <QMargins>
#include <QRect>

class QPainter;
class QWidget;

// The thin image border round a view: left and right strips, a bottom band and an optional black
// outline. Qt widgets have no non-client area, so the view reserves the border as contents
// margins (Apply) and paints it from its paintEvent (PaintBorders).
class CKelvoFrameImpl
{
public:
    explicit CKelvoFrameImpl(QWidget* owner = nullptr);
    virtual ~CKelvoFrameImpl() = default;
    Q_DISABLE_COPY_MOVE(CKelvoFrameImpl)

    void SetOwner(QWidget* owner) { m_owner = owner; }
    void SetBorders(int left, int right, int bottom, int outline = 0);
    // Left and right from the frame strips' widths, bottom from the band's height (or none).
    void SetSkinBorders(bool withBottom);

    int LeftWidth() const { return m_left; }
    int RightWidth() const { return m_right; }
    int BottomHeight() const { return m_bottom; }
    int OutlineWidth() const { return m_outline; }
    QMargins Margins() const;

    // The client rectangle left inside a proposed window rectangle; unchanged unless `calculate`.
    virtual QRect CalcBorders(bool calculate, const QRect& proposed) const;
    // Paints the border area of windowRect outside clientRect (both in the owner's coordinates).
    virtual void PaintBorders(QPainter& p, const QRect& windowRect, const QRect& clientRect) const;

    // Makes the owner's contents rectangle leave room for the border.
    void Apply() const;
    // Paints the owner's border with the owner's rect() and contentsRect().
    void PaintBorders(QPainter& p) const;

private:
    QWidget* m_owner = nullptr;
    int m_left = 0;
    int m_right = 0;
    int m_bottom = 0;
    int m_outline = 0;
};
