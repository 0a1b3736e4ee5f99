#include "protocol/CQuarnXML.h"

#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CReplyReader.h"

#include <array>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// The per-record selections ("@idx", "service/@num", child "evt", ...) are read straight from the
// tree: they name an attribute or a child of the node in hand, and a reply of a large box has
// tens of thousands of them, where evaluating a path each time would cost more than parsing the
// whole reply. Each helper gives what the path selection gives: the first match in document order.

namespace {

const pugi::xpath_query& EpgEventsQuery()
{
    static const pugi::xpath_query q("//epg/evt");
    return q;
}

// Name tests of the tree walk: the first letters of the box's names mostly differ, so checking it
// first spares most of the full comparisons.
bool NameIs(const char* name, const char* wanted)
{
    return name[0] == wanted[0] && std::strcmp(name, wanted) == 0;
}

// "@name": the node's first attribute of that name.
pugi::xml_attribute Attr(const pugi::xml_node& node, const char* name)
{
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        if (NameIs(a.name(), name))
            return a;
    }
    return {};
}

// "name" as a child step: the node's first child element of that name, and the ones after it.
pugi::xml_node NextChild(pugi::xml_node c, const char* name)
{
    for (; c; c = c.next_sibling()) {
        if (c.type() == pugi::node_element && NameIs(c.name(), name))
            return c;
    }
    return {};
}

pugi::xml_node Child(const pugi::xml_node& node, const char* name)
{
    return NextChild(node.first_child(), name);
}

pugi::xml_node NextSibling(const pugi::xml_node& node, const char* name)
{
    return NextChild(node.next_sibling(), name);
}

void ReadInt(const pugi::xml_attribute& a, int& field)
{
    if (a)
        field = CReplyReader::ToInt(a.value());
}

void ReadBool(const pugi::xml_attribute& a, bool& field)
{
    if (a)
        field = CReplyReader::ToInt(a.value()) != 0;
}

void ReadText(const pugi::xml_attribute& a, QString& field)
{
    if (a)
        field = QString::fromUtf8(a.value());
}

// An element's text: its first character-data child, as the encoding repair sees it.
void ReadText(const pugi::xml_node& element, QString& field)
{
    if (element)
        field = QString::fromUtf8(element.child_value());
}

// Converting a local date-time asks the C library, which looks at the time zone file on every
// call; a large reply carries tens of thousands of times but only a few hundred distinct ones, in
// even fewer distinct hours. The cache maps a time text to what the conversion gives for it, and
// converts each hour only once: within an hour that holds no change of the clock's offset, the
// minutes follow the hour's start one to one. Hours with a change, and texts in any but the plain
// "digits and separators" form, go through the conversion itself. The cache is emptied at the
// start of every reply so that a change of the computer's time zone is seen by the next one.
class TimeTextCache final
{
public:
    std::optional<qint64> Parse(const char* text)
    {
        const std::string_view view(text);
        if (view.size() > kMaxKey)
            return CReplyReader::ParseBoxTime(QString::fromUtf8(text));
        Key key{};
        std::memcpy(key.bytes.data(), view.data(), view.size());
        key.size = static_cast<unsigned char>(view.size());
        if (const auto it = m_map.find(key); it != m_map.end())
            return it->second;
        if (m_map.size() >= kMaxEntries)
            m_map.clear();
        const std::optional<qint64> t = Convert(text);
        m_map.emplace(key, t);
        return t;
    }

    void Clear()
    {
        m_map.clear();
        m_hours.clear();
    }

private:
    static constexpr size_t kMaxKey = 31;
    static constexpr size_t kMaxEntries = 16384;

    struct Key
    {
        std::array<char, kMaxKey> bytes;
        unsigned char size;
        std::string_view View() const { return {bytes.data(), size}; }
        bool operator==(const Key& o) const { return View() == o.View(); }
    };
    struct KeyHash
    {
        size_t operator()(const Key& k) const { return std::hash<std::string_view>{}(k.View()); }
    };

    struct Hour
    {
        std::optional<qint64> start; // hh:00 of the hour
        bool steady = false;         // no change of offset within the hour
    };

