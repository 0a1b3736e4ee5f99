#include "app/bars/CMainFrameCaptionBar.h"
#include "app/bars/CMiniFrameCaptionBar.h"
#include "app/bars/CViewCaptionBar.h"
#include "commands/KelvoCommandIds.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoCommandBinder.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxStatic.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <map>

namespace {

using CB = CKelvoCaptionBar;

class CaptionBars : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CKelvoRes::Instance().Load(); }
};

QImage FrameOf(int imageId, int frames, int index)
{
    CNxImages strip;
    strip.SetFrameSize(QSize(24, 24));
    strip.Load(imageId);
    EXPECT_EQ(strip.FrameCount(), frames);
    return strip.Frame(index).toImage();
}

} // namespace

TEST_F(CaptionBars, StripSizesAndPlacesReadBack)
{
    CMainFrameCaptionBar main;
    CMiniFrameCaptionBar mini;
    CViewCaptionBar view;
    EXPECT_EQ(main.CalcFixedLayout(true, true).height(), 119);
    EXPECT_EQ(mini.CalcFixedLayout(true, true).height(), 38);
    EXPECT_EQ(view.CalcFixedLayout(true, true).height(), 38);
    // the frame lays its strips out by their size hints
    EXPECT_EQ(main.sizeHint().height(), 119);
    EXPECT_EQ(mini.sizeHint().height(), 38);
    EXPECT_EQ(view.sizeHint().height(), 38);
    main.show();
    mini.show();

    for (const int w : {1000, 1300}) {
        main.resize(w, 119);
        mini.resize(w, 38);
        struct Case
        {
            const char* what;
            QWidget* widget;
            QRect expected;
        };
        const Case cases[] = {
            {"full screen", main.Button(CB::FullScreenButton), {w - 101, 6, 24, 24}},
            {"minimize", main.Button(CB::MinimizeButton), {w - 77, 6, 24, 24}},
            {"maximize", main.Button(CB::MaximizeButton), {w - 53, 6, 24, 24}},
            {"close", main.Button(CB::CloseButton), {w - 29, 6, 24, 24}},
            {"mini close", mini.Button(CB::CloseButton), {w - 29, 6, 24, 24}},
            {"Channel", main.ModeButton(0), {18, 70, 120, 44}},
            {"Schedule", main.ModeButton(1), {151, 70, 120, 44}},
            {"Setting", main.ModeButton(2), {290, 70, 120, 44}},
            {"Remote", main.RemoteButton(), {w - 104, 77, 90, 30}},
        };
        for (const Case& c : cases) {
            EXPECT_EQ(c.widget->geometry(), c.expected) << c.what << " at width " << w;
        }
        // the title sits in the middle of the mini bar
        const QRect title = mini.Title()->geometry();
        EXPECT_LE(std::abs(title.center().x() - w / 2), 1) << w;
        EXPECT_GT(title.width(), 20);
    }
    const int commands[] = {Kelvo::ID_MODE_CHANNEL, Kelvo::ID_MODE_SCHEDULE, Kelvo::ID_MODE_SETTING};
    for (int mode = 0; mode < 3; ++mode) {
        EXPECT_EQ(main.ModeButton(mode)->CommandId(), commands[mode]);
        EXPECT_EQ(main.ModeButton(mode)->ButtonKind(), CPngButton::Kind::Radio);
    }
    EXPECT_EQ(main.ModeButton(0)->Text(), "Channel");
    EXPECT_EQ(main.ModeButton(2)->TextColourAt(CKelvoButton::Normal), QColor(135, 135, 135));
    EXPECT_EQ(main.RemoteButton()->CommandId(), Kelvo::ID_TOGGLE_REMOTE);
    EXPECT_EQ(main.RemoteButton()->ButtonKind(), CPngButton::Kind::Push);
    EXPECT_EQ(main.RemoteButton()->Text(), "Remote");
    EXPECT_EQ(mini.Title()->Text(), "ON AIR");
}

