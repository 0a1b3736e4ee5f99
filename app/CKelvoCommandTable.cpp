#include "app/CKelvoCommandTable.h"

#include "ui/CKelvoCommandBinder.h"

#include <QAction>
#include <QWidget>

CKelvoCommandTable::CKelvoCommandTable(QWidget* window) : QObject(window), m_window(window) {}

CKelvoCommandTable::~CKelvoCommandTable() = default;

void CKelvoCommandTable::Add(Row row)
{
    auto* action = new QAction(row.text, m_window);
    action->setData(row.id);
    action->setCheckable(row.checkable);
    if (!row.shortcut.isEmpty()) {
        action->setShortcut(row.shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    m_window->addAction(action);
    // The handler is looked up at trigger time: rows are stored by value and may move.
    const int id = row.id;
    connect(action, &QAction::triggered, this, [this, id] {
        for (const Row& r : m_rows) {
            if (r.id == id && r.handler) {
                r.handler();
                break;
            }
        }
    });
    m_actions.insert(row.id, action);
    m_rows.push_back(std::move(row));
}

QAction* CKelvoCommandTable::Action(int id) const
{
    return m_actions.value(id, nullptr);
}

void CKelvoCommandTable::Bind(QWidget* root)
{
    CKelvoCommandBinder::Bind(root, [this](int id) { return Action(id); });
}

void CKelvoCommandTable::UpdateStates()
{
    for (const Row& row : m_rows) {
        QAction* action = m_actions.value(row.id);
        if (row.enabled)
            action->setEnabled(row.enabled());
        if (row.checkable && row.checked)
            action->setChecked(row.checked());
    }
}

bool CKelvoCommandTable::Trigger(int id)
{
    QAction* action = Action(id);
    if (!action || !action->isEnabled())
        return false;
    action->trigger();
    return true;
}