    // Year, month, day, hour and minute of a text made of digits and the separators '-', 'T' and
    // ':' only, split as the box time rule splits it; false for anything else.
    static bool PlainParts(std::string_view text, std::array<int, 5>& parts)
    {
        size_t n = 0;
        size_t i = 0;
        while (i < text.size()) {
            const char c = text[i];
            if (c == '-' || c == 'T' || c == ':') {
                ++i;
                continue;
            }
            if (c < '0' || c > '9')
                return false;
            int value = 0;
            size_t digits = 0;
            for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i, ++digits) {
                if (digits < 9) // more digits are refused below; stop before the value could overflow
                    value = value * 10 + (text[i] - '0');
            }
            if (digits > 8)
                return false;
            if (n < parts.size())
                parts[n] = value;
            ++n;
        }
        for (; n < parts.size(); ++n)
            parts[n] = 0;
        return true;
    }

    static bool SameOffset(qint64 a, qint64 b)
    {
#if defined(__unix__)
        // localtime_r, unlike mktime, does not look at the time zone file again.
        std::tm ta{}, tb{};
        const auto ca = static_cast<std::time_t>(a);
        const auto cb = static_cast<std::time_t>(b);
        return localtime_r(&ca, &ta) && localtime_r(&cb, &tb) && ta.tm_gmtoff == tb.tm_gmtoff &&
               ta.tm_isdst == tb.tm_isdst;
#else
        Q_UNUSED(a);
        Q_UNUSED(b);
        return false;
#endif
    }

    std::optional<qint64> Convert(const char* text)
    {
        std::array<int, 5> p{};
        const bool plain = PlainParts(text, p);
        // Only in-range parts take the short way; everything else gets the full rule's answer.
        if (!plain || p[0] < 1900 || p[0] > 9999 || p[1] < 1 || p[1] > 12 || p[2] < 1 || p[2] > 31 ||
            p[3] > 23 || p[4] > 59)
            return CReplyReader::ParseBoxTime(QString::fromUtf8(text));
        const qint64 key = ((static_cast<qint64>(p[0]) * 16 + p[1]) * 32 + p[2]) * 32 + p[3];
        auto it = m_hours.find(key);
        if (it == m_hours.end()) {
            Hour h;
            h.start = CReplyReader::LocalTime(p[0], p[1], p[2], p[3], 0, 0);
            h.steady = h.start && SameOffset(*h.start, *h.start + 3599);
            it = m_hours.emplace(key, h).first;
        }
        if (!it->second.steady)
            return CReplyReader::ParseBoxTime(QString::fromUtf8(text));
        return *it->second.start + 60 * static_cast<qint64>(p[4]);
    }

    std::unordered_map<Key, std::optional<qint64>, KeyHash> m_map;
    std::unordered_map<qint64, Hour> m_hours;
};

TimeTextCache& Times()
{
    thread_local TimeTextCache cache;
    return cache;
}

// The cache serves one reply: emptied when its reading starts, and again when it ends, so that
// nothing of a reply stays in memory after it has been read.
class TimesOfOneReply final
{
public:
    TimesOfOneReply() { Times().Clear(); }
    ~TimesOfOneReply() { Times().Clear(); }
    TimesOfOneReply(const TimesOfOneReply&) = delete;
    TimesOfOneReply& operator=(const TimesOfOneReply&) = delete;
};

// The values of the wanted attributes of one element, each the first of its name, in one pass over
// the element's attributes; none for an absent one. Looking each up on its own would walk the
// attribute list once per field.
template <size_t N>
std::array<const char*, N> Collect(const pugi::xml_node& node, const std::array<const char*, N>& names)
{
    std::array<const char*, N> values{};
    for (pugi::xml_attribute a = node.first_attribute(); a; a = a.next_attribute()) {
        const char* name = a.name();
        for (size_t i = 0; i < N; ++i) {
            if (!values[i] && NameIs(name, names[i])) {
                values[i] = a.value();
                break;
            }
        }
    }
    return values;
}

void ReadInt(const char* value, int& field)
{
    if (value)
        field = CReplyReader::ToInt(value);
}

void ReadBool(const char* value, bool& field)
{
    if (value)
        field = CReplyReader::ToInt(value) != 0;
}

void ReadText(const char* value, QString& field)
{
    if (value)
        field = QString::fromUtf8(value);
}

// Encoding names repeat across thousands of records; sharing one copy of each saves an allocation
// per record.
void ReadEncoding(const char* value, QString& field)
{
    if (!value)
        return;
    thread_local std::vector<std::pair<std::string, QString>> seen;
    for (const auto& [text, shared] : seen) {
        if (text == value) {
            field = shared;
            return;
        }
    }
    field = QString::fromUtf8(value);
    if (seen.size() < 32)
        seen.emplace_back(value, field);
}

