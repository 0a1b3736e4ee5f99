#include "model/CQuarnDataModel.h"

#include "model/IBoxLink.h"
#include "model/IBusyObserver.h"
#include "model/ServiceKey.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

// Only non-negative series ids form series; anything else counts as a single schedule, so a
// stray negative id in a reply cannot create an entry that no lookup would ever look into.
bool IsSeries(const CScheduleElement& s)
{
    return s.seriesId >= 0;
}

unsigned FavBit(int groupIdx)
{
    // Group n is bit (n mod 32); the mask of the low five bits is that modulus for negative n too.
    return 1u << (static_cast<unsigned>(groupIdx) & 31u);
}

} // namespace

// Holds the busy state for one box operation; the state and the window are restored on every way
// out, including a reader that fails or throws half way.
class CQuarnDataModel::BusyFrame final
{
public:
    explicit BusyFrame(CQuarnDataModel& db) : m_db(db), m_entered(!db.m_busy)
    {
        if (!m_entered)
            return;
        m_db.m_busy = true;
        if (m_db.m_busyObserver)
            m_db.m_busyObserver->BeginBusy();
    }
    ~BusyFrame()
    {
        if (!m_entered)
            return;
        m_db.m_busy = false;
        if (m_db.m_busyObserver)
            m_db.m_busyObserver->EndBusy();
    }
    Q_DISABLE_COPY_MOVE(BusyFrame)

    bool Entered() const { return m_entered; }

private:
    CQuarnDataModel& m_db;
    const bool m_entered;
};

CQuarnDataModel::CQuarnDataModel(IBoxLink& link) : m_link(link) {}

CQuarnDataModel::~CQuarnDataModel()
{
    Clear();
}

// ---- box operations -------------------------------------------------------------------------

bool CQuarnDataModel::UpdateService()
{
    return Reload([this] { return m_link.LoadAll(*this); });
}

bool CQuarnDataModel::ReloadFromDocument(const pugi::xml_document& doc)
{
    return Reload([this, &doc] { return m_link.ReadReload(doc, doc, doc, doc, doc, *this); });
}

bool CQuarnDataModel::Reload(const std::function<bool()>& load)
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return false;
    Clear();
    m_locked = true;
    bool loaded = false;
    try {
        loaded = load();
    } catch (const std::exception&) {
        loaded = false;
    }
    return FinishReload(loaded);
}

bool CQuarnDataModel::FinishReload(bool loaded)
{
    if (loaded) {
        MarkStatusServices(FillKey());
        SortGroups(FillKey());
    } else {
        Clear();
    }
    return loaded;
}

bool CQuarnDataModel::UpdateEPG(int svcType, int svcIdx)
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return false;
    bool loaded = false;
    try {
        loaded = m_link.LoadEPG(svcType, svcIdx, m_guide);
    } catch (const std::exception&) {
        loaded = false;
    }
    if (loaded)
        LinkEventsToSchedules(FillKey());
    return loaded;
}

bool CQuarnDataModel::GuideFromDocument(const pugi::xml_document& doc)
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return false;
    bool loaded = false;
    try {
        loaded = m_link.ApplyGuide(doc, m_guide);
    } catch (const std::exception&) {
        loaded = false;
    }
    if (loaded)
        LinkEventsToSchedules(FillKey());
    return loaded;
}

int CQuarnDataModel::SetSchedule(const CScheduleElement& schedule)
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return -4;
    try {
        return m_link.SetSchedule(schedule, *this);
    } catch (const std::exception&) {
        return -1;
    }
}

int CQuarnDataModel::StartStreaming(const CServiceElement* service)
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return -4;
    if (!service)
        return -1;
    const CStreamingTarget target = StreamingTarget();
    int result = -1;
    try {
        if (!m_link.StartStreaming(service->satIdx, service->type, service->idx, target.protocol,
                                   target.address, target.port, m_settings.pinCode, result))
            return -1;
    } catch (const std::exception&) {
        return -1;
    }
    return result;
}

int CQuarnDataModel::StopStreaming()
{
    BusyFrame frame(*this);
    if (!frame.Entered())
        return -4;
    int result = -1;
    try {
        if (!m_link.StopStreaming(result))
            return -1;
    } catch (const std::exception&) {
        return -1;
    }
    return result;
}

bool CQuarnDataModel::SendRemoteKey(int key, int repeat, int* code)
{
    int value = 0;
    bool ok = false;
    try {
        ok = m_link.SendRemoteKey(key, repeat, value);
    } catch (const std::exception&) {
        ok = false;
    }
    if (ok && code)
        *code = value;
    return ok;
}

