#include "tools/gallery/CKelvoGallery.h"
#include "ui/CKelvoRes.h"

#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

// Renders the gallery offscreen: every control paints in every state without failing, and the
// picture is left in the build folder (gallery.png) to look at.
TEST(Gallery, RendersEveryControl)
{
    CKelvoRes::Instance().Load();
    CKelvoGallery gallery;
    gallery.show();
    gallery.ApplyStates();
    const QImage img = gallery.grab().toImage();
    ASSERT_EQ(img.size(), QSize(1400, 1000));
    EXPECT_TRUE(img.save(QStringLiteral("gallery.png")));
    // a real picture, not a blank fill: many distinct colours
    QSet<QRgb> colours;
    for (int y = 0; y < img.height(); y += 3) {
        for (int x = 0; x < img.width(); x += 3) {
            colours.insert(img.pixel(x, y));
        }
    }
    EXPECT_GT(colours.size(), 500);
}