[[nodiscard]] bool ReadTime(const char* value, qint64& field)
{
    if (!value)
        return true;
    const auto t = Times().Parse(value);
    if (!t)
        return false;
    field = *t;
    return true;
}

// "child/@name": the attribute of the first `child` element that carries it.
pugi::xml_attribute ChildAttribute(const pugi::xml_node& node, const char* child, const char* name)
{
    for (pugi::xml_node c = Child(node, child); c; c = NextSibling(c, child)) {
        if (const pugi::xml_attribute a = Attr(c, name))
            return a;
    }
    return {};
}

// "child/text()": the first character data among the `child` elements.
pugi::xml_node ChildText(const pugi::xml_node& node, const char* child)
{
    for (pugi::xml_node c = Child(node, child); c; c = NextSibling(c, child)) {
        for (pugi::xml_node t = c.first_child(); t; t = t.next_sibling()) {
            if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata)
                return t;
        }
    }
    return {};
}

} // namespace

CQuarnXML::CQuarnXML(CQuarnWrapper& wrapper) : m_wrapper(wrapper) {}

CQuarnXML::~CQuarnXML() = default;

// ---- box operations -------------------------------------------------------------------------

bool CQuarnXML::LoadAll(CQuarnDataModel& db)
{
    const QString version = m_wrapper.GetVersion();
    if (version.isEmpty())
        return false;
    const QString& pin = db.Settings().pinCode;
    if (CQuarnWrapper::IsNewFormVersion(version)) {
        pugi::xml_document doc;
        if (!m_wrapper.QueryAll(doc, pin))
            return false;
        return ReadReload(doc, doc, doc, doc, doc, db);
    }
    pugi::xml_document fav, svc, alarm, pinCheck, status;
    if (!m_wrapper.QueryFavoriteGroups(fav) || !m_wrapper.QueryServiceList(svc) ||
        !m_wrapper.QueryScheduleList(alarm) || !m_wrapper.CheckPin(pinCheck, pin) ||
        !m_wrapper.QueryStatus(status))
        return false;
    return ReadReload(fav, svc, alarm, pinCheck, status, db);
}

bool CQuarnXML::LoadEPG(int svcType, int svcIdx, CGuideElement& guide)
{
    pugi::xml_document doc;
    if (!m_wrapper.QueryEPG(doc, svcType, svcIdx))
        return false;
    return ApplyGuide(doc, guide);
}

int CQuarnXML::SetSchedule(const CScheduleElement& s, CQuarnDataModel& db)
{
    pugi::xml_document doc;
    if (!m_wrapper.SetSchedule(s.satIdx, s.svcType, s.svcIdx, s.id, s.type, s.mode, s.days, s.eventId, doc,
                               s.start, s.end))
        return -1;
    return ApplyScheduleReply(doc, db);
}

bool CQuarnXML::StartStreaming(int satIdx, int svcType, int svcIdx, int netProtocol, const QString& clientIp,
                               int clientPort, const QString& pinCode, int& result)
{
    const QString version = m_wrapper.GetVersion();
    if (version.isEmpty())
        return false;
    if (CQuarnWrapper::IsNewFormVersion(version)) {
        pugi::xml_document doc;
        if (!m_wrapper.StopAndStartStreaming(doc, satIdx, svcType, svcIdx, netProtocol, clientIp, clientPort,
                                             pinCode))
            return false;
        int stop = 0;
        if (!CReplyReader::GetErrorCode(doc, "//stop", stop))
            return false;
        if (stop != 0) {
            result = 6; // the previous stream is still running
            return true;
        }
        int started = 0;
        if (!CReplyReader::GetErrorCode(doc, "//streaming", started))
            return false;
        result = started;
        return true;
    }
    int stop = 0;
    if (!StopStreaming(stop))
        return false;
    pugi::xml_document doc;
    if (!m_wrapper.StartStreaming(doc, satIdx, svcType, svcIdx, netProtocol, clientIp, clientPort, pinCode))
        return false;
    result = stop;
    // A box that refused the start says so in its streaming section; without reading it a refused
    // start would pass for success and the player would wait for a stream that never comes.
    int started = 0;
    if (stop == 0 && CReplyReader::GetErrorCode(doc, "//streaming", started) && started != 0)
        result = started;
    return true;
}

