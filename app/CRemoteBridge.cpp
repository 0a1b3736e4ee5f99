#include "app/CRemoteBridge.h"

#include "app/CBoxController.h"

CRemoteBridge::CRemoteBridge(CBoxController& box, QObject* parent) : QObject(parent), m_box(box) {}

void CRemoteBridge::OnKey(int keyCode, bool repeat)
{
    if (m_queue.size() >= kMaxQueued)
        return;
    m_queue.emplace_back(keyCode, repeat);
    if (m_sending)
        return; // the loop below, further up the stack, sends it
    m_sending = true;
    while (!m_queue.empty()) {
        const auto [key, rep] = m_queue.front();
        m_queue.pop_front();
        m_box.SendRemoteKey(key, rep);
    }
    m_sending = false;
}
