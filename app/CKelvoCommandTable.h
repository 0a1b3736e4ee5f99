#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QAction;
class QKeyEvent;
class QWidget;

// Every user intent of the frame, one row each: id, text, handler, state, and the keys that ask for
// it with the context they apply in. The table makes a QAction per row and adds it to the window;
// the controls that carry a row's id, wherever they sit in the window tree, are bound to its
// action, so a button, a key and a test all run the same handler.
//
// Routing, in one place: a key pressed in one of the frame's own windows is offered to the rows in
// table order where it is first delivered, and the first row whose key matches and whose context
// holds runs; the key then goes on to the focused widget only when the row says so. A control
// whose id has no row is handled by the page or view that owns it, which is the original order
// "active view, then the bars, then the frame" with the views' own buttons answering first.
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
        // Asked on every state update; none means always enabled.
        std::function<bool()> enabled;
        // For checkable rows: asked on every state update.
        std::function<bool()> checked;
        // The keys that run the row, and when they do (asked at the key press; none: whenever the
        // row is enabled). A key whose row does not apply travels on as if the row did not exist.
        QList<QKeySequence> keys;
        std::function<bool()> keyContext;
        // The focused widget gets the key too after the row ran.
        bool keyPassesOn = false;
        // False: the controls carrying this id stay their view's own (they know their state, such as
        // whether a guide exists), and the row only gives the intent its keys.
        bool bindControls = true;
    };

    explicit CKelvoCommandTable(QWidget* window);
    ~CKelvoCommandTable() override;

    void Add(Row row);
    QAction* Action(int id) const;
    const Row* Find(int id) const;
    const std::vector<Row>& Rows() const { return m_rows; }

    // Binds every control under `root` that carries the id of a row.
    void Bind(QWidget* root);
    // Brings the actions' enabled and checked states up to date (and with them the controls).
    void UpdateStates();
    // Runs a command as its control would.
    bool Trigger(int id);

    // Keys of these windows are routed through the table: the frame's and those that float on its
    // behalf (the channel popup). Dialogs and other top-level windows keep their keys.
    void SetOwnWindows(std::function<bool(const QWidget* window)> isOwn);
    // The row a key press would run now, or null. Public so that the routing can be checked
    // without a window system.
    const Row* RowForKey(const QKeyEvent& key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Applies(const Row& row) const;

    QWidget* m_window;
    std::vector<Row> m_rows;
    QHash<int, QAction*> m_actions;
    std::function<bool(const QWidget*)> m_isOwnWindow;
};
