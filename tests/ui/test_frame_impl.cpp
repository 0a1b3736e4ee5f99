#include "ui/CDialogUnits.h"
#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoRes.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

TEST(FrameImpl, ClientAreaLeavesRoomForTheBorders)
{
    struct Case
    {
        int left, right, bottom, outline;
        QRect client;
    };
    const QRect window(0, 0, 200, 100);
    const Case cases[] = {
        {0, 0, 0, 0, window},
        {5, 5, 0, 0, QRect(5, 0, 190, 100)},
        {5, 5, 9, 0, QRect(5, 0, 190, 91)},
        {5, 5, 0, 1, QRect(6, 1, 188, 98)},
    };
    for (const Case& c : cases) {
        CKelvoFrameImpl frame;
        frame.SetBorders(c.left, c.right, c.bottom, c.outline);
        EXPECT_EQ(frame.CalcBorders(true, window), c.client);
        EXPECT_EQ(frame.CalcBorders(false, window), window);
    }
}

TEST(FrameImpl, SkinBordersComeFromTheFrameImages)
{
    CKelvoRes::Instance().Load();
    CKelvoFrameImpl frame;
    frame.SetSkinBorders(true);
    EXPECT_EQ(frame.LeftWidth(), 5);
    EXPECT_EQ(frame.RightWidth(), 5);
    EXPECT_EQ(frame.BottomHeight(), 9);
    frame.SetSkinBorders(false);
    EXPECT_EQ(frame.BottomHeight(), 0);
}

TEST(FrameImpl, PaintsOnlyOutsideTheClientArea)
{
    CKelvoRes::Instance().Load();
    CKelvoFrameImpl frame;
    frame.SetBorders(5, 5, 9, 1);
    const QRect window(0, 0, 60, 40);
    const QRect client = frame.CalcBorders(true, window);
    QImage img(window.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(255, 0, 255));
    {
        QPainter p(&img);
        frame.PaintBorders(p, window, client);
    }
    EXPECT_EQ(img.pixelColor(0, 0), QColor(0, 0, 0)); // outline
    EXPECT_EQ(img.pixelColor(59, 39), QColor(0, 0, 0));
    EXPECT_NE(img.pixelColor(3, 10), QColor(255, 0, 255));           // left strip inside the outline
    EXPECT_NE(img.pixelColor(56, 10), QColor(255, 0, 255));          // right strip
    EXPECT_NE(img.pixelColor(30, 35), QColor(255, 0, 255));          // bottom band
    EXPECT_EQ(img.pixelColor(client.center()), QColor(255, 0, 255)); // client untouched

    // all widths 0: nothing painted
    CKelvoFrameImpl none;
    QImage blank(window.size(), QImage::Format_ARGB32_Premultiplied);
    blank.fill(QColor(255, 0, 255));
    {
        QPainter p(&blank);
        none.PaintBorders(p, window, none.CalcBorders(true, window));
    }
    EXPECT_EQ(blank.pixelColor(0, 0), QColor(255, 0, 255));
}

TEST(DialogUnits, TemplateUnitsToPixels)
{
    const CDialogUnits du; // 8-point "MS Shell Dlg": base units 6 x 13
    EXPECT_EQ(du.ToPixels(QSize(308, 272)), QSize(462, 442));
    EXPECT_EQ(du.ToPixels(QRect(168, 204, 126, 18)), QRect(252, 332, 189, 29));
    EXPECT_EQ(du.X(1), 2); // 1.5 rounds up
    EXPECT_EQ(du.Y(-8), -13);
    const CDialogUnits measured = CDialogUnits::FromFont(CKelvoRes::MakeFont(11, 400));
    EXPECT_GE(measured.BaseX(), 5);
    EXPECT_LE(measured.BaseX(), 7);
    EXPECT_GE(measured.BaseY(), 12);
}
