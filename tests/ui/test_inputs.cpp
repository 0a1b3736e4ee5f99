#include "UiTestHelpers.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoEdit.h"
#include "ui/CKelvoRes.h"
#include "ui/CKelvoSliderCtrl.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

TEST(SliderCtrl, ChannelGeometry)
{
    CKelvoSliderCtrl s;
    s.resize(100, 28);
    s.SetThumbLength(28);
    s.setValue(50);
    EXPECT_EQ(s.ChannelLeft(), 14);
    EXPECT_EQ(s.ChannelRight(), 86);
    EXPECT_EQ(s.ChannelTop(), 8); // (16 - 5) / 2 + 3
    EXPECT_EQ(s.ChannelHeight(), 5);
    EXPECT_EQ(s.SplitX(), 50);
    EXPECT_EQ(s.ThumbRect().size(), QSize(16, 16));
    struct Case
    {
        int x, value;
    };
    for (const Case c : {Case{0, 0}, Case{14, 0}, Case{50, 50}, Case{86, 100}, Case{500, 100}}) {
        EXPECT_EQ(s.ValueAt(c.x), c.value) << c.x;
    }
}

TEST(SliderCtrl, PressesOutsideTheBandDoNotReachIt)
{
    CKelvoSliderCtrl s;
    s.resize(100, 28);
    s.setValue(20);
    QSignalSpy moved(&s, &QSlider::valueChanged);
    uitest::Press(&s, QPoint(80, 27)); // below the thumb band
    uitest::Release(&s, QPoint(80, 27));
    EXPECT_EQ(s.value(), 20);
    const int y = s.Band().center().y();
    uitest::Press(&s, QPoint(86, y)); // one past the channel's end
    EXPECT_EQ(s.value(), 20);
    uitest::Press(&s, QPoint(85, y));
    EXPECT_EQ(s.value(), 99);
    uitest::Move(&s, QPoint(500, y), true); // a drag may leave the band
    EXPECT_EQ(s.value(), 100);
    uitest::Move(&s, QPoint(14, y), true);
    EXPECT_EQ(s.value(), 0);
    uitest::Release(&s, QPoint(14, y));
    EXPECT_GE(moved.count(), 2);
}

TEST(SliderCtrl, HotOnlyOverTheBand)
{
    CKelvoSliderCtrl s;
    s.resize(100, 28);
    uitest::Move(&s, QPoint(50, s.Band().center().y()), false);
    EXPECT_TRUE(s.IsHot());
    uitest::Move(&s, QPoint(50, 27), false);
    EXPECT_FALSE(s.IsHot());
    uitest::Move(&s, QPoint(50, s.Band().center().y()), false);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&s, &leave);
    EXPECT_FALSE(s.IsHot());
}

TEST(ComboBox, DisabledTextIsHalfIntensity)
{
    EXPECT_EQ(CKelvoComboBox::DisabledColour(QColor(243, 243, 243)), QColor(121, 121, 121));
    EXPECT_EQ(CKelvoComboBox::DisabledColour(QColor(0, 186, 255)), QColor(0, 93, 127));
    CKelvoRes::Instance().Load();
    CKelvoComboBox combo;
    combo.addItems({QStringLiteral("Alphabetic"), QStringLiteral("Numeric"), QStringLiteral("Group")});
    EXPECT_EQ(combo.font().pixelSize(), 12);
    combo.resize(120, 21);
    EXPECT_FALSE(combo.grab().isNull());
}

TEST(Edit, AnswersItsOwnColours)
{
    CKelvoEdit edit;
    edit.SetTextColour(QColor(243, 243, 243));
    edit.SetBackgroundBrush(QColor(27, 27, 27));
    EXPECT_EQ(edit.palette().color(QPalette::Text), QColor(243, 243, 243));
    EXPECT_EQ(edit.palette().color(QPalette::Base), QColor(27, 27, 27));
}
