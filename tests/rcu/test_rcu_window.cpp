// The remote-control window: each button sends its own code, a held button repeats, and the
// window attaches to its parent's right edge and keeps its place there.
#include "rcu/KelvoRCU.h"
#include "rcu/KelvoRCUKeys.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>
#include <set>

namespace {

class RcuWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.setGeometry(100, 100, 400, 600);
        parent.show();
        window = qobject_cast<CKelvoRCUWindow*>(CreateRCU(&parent));
        ASSERT_NE(window, nullptr);
        window->move(700, 150);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    QPoint Centre(int code) const { return window->KeyRect(code).center(); }

    QWidget parent;
    CKelvoRCUWindow* window = nullptr; // owned by the parent
};

TEST_F(RcuWindowTest, IsAToolWindowOfItsParentWithEveryKeyInside)
{
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->parentWidget(), &parent);
    EXPECT_EQ(window->windowType(), Qt::Tool);
    EXPECT_FALSE(window->IsAttached());

    std::set<int> codes;
    const auto keys = KelvoRCUKeys();
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(keys[i].label);
        EXPECT_TRUE(codes.insert(keys[i].code).second) << "code used twice";
        const QRect r = window->KeyRect(keys[i].code);
        EXPECT_FALSE(r.isEmpty());
        EXPECT_TRUE(window->rect().contains(r));
        EXPECT_FALSE(r.intersects(window->AttachButtonRect()) || r.intersects(window->HideButtonRect()));
        for (size_t j = 0; j < i; ++j)
            EXPECT_FALSE(r.intersects(window->KeyRect(keys[j].code))) << keys[j].label;
    }
    EXPECT_TRUE(window->KeyRect(-1).isEmpty());
    // To be looked at.
    window->grab().save(QStringLiteral(KELVO_SHOT_DIR "/rcu_window.png"));
}

TEST_F(RcuWindowTest, EachButtonSendsItsOwnCodeOnce)
{
    QSignalSpy clicks(window, &CKelvoRCUWindow::bnClicked);
    for (const CKelvoRCUKeyElement& key : KelvoRCUKeys()) {
        SCOPED_TRACE(key.label);
        clicks.clear();
        QTest::mouseClick(window, Qt::LeftButton, {}, Centre(key.code));
        ASSERT_EQ(clicks.size(), 1);
        EXPECT_EQ(clicks[0][0].toInt(), key.code);
        EXPECT_FALSE(clicks[0][1].toBool());
    }
    // Between the buttons and on the caption nothing is sent.
    clicks.clear();
    const QRect first = window->KeyRect(KelvoRCUKeys()[1].code);
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(first.right() + 2, first.center().y()));
    QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(window->width() / 2, 4));
    EXPECT_EQ(clicks.size(), 0);
}

TEST_F(RcuWindowTest, AHeldButtonRepeatsUntilReleasedOrPulledOff)
{
    window->SetRepeatTiming(40, 20);
    QSignalSpy clicks(window, &CKelvoRCUWindow::bnClicked);
    const int code = KelvoRCUKeys()[5].code;
    QTest::mousePress(window, Qt::LeftButton, {}, Centre(code));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.size() >= 4; }, 3000));
    QTest::mouseRelease(window, Qt::LeftButton, {}, Centre(code));
    const qsizetype held = clicks.size();
    for (qsizetype i = 0; i < held; ++i) {
        EXPECT_EQ(clicks[i][0].toInt(), code);
        EXPECT_EQ(clicks[i][1].toBool(), i > 0) << i;
    }
    QTest::qWait(120);
    EXPECT_EQ(clicks.size(), held) << "repeats after the release";

    // Pulled off the button while held: the repeats stop, and a release elsewhere sends nothing.
    clicks.clear();
    QTest::mousePress(window, Qt::LeftButton, {}, Centre(code));
    QTest::mouseMove(window, Centre(KelvoRCUKeys()[6].code));
    QTest::qWait(150);
    QTest::mouseRelease(window, Qt::LeftButton, {}, Centre(KelvoRCUKeys()[6].code));
    ASSERT_EQ(clicks.size(), 1);
    EXPECT_FALSE(clicks[0][1].toBool());

    // The first repeat waits for the delay, the ones after it follow at the shorter interval.
    window->SetRepeatTiming(400, 10);
    clicks.clear();
    QElapsedTimer pressed;
    pressed.start();
    QTest::mousePress(window, Qt::LeftButton, {}, Centre(code));
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.size() >= 2; }, 3000));
    const qint64 firstRepeat = pressed.elapsed();
    ASSERT_TRUE(QTest::qWaitFor([&] { return clicks.size() >= 6; }, 3000));
    const qint64 fourMore = pressed.elapsed() - firstRepeat;
    QTest::mouseRelease(window, Qt::LeftButton, {}, Centre(code));
    EXPECT_GE(firstRepeat, 350);
    EXPECT_LT(fourMore, 800);
}

