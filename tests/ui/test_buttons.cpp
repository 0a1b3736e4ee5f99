#include "UiTestHelpers.h"
#include "commands/KelvoCommandIds.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "ui/CNxStatic.h"
#include "ui/KelvoImageTable.h"

#include <QKeyEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>
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
    CPngButton b(&parent, Kelvo::ID_CHANNEL_REFRESH);
    b.move(30, 40);
    ASSERT_TRUE(b.SetImage(Kelvo::IDB_CLOSE, 3));
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
    CPngButton b(&parent, Kelvo::ID_NEXT_SERVICE);
    b.SetImage(Kelvo::IDB_NEXT_SERVICE, 4);
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
    EXPECT_EQ(commands.at(0).at(0).toInt(), Kelvo::ID_NEXT_SERVICE);
    EXPECT_EQ(b.CurrentFrame(), 2); // hot after the release

    uitest::Press(&b, QPoint(5, 5));
    uitest::Move(&b, QPoint(100, 5), true);
    uitest::Release(&b, QPoint(100, 5));
    EXPECT_EQ(commands.count(), 1); // released outside: no click
}

namespace {

void Prepare(CPngButton& b)
{
    b.SetImage(Kelvo::IDB_NEXT_SERVICE, 4);
}

void Prepare(CNxButton& b)
{
    b.resize(44, 44);
}

bool IsDown(const CPngButton& b)
{
    return b.IsPressed();
}

bool IsDown(const CNxButton& b)
{
    return b.isDown();
}

// A press that focus loss, disabling or hiding took away stays cancelled: neither a later
// release inside nor a return with the button still down clicks.
template <typename Button> void ExpectCancelledPressNeverClicks()
{
    struct Case
    {
        const char* name;
        std::function<void(QWidget&)> cancel;
    };
    const Case cases[] = {
        {"focus out",
         [](QWidget& b) {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QCoreApplication::sendEvent(&b, &out);
         }},
        {"disabled",
         [](QWidget& b) {
             b.setEnabled(false);
             b.setEnabled(true);
         }},
        {"hidden",
         [](QWidget& b) {
             b.hide();
             b.show();
         }},
    };
    for (const Case& c : cases) {
        QWidget parent;
        Button b(&parent, Kelvo::ID_NEXT_SERVICE);
        Prepare(b);
        parent.show();
        QSignalSpy clicks(&b, &Button::command);
        uitest::Press(&b, QPoint(5, 5));
        ASSERT_TRUE(IsDown(b)) << c.name;
        c.cancel(b);
        EXPECT_FALSE(IsDown(b)) << c.name;
        uitest::Move(&b, QPoint(6, 6), true); // moving inside with the button still down
        EXPECT_FALSE(IsDown(b)) << c.name;
        uitest::Release(&b, QPoint(6, 6));
        EXPECT_EQ(clicks.count(), 0) << c.name;
        // cancelled while the button was held outside: coming back in does not press it again
        uitest::Press(&b, QPoint(5, 5));
        uitest::Move(&b, QPoint(100, 5), true);
        c.cancel(b);
        uitest::Move(&b, QPoint(6, 6), true);
        EXPECT_FALSE(IsDown(b)) << c.name;
        uitest::Release(&b, QPoint(6, 6));
        EXPECT_EQ(clicks.count(), 0) << c.name;
        // and the next whole click works again
        uitest::Click(&b, QPoint(5, 5));
        EXPECT_EQ(clicks.count(), 1) << c.name;
    }
}

} // namespace

TEST(PngButton, CancelledPressNeverClicks)
{
    ExpectCancelledPressNeverClicks<CPngButton>();
}

TEST(NxButton, CancelledPressNeverClicks)
{
    ExpectCancelledPressNeverClicks<CNxButton>();
}

TEST(PngButton, RadioGroupAndCheckBox)
{
    QWidget parent;
    CPngButton a(&parent, Kelvo::ID_MODE_CHANNEL), b(&parent, Kelvo::ID_MODE_SCHEDULE),
        c(&parent, Kelvo::ID_MODE_SETTING), other(&parent, Kelvo::ID_CHANNEL_TV);
    for (CPngButton* r : {&a, &b, &c}) {
        r->SetKind(CPngButton::Kind::Radio);
        r->SetImage(Kelvo::IDB_TV, 3);
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

    CPngButton box(&parent, Kelvo::ID_MUTE);
    box.SetKind(CPngButton::Kind::CheckBox);
    box.SetImage(Kelvo::IDB_MUTE, 3);
    uitest::Click(&box, QPoint(3, 3));
    EXPECT_TRUE(box.IsChecked());
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QCoreApplication::sendEvent(&box, &space);
    EXPECT_FALSE(box.IsChecked());
}

TEST(PngButton, RepeatsWhileHeldAndNotifiesOnPress)
{
    QWidget parent;
    CPngButton step(&parent, Kelvo::ID_PREV_SERVICE);
    step.SetImage(Kelvo::IDB_PREV_SERVICE, 4);
    step.SetRepeatDelays({0, 40});
    QSignalSpy clicks(&step, &CPngButton::clicked);
    uitest::Press(&step, QPoint(5, 5));
    // one at once, then about every 40 ms
    EXPECT_TRUE(QTest::qWaitFor([&] { return clicks.count() >= 3; }, 5000));
    uitest::Release(&step, QPoint(5, 5));
    const int held = int(clicks.count());
    QTest::qWait(100);
    EXPECT_EQ(clicks.count(), held); // the release neither clicks nor keeps repeating

    CPngButton early(&parent, Kelvo::ID_CHANNEL_REFRESH);
    early.SetImage(Kelvo::IDB_CLOSE, 3);
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
    ColourProbe b(&parent, Kelvo::ID_MODE_CHANNEL);
    b.SetImage(Kelvo::IDB_MODE_CHANNEL, 4);
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
    CNxButton b(&parent, Kelvo::ID_GUIDE_TV);
    b.setText(QStringLiteral("TV"));
    ASSERT_TRUE(b.SetImage(Kelvo::IDB_BACK, Kelvo::IDB_BACK_HOT));
    ASSERT_TRUE(b.SetCheckedImage(Kelvo::IDB_BACK_CHECKED));
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
    EXPECT_EQ(commands.at(0).at(0).toInt(), Kelvo::ID_GUIDE_TV);
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
