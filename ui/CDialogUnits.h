#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>

// Converts positions and sizes of dialog templates, given in dialog units of the template's font,
// to pixels: x uses a quarter, y an eighth of the font's base units (average character width and
// character height), rounded to the nearest pixel as the window system does.
class CDialogUnits final
{
public:
    // Base units of the forms' template font (8-point "MS Shell Dlg" at 96 dots per inch).
    static constexpr int kDefaultBaseX = 6;
    static constexpr int kDefaultBaseY = 13;

    constexpr CDialogUnits(int baseX = kDefaultBaseX, int baseY = kDefaultBaseY)
        : m_baseX(baseX), m_baseY(baseY)
    {}
    // Base units measured from a font: the average width of the 52 Latin letters, and the height.
    static CDialogUnits FromFont(const QFont& font);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }
    int X(int dlu) const { return MulDiv(dlu, m_baseX, 4); }
    int Y(int dlu) const { return MulDiv(dlu, m_baseY, 8); }
    QPoint ToPixels(QPoint dlu) const { return QPoint(X(dlu.x()), Y(dlu.y())); }
    QSize ToPixels(QSize dlu) const { return QSize(X(dlu.width()), Y(dlu.height())); }
    // Edges are converted one by one, like the window system maps a template rectangle.
    QRect ToPixels(const QRect& dlu) const;

private:
    static int MulDiv(int value, int numerator, int denominator);

    int m_baseX;
    int m_baseY;
};
