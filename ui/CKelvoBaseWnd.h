#pragma once

#include "ui/CKelvoView.h"

#include <QSize>
#include <QWidget>
#include <functional>

// A page of the left bar (and the information box): a plain window with a fixed size that the
// owner's layout asks for, and hooks for building and refreshing its content.
class CKelvoBaseWnd : public QWidget, public CKelvoView
{
    Q_OBJECT
    Q_PROPERTY(int commandId READ CommandId WRITE SetCommandId)
public:
    explicit CKelvoBaseWnd(QWidget* parent = nullptr);

    // Creates the content (CreateChildren) and remembers the size; the window starts at 0,0 with
    // no size until the owner's layout places it. False when the content could not be built.
    bool Create(QWidget* parent, int id, const QRect& rect);
    virtual QSize CalcFixedLayout(bool stretch, bool horizontal) const;

    int CommandId() const { return m_commandId; }
    void SetCommandId(int id) { m_commandId = id; }
    QSize CreationSize() const { return m_size; }
    QSize sizeHint() const override { return m_size; }

protected:
    virtual bool CreateChildren() { return true; }

private:
    int m_commandId = 0;
    QSize m_size;
};

// The fixed layout of the page window and the control bar.
QSize KelvoFixedLayout(QSize size, bool stretch, bool horizontal);
// Enables each descendant of `owner` that carries a commandId as `isEnabled(id)` answers (the
// frame's command-state handlers: 1 enabled, 0 disabled, -1 unknown and left alone); a button
// bound to a command action is set through its action.
void KelvoUpdateCommandStates(QWidget* owner, const std::function<int(int commandId)>& isEnabled);
