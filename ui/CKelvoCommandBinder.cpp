#include "ui/CKelvoCommandBinder.h"

#include "ui/CPngButton.h"

#include <QAbstractButton>
#include <QAction>
#include <QPointer>
#include <QVariant>

namespace {

// The binding is a child of its button: its connections go with the button, and finding it
// again is what makes a second Bind a no-op.
const char* const kBindingName = "kelvoCommandBinding";

bool IsCheckable(const QWidget* button)
{
    if (const auto* png = qobject_cast<const CPngButton*>(button)) {
        return png->ButtonKind() != CPngButton::Kind::Push;
    }
    const auto* abstract = qobject_cast<const QAbstractButton*>(button);
    return abstract != nullptr && abstract->isCheckable();
}

bool IsChecked(const QWidget* button)
{
    if (const auto* png = qobject_cast<const CPngButton*>(button)) {
        return png->IsChecked();
    }
    const auto* abstract = qobject_cast<const QAbstractButton*>(button);
    return abstract != nullptr && abstract->isChecked();
}

void SetChecked(QWidget* button, bool checked)
{
    // Neither setter emits a click, so the action's state never comes back as a user toggle.
    if (auto* png = qobject_cast<CPngButton*>(button)) {
        png->SetChecked(checked);
    } else if (auto* abstract = qobject_cast<QAbstractButton*>(button)) {
        abstract->setChecked(checked);
    }
}

class CBinding final : public QObject
{
public:
    explicit CBinding(QWidget* button) : QObject(button), m_button(button)
    {
        setObjectName(QString::fromLatin1(kBindingName));
        // The click connection stays for the binding's life; only the action side is swapped.
        if (auto* png = qobject_cast<CPngButton*>(button)) {
            connect(png, &CPngButton::clicked, this, &CBinding::OnClicked);
        } else if (auto* abstract = qobject_cast<QAbstractButton*>(button)) {
            connect(abstract, &QAbstractButton::clicked, this, &CBinding::OnClicked);
        }
    }
    Q_DISABLE_COPY_MOVE(CBinding)

    QAction* Action() const { return m_action.data(); }

    // False when the button already follows this action.
    bool Attach(QAction* target)
    {
        if (m_action == target) {
            return false;
        }
        disconnect(m_follow);
        m_action = target;
        m_follow = connect(target, &QAction::changed, this, &CBinding::Follow);
        Follow();
        return true;
    }

private:
    void Follow()
    {
        if (m_action == nullptr) {
            return;
        }
        m_button->setEnabled(m_action->isEnabled());
        if (m_action->isCheckable() && IsCheckable(m_button)) {
            SetChecked(m_button, m_action->isChecked());
        }
    }

    // The user clicked the button, which has already toggled itself if it toggles.
    void OnClicked()
    {
        QAction* target = m_action.data();
        if (target == nullptr) {
            return;
        }
        if (!target->isEnabled()) {
            Follow(); // a toggle the action refuses is taken back
            return;
        }
        if (!target->isCheckable() || !IsCheckable(m_button)) {
            target->trigger();
            return;
        }
        const bool checked = IsChecked(m_button);
        if (target->isChecked() != checked) {
            target->trigger(); // toggles the action to the button's state and reports it
        } else {
            // A checked radio clicked again keeps its check; its handler still hears the click,
            // as it would from the button itself, without the action being toggled off.
            emit target->triggered(checked);
        }
    }

    QWidget* m_button; // the parent, so it outlives the binding
    QPointer<QAction> m_action;
    QMetaObject::Connection m_follow;
};

CBinding* FindBinding(const QWidget* button)
{
    // Only this file names an object so, and always a CBinding.
    return static_cast<CBinding*>(
        button->findChild<QObject*>(QString::fromLatin1(kBindingName), Qt::FindDirectChildrenOnly));
}

bool IsButton(QWidget* w)
{
    return qobject_cast<CPngButton*>(w) != nullptr || qobject_cast<QAbstractButton*>(w) != nullptr;
}

} // namespace

int CKelvoCommandBinder::Bind(QWidget* root, const ActionLookup& lookup)
{
    if (root == nullptr || !lookup) {
        return 0;
    }
    QList<QWidget*> candidates = root->findChildren<QWidget*>();
    candidates.prepend(root);
    int bound = 0;
    for (QWidget* w : candidates) {
        if (!IsButton(w)) {
            continue;
        }
        const QVariant id = w->property("commandId");
        if (!id.isValid() || id.toInt() == 0) {
            continue;
        }
        QAction* target = lookup(id.toInt());
        if (target == nullptr) {
            continue;
        }
        CBinding* binding = FindBinding(w);
        if (binding == nullptr) {
            binding = new CBinding(w); // owned by the button
        }
        bound += binding->Attach(target) ? 1 : 0;
    }
    return bound;
}

QAction* CKelvoCommandBinder::BoundAction(const QWidget* button)
{
    const CBinding* binding = button != nullptr ? FindBinding(button) : nullptr;
    return binding != nullptr ? binding->Action() : nullptr;
}

int KelvoBindCommands(QWidget* root, const CKelvoCommandBinder::ActionLookup& lookup)
{
    return CKelvoCommandBinder::Bind(root, lookup);
}
