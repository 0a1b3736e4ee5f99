#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <QWidget>

// A picture is on screen when the window, read back from the X server, shows bright colours of
// several hues, as the demo box's and the tests' pictures do. What may show before (black, or the
// player view's busy picture seen through the unpainted window: greys and one blue) has at most
// one.
inline bool ShowsPicture(QWidget* surface)
{
    const QImage image = surface->screen()->grabWindow(surface->winId()).toImage();
    QSet<int> hues;
    for (int y = 0; y < image.height(); y += 6)
        for (int x = 0; x < image.width(); x += 6) {
            const QColor c = QColor::fromRgb(image.pixel(x, y));
            if (c.hsvSaturation() > 128 && c.value() > 96)
                hues.insert(c.hsvHue() / 30);
        }
    return hues.size() >= 4;
}