bool CQuarnXML::StopStreaming(int& result)
{
    pugi::xml_document doc;
    if (!m_wrapper.StopStreaming(doc))
        return false;
    return CReplyReader::GetErrorCode(doc, "//stop", result);
}

QString CQuarnXML::GetLocalAddress()
{
    return m_wrapper.GetLocalAddress();
}

QString CQuarnXML::BoxAddress() const
{
    return m_wrapper.address;
}

bool CQuarnXML::SendRemoteKey(int key, int repeat, int& code)
{
    pugi::xml_document doc;
    if (!m_wrapper.SendRemoteKey(doc, key, repeat))
        return false;
    return CReplyReader::GetErrorCode(doc, "//rcu", code);
}

// ---- readers --------------------------------------------------------------------------------

CQuarnXML::Sections CQuarnXML::Sections::Of(const pugi::xml_document& doc)
{
    // The library's own walk visits every node in document order; only element names are looked
    // at, and their first letter settles most of them.
    struct Walker final : pugi::xml_tree_walker
    {
        bool for_each(pugi::xml_node& n) override
        {
            const char* name = n.name();
            switch (name[0]) {
            case 'f':
                if (std::strcmp(name, "fav") == 0)
                    found.fav.push_back(n);
                break;
            case 's':
                if (std::strcmp(name, "svc") == 0)
                    ++found.services;
                else if (std::strcmp(name, "sat") == 0)
                    found.sat.push_back(n);
                else if (!found.streaming && std::strcmp(name, "streaming") == 0)
                    found.streaming = n;
                break;
            case 'a':
                if (std::strcmp(name, "alarm") == 0)
                    found.alarm.push_back(n);
                break;
            case 'p':
                if (std::strcmp(name, "pin") == 0)
                    found.pin.push_back(n);
                break;
            case 'l':
                if (!found.live && std::strcmp(name, "live") == 0)
                    found.live = n;
                break;
            default:
                break;
            }
            return true;
        }
        Sections found;
    } walker;
    // Text nodes have an empty name and so match nothing above.
    pugi::xml_node root = doc.root();
    root.traverse(walker);
    return std::move(walker.found);
}

bool CQuarnXML::ReadReload(const pugi::xml_document& favorites, const pugi::xml_document& serviceList,
                           const pugi::xml_document& scheduleList, const pugi::xml_document& pinCheck,
                           const pugi::xml_document& status, CQuarnDataModel& db) const
{
    const TimesOfOneReply times;
    try {
        // A box that takes the combined request answers all five in one document, walked once.
        const Sections combined = Sections::Of(favorites);
        std::optional<Sections> own;
        const auto of = [&](const pugi::xml_document& doc) -> const Sections& {
            if (&doc == &favorites)
                return combined;
            own = Sections::Of(doc);
            return *own;
        };
        return ReadFavoriteGroups(combined, db) && ReadServiceList(of(serviceList), db) &&
               ReadScheduleList(of(scheduleList), db) && ReadPinCheck(of(pinCheck), db) &&
               ReadStatus(of(status), db.MutableStatus(FillAccess()));
    } catch (const std::exception&) {
        return false;
    }
}

void CQuarnXML::ReadFavoriteGroup(const pugi::xml_node& fav, CFavoriteGroupElement& group)
{
    static constexpr std::array<const char*, 4> kNames{"idx", "sat_idx", "blocked", "encoding"};
    const auto v = Collect(fav, kNames);
    ReadInt(v[0], group.idx);
    ReadInt(v[1], group.satIdx);
    ReadBool(v[2], group.blocked);
    ReadEncoding(v[3], group.nameEncoding);
    ReadText(fav, group.name);
}

bool CQuarnXML::ReadFavoriteGroups(const Sections& reply, CQuarnDataModel& db) const
{
    for (const pugi::xml_node& fav : reply.fav) {
        auto group = std::make_unique<CFavoriteGroupElement>();
        ReadFavoriteGroup(fav, *group);
        if (!group->blocked) {
            auto entry = std::make_unique<CSatelliteElement>();
            entry->idx = group->satIdx;
            entry->degree = 0;
            entry->name = group->name;
            entry->favoriteGroup = group.get();
            db.AddGroupEntry(FillAccess(), std::move(entry));
        }
        db.AddFavoriteGroup(FillAccess(), std::move(group));
    }
    return true;
}