TEST_F(CaptionBars, HitTestAndWhatPressesDo)
{
    CMainFrameCaptionBar bar;
    bar.resize(1000, 119);
    struct Case
    {
        QPoint at;
        int hit;
    };
    const Case cases[] = {
        {{500, 30}, CB::HitCaption},  {{500, 69}, CB::HitCaption},    {{145, 80}, CB::HitNowhere},
        {{500, 70}, CB::HitNowhere},  {{905, 10}, CB::HitFullScreen}, {{930, 10}, CB::HitMinimize},
        {{950, 29}, CB::HitMaximize}, {{975, 6}, CB::HitClose},       {{999, 10}, CB::HitCaption},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(bar.HitTest(c.at), c.hit) << c.at.x() << "," << c.at.y();
    }

    QSignalSpy moves(&bar, &CB::moveStarted);
    QSignalSpy maximize(&bar, &CB::maximizeRequested);
    QSignalSpy menu(&bar, &CB::systemMenuRequested);
    uitest::Press(&bar, {500, 30});
    uitest::Release(&bar, {500, 30});
    ASSERT_EQ(moves.size(), 1);
    EXPECT_EQ(moves.at(0).at(0).toPoint(), bar.mapToGlobal(QPoint(500, 30)));
    // between the mode buttons the bar does not drag the frame
    uitest::Press(&bar, {145, 80});
    EXPECT_EQ(moves.size(), 1);

    uitest::Mouse(&bar, QEvent::MouseButtonDblClick, {400, 20}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(maximize.size(), 1);
    uitest::Mouse(&bar, QEvent::MouseButtonDblClick, {400, 90}, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(maximize.size(), 1);

    QContextMenuEvent right(QContextMenuEvent::Mouse, QPoint(300, 40), bar.mapToGlobal(QPoint(300, 40)));
    QCoreApplication::sendEvent(&bar, &right);
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), bar.mapToGlobal(QPoint(300, 40)));

    bar.SetButtonsEnabled(false);
    EXPECT_EQ(bar.HitTest({500, 30}), CB::HitNowhere);
    EXPECT_FALSE(bar.Button(CB::CloseButton)->isVisibleTo(&bar));
}

TEST_F(CaptionBars, WindowButtonsActOnlyWhenReleasedOverThePressedButton)
{
    CMainFrameCaptionBar bar;
    bar.resize(1000, 119);
    QSignalSpy close(&bar, &CB::closeRequested);
    QSignalSpy minimize(&bar, &CB::minimizeRequested);
    QSignalSpy maximize(&bar, &CB::maximizeRequested);
    QSignalSpy full(&bar, &CB::fullScreenRequested);

    CPngButton* closeButton = bar.Button(CB::CloseButton);
    // pressed on close, released over minimize: nothing
    uitest::Press(closeButton, {12, 12});
    uitest::Release(closeButton, closeButton->mapFrom(&bar, QPoint(930, 10)));
    EXPECT_EQ(close.size() + minimize.size(), 0);

    for (int b = 0; b < CB::WindowButtonCount; ++b) {
        uitest::Click(bar.Button(b), {12, 12});
    }
    EXPECT_EQ(full.size(), 1);
    EXPECT_EQ(minimize.size(), 1);
    EXPECT_EQ(maximize.size(), 1);
    EXPECT_EQ(close.size(), 1);

    // in full screen the full-screen button is neither shown nor hit
    bar.SetFullScreen(true);
    EXPECT_FALSE(bar.Button(CB::FullScreenButton)->isVisibleTo(&bar));
    EXPECT_EQ(bar.HitTest({905, 10}), CB::HitCaption);
    bar.SetFullScreen(false);
    EXPECT_TRUE(bar.Button(CB::FullScreenButton)->isVisibleTo(&bar));
}

TEST_F(CaptionBars, MaximizeButtonShowsTheRestoreFaceWhileMaximized)
{
    CMainFrameCaptionBar bar;
    bar.resize(1000, 119);
    CPngButton* button = bar.Button(CB::MaximizeButton);
    const QPoint place = button->pos();
    for (int state = 0; state < 3; ++state) {
        EXPECT_EQ(button->Images().Frame(state).toImage(), FrameOf(359, 6, state)) << state;
    }
    bar.SetMaximized(true);
    for (int state = 0; state < 3; ++state) {
        EXPECT_EQ(button->Images().Frame(state).toImage(), FrameOf(359, 6, state + 3)) << state;
    }
    EXPECT_EQ(button->geometry(), QRect(place, QSize(24, 24)));
    bar.SetMaximized(false);
    EXPECT_EQ(button->Images().Frame(0).toImage(), FrameOf(359, 6, 0));
}