CStreamingTarget CQuarnDataModel::StreamingTarget()
{
    // The local address is only looked for when this computer is the target.
    return m_settings.Target(m_settings.stodEnabled ? QString() : m_link.GetLocalAddress());
}

QString CQuarnDataModel::GetMediaAddress()
{
    const int mode = m_settings.stodEnabled ? m_settings.stodProtocol : m_settings.streamingProtocol;
    const bool needsLocal = mode == CBoxSettings::RTP || mode == CBoxSettings::UDP;
    return m_settings.MediaAddress(needsLocal ? m_link.GetLocalAddress() : QString(), m_link.BoxAddress());
}

// ---- lookups --------------------------------------------------------------------------------

CSatelliteElement* CQuarnDataModel::FindGroup(int idx) const
{
    for (const auto& g : m_groups) {
        if (g->idx == idx)
            return g.get();
    }
    return nullptr;
}

CServiceElement* CQuarnDataModel::FindService(int key) const
{
    const auto it = m_serviceByKey.find(key);
    return it == m_serviceByKey.end() ? nullptr : it->second;
}

CServiceElement* CQuarnDataModel::FindLiveService() const
{
    for (const auto& s : m_services) {
        if (s->live)
            return s.get();
    }
    return nullptr;
}

CScheduleElement* CQuarnDataModel::FindSchedule(int id) const
{
    for (const auto& entry : m_schedules) {
        if (IsSeries(*entry)) {
            for (const auto& member : entry->members) {
                if (member->id == id)
                    return member.get();
            }
        } else if (entry->id == id) {
            return entry.get();
        }
    }
    return nullptr;
}

CScheduleElement* CQuarnDataModel::FindScheduleForEvent(int svcType, int svcIdx,
                                                        const CEventElement& event) const
{
    for (const auto& entry : m_schedules) {
        if (entry->svcType != svcType || entry->svcIdx != svcIdx)
            continue;
        if (IsSeries(*entry)) {
            for (const auto& member : entry->members) {
                if (member->eventId == event.id)
                    return member.get();
            }
        } else if (entry->eventId == event.id) {
            return entry.get();
        }
    }
    return nullptr;
}

CTransponderElement* CQuarnDataModel::FindTransponder(int idx) const
{
    const auto it = m_transponders.find(static_cast<quint16>(idx));
    return it == m_transponders.end() ? nullptr : it->second.get();
}

std::unique_ptr<CScheduleElement> CQuarnDataModel::MakeSchedule(int svcType, int svcIdx, int scheduleType,
                                                                int scheduleMode,
                                                                const CEventElement* event) const
{
    const CServiceElement* service = FindService(MakeServiceKey(svcType, svcIdx));
    if (!service)
        return nullptr;
    auto s = std::make_unique<CScheduleElement>();
    s->id = 0;
    s->type = scheduleType;
    s->mode = scheduleMode;
    s->days = 0;
    s->satIdx = service->satIdx;
    s->svcType = svcType;
    s->svcIdx = svcIdx;
    if (event) {
        s->start = event->start;
        s->end = event->end;
        s->eventId = event->id;
        s->eventName = event->name;
        s->eventEncoding = event->nameEncoding;
    }
    return s;
}

void CQuarnDataModel::SetMissingNameText(const QString& text)
{
    m_link.SetMissingNameText(text);
}

// ---- filling --------------------------------------------------------------------------------

void CQuarnDataModel::Clear()
{
    // Referring lists first, so that nothing points at a record while it is deleted.
    m_guide.events.clear();
    m_groups.clear();
    m_serviceByKey.clear();
    m_services.clear();
    m_favoriteGroups.clear();
    m_transponders.clear();
    m_schedules.clear();
}

int CQuarnDataModel::AddService(FillKey, std::unique_ptr<CServiceElement> service)
{
    if (!service)
        return -1;
    const unsigned mask = static_cast<unsigned>(service->fav);
    if (mask != 0) {
        if (m_locked) {
            for (const auto& g : m_favoriteGroups) {
                if ((mask & FavBit(g->idx)) && g->blocked)
                    return -1; // withheld; the record goes with `service`
            }
        }
        for (const auto& g : m_favoriteGroups) {
            if (mask & FavBit(g->idx))
                g->services.push_back(service.get());
        }
    }
    m_serviceByKey.try_emplace(service->key, service.get());
    m_services.push_back(std::move(service));
    return static_cast<int>(m_services.size() - 1);
}

void CQuarnDataModel::ReserveServices(FillKey, size_t count)
{
    // Bounded: the count comes from the reply, and a hostile one must not reserve without end.
    count = std::min<size_t>(count, 1u << 16);
    m_services.reserve(m_services.size() + count);
    m_serviceByKey.reserve(m_serviceByKey.size() + count);
}