void CQuarnXML::ReadSatellite(const pugi::xml_node& sat, CSatelliteElement& satellite)
{
    static constexpr std::array<const char*, 3> kNames{"idx", "degree", "name"};
    const auto v = Collect(sat, kNames);
    ReadInt(v[0], satellite.idx);
    ReadInt(v[1], satellite.degree);
    ReadText(v[2], satellite.name);
}

void CQuarnXML::ReadTransponder(const pugi::xml_node& tp, CTransponderElement& t)
{
    static constexpr std::array<const char*, 9> kNames{"idx",
                                                       "freq",
                                                       "polar",
                                                       "sr",
                                                       "tsid",
                                                       "orgnetid",
                                                       "netname",
                                                       "change_svc_possibility",
                                                       "streaming_possibility"};
    const auto v = Collect(tp, kNames);
    ReadInt(v[0], t.idx);
    ReadInt(v[1], t.freq);
    ReadInt(v[2], t.polar);
    ReadInt(v[3], t.sr);
    ReadInt(v[4], t.tsid);
    ReadInt(v[5], t.orgnetid);
    ReadText(v[6], t.netname);
    ReadBool(v[7], t.changeSvcPossibility);
    ReadBool(v[8], t.streamingPossibility);
}

bool CQuarnXML::ReadService(const pugi::xml_node& svc, CServiceElement& s) const
{
    static constexpr std::array<const char*, 9> kNames{"idx",  "type",      "sid",     "vpid", "apid",
                                                       "ppid", "scrambled", "blocked", "fav"};
    const auto v = Collect(svc, kNames);
    ReadInt(v[0], s.idx);
    ReadInt(v[1], s.type);
    s.key = MakeServiceKey(s.type, s.idx);
    ReadInt(v[2], s.sid);
    ReadInt(v[3], s.vpid);
    ReadInt(v[4], s.apid);
    ReadInt(v[5], s.ppid);
    ReadBool(v[6], s.scrambled);
    ReadBool(v[7], s.blocked);
    ReadInt(v[8], s.fav);
    if (const pugi::xml_node service = Child(svc, "service")) {
        static constexpr std::array<const char*, 3> kServiceNames{"num", "lcn", "encoding"};
        const auto sv = Collect(service, kServiceNames);
        ReadInt(sv[0], s.num);
        ReadInt(sv[1], s.lcn);
        ReadEncoding(sv[2], s.nameEncoding);
        ReadText(service, s.name);
    }
    if (const pugi::xml_node evt = Child(svc, "evt")) {
        if (!ReadEvent(evt, s.presentEvent))
            return false;
    }
    // Selected as "recording " by the box's own client; the trailing blank never mattered.
    if (const pugi::xml_node recording = Child(svc, "recording")) {
        static constexpr std::array<const char*, 2> kRecordingNames{"duration", "rectime"};
        const auto rv = Collect(recording, kRecordingNames);
        ReadText(rv[0], s.recDuration);
        ReadText(rv[1], s.recTime);
    }
    return true;
}

bool CQuarnXML::ReadServiceList(const Sections& reply, CQuarnDataModel& db) const
{
    db.ReserveServices(FillAccess(), reply.services);
    for (const pugi::xml_node& sat : reply.sat) {
        auto satellite = std::make_unique<CSatelliteElement>();
        ReadSatellite(sat, *satellite);
        CSatelliteElement* entry = satellite.get();
        db.AddGroupEntry(FillAccess(), std::move(satellite));
        for (pugi::xml_node tp = Child(sat, "tp"); tp; tp = NextSibling(tp, "tp")) {
            auto transponder = std::make_unique<CTransponderElement>();
            ReadTransponder(tp, *transponder);
            const int tpIdx = transponder->idx;
            const bool streamingPossibility = transponder->streamingPossibility;
            db.StoreTransponder(FillAccess(), std::move(transponder));
            for (pugi::xml_node svc = Child(tp, "svc"); svc; svc = NextSibling(svc, "svc")) {
                auto service = std::make_unique<CServiceElement>();
                if (!ReadService(svc, *service))
                    return false;
                service->satIdx = entry->idx;
                service->tpIdx = tpIdx;
                service->streamingPossible = streamingPossibility;
                const int index = db.AddService(FillAccess(), std::move(service));
                if (index >= 0)
                    entry->services.push_back(db.Services()[static_cast<size_t>(index)].get());
            }
        }
    }
    return true;
}

