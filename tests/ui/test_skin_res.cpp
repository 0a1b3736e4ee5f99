#include "ui/CKelvoRes.h"
#include "ui/CNxImages.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

using HA = CNxImages::HAlign;
using VA = CNxImages::VAlign;

TEST(TimeFormat, FollowsThePositionOfTheAmPmMarker)
{
    struct Case
    {
        const char* pattern;
        const char* format;
    };
    const Case cases[] = {
        {"tt h:mm", "%p %I:%M"},                           // Windows, marker first
        {"h:mm tt", "%I:%M %p"},                           // Windows, marker after the time
        {"HH:mm", "%H:%M"},                                // 24-hour
        {"A h:mm", "%p %I:%M"},                            // Qt's pattern for a marker-first locale
        {"h:mm AP", "%I:%M %p"},                           // Qt's en_US pattern
        {"h:mm ap", "%I:%M %p"}, {"HH 'Uhr' mm", "%H:%M"}, // quoted letters are not a marker
        {"'at' HH:mm", "%H:%M"}, {"", "%H:%M"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CKelvoRes::TimeFormatForPattern(QString::fromLatin1(c.pattern)),
                  QString::fromLatin1(c.format))
            << c.pattern;
    }
}

TEST(TimeFormat, FormatsWithStrftimeConversions)
{
    qputenv("TZ", "UTC");
    tzset();
    EXPECT_EQ(CKelvoRes::FormatTime(QStringLiteral("%H:%M"), 3600 * 13 + 60 * 7), QStringLiteral("13:07"));
    EXPECT_EQ(CKelvoRes::FormatTime(QStringLiteral("%Y-%m-%d"), 86400 * 365), QStringLiteral("1971-01-01"));
    EXPECT_TRUE(CKelvoRes::FormatTime(QString(), 0).isEmpty());
}

TEST(SkinRes, FontsAreArialMetricFacesAtPixelHeights)
{
    CKelvoRes::Instance().Load();
    const CKelvoRes& r = KelvoRes();
    struct Case
    {
        const QFont* font;
        int height;
        bool bold;
    };
    const Case cases[] = {{&r.fontBold19, 19, true},    {&r.fontBold18, 18, true},
                          {&r.fontBold15, 15, true},    {&r.fontBold14, 14, true},
                          {&r.fontNormal14, 14, false}, {&r.fontBold12, 12, true},
                          {&r.fontNormal12, 12, false}, {&r.fontNormal10, 10, false}};
    for (const Case& c : cases) {
        EXPECT_EQ(c.font->pixelSize(), c.height);
        EXPECT_EQ(c.font->bold(), c.bold);
        EXPECT_FALSE(c.font->italic());
    }
    // Liberation Sans (or Arial itself) must really be installed: other faces break text fits.
    const QString family = QFontInfo(r.fontNormal14).family();
    EXPECT_TRUE(family == QLatin1String("Arial") || family == QLatin1String("Liberation Sans") ||
                family == QLatin1String("Arimo"))
        << family.toStdString();
    // Arial's advance of "0" at 14 pixels is 8 (7.78); a metric-compatible face matches.
    EXPECT_NEAR(QFontMetricsF(r.fontNormal14).horizontalAdvance(QLatin1Char('0')), 7.78, 0.3);
}

TEST(SkinRes, ColoursAreConsecutiveColumns)
{
    CKelvoRes::Instance().Load();
    const CKelvoRes& r = KelvoRes();
    EXPECT_EQ(r.colorListBack, QColor(27, 27, 27));
    EXPECT_EQ(r.colorListLine, QColor(54, 54, 54));
    EXPECT_EQ(r.ColumnColor(0), QColor(243, 243, 243));
    EXPECT_EQ(r.ColumnColor(2), QColor(65, 65, 65));
    EXPECT_EQ(r.ColumnColor(3), QColor(151, 151, 151));
    EXPECT_EQ(r.ColumnColor(6), QColor(65, 65, 65));
    EXPECT_EQ(r.ColumnColor(99), r.colorText);
    EXPECT_EQ(r.dateFormatShort, QStringLiteral("%Y-%b-%d %a"));
    EXPECT_EQ(r.dateFormatLong, QStringLiteral("%Y-%B-%d %A"));
    EXPECT_EQ(r.timeFormat, CKelvoRes::TimeFormatForPattern(r.localeTimeFormat));
}

