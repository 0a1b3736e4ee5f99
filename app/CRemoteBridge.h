#pragma once

#include <QObject>
#include <deque>
#include <utility>

class CBoxController;

// Carries the remote-control window's keys to the box. A key exchange waits for the box in a
// nested event loop, during which the user may press the next key: it is queued and sent when
// the exchange before it has ended, so keys reach the box one at a time and in order. Keys are
// sent even while another box operation (a reload) waits.
class CRemoteBridge final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRemoteBridge)

public:
    // Keys held back while one is in flight; a stuck box must not make the queue grow forever.
    static constexpr size_t kMaxQueued = 32;

    explicit CRemoteBridge(CBoxController& box, QObject* parent = nullptr);

    // "_KelvoRCUDlg_DefaultMsg_BnClicked"
    void OnKey(int keyCode, bool repeat);
    // "_KelvoRCUDlg_DefaultMsg_Attached"
    void OnAttached(bool attached) { m_attached = attached; }
    bool Attached() const { return m_attached; }
    size_t Queued() const { return m_queue.size(); }

private:
    CBoxController& m_box;
    std::deque<std::pair<int, bool>> m_queue;
    bool m_sending = false;
    bool m_attached = false;
};