TEST_F(CaptionBars, ModeButtonCheckFollowsTheModeAndClicks)
{
    CMainFrameCaptionBar bar;
    bar.resize(1000, 119);
    EXPECT_EQ(bar.CheckedMode(), -1);
    bar.SetCheckedMode(1);
    EXPECT_EQ(bar.CheckedMode(), 1);
    bar.SetCheckedMode(0);
    EXPECT_EQ(bar.CheckedMode(), 0);
    EXPECT_FALSE(bar.ModeButton(1)->IsChecked());
    // the mini player (3) has no mode button: the check stays
    bar.SetCheckedMode(3);
    bar.SetCheckedMode(-1);
    EXPECT_EQ(bar.CheckedMode(), 0);

    // a click sends the command and moves the check (the group does it without the frame)
    QSignalSpy commands(bar.ModeButton(2), &CPngButton::command);
    uitest::Click(bar.ModeButton(2), {60, 20});
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), Kelvo::ID_MODE_SETTING);
    EXPECT_EQ(bar.CheckedMode(), 2);
    // the Remote button is not part of the group
    uitest::Click(bar.RemoteButton(), {40, 15});
    EXPECT_EQ(bar.CheckedMode(), 2);
    // the "checked" property is what an action binding drives
    bar.ModeButton(1)->setProperty("checked", true);
    EXPECT_EQ(bar.CheckedMode(), 1);
}

TEST_F(CaptionBars, ButtonsBindToTheCommandsOfTheirIds)
{
    QWidget frame;
    auto* bar = new CMainFrameCaptionBar(&frame);
    bar->resize(1000, 119);
    std::map<int, QAction*> actions;
    QList<int> triggered;
    for (const int id :
         {Kelvo::ID_MODE_CHANNEL, Kelvo::ID_MODE_SCHEDULE, Kelvo::ID_MODE_SETTING, Kelvo::ID_TOGGLE_REMOTE}) {
        auto* action = new QAction(&frame);
        action->setCheckable(id != Kelvo::ID_TOGGLE_REMOTE);
        QObject::connect(action, &QAction::triggered, [&triggered, id] { triggered.append(id); });
        actions[id] = action;
    }
    EXPECT_EQ(KelvoBindCommands(&frame, [&](int id) { return actions.count(id) ? actions[id] : nullptr; }),
              4);

    uitest::Click(bar->ModeButton(1), {60, 20});
    uitest::Click(bar->RemoteButton(), {40, 15});
    EXPECT_EQ(triggered, (QList<int>{Kelvo::ID_MODE_SCHEDULE, Kelvo::ID_TOGGLE_REMOTE}));
    // the frame's mode drives the check through the action
    actions[Kelvo::ID_MODE_SETTING]->setChecked(true);
    EXPECT_EQ(bar->CheckedMode(), 2);
    // a disabled command disables its button, which then sends nothing
    actions[Kelvo::ID_TOGGLE_REMOTE]->setEnabled(false);
    EXPECT_FALSE(bar->RemoteButton()->isEnabled());
    uitest::Click(bar->RemoteButton(), {40, 15});
    EXPECT_EQ(triggered.size(), 2);
}

TEST_F(CaptionBars, MiniOverlayLeavesFullScreenBeforeActing)
{
    QWidget frame(nullptr, Qt::FramelessWindowHint);
    frame.setGeometry(200, 100, 640, 480);
    auto* mini = new CMiniFrameCaptionBar(&frame);
    mini->setGeometry(0, 0, 640, 38);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    QList<QString> order;
    QObject::connect(mini, &CB::fullScreenRequested, [&] { order.append("full"); });
    QObject::connect(mini, &CB::minimizeRequested, [&] { order.append("minimize"); });
    QObject::connect(mini, &CB::closeRequested, [&] { order.append("close"); });

    mini->ShowOverlay(true);
    EXPECT_TRUE(mini->isWindow());
    EXPECT_TRUE(mini->isVisible());
    EXPECT_EQ(mini->OverlayRect(), QRect(frame.mapToGlobal(QPoint(0, 0)), QSize(640, 38)));
    EXPECT_EQ(mini->HitTest({300, 20}), CB::HitNowhere); // the overlay does not drag the frame
    QSignalSpy docked(mini, &CMiniFrameCaptionBar::docked);
    uitest::Click(mini->Button(CB::MinimizeButton), {12, 12});
    EXPECT_EQ(order, (QList<QString>{"full", "minimize"}));
    EXPECT_FALSE(mini->IsOverlayShown());
    // The click came from the floating window itself: it stays a window until the click is done,
    // and a show from the frame meanwhile waits for the dock instead of showing a stray window.
    ASSERT_TRUE(mini->IsDockPending());
    EXPECT_TRUE(mini->isWindow());
    mini->show();
    EXPECT_FALSE(mini->isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(mini->IsDockPending());
    EXPECT_EQ(docked.count(), 1);
    EXPECT_FALSE(mini->isWindow());
    EXPECT_EQ(mini->parentWidget(), &frame);
    EXPECT_EQ(mini->geometry(), QRect(0, 0, 640, 38)); // its place before it floated
    EXPECT_TRUE(mini->isVisible());

    order.clear();
    mini->ShowOverlay(true);
    uitest::Click(mini->Button(CB::CloseButton), {12, 12});
    EXPECT_EQ(order, (QList<QString>{"close"})); // close simply closes, in full screen too

    // the overlay goes away by itself once the cursor is elsewhere
    mini->ShowOverlay(true);
    QCursor::setPos(frame.mapToGlobal(QPoint(300, 300)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !mini->IsOverlayShown(); }, 2000));
}