bool CQuarnXML::ReadSchedule(const pugi::xml_node& alarm, CScheduleElement& s)
{
    static constexpr std::array<const char*, 6> kNames{"id", "type", "mode", "days", "stime", "etime"};
    const auto v = Collect(alarm, kNames);
    ReadInt(v[0], s.id);
    ReadInt(v[1], s.type);
    ReadInt(v[2], s.mode);
    ReadInt(v[3], s.days);
    if (!ReadTime(v[4], s.start) || !ReadTime(v[5], s.end))
        return false;
    if (const pugi::xml_node svc = Child(alarm, "svc")) {
        static constexpr std::array<const char*, 4> kSvcNames{"sat", "type", "idx", "encoding"};
        const auto sv = Collect(svc, kSvcNames);
        ReadText(svc, s.serviceName);
        ReadInt(sv[0], s.satIdx);
        ReadInt(sv[1], s.svcType);
        ReadInt(sv[2], s.svcIdx);
        ReadEncoding(sv[3], s.serviceEncoding);
    }
    static constexpr std::array<const char*, 2> kIdNames{"id", "encoding"};
    if (const pugi::xml_node evt = Child(alarm, "evt")) {
        const auto ev = Collect(evt, kIdNames);
        ReadText(evt, s.eventName);
        ReadInt(ev[0], s.eventId);
        ReadEncoding(ev[1], s.eventEncoding);
    }
    if (const pugi::xml_node series = Child(alarm, "series")) {
        const auto sv = Collect(series, kIdNames);
        ReadText(series, s.seriesName);
        ReadInt(sv[0], s.seriesId);
        ReadEncoding(sv[1], s.seriesEncoding);
    }
    return true;
}

bool CQuarnXML::ReadScheduleList(const Sections& reply, CQuarnDataModel& db)
{
    for (const pugi::xml_node& alarm : reply.alarm) {
        auto schedule = std::make_unique<CScheduleElement>();
        if (!ReadSchedule(alarm, *schedule))
            return false;
        schedule->service = db.FindService(MakeServiceKey(schedule->svcType, schedule->svcIdx));
        db.AddSchedule(FillAccess(), std::move(schedule));
    }
    return true;
}

bool CQuarnXML::ReadPinCheck(const Sections& reply, CQuarnDataModel& db)
{
    // "//pin/@error": the error attribute of the first pin element that has one.
    for (const pugi::xml_node& pin : reply.pin) {
        if (const pugi::xml_attribute error = Attr(pin, "error")) {
            db.SetLocked(FillAccess(), CReplyReader::ToInt(error.value()) != 0);
            return true;
        }
    }
    db.SetLocked(FillAccess(), false);
    return false;
}

bool CQuarnXML::ReadServiceRef(const pugi::xml_node& svc, CServiceRefElement& r) const
{
    ReadInt(Attr(svc, "idx"), r.idx);
    ReadInt(Attr(svc, "type"), r.type);
    ReadInt(ChildAttribute(svc, "service", "num"), r.num);
    ReadInt(ChildAttribute(svc, "service", "lcn"), r.lcn);
    ReadText(ChildAttribute(svc, "service", "encoding"), r.nameEncoding);
    if (const pugi::xml_node text = ChildText(svc, "service"))
        r.name = QString::fromUtf8(text.value());
    ReadBool(ChildAttribute(svc, "info", "scrambled"), r.scrambled);
    ReadBool(ChildAttribute(svc, "info", "teletext"), r.teletext);
    ReadBool(ChildAttribute(svc, "info", "subtitle"), r.subtitle);
    ReadBool(ChildAttribute(svc, "info", "dolby"), r.dolby);
    ReadBool(ChildAttribute(svc, "info", "hd"), r.hd);
    ReadBool(ChildAttribute(svc, "info", "multifeed"), r.multifeed);
    if (const pugi::xml_node evt = Child(svc, "evt"))
        return ReadEvent(evt, r.event);
    return true;
}

