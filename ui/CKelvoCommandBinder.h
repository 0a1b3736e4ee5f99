#pragma once

#include <QtGlobal>
#include <functional>

class QAction;
class QWidget;

// Ties the buttons of a window tree to the frame's command table. Every button below `root`
// (at any depth) whose `commandId` has an action is bound to it: a click triggers the action,
// the action's enabled state drives the button's, and for checkable buttons the check follows
// the action and a user toggle sets the action's check. Buttons are CPngButton and its
// subclasses and QAbstractButton subclasses such as CNxButton; other controls that carry a
// command id (lists, edits, pages) report through their own signals and are left alone.
//
// The action owns the state of its id: everything that enables or checks a bound button goes
// through the action (KelvoUpdateCommandStates does so), so every control of one id agrees and
// a later change of the action never undoes it.
//
// Binding again is harmless (a button stays bound once to its action; a button whose lookup
// now answers another action is moved over), so a subtree created later is bound by binding it.
// A binding lives as long as its button; an action that goes away leaves the button unbound.
class CKelvoCommandBinder final
{
public:
    using ActionLookup = std::function<QAction*(int commandId)>;

    // Returns the number of buttons newly bound or moved to another action.
    static int Bind(QWidget* root, const ActionLookup& lookup);
    // The action a button is bound to, or nullptr.
    static QAction* BoundAction(const QWidget* button);

private:
    CKelvoCommandBinder() = delete;
};

// The command table's entry point: CKelvoCommandBinder::Bind.
int KelvoBindCommands(QWidget* root, const CKelvoCommandBinder::ActionLookup& lookup);
