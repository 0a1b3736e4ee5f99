#include "UiTestHelpers.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxScrollBar.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using SB = CNxScrollBar;

TEST(ScrollBarLayout, ArrowsTrackAndThumb)
{
    const QSize frame(14, 19);
    const QSize bar(14, 200); // track: 21 .. 179, 158 long
    struct Case
    {
        int max, page, pos;
        QRect thumb;
    };
    const Case cases[] = {
        {99, 10, 0, {0, 21, 14, 16}},   // 10*158/100 = 15, raised to the 16 minimum
        {99, 10, 90, {0, 163, 14, 16}}, // last position: thumb ends at the track's end
        {99, 10, 45, {0, 92, 14, 16}},
        {99, 10, 500, {0, 163, 14, 16}}, // out of range positions stay inside the track
        {19, 10, 10, {0, 100, 14, 79}},
        {9, 10, 0, {}},             // everything fits: no thumb
        {0, 0, 0, {0, 21, 14, 16}}, // no page: the smallest thumb
    };
    for (const Case& c : cases) {
        const SB::Layout l = SB::ComputeLayout(bar, frame, 0, c.max, c.page, c.pos);
        EXPECT_EQ(l.firstArrow, QRect(0, 0, 14, 19));
        EXPECT_EQ(l.secondArrow, QRect(0, 181, 14, 19));
        EXPECT_EQ(l.track, QRect(0, 21, 14, 158));
        EXPECT_EQ(l.thumb, c.thumb) << c.max << "/" << c.page << "/" << c.pos;
    }
    // too short for anything but the arrows
    EXPECT_TRUE(SB::ComputeLayout(QSize(14, 30), frame, 0, 99, 10, 0).thumb.isEmpty());
}

TEST(ScrollBarLayout, ThumbOffsetToPosition)
{
    struct Case
    {
        int offset, expected;
    };
    for (const Case c : {Case{0, 0}, Case{71, 45}, Case{142, 90}, Case{500, 90}, Case{-20, 0}}) {
        EXPECT_EQ(SB::PositionForThumbOffset(c.offset, 158, 16, 0, 99, 10), c.expected) << c.offset;
    }
    EXPECT_EQ(SB::PositionForThumbOffset(10, 158, 158, 0, 0, 0), 0); // thumb fills the track
}

namespace {

// A scroll bar with a buddy that answers its codes as a list would.
struct Bar
{
    SB bar{Qt::Vertical};
    QList<QPair<int, int>> codes;

    Bar()
    {
        bar.resize(14, 200);
        bar.SetScrollInfo(0, 99, 10, 0);
        QObject::connect(&bar, &SB::scrolled, [this](int code, int pos) {
            codes.append({code, pos});
            if (code == SB::LineUp || code == SB::LineDown || code == SB::PageUp || code == SB::PageDown ||
                code == SB::ThumbTrack) {
                bar.SetScrollPos(pos);
            }
        });
    }
    int Count(int code) const
    {
        return int(
            std::count_if(codes.begin(), codes.end(), [code](const auto& c) { return c.first == code; }));
    }
};

} // namespace

TEST(ScrollBar, StepsAreClampedAndSilentAtTheEnds)
{
    Bar b;
    uitest::Click(&b.bar, QPoint(7, 5)); // up arrow at position 0: nothing to do
    EXPECT_EQ(b.Count(SB::LineUp), 0);
    EXPECT_EQ(b.Count(SB::EndScroll), 1);
    b.codes.clear();
    uitest::Click(&b.bar, QPoint(7, 195));
    EXPECT_EQ(b.codes.first(), qMakePair(int(SB::LineDown), 1));
    uitest::Click(&b.bar, QPoint(7, 170)); // track after the thumb: a page
    EXPECT_EQ(b.bar.ScrollPos(), 11);
    EXPECT_EQ(b.Count(SB::PageDown), 1);
    b.bar.SetScrollPos(85);
    uitest::Click(&b.bar, QPoint(7, 30)); // page up from 85
    EXPECT_EQ(b.bar.ScrollPos(), 75);
    b.bar.SetScrollPos(1000); // set-scroll-information limits to maximum - page + 1
    EXPECT_EQ(b.bar.ScrollPos(), 90);
}

