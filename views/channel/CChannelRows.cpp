#include "views/channel/CChannelRows.h"

#include "model/CQuarnDataModel.h"
#include "model/CScheduleElement.h"

#include <QDateTime>
#include <algorithm>

int CChannelRows::Compare(const CServiceElement& a, const CServiceElement& b, int order, bool streamableFirst)
{
    if (streamableFirst && a.streamingPossible != b.streamingPossible) {
        return int(b.streamingPossible) - int(a.streamingPossible);
    }
    if (order == ByNumber) {
        return a.lcn < b.lcn ? -1 : (a.lcn > b.lcn ? 1 : 0);
    }
    return QString::compare(a.name, b.name, Qt::CaseSensitive);
}

bool CChannelRows::NameMatches(const QString& name, const QString& search)
{
    return search.isEmpty() || name.contains(search, Qt::CaseInsensitive);
}

QString CChannelRows::NumberText(int lcn)
{
    return QString::asprintf("%04d", lcn);
}

QString CChannelRows::StartText(qint64 startUtc)
{
    const QTime t = QDateTime::fromSecsSinceEpoch(startUtc).time();
    return QString::asprintf("%02d:%02d", t.hour(), t.minute());
}

int CChannelRows::LengthMinutes(qint64 start, qint64 end)
{
    // One rule for every length the user sees: the schedule's.
    CScheduleElement span;
    span.start = start;
    span.end = end;
    return span.DurationMinutes();
}

void CChannelRows::FillGroups(bool resetIndex)
{
    m_groups.clear();
    const auto& groups = m_db.Groups();
    for (size_t i = 0; i < groups.size(); ++i) {
        const auto& members = groups[i]->MemberServices();
        const bool any = std::any_of(members.begin(), members.end(),
                                     [this](const CServiceElement* s) { return s && s->type == m_mediaType; });
        if (any) {
            m_groups.push_back(static_cast<int>(i));
        }
    }
    if (resetIndex || m_groupIndex >= static_cast<int>(m_groups.size())) {
        m_groupIndex = 0;
    }
}

QString CChannelRows::GroupName(int entry) const
{
    const auto& groups = m_db.Groups();
    if (entry < 0 || entry >= static_cast<int>(m_groups.size())) {
        return {};
    }
    const size_t pos = static_cast<size_t>(m_groups[static_cast<size_t>(entry)]);
    return pos < groups.size() ? groups[pos]->name : QString();
}

template <class List> void CChannelRows::Collect(const List& source)
{
    std::vector<const CServiceElement*> kept;
    kept.reserve(source.size());
    for (const auto& s : source) {
        if (s && s->type == m_mediaType && NameMatches(s->name, m_search)) {
            kept.push_back(&*s);
        }
    }
    const int order = m_listOrder;
    const bool streamableFirst = m_listStreamableFirst;
    // Stable, so services that compare equal keep the database's order.
    std::stable_sort(kept.begin(), kept.end(), [order, streamableFirst](const auto* a, const auto* b) {
        return Compare(*a, *b, order, streamableFirst) < 0;
    });
    m_keys.clear();
    m_keys.reserve(kept.size());
    for (const CServiceElement* s : kept) {
        m_keys.push_back(s->key);
    }
}

bool CChannelRows::FillList()
{
    if (m_sortMode == Group) {
        const auto& groups = m_db.Groups();
        if (m_groupIndex < 0 || m_groupIndex >= static_cast<int>(m_groups.size())) {
            return false;
        }
        const size_t pos = static_cast<size_t>(m_groups[static_cast<size_t>(m_groupIndex)]);
        if (pos >= groups.size()) {
            return false;
        }
        Collect(groups[pos]->MemberServices());
        return true;
    }
    m_listOrder = m_sortMode;
    m_listStreamableFirst = m_streamableFirst;
    Collect(m_db.Services());
    return true;
}

int CChannelRows::KeyAt(int row) const
{
    return row >= 0 && row < Count() ? m_keys[static_cast<size_t>(row)] : -1;
}
