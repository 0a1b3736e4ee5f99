#include "ui/CDialogUnits.h"

#include <QFontMetricsF>
#include <cmath>

CDialogUnits CDialogUnits::FromFont(const QFont& font)
{
    const QFontMetricsF fm(font);
    const qreal letters =
        fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int baseX = qMax(1, int((letters / 26 + 1) / 2));
    const int baseY = qMax(1, int(std::ceil(fm.height())));
    return CDialogUnits(baseX, baseY);
}

int CDialogUnits::MulDiv(int value, int numerator, int denominator)
{
    const qint64 product = qint64(value) * numerator;
    const qint64 half = denominator / 2;
    return int(product >= 0 ? (product + half) / denominator : (product - half) / denominator);
}

QRect CDialogUnits::ToPixels(const QRect& dlu) const
{
    const int left = X(dlu.x());
    const int top = Y(dlu.y());
    const int right = X(dlu.x() + dlu.width());
    const int bottom = Y(dlu.y() + dlu.height());
    return QRect(left, top, right - left, bottom - top);
}
