#pragma once

#include "ui/CKelvoRes.h"
#include "ui/CNxGlowWindow.h"

#include <QObject>
#include <QPointer>
#include <array>

// The four glow windows of a frameless top-level window. They follow the owner's moves and
// resizes and show only while it is visible in the restored state (not minimized, maximized or
// full screen), where edges can be dragged.
class CNxGlowWindowManager final : public QObject
{
    Q_OBJECT
public:
    CNxGlowWindowManager(QWidget* owner, int size = 8, bool visibleMode = false,
                         const QColor& colour = KelvoRes().colorGlow);
    ~CNxGlowWindowManager() override;
    Q_DISABLE_COPY_MOVE(CNxGlowWindowManager)

    // Places all four round the owner.
    void Update();
    // Whether the windows should show for the owner's present state.
    bool ShouldShow() const;
    void SyncVisibility();
    CNxGlowWindow* Window(CNxGlowWindow::Side side) const { return m_windows[side]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_owner;
    // The windows belong to the owner (Qt parent), so they go with it.
    std::array<QPointer<CNxGlowWindow>, 4> m_windows;
};
