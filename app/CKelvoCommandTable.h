#pragma once

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QWidget;

// The frame's commands, one row each: id, text, shortcut, checkable, handler and state. The table
// makes a QAction per row and adds it to the window so that shortcuts work without menus; the
// controls that carry a row's id, wherever they sit in the window tree, are bound to its action.
//
// Routing: a control whose id has no row here is handled by the page or view that owns it; only
// what no view takes reaches the frame through this table, which is the original order "active
// view, then the bars, then the frame" with the views' own buttons answering first.
class CKelvoCommandTable final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoCommandTable)

public:
    struct Row
    {
        int id = 0;
        QString text;
        std::function<void()> handler;
        bool checkable = false;
        QKeySequence shortcut;
        // Asked on every state update; none means always enabled.
        std::function<bool()> enabled;
        // For checkable rows: asked on every state update.
        std::function<bool()> checked;
    };

    explicit CKelvoCommandTable(QWidget* window);
    ~CKelvoCommandTable() override;

    void Add(Row row);
    QAction* Action(int id) const;
    const std::vector<Row>& Rows() const { return m_rows; }

    // Binds every control under `root` that carries the id of a row.
    void Bind(QWidget* root);
    // Brings the actions' enabled and checked states up to date (and with them the controls).
    void UpdateStates();
    // Runs a command as its control would.
    bool Trigger(int id);

private:
    QWidget* m_window;
    std::vector<Row> m_rows;
    QHash<int, QAction*> m_actions;
};