void CQuarnDataModel::AddFavoriteGroup(FillKey, std::unique_ptr<CFavoriteGroupElement> group)
{
    if (group)
        m_favoriteGroups.push_back(std::move(group));
}

void CQuarnDataModel::AddGroupEntry(FillKey, std::unique_ptr<CSatelliteElement> entry)
{
    if (entry)
        m_groups.push_back(std::move(entry));
}

void CQuarnDataModel::StoreTransponder(FillKey, std::unique_ptr<CTransponderElement> transponder)
{
    if (!transponder)
        return;
    const auto key = static_cast<quint16>(transponder->idx);
    m_transponders.insert_or_assign(key, std::move(transponder));
}

void CQuarnDataModel::AddSchedule(FillKey, std::unique_ptr<CScheduleElement> schedule)
{
    if (!schedule)
        return;
    if (!IsSeries(*schedule)) {
        // A single schedule never carries members of its own.
        schedule->members.clear();
        m_schedules.push_back(std::move(schedule));
        return;
    }
    schedule->members.clear();
    for (const auto& entry : m_schedules) {
        if (IsSeries(*entry) && entry->seriesId == schedule->seriesId) {
            entry->members.push_back(std::move(schedule));
            return;
        }
    }
    auto entry = std::make_unique<CScheduleElement>(*schedule);
    entry->members.push_back(std::move(schedule));
    const auto at = std::find_if(m_schedules.begin(), m_schedules.end(), [&](const auto& e) {
        return !IsSeries(*e) || e->seriesId > entry->seriesId;
    });
    m_schedules.insert(at, std::move(entry));
}

void CQuarnDataModel::StoreSchedule(FillKey, const CScheduleElement& schedule)
{
    CScheduleElement* found = FindSchedule(schedule.id);
    const bool sameSeries =
        found && (IsSeries(*found) ? found->seriesId == schedule.seriesId : !IsSeries(schedule));
    if (sameSeries) {
        // Overwritten where it stands; a stored schedule has no members of its own.
        *found = schedule;
        found->members.clear();
        return;
    }
    if (found) {
        // The box moved it into or out of a series: overwriting in place would leave it where no
        // lookup by id finds it again, so it is taken out and added anew.
        DiscardSchedule(found);
    }
    auto copy = std::make_unique<CScheduleElement>(schedule);
    copy->members.clear();
    CScheduleElement* added = copy.get();
    AddSchedule(FillKey(), std::move(copy));
    if (m_guide.svcType == added->svcType && m_guide.svcIdx == added->svcIdx) {
        for (const auto& e : m_guide.events) {
            if (e->id == added->eventId) {
                e->schedule = added;
                break;
            }
        }
    }
}

void CQuarnDataModel::RemoveSchedule(FillKey, int id)
{
    const CScheduleElement* found = FindSchedule(id);
    if (found)
        DiscardSchedule(found);
}

void CQuarnDataModel::UnlinkGuideEvents(const CScheduleElement* schedule)
{
    // Every link, not just the first: two events with the same id may both point at it.
    for (const auto& e : m_guide.events) {
        if (e->schedule == schedule)
            e->schedule = nullptr;
    }
}

void CQuarnDataModel::DiscardSchedule(const CScheduleElement* schedule)
{
    UnlinkGuideEvents(schedule);
    for (auto it = m_schedules.begin(); it != m_schedules.end(); ++it) {
        CScheduleElement& entry = **it;
        if (&entry == schedule) {
            m_schedules.erase(it);
            return;
        }
        auto& members = entry.members;
        const auto m = std::find_if(members.begin(), members.end(),
                                    [&](const CScheduleElement::Member& p) { return p.get() == schedule; });
        if (m == members.end())
            continue;
        members.erase(m);
        if (members.empty())
            m_schedules.erase(it);
        return;
    }
}

void CQuarnDataModel::MarkStatusServices(FillKey)
{
    for (const auto& s : m_services) {
        s->streaming = false;
        s->live = false;
    }
    const CServiceRefElement& streaming = m_status.streamingService;
    if (streaming.idx >= 0) {
        if (CServiceElement* s = FindService(MakeServiceKey(streaming.type, streaming.idx)))
            s->streaming = true;
    }
    const CServiceRefElement& live = m_status.liveService;
    if (live.idx >= 0) {
        if (CServiceElement* s = FindService(MakeServiceKey(live.type, live.idx)))
            s->live = true;
    }
}

void CQuarnDataModel::SortGroups(FillKey)
{
    // The exchange sort is part of the behaviour: the order it leaves equal keys in is what the
    // views have always shown.
    const size_t n = m_groups.size();
    for (size_t i = 0; i + 1 < n; ++i) {
        for (size_t j = i + 1; j < n; ++j) {
            if (m_groups[i]->idx > m_groups[j]->idx)
                std::swap(m_groups[i], m_groups[j]);
        }
    }
}