TEST_F(CaptionBars, ViewCaptionShowsTheCurrentViewsStripAndOwnsWhatItWasGiven)
{
    QWidget viewA;
    QWidget viewB;
    QPointer<QWidget> a = new QWidget(&viewA);
    QPointer<QWidget> b = new QWidget(&viewB);
    {
        CViewCaptionBar bar;
        bar.resize(700, 38);
        bar.show();
        bar.Adopt(b);
        EXPECT_EQ(b->parentWidget(), &bar);
        EXPECT_FALSE(b->isVisible()) << "adopted, not shown";
        bar.SetContent(a);
        EXPECT_EQ(a->parentWidget(), &bar);
        EXPECT_TRUE(a->isVisible());
        EXPECT_EQ(a->geometry(), QRect(0, 0, 700, 38));
        bar.SetContent(b);
        EXPECT_FALSE(a->isVisible());
        EXPECT_TRUE(b->isVisible());
        EXPECT_EQ(bar.Content(), b);
        bar.resize(900, 38);
        EXPECT_EQ(b->geometry(), QRect(0, 0, 900, 38));
        bar.SetContent(a);
        EXPECT_FALSE(b->isVisible());
        EXPECT_TRUE(a->isVisible());
        bar.SetContent(nullptr);
        EXPECT_FALSE(a->isVisible());
    }
    // The strips went with the bar; the views that made them are left without.
    EXPECT_TRUE(a.isNull());
    EXPECT_TRUE(b.isNull());

    // A strip deleted by someone else leaves the bar showing nothing.
    CViewCaptionBar bar;
    auto* c = new QWidget;
    bar.SetContent(c);
    delete c;
    EXPECT_EQ(bar.Content(), nullptr);
}

TEST_F(CaptionBars, Screenshots)
{
    QWidget guideView; // makes the caption content, as a view does
    QWidget holder;
    holder.resize(1000, 195);
    auto* main = new CMainFrameCaptionBar(&holder);
    main->setGeometry(0, 0, 1000, 119);
    main->SetCheckedMode(0);
    auto* view = new CViewCaptionBar(&holder);
    view->setGeometry(0, 119, 1000, 38);
    auto* content = new QWidget(&guideView);
    auto* title = new CNxStatic(QStringLiteral("Program Guide"), content);
    title->SetTransparent(true);
    title->setFont(KelvoRes().fontBold15);
    title->setGeometry(12, 0, 300, 38);
    view->SetContent(content);
    auto* mini = new CMiniFrameCaptionBar(&holder);
    mini->setGeometry(0, 157, 1000, 38);
    holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&holder));

    const QImage mainShot = main->grab().toImage();
    const QImage viewShot = view->grab().toImage();
    EXPECT_TRUE(mainShot.save(QStringLiteral(KELVO_SHOT_DIR "/bars_main_caption.png")));
    EXPECT_TRUE(viewShot.save(QStringLiteral(KELVO_SHOT_DIR "/bars_view_caption.png")));
    EXPECT_TRUE(mini->grab().save(QStringLiteral(KELVO_SHOT_DIR "/bars_mini_caption.png")));
    // the logo is drawn (not the plain background) and the window buttons sit at the right
    EXPECT_NE(mainShot.pixel(26 + 20, 21 + 14), mainShot.pixel(26 + 20, 5));
    EXPECT_EQ(viewShot.size(), QSize(1000, 38));
}
