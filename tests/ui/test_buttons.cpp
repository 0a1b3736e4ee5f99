#include "UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

TEST(PngButton, StateFrameWithFallback)
{
    struct Case
    {
        bool enabled, pressed, checked, hot;
        int frames;
        bool checkable;
        int frame;
    };
    const Case cases[] = {
        {true, false, false, false, 4, false, 0},  {true, true, false, true, 4, false, 1},
        {true, false, true, false, 4, true, 1},    {true, false, false, true, 4, false, 2},
        {false, false, false, false, 4, false, 3}, {false, false, false, false, 3, false, 0}, // no frame 3
        {false, false, true, false, 3, true, 1},   {true, false, false, true, 2, false, 0},
        {false, true, true, true, 1, true, 0},
    };
    for (const Case& c : cases) {
        const int state = CPngButton::StateIndex(c.enabled, c.pressed, c.checked, c.hot);
        EXPECT_EQ(CPngButton::FrameForState(state, c.frames, c.checkable, c.checked), c.frame);
    }
}

TEST(PngButton, SetImageSizesToOneFrameInPlace)
{
    QWidget parent;
    CPngButton b(&parent, 7);
    b.move(30, 40);
    ASSERT_TRUE(b.SetImage(358, 3));
    EXPECT_EQ(b.geometry(), QRect(30, 40, 24, 24));
    b.setEnabled(false);
    EXPECT_EQ(b.CurrentFrame(), 0); // three frames: no disabled frame
    b.setEnabled(true);
    b.SetKind(CPngButton::Kind::CheckBox);
    b.SetChecked(true);
    EXPECT_EQ(b.CurrentFrame(), 1);
}

TEST(PngButton, ClickOnReleaseInsideOnly)
{
    QWidget parent;
    CPngButton b(&parent, 49200);
    b.SetImage(398, 4);
    QSignalSpy commands(&b, &CPngButton::command);
    uitest::Press(&b, QPoint(5, 5));
    EXPECT_TRUE(b.IsPressed());
    EXPECT_EQ(b.CurrentFrame(), 1);
    EXPECT_EQ(commands.count(), 0);
    uitest::Move(&b, QPoint(100, 5), true); // leaving with the button down releases it
    EXPECT_FALSE(b.IsPressed());
    uitest::Move(&b, QPoint(6, 6), true); // and coming back presses it again
    EXPECT_TRUE(b.IsPressed());
    uitest::Release(&b, QPoint(6, 6));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 49200);
    EXPECT_EQ(b.CurrentFrame(), 2); // hot after the release

    uitest::Press(&b, QPoint(5, 5));
    uitest::Move(&b, QPoint(100, 5), true);
    uitest::Release(&b, QPoint(100, 5));
    EXPECT_EQ(commands.count(), 1); // released outside: no click
}

TEST(PngButton, RadioGroupAndCheckBox)
{
    QWidget parent;
    CPngButton a(&parent, 1), b(&parent, 2), c(&parent, 3), other(&parent, 4);
    for (CPngButton* r : {&a, &b, &c}) {
        r->SetKind(CPngButton::Kind::Radio);
        r->SetImage(381, 3);
    }
    other.SetKind(CPngButton::Kind::Radio);
    other.SetGroup(1);
    other.SetChecked(true);
    QSignalSpy clicksB(&b, &CPngButton::clicked);
    a.SetChecked(true);
    uitest::Click(&b, QPoint(3, 3));
    EXPECT_TRUE(b.IsChecked());
    EXPECT_FALSE(a.IsChecked());
    EXPECT_TRUE(other.IsChecked());  // another group
    uitest::Click(&b, QPoint(3, 3)); // clicked again while checked: stays, and still clicks
    EXPECT_TRUE(b.IsChecked());
    EXPECT_FALSE(a.IsChecked());
    EXPECT_FALSE(c.IsChecked());
    EXPECT_EQ(clicksB.count(), 2);
    // arrow keys move the check within the group
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(&b, &right);
    EXPECT_TRUE(c.IsChecked());
    EXPECT_FALSE(b.IsChecked());

    CPngButton box(&parent, 5);
    box.SetKind(CPngButton::Kind::CheckBox);
    box.SetImage(405, 3);
    uitest::Click(&box, QPoint(3, 3));
    EXPECT_TRUE(box.IsChecked());
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &space);
    EXPECT_FALSE(box.IsChecked());
}

