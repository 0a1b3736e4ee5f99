#include "UiTestHelpers.h"
#include "commands/KelvoCommandIds.h"
#include "ui/CKelvoBaseWnd.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoCommandBinder.h"
#include "ui/CNxButton.h"
#include "ui/CNxListBox.h"
#include "ui/KelvoImageTable.h"

#include <QAction>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <map>
#include <memory>

using namespace Kelvo;

namespace {

// A window with buttons at three depths, a list that shares a button's id, and a command table
// with actions for three ids (the fourth button's id has none).
struct Tree
{
    QWidget root;
    QWidget* panel = new QWidget(&root);
    QWidget* inner = new QWidget(panel);
    CKelvoButton* push = new CKelvoButton(panel, ID_NEXT_SERVICE);
    CPngButton* box = new CPngButton(inner, ID_MUTE);
    CNxButton* nx = new CNxButton(inner, ID_GUIDE_TV);
    CPngButton* orphan = new CPngButton(inner, ID_CHANNEL_REFRESH);
    CNxListBox* list = new CNxListBox(inner, ID_NEXT_SERVICE);
    QAction next{QStringLiteral("next")}, mute{QStringLiteral("mute")}, guide{QStringLiteral("guide")};
    std::map<int, QAction*> actions{{ID_NEXT_SERVICE, &next}, {ID_MUTE, &mute}, {ID_GUIDE_TV, &guide}};

    Tree()
    {
        push->SetImage(IDB_NEXT_SERVICE, 4);
        box->SetKind(CPngButton::Kind::CheckBox);
        box->SetImage(IDB_MUTE, 3);
        nx->setCheckable(true);
        nx->resize(40, 20);
        mute.setCheckable(true);
        guide.setCheckable(true);
    }
    CKelvoCommandBinder::ActionLookup Lookup()
    {
        return [this](int id) {
            const auto it = actions.find(id);
            return it != actions.end() ? it->second : nullptr;
        };
    }
};

} // namespace

TEST(CommandBinder, NestedButtonsReachTheirActionsOnce)
{
    Tree t;
    EXPECT_EQ(KelvoBindCommands(&t.root, t.Lookup()), 3);
    EXPECT_EQ(KelvoBindCommands(&t.root, t.Lookup()), 0); // again: nothing new
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(t.push), &t.next);
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(t.box), &t.mute); // two levels down
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(t.nx), &t.guide);
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(t.orphan), nullptr);
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(t.list), nullptr); // only buttons are bound

    QSignalSpy triggered(&t.next, &QAction::triggered);
    uitest::Click(t.push, QPoint(5, 5));
    EXPECT_EQ(triggered.count(), 1); // one handler call despite the second Bind

    // a button made later is bound by binding its subtree
    auto* late = new CPngButton(t.inner, ID_NEXT_SERVICE);
    late->SetImage(IDB_CLOSE, 3);
    EXPECT_EQ(KelvoBindCommands(t.inner, t.Lookup()), 1);
    uitest::Click(late, QPoint(3, 3));
    EXPECT_EQ(triggered.count(), 2);

    // a lookup that now answers another action moves the button over
    QAction other;
    QSignalSpy otherTriggered(&other, &QAction::triggered);
    EXPECT_EQ(KelvoBindCommands(late, [&](int) { return &other; }), 1);
    uitest::Click(late, QPoint(3, 3));
    EXPECT_EQ(otherTriggered.count(), 1);
    EXPECT_EQ(triggered.count(), 2);
    other.setEnabled(false); // and follows only the new one
    EXPECT_FALSE(late->isEnabled());
    t.next.setEnabled(true);
    EXPECT_FALSE(late->isEnabled());
}

TEST(CommandBinder, EnabledFollowsTheAction)
{
    Tree t;
    t.next.setEnabled(false); // before binding: taken over at once
    KelvoBindCommands(&t.root, t.Lookup());
    EXPECT_FALSE(t.push->isEnabled());
    t.next.setEnabled(true);
    EXPECT_TRUE(t.push->isEnabled());
    t.guide.setEnabled(false);
    EXPECT_FALSE(t.nx->isEnabled());
    t.next.setEnabled(false);
    EXPECT_TRUE(t.list->isEnabled()); // same id, not a button

    // a disabled action refuses the click of a button that was enabled behind its back, and
    // a check box's own toggle is taken back
    t.mute.setEnabled(false);
    t.box->setEnabled(true);
    QSignalSpy muteTriggered(&t.mute, &QAction::triggered);
    uitest::Click(t.box, QPoint(3, 3));
    EXPECT_EQ(muteTriggered.count(), 0);
    EXPECT_FALSE(t.box->IsChecked());
    EXPECT_FALSE(t.mute.isChecked());
}