void CQuarnDataModel::LinkEventsToSchedules(FillKey)
{
    for (const auto& e : m_guide.events)
        e->schedule = FindScheduleForEvent(m_guide.svcType, m_guide.svcIdx, *e);
}

// ---- invariants -----------------------------------------------------------------------------

QString CQuarnDataModel::CheckInvariants() const
{
    std::unordered_set<const CServiceElement*> services;
    for (const auto& s : m_services) {
        if (!s)
            return QStringLiteral("null service");
        if (!services.insert(s.get()).second)
            return QStringLiteral("service listed twice");
        if (s->key != MakeServiceKey(s->type, s->idx))
            return QStringLiteral("service key does not match type and index");
        const auto it = m_serviceByKey.find(s->key);
        if (it == m_serviceByKey.end())
            return QStringLiteral("service key missing from the index");
    }
    std::unordered_map<int, const CServiceElement*> firstOfKey;
    for (const auto& s : m_services)
        firstOfKey.try_emplace(s->key, s.get());
    if (firstOfKey.size() != m_serviceByKey.size())
        return QStringLiteral("index holds other keys than the services");
    for (const auto& [key, s] : m_serviceByKey) {
        const auto it = firstOfKey.find(key);
        if (it == firstOfKey.end() || it->second != s)
            return QStringLiteral("index does not give the first service of its key");
    }

    std::unordered_set<const CFavoriteGroupElement*> favorites;
    for (const auto& g : m_favoriteGroups) {
        if (!g)
            return QStringLiteral("null favourite group");
        favorites.insert(g.get());
        for (const CServiceElement* s : g->services) {
            if (!services.count(s))
                return QStringLiteral("favourite group member outside the services");
        }
    }
    for (size_t i = 0; i < m_groups.size(); ++i) {
        const CSatelliteElement* e = m_groups[i].get();
        if (!e)
            return QStringLiteral("null group entry");
        if (i > 0 && m_groups[i - 1]->idx > e->idx)
            return QStringLiteral("group list not sorted by index");
        if (e->favoriteGroup) {
            if (!favorites.count(e->favoriteGroup))
                return QStringLiteral("group entry for a group outside the favourite groups");
            if (e->favoriteGroup->blocked)
                return QStringLiteral("group entry for a blocked group");
            if (!e->services.empty())
                return QStringLiteral("group entry with services of its own");
        }
        for (const CServiceElement* s : e->services) {
            if (!services.count(s))
                return QStringLiteral("satellite service outside the services");
        }
    }

    for (const auto& [key, t] : m_transponders) {
        if (!t || static_cast<quint16>(t->idx) != key)
            return QStringLiteral("transponder stored under a wrong key");
    }

    std::unordered_set<const CScheduleElement*> linkable;
    bool singlesStarted = false;
    int lastSeries = -1;
    for (const auto& entry : m_schedules) {
        if (!entry)
            return QStringLiteral("null schedule");
        if (entry->service && !services.count(entry->service))
            return QStringLiteral("schedule links a service outside the database");
        if (!IsSeries(*entry)) {
            singlesStarted = true;
            if (!entry->members.empty())
                return QStringLiteral("single schedule with members");
            if (!linkable.insert(entry.get()).second)
                return QStringLiteral("schedule listed twice");
            continue;
        }
        if (singlesStarted)
            return QStringLiteral("series entry after a single schedule");
        if (entry->seriesId <= lastSeries)
            return QStringLiteral("series entries not in ascending series order");
        lastSeries = entry->seriesId;
        if (entry->members.empty())
            return QStringLiteral("series entry without members");
        for (const auto& m : entry->members) {
            if (!m)
                return QStringLiteral("null series member");
            if (m->seriesId != entry->seriesId)
                return QStringLiteral("series member of another series");
            if (!m->members.empty())
                return QStringLiteral("series member with members");
            if (m->service && !services.count(m->service))
                return QStringLiteral("series member links a service outside the database");
            if (!linkable.insert(m.get()).second)
                return QStringLiteral("series member held twice");
        }
    }
    for (const auto& entry : m_schedules) {
        if (IsSeries(*entry) && linkable.count(entry.get()))
            return QStringLiteral("series entry is also a member");
    }

    for (const auto& e : m_guide.events) {
        if (!e)
            return QStringLiteral("null guide event");
        if (e->schedule && !linkable.count(e->schedule))
            return QStringLiteral("guide event links a schedule outside the database");
    }
    return QString();
}