TEST(ScrollBar, DraggingKeepsTheThumbInTheTrack)
{
    Bar b;
    const QRect thumb = b.bar.PartRect(SB::Thumb);
    uitest::Press(&b.bar, thumb.center());
    EXPECT_TRUE(b.bar.IsDragging());
    uitest::Move(&b.bar, thumb.center() + QPoint(0, 400), true);
    EXPECT_EQ(b.bar.PartRect(SB::Thumb).bottom(), 178); // last pixel of the track
    ASSERT_FALSE(b.codes.isEmpty());
    EXPECT_EQ(b.codes.last(), qMakePair(int(SB::ThumbTrack), 90));
    for (const auto& c : b.codes) {
        EXPECT_LE(c.second, 90);
    }
    uitest::Move(&b.bar, thumb.center() + QPoint(0, -400), true);
    EXPECT_EQ(b.codes.last(), qMakePair(int(SB::ThumbTrack), 0));
    uitest::Release(&b.bar, thumb.center());
    EXPECT_EQ(b.codes.at(b.codes.size() - 2), qMakePair(int(SB::ThumbPosition), 0));
    EXPECT_EQ(b.codes.last().first, int(SB::EndScroll));
    EXPECT_FALSE(b.bar.IsDragging());
}

TEST(ScrollBar, ArrowRepeatsAfterHalfASecondAndPausesOffTheArrow)
{
    Bar b;
    const QPoint down(7, 195);
    uitest::Press(&b.bar, down);
    EXPECT_EQ(b.Count(SB::LineDown), 1);
    EXPECT_TRUE(b.bar.IsRepeating());
    EXPECT_EQ(b.bar.RepeatIntervalMs(), 500);
    QElapsedTimer clock;
    clock.start();
    QTest::qWait(200);
    if (clock.elapsed() < 450) {
        EXPECT_EQ(b.Count(SB::LineDown), 1); // still inside the first 500 ms
    }
    // one more at 500 ms, then every 50 ms
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.Count(SB::LineDown) >= 4; }, 5000));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(b.bar.RepeatIntervalMs(), 50);
    // Three more steps arrive well within 900 ms: at 50 ms they take 150 ms, which leaves a slow
    // or sanitized run six times the room, while a 500 ms repeat could bring only one.
    const int fastFrom = b.Count(SB::LineDown);
    QElapsedTimer window;
    window.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.Count(SB::LineDown) >= fastFrom + 3; }, 900))
        << b.Count(SB::LineDown) - fastFrom << " steps in " << window.elapsed() << " ms";
    uitest::Move(&b.bar, QPoint(7, 100), true); // off the arrow: the repeat pauses
    QTest::qWait(30);
    const int paused = b.Count(SB::LineDown);
    QTest::qWait(200);
    EXPECT_EQ(b.Count(SB::LineDown), paused);
    uitest::Move(&b.bar, down, true); // back on it: it resumes
    EXPECT_TRUE(QTest::qWaitFor([&] { return b.Count(SB::LineDown) > paused; }, 5000));
    uitest::Release(&b.bar, down);
    EXPECT_FALSE(b.bar.IsRepeating());
    EXPECT_EQ(b.bar.RepeatIntervalMs(), 0);
    const int released = b.Count(SB::LineDown);
    QTest::qWait(120);
    EXPECT_EQ(b.Count(SB::LineDown), released);
}

TEST(ScrollBar, DisablesItselfWhenEverythingFits)
{
    SB bar(Qt::Vertical);
    bar.resize(14, 200);
    bar.SetScrollInfo(0, 9, 10, 0);
    EXPECT_FALSE(bar.isEnabled());
    bar.SetScrollInfo(0, 10, 10, 0);
    EXPECT_TRUE(bar.isEnabled());
    EXPECT_EQ(bar.width(), 14);
}

TEST(ScrollBar, HorizontalBarIsTheVerticalOneTransposed)
{
    SB bar(Qt::Horizontal);
    bar.resize(200, 14);
    bar.SetScrollInfo(0, 99, 10, 45);
    EXPECT_EQ(bar.PartRect(SB::FirstArrow), QRect(0, 0, 19, 14));
    EXPECT_EQ(bar.PartRect(SB::Thumb), QRect(92, 0, 16, 14));
    EXPECT_EQ(bar.PartAt(QPoint(195, 7)), SB::SecondArrow);
}