TEST(NxImages, PlaceFrameByAlignment)
{
    const QRect target(10, 20, 100, 50);
    const QSize frame(30, 10);
    struct Case
    {
        HA h;
        VA v;
        QRect expected;
    };
    const Case cases[] = {
        {HA::Left, VA::Top, {10, 20, 30, 10}},     {HA::Centre, VA::Centre, {45, 40, 30, 10}},
        {HA::Right, VA::Bottom, {80, 60, 30, 10}}, {HA::Stretch, VA::Top, {10, 20, 100, 10}},
        {HA::Left, VA::Stretch, {10, 20, 30, 50}}, {HA::Stretch, VA::Stretch, target},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CNxImages::PlaceFrame(target, frame, c.h, c.v), c.expected);
    }
}

TEST(NxImages, ThreeSliceDecisions)
{
    const QSize frame(10, 38);
    // wider than the 30-pixel strip: ends at their own width, middle stretched
    auto plan = CNxImages::Plan3Slice(3, frame, QRect(0, 0, 100, 38), VA::Top);
    ASSERT_TRUE(plan.sliced);
    EXPECT_EQ(plan.left, QRect(0, 0, 10, 38));
    EXPECT_EQ(plan.middle, QRect(10, 0, 80, 38));
    EXPECT_EQ(plan.right, QRect(90, 0, 10, 38));
    // vertical stretch follows the rectangle's height
    plan = CNxImages::Plan3Slice(3, frame, QRect(5, 5, 31, 50), VA::Stretch);
    ASSERT_TRUE(plan.sliced);
    EXPECT_EQ(plan.middle, QRect(15, 5, 11, 50));
    // exactly the strip's width, and narrower (a 25-pixel control): the whole strip squeezed in
    for (int width : {30, 25}) {
        plan = CNxImages::Plan3Slice(3, frame, QRect(0, 0, width, 60), VA::Stretch);
        EXPECT_FALSE(plan.sliced);
        EXPECT_EQ(plan.whole, QRect(0, 0, width, 38));
    }
}

namespace {

QImage Canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::black);
    return img;
}

CNxImages ThreeColours()
{
    QImage strip(6, 4, QImage::Format_ARGB32);
    for (int x = 0; x < 6; ++x) {
        const QColor c = x < 2 ? QColor(255, 0, 0) : x < 4 ? QColor(0, 255, 0) : QColor(0, 0, 255);
        for (int y = 0; y < 4; ++y) {
            strip.setPixelColor(x, y, c);
        }
    }
    CNxImages images;
    images.LoadImage(QPixmap::fromImage(strip));
    images.SetFrameCount(3);
    return images;
}

} // namespace

TEST(NxImages, ThreeSliceDrawsEndsAndStretchedMiddle)
{
    const CNxImages images = ThreeColours();
    QImage img = Canvas(20, 4);
    {
        QPainter p(&img);
        images.Draw3Slice(p, QRect(0, 0, 20, 4), VA::Top);
    }
    EXPECT_EQ(img.pixelColor(0, 1), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(1, 1), QColor(255, 0, 0));
    EXPECT_EQ(img.pixelColor(10, 1), QColor(0, 255, 0));
    EXPECT_EQ(img.pixelColor(18, 1), QColor(0, 0, 255));
    EXPECT_EQ(img.pixelColor(19, 1), QColor(0, 0, 255));
}

TEST(NxImages, FrameDrawingHonoursCropAndConstantAlpha)
{
    CKelvoRes::Instance().Load();
    const CNxImages images = ThreeColours();
    QImage img = Canvas(10, 10);
    {
        QPainter p(&img);
        // frame 2 (blue) cropped to one column, centred, at half opacity
        images.Draw(p, QRect(0, 0, 10, 10), 2, HA::Centre, VA::Top, QRect(0, 0, 1, 4), 128);
        // an out-of-range frame draws nothing
        images.Draw(p, QRect(0, 0, 10, 10), 7, HA::Stretch, VA::Stretch);
    }
    // a one-pixel column centred in ten pixels lands at x = 4
    EXPECT_NEAR(img.pixelColor(4, 0).blue(), 128, 2);
    EXPECT_EQ(img.pixelColor(4, 0).red(), 0);
    EXPECT_EQ(img.pixelColor(4, 3), img.pixelColor(4, 0));
    EXPECT_EQ(img.pixelColor(4, 4), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(3, 0), QColor(0, 0, 0));
    EXPECT_EQ(img.pixelColor(5, 0), QColor(0, 0, 0));
}