TEST_F(RcuWindowTest, AttachDocksToTheRightEdgeAndFollowsTheParent)
{
    QSignalSpy attached(window, &CKelvoRCUWindow::attached);
    QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
    ASSERT_EQ(attached.size(), 1);
    EXPECT_TRUE(attached[0][0].toBool());
    EXPECT_TRUE(window->IsAttached());
    const QRect outer = parent.frameGeometry();
    EXPECT_EQ(window->pos(), QPoint(outer.x() + outer.width(), 150));

    // The parent moves and grows: the window keeps its place beside the right edge.
    const auto besideParent = [&] {
        const QRect f = parent.frameGeometry();
        return QPoint(f.x() + f.width(), f.y() + 150 - outer.y());
    };
    parent.move(160, 130);
    EXPECT_EQ(window->pos(), besideParent());
    parent.resize(500, 600);
    const QPoint docked = besideParent();
    EXPECT_EQ(window->pos(), docked);
    // The parent's drag may move the window first: the same step is not taken twice.
    window->move(docked + QPoint(10, 5));
    parent.move(parent.pos() + QPoint(10, 5));
    EXPECT_EQ(window->pos(), docked + QPoint(10, 5));

    // Shown again somewhere else while attached: back beside the parent.
    window->hide();
    window->move(0, 0);
    window->show();
    EXPECT_EQ(window->pos(), docked + QPoint(10, 5));

    // Beside a full-screen parent there is no room: it stays, and comes back with the parent.
    const QRect normal = parent.geometry();
    parent.showFullScreen();
    EXPECT_EQ(window->pos(), docked + QPoint(10, 5));
    window->hide();
    window->show();
    EXPECT_EQ(window->pos(), docked + QPoint(10, 5));
    parent.showNormal();
    parent.setGeometry(normal);
    EXPECT_EQ(window->pos(), docked + QPoint(10, 5));

    // Detached: it stays where it is and no longer follows.
    QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
    ASSERT_EQ(attached.size(), 2);
    EXPECT_FALSE(attached[1][0].toBool());
    const QPoint loose = window->pos();
    parent.move(40, 40);
    EXPECT_EQ(window->pos(), loose);
}

TEST_F(RcuWindowTest, DockingKeepsTheWindowWithinTheParentsHeight)
{
    QSignalSpy attached(window, &CKelvoRCUWindow::attached);
    const auto dockFrom = [&](int y) {
        window->move(700, y);
        QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
        EXPECT_TRUE(window->IsAttached());
        const QPoint at = window->pos();
        QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
        return at;
    };
    const QRect outer = parent.frameGeometry();
    const int right = outer.x() + outer.width();
    EXPECT_EQ(dockFrom(2000), QPoint(right, outer.y() + outer.height() - window->frameGeometry().height()));
    EXPECT_EQ(dockFrom(-500), QPoint(right, outer.y()));
    // Taller than the parent: aligned with its top.
    parent.resize(400, 200);
    EXPECT_EQ(dockFrom(300), QPoint(parent.frameGeometry().x() + parent.frameGeometry().width(), outer.y()));
    EXPECT_EQ(attached.size(), 6);
}

TEST_F(RcuWindowTest, DraggingByTheCaptionDetaches)
{
    QSignalSpy attached(window, &CKelvoRCUWindow::attached);
    QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
    ASSERT_TRUE(window->IsAttached());
    const QPoint grip(window->width() / 3, 6);
    QTest::mousePress(window, Qt::LeftButton, {}, grip);
    EXPECT_FALSE(window->IsAttached());
    ASSERT_EQ(attached.size(), 2);
    EXPECT_FALSE(attached[1][0].toBool());
    QTest::mouseRelease(window, Qt::LeftButton, {}, grip);
    const QPoint loose = window->pos();
    parent.move(300, 300);
    EXPECT_EQ(window->pos(), loose);
}

TEST_F(RcuWindowTest, AttachedByTheParentTakesItsPlaceAfterTheParentsMove)
{
    // The parent was dragged against the window: it says so before it takes its new place.
    QSignalSpy attached(window, &CKelvoRCUWindow::attached);
    const QPoint place = window->pos();
    window->SetAttached(true);
    window->SetAttached(true);
    ASSERT_EQ(attached.size(), 1);
    EXPECT_TRUE(attached[0][0].toBool());
    parent.move(place.x() - parent.frameGeometry().width(), 120);
    EXPECT_EQ(window->pos(), place);
    // From then on the two move as one.
    parent.move(parent.pos() + QPoint(-30, 20));
    EXPECT_EQ(window->pos(), place + QPoint(-30, 20));
    window->SetAttached(false);
    ASSERT_EQ(attached.size(), 2);
    EXPECT_FALSE(attached[1][0].toBool());
}

TEST(RcuWithoutParent, HasNothingToAttachTo)
{
    std::unique_ptr<QWidget> lone(CreateRCU(nullptr));
    auto* window = qobject_cast<CKelvoRCUWindow*>(lone.get());
    ASSERT_NE(window, nullptr);
    window->show();
    QSignalSpy attached(window, &CKelvoRCUWindow::attached);
    QTest::mouseClick(window, Qt::LeftButton, {}, window->AttachButtonRect().center());
    window->SetAttached(true);
    EXPECT_EQ(attached.size(), 0);
    EXPECT_FALSE(window->IsAttached());
}

} // namespace
