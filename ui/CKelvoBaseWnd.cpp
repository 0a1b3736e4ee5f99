#include "ui/CKelvoBaseWnd.h"

#include "ui/CKelvoCommandBinder.h"

#include <QAction>
#include <QVariant>

QSize KelvoFixedLayout(QSize size, bool stretch, bool horizontal)
{
    if (!stretch) {
        return size;
    }
    return horizontal ? QSize(32767, size.height()) : QSize(size.width(), 32767);
}

void KelvoUpdateCommandStates(QWidget* owner, const std::function<int(int commandId)>& isEnabled)
{
    if (owner == nullptr || !isEnabled) {
        return;
    }
    // Controls sit inside panels and pages, so every descendant counts, not only direct children.
    for (QWidget* child : owner->findChildren<QWidget*>()) {
        const QVariant id = child->property("commandId");
        if (!id.isValid() || id.toInt() == 0) {
            continue;
        }
        const int state = isEnabled(id.toInt());
        if (state < 0) {
            continue;
        }
        // A bound button takes its state from its action; setting the button alone would be
        // undone by the action's next change.
        if (QAction* action = CKelvoCommandBinder::BoundAction(child)) {
            action->setEnabled(state != 0);
        } else {
            child->setEnabled(state != 0);
        }
    }
}

CKelvoBaseWnd::CKelvoBaseWnd(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool CKelvoBaseWnd::Create(QWidget* parent, int id, const QRect& rect)
{
    setParent(parent);
    m_commandId = id;
    m_size = rect.size();
    if (!CreateChildren()) {
        return false;
    }
    setGeometry(0, 0, 0, 0);
    show();
    return true;
}

QSize CKelvoBaseWnd::CalcFixedLayout(bool stretch, bool horizontal) const
{
    return KelvoFixedLayout(m_size, stretch, horizontal);
}