TEST(CommandBinder, CheckFollowsBothWaysWithoutLoops)
{
    Tree t;
    KelvoBindCommands(&t.root, t.Lookup());
    QSignalSpy toggled(&t.mute, &QAction::toggled);
    QSignalSpy triggered(&t.mute, &QAction::triggered);

    t.mute.setChecked(true); // program sets the action: the button follows, no click
    EXPECT_TRUE(t.box->IsChecked());
    EXPECT_EQ(triggered.count(), 0);

    uitest::Click(t.box, QPoint(3, 3)); // user unchecks the button: the action follows once
    EXPECT_FALSE(t.box->IsChecked());
    EXPECT_FALSE(t.mute.isChecked());
    EXPECT_EQ(toggled.count(), 2);
    ASSERT_EQ(triggered.count(), 1);
    EXPECT_FALSE(triggered.at(0).at(0).toBool());

    // a QAbstractButton-based control the same way
    t.nx->click();
    EXPECT_TRUE(t.nx->isChecked());
    EXPECT_TRUE(t.guide.isChecked());
    t.guide.setChecked(false);
    EXPECT_FALSE(t.nx->isChecked());
}

TEST(CommandBinder, CheckedRadioClickedAgainStaysCheckedAndIsHeard)
{
    QWidget root;
    auto* radio = new CPngButton(&root, ID_CHANNEL_TV);
    radio->SetKind(CPngButton::Kind::Radio);
    radio->SetImage(IDB_TV, 3);
    QAction tv;
    tv.setCheckable(true);
    KelvoBindCommands(&root, [&](int) { return &tv; });
    QSignalSpy triggered(&tv, &QAction::triggered);
    uitest::Click(radio, QPoint(3, 3));
    EXPECT_TRUE(tv.isChecked());
    uitest::Click(radio, QPoint(3, 3));
    EXPECT_TRUE(tv.isChecked());
    EXPECT_TRUE(radio->IsChecked());
    EXPECT_EQ(triggered.count(), 2);
}

TEST(CommandBinder, ActionGoneLeavesTheButtonHarmless)
{
    QWidget root;
    auto* b = new CPngButton(&root, ID_CHANNEL_REFRESH);
    b->SetImage(IDB_CLOSE, 3);
    auto action = std::make_unique<QAction>();
    KelvoBindCommands(&root, [&](int) { return action.get(); });
    action.reset();
    EXPECT_EQ(CKelvoCommandBinder::BoundAction(b), nullptr);
    uitest::Click(b, QPoint(3, 3)); // nothing to reach, nothing to crash
    QAction again;
    EXPECT_EQ(KelvoBindCommands(&root, [&](int) { return &again; }), 1); // and it can be bound anew
}

TEST(CommandStates, ReachNestedControlsAndGoThroughBoundActions)
{
    const auto states = [](int id) { return id == ID_MUTE ? 0 : id == ID_GUIDE_TV ? 1 : -1; };
    {
        Tree t; // unbound: the controls themselves
        KelvoUpdateCommandStates(&t.root, states);
        EXPECT_FALSE(t.box->isEnabled()); // two levels down
        EXPECT_TRUE(t.nx->isEnabled());
        EXPECT_TRUE(t.push->isEnabled()); // -1: left alone
    }
    Tree t;
    KelvoBindCommands(&t.root, t.Lookup());
    KelvoUpdateCommandStates(&t.root, states);
    EXPECT_FALSE(t.mute.isEnabled());
    EXPECT_FALSE(t.box->isEnabled());
    t.mute.setChecked(true); // the action's next change does not enable the button again
    EXPECT_FALSE(t.box->isEnabled());
    KelvoUpdateCommandStates(&t.root, [](int) { return 1; });
    EXPECT_TRUE(t.box->isEnabled());
    EXPECT_TRUE(t.mute.isEnabled());
}
