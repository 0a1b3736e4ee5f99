#include "app/CKelvoKeyboard.h"

#include "app/CKelvoPlayerApp.h"
#include "app/CMainFrame.h"
#include "app/CPlaybackController.h"
#include "app/bars/CPopupFrame.h"
#include "player/CKelvoViewPlayer.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextEdit>

namespace {

// The frame, and the channel list floating over it in a popup of its own. Dialogs and the
// remote window keep their keys.
bool IsOwnWindow(const QWidget* window, const QWidget* frame)
{
    return window == frame || (qobject_cast<const CPopupFrame*>(window) && window->parentWidget() == frame);
}

bool IsEditField(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
           qobject_cast<const QTextEdit*>(w);
}

} // namespace

CKelvoKeyboard::CKelvoKeyboard(CMainFrame& frame) : QObject(&frame), m_frame(frame)
{
    qApp->installEventFilter(this);
}

bool CKelvoKeyboard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* target = qobject_cast<QWidget*>(watched);
    // A key the focused widget ignores travels on to its parents and passes here again for each;
    // acting only where it was first delivered steps or changes the volume once per press.
    QWidget* first = QApplication::focusWidget();
    if (first == nullptr)
        first = QApplication::activeWindow();
    if (target == nullptr || target != first || !IsOwnWindow(target->window(), &m_frame))
        return false;
    auto* key = static_cast<QKeyEvent*>(event);
    const bool fullScreen = m_frame.IsFullScreen();
    const bool player = m_frame.CurrentView() == 0;
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (IsEditField(target) && !fullScreen) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &tab);
            return true;
        }
        if (fullScreen)
            m_frame.SetFullScreen(false);
        else if (player)
            m_frame.SetFullScreen(true);
        return true;
    case Qt::Key_Escape:
        if (fullScreen)
            m_frame.SetFullScreen(false);
        return false;
    case Qt::Key_Space:
        if (player && !IsEditField(target))
            m_frame.PlayerView().TogglePause();
        return false;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (player && !IsEditField(target))
            m_frame.Playback().StepService(key->key() == Qt::Key_Right ? +1 : -1);
        return false;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (player && !IsEditField(target))
            m_frame.Playback().SetVolume(m_frame.Volume() + (key->key() == Qt::Key_Up ? 1 : -1));
        return false;
    default:
        return false;
    }
}