TEST(PngButton, RepeatsWhileHeldAndNotifiesOnPress)
{
    QWidget parent;
    CPngButton step(&parent, 49201);
    step.SetImage(396, 4);
    step.SetRepeatDelays({0, 40});
    QSignalSpy clicks(&step, &CPngButton::clicked);
    uitest::Press(&step, QPoint(5, 5));
    // one at once, then about every 40 ms
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 3; }, 5000));
    uitest::Release(&step, QPoint(5, 5));
    const int held = int(clicks.count());
    QTest::qWait(100);
    EXPECT_EQ(clicks.count(), held); // the release neither clicks nor keeps repeating

    CPngButton early(&parent, 1);
    early.SetImage(358, 3);
    early.SetNotifyOnPress(true);
    QSignalSpy pressClicks(&early, &CPngButton::clicked);
    uitest::Press(&early, QPoint(5, 5));
    EXPECT_EQ(pressClicks.count(), 1);
    uitest::Release(&early, QPoint(5, 5));
    EXPECT_EQ(pressClicks.count(), 1);
}

namespace {

struct ColourProbe : CKelvoButton
{
    using CKelvoButton::CKelvoButton;
    QColor Colour() const { return TextColour(CurrentStateIndex(), IsPressed() && IsHot()); }
    QFont Font() const { return TextFont(); }
};

} // namespace

TEST(KelvoButton, TextColourFollowsTheState)
{
    CKelvoRes::Instance().Load();
    QWidget parent;
    ColourProbe b(&parent, 1);
    b.SetImage(362, 4);
    b.SetTextColours(QColor(135, 135, 135), Qt::white, QColor(198, 146, 146), QColor(70, 70, 70),
                     QColor(10, 20, 30));
    EXPECT_EQ(b.Colour(), QColor(135, 135, 135));
    uitest::Move(&b, QPoint(3, 3), false);
    EXPECT_EQ(b.Colour(), QColor(198, 146, 146));
    uitest::Press(&b, QPoint(3, 3));
    EXPECT_EQ(b.Colour(), QColor(10, 20, 30)); // pressed while hot
    uitest::Release(&b, QPoint(3, 3));
    b.setEnabled(false);
    EXPECT_EQ(b.Colour(), QColor(70, 70, 70));
    EXPECT_EQ(b.Font().pixelSize(), 14);
    EXPECT_FALSE(b.Font().bold());
    b.SetKind(CPngButton::Kind::Radio);
    EXPECT_TRUE(b.Font().bold());
}

TEST(NxButton, ImagesAndColoursByState)
{
    QWidget parent;
    CNxButton b(&parent, 49424);
    b.setText(QStringLiteral("TV"));
    ASSERT_TRUE(b.SetImage(416, 415));
    ASSERT_TRUE(b.SetCheckedImage(417));
    b.SetTextColours(QColor(243, 243, 243), QColor(0, 186, 255), QColor(0, 120, 164));
    b.SizeToContent();
    EXPECT_GE(b.height(), 36);
    EXPECT_EQ(b.CurrentTextColour(), QColor(243, 243, 243));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(&b, &enter);
    EXPECT_EQ(b.CurrentTextColour(), QColor(0, 186, 255));
    b.setDown(true);
    EXPECT_EQ(b.CurrentTextColour(), QColor(0, 120, 164));
    QSignalSpy commands(&b, &CNxButton::command);
    b.click();
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 49424);
}

TEST(NxStatic, EdgeColoursFromTheBackground)
{
    const auto c = CNxStatic::EdgeColours(QColor(100, 150, 200));
    EXPECT_NEAR(c[0].value(), 220, 1); // light1: value * 1.1
    EXPECT_NEAR(c[1].value(), 200, 1); // light2
    EXPECT_NEAR(c[2].value(), 140, 1); // dark1: value * 0.7
    EXPECT_NEAR(c[3].value(), 100, 1); // dark2: value * 0.5
    EXPECT_LT(c[0].saturation(), QColor(100, 150, 200).saturation());
    const auto white = CNxStatic::EdgeColours(Qt::white);
    EXPECT_EQ(white[0], QColor(255, 255, 255)); // clamped at full value
}

TEST(NxStatic, SizeToTextAddsRoomForEdges)
{
    CNxStatic plain(QStringLiteral("ON AIR")), framed(QStringLiteral("ON AIR"));
    framed.SetEdges(CNxStatic::DoubleRaised | CNxStatic::Sunken);
    plain.SizeToText();
    framed.SizeToText();
    EXPECT_EQ(framed.width() - plain.width(), 6);
    EXPECT_EQ(plain.height(), QFontMetrics(plain.font()).height());
}