bool CQuarnXML::ReadStatus(const Sections& reply, CBoxStatusElement& status) const
{
    if (const pugi::xml_node streaming = reply.streaming) {
        ReadInt(Attr(streaming, "status"), status.streamingStatus);
        ReadInt(ChildAttribute(streaming, "net", "protocol"), status.netProtocol);
        ReadText(ChildAttribute(streaming, "net", "client_ip"), status.clientAddress);
        ReadInt(ChildAttribute(streaming, "net", "client_port"), status.clientPort);
        ReadText(ChildAttribute(streaming, "net", "url"), status.url);
        if (const pugi::xml_node svc = Child(streaming, "svc")) {
            if (!ReadServiceRef(svc, status.streamingService))
                return false;
        }
    }
    if (const pugi::xml_node live = reply.live) {
        if (const pugi::xml_node svc = Child(live, "svc")) {
            if (!ReadServiceRef(svc, status.liveService))
                return false;
        }
    }
    return true;
}

bool CQuarnXML::ReadEvent(const pugi::xml_node& evt, CEventElement& e) const
{
    static constexpr std::array<const char*, 3> kNames{"id", "stime", "etime"};
    const auto v = Collect(evt, kNames);
    ReadInt(v[0], e.id);
    if (!ReadTime(v[1], e.start) || !ReadTime(v[2], e.end))
        return false;
    static constexpr std::array<const char*, 1> kEncoding{"encoding"};
    if (const pugi::xml_node name = Child(evt, "name")) {
        const char* text = name.child_value();
        // The box's word for a missing title, in whatever letter case it chose.
        if (std::strlen(text) == 6 &&
            QLatin1String(text).compare(QLatin1String("(None)"), Qt::CaseInsensitive) == 0)
            e.name = m_missingNameText;
        else
            e.name = QString::fromUtf8(text);
        ReadEncoding(Collect(name, kEncoding)[0], e.nameEncoding);
    }
    if (const pugi::xml_node text = Child(evt, "text")) {
        ReadText(text, e.text);
        ReadEncoding(Collect(text, kEncoding)[0], e.textEncoding);
    }
    return true;
}

bool CQuarnXML::ReadGuide(const pugi::xml_document& doc, CGuideElement& guide) const
{
    try {
        if (const pugi::xml_attribute created =
                CReplyReader::FirstAttribute(doc, "quarn:query", "quarn:created")) {
            const auto t = CReplyReader::ParseBoxTime(QString::fromUtf8(created.value()));
            if (!t)
                return false;
            guide.boxTime = *t;
        }
        if (const pugi::xml_attribute a = CReplyReader::FirstAttribute(doc, "epg", "svc_type"))
            guide.svcType = CReplyReader::ToInt(a.value());
        if (const pugi::xml_attribute a = CReplyReader::FirstAttribute(doc, "epg", "svc_idx"))
            guide.svcIdx = CReplyReader::ToInt(a.value());
        guide.events.clear();
        for (const pugi::xpath_node& n : EpgEventsQuery().evaluate_node_set(doc)) {
            auto event = std::make_unique<CEventElement>();
            if (!ReadEvent(n.node(), *event))
                return false;
            guide.events.push_back(std::move(event));
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CQuarnXML::ApplyGuide(const pugi::xml_document& doc, CGuideElement& guide) const
{
    // Read aside so that a broken reply leaves the guide as it was instead of half replaced.
    const TimesOfOneReply times;
    CGuideElement read;
    read.boxTime = guide.boxTime;
    read.svcType = guide.svcType;
    read.svcIdx = guide.svcIdx;
    if (!ReadGuide(doc, read))
        return false;
    guide = std::move(read);
    return true;
}

int CQuarnXML::ApplyScheduleReply(const pugi::xml_document& doc, CQuarnDataModel& db)
{
    const TimesOfOneReply times;
    try {
        int result = 0;
        CReplyReader::GetErrorCode(doc, "//alarm", result);
        if (result != 0)
            return result;
        const pugi::xml_node alarm = CReplyReader::FirstElement(doc, "alarm");
        if (!alarm)
            return -1;
        CScheduleElement stored;
        if (!ReadSchedule(alarm, stored))
            return 0; // the next full reload brings the box's state
        if (stored.mode != 0) {
            stored.service = db.FindService(MakeServiceKey(stored.svcType, stored.svcIdx));
            db.StoreSchedule(FillAccess(), stored);
        } else {
            db.RemoveSchedule(FillAccess(), stored.id);
        }
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}
