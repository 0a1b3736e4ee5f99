#pragma once

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

// Mouse input delivered straight to a widget, with the button state given explicitly, so that
// tests do not depend on a real pointer or on the window system's grabs.
namespace uitest {

inline void Mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

inline void Press(QWidget* w, QPoint pos)
{
    Mouse(w, QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
}

inline void Release(QWidget* w, QPoint pos)
{
    Mouse(w, QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
}

inline void Move(QWidget* w, QPoint pos, bool buttonDown)
{
    Mouse(w, QEvent::MouseMove, pos, Qt::NoButton, buttonDown ? Qt::LeftButton : Qt::NoButton);
}

inline void Click(QWidget* w, QPoint pos)
{
    Press(w, pos);
    Release(w, pos);
}

inline void Wheel(QWidget* w, QPoint pos, int delta)
{
    QWheelEvent e(QPointF(pos), QPointF(w->mapToGlobal(pos)), QPoint(), QPoint(0, delta), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

} // namespace uitest
