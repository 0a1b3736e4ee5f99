#include "discovery/CNearbyBoxList.h"

#include "discovery/HostFromUrl.h"
#include "res/CStringTable.h"

#include <algorithm>

const QString CNearbyBoxList::kBoxFriendlyName = QStringLiteral("NORVA+ Media Server");

bool CNearbyBoxList::IsBox(const UpnpDevice& device)
{
    return device.friendlyName.compare(kBoxFriendlyName, Qt::CaseInsensitive) == 0;
}

void CNearbyBoxList::BeginSearch()
{
    m_seen.clear();
}

int CNearbyBoxList::OnDeviceFound(const UpnpDevice& device)
{
    if (!IsBox(device))
        return -1;
    const bool known = std::any_of(m_rows.begin(), m_rows.end(),
                                   [&](const UpnpDevice& row) { return row.ipAddress == device.ipAddress; });
    int added = -1;
    if (!known && BoxCount() < kMaxBoxes) {
        m_rows.push_back(device);
        added = BoxCount() - 1;
    }
    // Only addresses that have a row matter to the pruning, and each is noted once: every device
    // of a box answers each search, and a list that took every answer would grow with the
    // number of announcements rather than with the number of boxes.
    if ((known || added >= 0) && !m_seen.contains(device.ipAddress))
        m_seen.append(device.ipAddress);
    if (added >= 0)
        Resync();
    return added;
}

void CNearbyBoxList::OnDeviceRemoved(const QString&) {}

int CNearbyBoxList::OnSearchComplete()
{
    const auto before = m_rows.size();
    std::erase_if(m_rows, [&](const UpnpDevice& row) { return !m_seen.contains(row.ipAddress); });
    m_seen.clear();
    Resync();
    return static_cast<int>(before - m_rows.size());
}

void CNearbyBoxList::SyncConnectedBox(std::optional<quint32> typedAddress)
{
    m_typed = typedAddress;
    Resync();
}

void CNearbyBoxList::Resync()
{
    m_selected = -1;
    if (!m_typed)
        return;
    for (int row = 0; row < BoxCount(); ++row) {
        if (m_rows[static_cast<size_t>(row)].ipAddress == *m_typed) {
            m_selected = row;
            return;
        }
    }
}

const UpnpDevice* CNearbyBoxList::Box(int row) const
{
    if (row < 0 || row >= BoxCount())
        return nullptr;
    return &m_rows[static_cast<size_t>(row)];
}

QString CNearbyBoxList::RowText(int row) const
{
    if (IsPlaceholder(row))
        return CStringTable::Get(CStringTable::IDS_SCANNING);
    const UpnpDevice* box = Box(row);
    if (!box)
        return {};
    return QStringLiteral("%1 (%2)").arg(box->friendlyName, DottedIPv4(box->ipAddress));
}
