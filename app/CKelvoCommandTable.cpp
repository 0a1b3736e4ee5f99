#include "app/CKelvoCommandTable.h"

#include "ui/CKelvoCommandBinder.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

CKelvoCommandTable::CKelvoCommandTable(QWidget* window) : QObject(window), m_window(window) {}

CKelvoCommandTable::~CKelvoCommandTable()
{
    if (m_isOwnWindow)
        qApp->removeEventFilter(this);
}

void CKelvoCommandTable::Add(Row row)
{
    auto* action = new QAction(row.text, m_window);
    action->setData(row.id);
    action->setCheckable(row.checkable);
    // Shown with the action wherever it appears; the keys themselves are routed by the table,
    // since some of them must also reach the focused widget, which a Qt shortcut never lets happen.
    if (!row.keys.isEmpty())
        action->setToolTip(
            QStringLiteral("%1 (%2)").arg(row.text, row.keys.first().toString(QKeySequence::NativeText)));
    m_window->addAction(action);
    // The handler is looked up at trigger time: rows are stored by value and may move.
    const int id = row.id;
    connect(action, &QAction::triggered, this, [this, id] {
        if (const Row* r = Find(id); r && r->handler)
            r->handler();
    });
    m_actions.insert(row.id, action);
    m_rows.push_back(std::move(row));
}

QAction* CKelvoCommandTable::Action(int id) const
{
    return m_actions.value(id, nullptr);
}

const CKelvoCommandTable::Row* CKelvoCommandTable::Find(int id) const
{
    for (const Row& r : m_rows) {
        if (r.id == id)
            return &r;
    }
    return nullptr;
}

void CKelvoCommandTable::Bind(QWidget* root)
{
    CKelvoCommandBinder::Bind(root, [this](int id) -> QAction* {
        const Row* row = Find(id);
        return row && row->bindControls ? Action(id) : nullptr;
    });
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

void CKelvoCommandTable::SetOwnWindows(std::function<bool(const QWidget*)> isOwn)
{
    if (!m_isOwnWindow)
        qApp->installEventFilter(this);
    m_isOwnWindow = std::move(isOwn);
}

bool CKelvoCommandTable::Applies(const Row& row) const
{
    if (row.enabled && !row.enabled())
        return false;
    return !row.keyContext || row.keyContext();
}

const CKelvoCommandTable::Row* CKelvoCommandTable::RowForKey(const QKeyEvent& key) const
{
    // The keypad's Enter is the same key to the user as the main one.
    const QKeySequence pressed(QKeyCombination(key.modifiers() & ~Qt::KeypadModifier, Qt::Key(key.key())));
    for (const Row& row : m_rows) {
        for (const QKeySequence& k : row.keys) {
            if (k == pressed && Applies(row))
                return &row;
        }
    }
    return nullptr;
}

bool CKelvoCommandTable::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress || !m_isOwnWindow)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    // A key the focused widget ignores travels on to its parents and passes here again for each;
    // acting only where it was first delivered runs a row once per press.
    QWidget* first = QApplication::focusWidget();
    if (first == nullptr)
        first = QApplication::activeWindow();
    if (target == nullptr || target != first || !m_isOwnWindow(target->window()))
        return false;
    const Row* row = RowForKey(*static_cast<QKeyEvent*>(event));
    if (row == nullptr)
        return false;
    const bool passesOn = row->keyPassesOn;
    // A copy: the handler may wait for the box, and what runs meanwhile may change the table.
    const std::function<void()> handler = row->handler;
    if (handler)
        handler();
    return !passesOn;
}
