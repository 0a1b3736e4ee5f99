#include "protocol/CQuarnXML.h"

#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CReplyReader.h"

#include <cstring>
#include <memory>

// The per-record selections ("@idx", "service/@num", child "evt", ...) are read straight from the
// tree: they name an attribute or a child of the node in hand, and a reply of a large box has
// tens of thousands of them, where evaluating a path each time would cost more than parsing the
// whole reply. Each helper gives what the path selection gives: the first match in document order.

namespace {

const pugi::xpath_query& FavQuery()
{
    static const pugi::xpath_query q("//fav");
    return q;
}
const pugi::xpath_query& SatQuery()
{
    static const pugi::xpath_query q("//sat");
    return q;
}
const pugi::xpath_query& AlarmQuery()
{
    static const pugi::xpath_query q("//alarm");
    return q;
}
const pugi::xpath_query& StreamingQuery()
{
    static const pugi::xpath_query q("//streaming");
    return q;
}
const pugi::xpath_query& LiveQuery()
{
    static const pugi::xpath_query q("//live");
    return q;
}
const pugi::xpath_query& CreatedQuery()
{
    static const pugi::xpath_query q("//quarn:query/@quarn:created");
    return q;
}
const pugi::xpath_query& EpgTypeQuery()
{
    static const pugi::xpath_query q("//epg/@svc_type");
    return q;
}
const pugi::xpath_query& EpgIdxQuery()
{
    static const pugi::xpath_query q("//epg/@svc_idx");
    return q;
}
const pugi::xpath_query& EpgEventsQuery()
{
    static const pugi::xpath_query q("//epg/evt");
    return q;
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

[[nodiscard]] bool ReadTime(const pugi::xml_attribute& a, qint64& field)
{
    if (!a)
        return true;
    const auto t = CReplyReader::ParseBoxTime(QString::fromUtf8(a.value()));
    if (!t)
        return false;
    field = *t;
    return true;
}

// "child/@name": the attribute of the first `child` element that carries it.
pugi::xml_attribute ChildAttribute(const pugi::xml_node& node, const char* child, const char* name)
{
    for (pugi::xml_node c = node.child(child); c; c = c.next_sibling(child)) {
        if (const pugi::xml_attribute a = c.attribute(name))
            return a;
    }
    return {};
}

// "child/text()": the first character data among the `child` elements.
pugi::xml_node ChildText(const pugi::xml_node& node, const char* child)
{
    for (pugi::xml_node c = node.child(child); c; c = c.next_sibling(child)) {
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
    // Read aside and put in place only when the whole reply was read, so that a broken reply
    // leaves the guide as it was instead of half replaced.
    CGuideElement read;
    read.boxTime = guide.boxTime;
    read.svcType = guide.svcType;
    read.svcIdx = guide.svcIdx;
    if (!ReadGuide(doc, read))
        return false;
    guide = std::move(read);
    return true;
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

bool CQuarnXML::SendRemoteKey(int key, int repeat, int& code)
{
    pugi::xml_document doc;
    if (!m_wrapper.SendRemoteKey(doc, key, repeat))
        return false;
    return CReplyReader::GetErrorCode(doc, "//rcu", code);
}

// ---- readers --------------------------------------------------------------------------------

bool CQuarnXML::ReadReload(const pugi::xml_document& favorites, const pugi::xml_document& serviceList,
                           const pugi::xml_document& scheduleList, const pugi::xml_document& pinCheck,
                           const pugi::xml_document& status, CQuarnDataModel& db) const
{
    try {
        return ReadFavoriteGroups(favorites, db) && ReadServiceList(serviceList, db) &&
               ReadScheduleList(scheduleList, db) && ReadPinCheck(pinCheck, db) &&
               ReadStatus(status, db.MutableStatus());
    } catch (const std::exception&) {
        return false;
    }
}

void CQuarnXML::ReadFavoriteGroup(const pugi::xml_node& fav, CFavoriteGroupElement& group)
{
    ReadInt(fav.attribute("idx"), group.idx);
    ReadInt(fav.attribute("sat_idx"), group.satIdx);
    ReadBool(fav.attribute("blocked"), group.blocked);
    ReadText(fav.attribute("encoding"), group.nameEncoding);
    ReadText(fav, group.name);
}

bool CQuarnXML::ReadFavoriteGroups(const pugi::xml_document& doc, CQuarnDataModel& db) const
{
    for (const pugi::xpath_node& n : FavQuery().evaluate_node_set(doc)) {
        auto group = std::make_unique<CFavoriteGroupElement>();
        ReadFavoriteGroup(n.node(), *group);
        if (!group->blocked) {
            auto entry = std::make_unique<CSatelliteElement>();
            entry->idx = group->satIdx;
            entry->degree = 0;
            entry->name = group->name;
            entry->favoriteGroup = group.get();
            db.AddGroupEntry(std::move(entry));
        }
        db.AddFavoriteGroup(std::move(group));
    }
    return true;
}

void CQuarnXML::ReadSatellite(const pugi::xml_node& sat, CSatelliteElement& satellite)
{
    ReadInt(sat.attribute("idx"), satellite.idx);
    ReadInt(sat.attribute("degree"), satellite.degree);
    ReadText(sat.attribute("name"), satellite.name);
}

void CQuarnXML::ReadTransponder(const pugi::xml_node& tp, CTransponderElement& t)
{
    ReadInt(tp.attribute("idx"), t.idx);
    ReadInt(tp.attribute("freq"), t.freq);
    ReadInt(tp.attribute("polar"), t.polar);
    ReadInt(tp.attribute("sr"), t.sr);
    ReadInt(tp.attribute("tsid"), t.tsid);
    ReadInt(tp.attribute("orgnetid"), t.orgnetid);
    ReadText(tp.attribute("netname"), t.netname);
    ReadBool(tp.attribute("change_svc_possibility"), t.changeSvcPossibility);
    ReadBool(tp.attribute("streaming_possibility"), t.streamingPossibility);
}

bool CQuarnXML::ReadService(const pugi::xml_node& svc, CServiceElement& s) const
{
    ReadInt(svc.attribute("idx"), s.idx);
    ReadInt(svc.attribute("type"), s.type);
    s.key = MakeServiceKey(s.type, s.idx);
    ReadInt(svc.attribute("sid"), s.sid);
    ReadInt(svc.attribute("vpid"), s.vpid);
    ReadInt(svc.attribute("apid"), s.apid);
    ReadInt(svc.attribute("ppid"), s.ppid);
    ReadBool(svc.attribute("scrambled"), s.scrambled);
    ReadBool(svc.attribute("blocked"), s.blocked);
    ReadInt(svc.attribute("fav"), s.fav);
    if (const pugi::xml_node service = svc.child("service")) {
        ReadInt(service.attribute("num"), s.num);
        ReadInt(service.attribute("lcn"), s.lcn);
        ReadText(service.attribute("encoding"), s.nameEncoding);
        ReadText(service, s.name);
    }
    if (const pugi::xml_node evt = svc.child("evt")) {
        if (!ReadEvent(evt, s.presentEvent))
            return false;
    }
    if (const pugi::xml_node recording = svc.child("recording")) {
        ReadText(recording.attribute("duration"), s.recDuration);
        ReadText(recording.attribute("rectime"), s.recTime);
    }
    return true;
}

bool CQuarnXML::ReadServiceList(const pugi::xml_document& doc, CQuarnDataModel& db) const
{
    for (const pugi::xpath_node& n : SatQuery().evaluate_node_set(doc)) {
        const pugi::xml_node sat = n.node();
        auto satellite = std::make_unique<CSatelliteElement>();
        ReadSatellite(sat, *satellite);
        CSatelliteElement* entry = satellite.get();
        db.AddGroupEntry(std::move(satellite));
        for (pugi::xml_node tp = sat.child("tp"); tp; tp = tp.next_sibling("tp")) {
            auto transponder = std::make_unique<CTransponderElement>();
            ReadTransponder(tp, *transponder);
            const int tpIdx = transponder->idx;
            const bool streamingPossibility = transponder->streamingPossibility;
            db.StoreTransponder(std::move(transponder));
            for (pugi::xml_node svc = tp.child("svc"); svc; svc = svc.next_sibling("svc")) {
                auto service = std::make_unique<CServiceElement>();
                if (!ReadService(svc, *service))
                    return false;
                service->satIdx = entry->idx;
                service->tpIdx = tpIdx;
                service->streamingPossible = streamingPossibility;
                const int index = db.AddService(std::move(service));
                if (index >= 0)
                    entry->services.push_back(db.Services()[static_cast<size_t>(index)].get());
            }
        }
    }
    return true;
}

bool CQuarnXML::ReadSchedule(const pugi::xml_node& alarm, CScheduleElement& s)
{
    ReadInt(alarm.attribute("id"), s.id);
    ReadInt(alarm.attribute("type"), s.type);
    ReadInt(alarm.attribute("mode"), s.mode);
    ReadInt(alarm.attribute("days"), s.days);
    if (!ReadTime(alarm.attribute("stime"), s.start) || !ReadTime(alarm.attribute("etime"), s.end))
        return false;
    if (const pugi::xml_node svc = alarm.child("svc")) {
        ReadText(svc, s.serviceName);
        ReadInt(svc.attribute("sat"), s.satIdx);
        ReadInt(svc.attribute("type"), s.svcType);
        ReadInt(svc.attribute("idx"), s.svcIdx);
        ReadText(svc.attribute("encoding"), s.serviceEncoding);
    }
    if (const pugi::xml_node evt = alarm.child("evt")) {
        ReadText(evt, s.eventName);
        ReadInt(evt.attribute("id"), s.eventId);
        ReadText(evt.attribute("encoding"), s.eventEncoding);
    }
    if (const pugi::xml_node series = alarm.child("series")) {
        ReadText(series, s.seriesName);
        ReadInt(series.attribute("id"), s.seriesId);
        ReadText(series.attribute("encoding"), s.seriesEncoding);
    }
    return true;
}

bool CQuarnXML::ReadScheduleList(const pugi::xml_document& doc, CQuarnDataModel& db)
{
    for (const pugi::xpath_node& n : AlarmQuery().evaluate_node_set(doc)) {
        auto schedule = std::make_unique<CScheduleElement>();
        if (!ReadSchedule(n.node(), *schedule))
            return false;
        schedule->service = db.FindService(MakeServiceKey(schedule->svcType, schedule->svcIdx));
        db.AddSchedule(std::move(schedule));
    }
    return true;
}

bool CQuarnXML::ReadPinCheck(const pugi::xml_document& doc, CQuarnDataModel& db)
{
    int error = 0;
    if (!CReplyReader::GetErrorCode(doc, "//pin", error)) {
        db.SetLocked(false);
        return false;
    }
    db.SetLocked(error != 0);
    return true;
}

bool CQuarnXML::ReadServiceRef(const pugi::xml_node& svc, CServiceRefElement& r) const
{
    ReadInt(svc.attribute("idx"), r.idx);
    ReadInt(svc.attribute("type"), r.type);
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
    if (const pugi::xml_node evt = svc.child("evt"))
        return ReadEvent(evt, r.event);
    return true;
}

bool CQuarnXML::ReadStatus(const pugi::xml_document& doc, CBoxStatusElement& status) const
{
    if (const pugi::xml_node streaming = StreamingQuery().evaluate_node(doc).node()) {
        ReadInt(streaming.attribute("status"), status.streamingStatus);
        ReadInt(ChildAttribute(streaming, "net", "protocol"), status.netProtocol);
        ReadText(ChildAttribute(streaming, "net", "client_ip"), status.clientAddress);
        ReadInt(ChildAttribute(streaming, "net", "client_port"), status.clientPort);
        ReadText(ChildAttribute(streaming, "net", "url"), status.url);
        if (const pugi::xml_node svc = streaming.child("svc")) {
            if (!ReadServiceRef(svc, status.streamingService))
                return false;
        }
    }
    if (const pugi::xml_node live = LiveQuery().evaluate_node(doc).node()) {
        if (const pugi::xml_node svc = live.child("svc")) {
            if (!ReadServiceRef(svc, status.liveService))
                return false;
        }
    }
    return true;
}

bool CQuarnXML::ReadEvent(const pugi::xml_node& evt, CEventElement& e) const
{
    ReadInt(evt.attribute("id"), e.id);
    if (!ReadTime(evt.attribute("stime"), e.start) || !ReadTime(evt.attribute("etime"), e.end))
        return false;
    if (const pugi::xml_node name = evt.child("name")) {
        const char* text = name.child_value();
        // The box's word for a missing title, in whatever letter case it chose.
        if (std::strlen(text) == 6 &&
            QLatin1String(text).compare(QLatin1String("(None)"), Qt::CaseInsensitive) == 0)
            e.name = m_missingNameText;
        else
            e.name = QString::fromUtf8(text);
        ReadText(name.attribute("encoding"), e.nameEncoding);
    }
    if (const pugi::xml_node text = evt.child("text")) {
        ReadText(text, e.text);
        ReadText(text.attribute("encoding"), e.textEncoding);
    }
    return true;
}

bool CQuarnXML::ReadGuide(const pugi::xml_document& doc, CGuideElement& guide) const
{
    try {
        if (const pugi::xpath_node created = CreatedQuery().evaluate_node(doc)) {
            const auto t = CReplyReader::ParseBoxTime(QString::fromUtf8(created.attribute().value()));
            if (!t)
                return false;
            guide.boxTime = *t;
        }
        if (const pugi::xpath_node n = EpgTypeQuery().evaluate_node(doc))
            guide.svcType = CReplyReader::ToInt(n.attribute().value());
        if (const pugi::xpath_node n = EpgIdxQuery().evaluate_node(doc))
            guide.svcIdx = CReplyReader::ToInt(n.attribute().value());
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

int CQuarnXML::ApplyScheduleReply(const pugi::xml_document& doc, CQuarnDataModel& db)
{
    try {
        int result = 0;
        CReplyReader::GetErrorCode(doc, "//alarm", result);
        if (result != 0)
            return result;
        const pugi::xml_node alarm = AlarmQuery().evaluate_node(doc).node();
        if (!alarm)
            return -1;
        CScheduleElement stored;
        if (!ReadSchedule(alarm, stored))
            return 0; // the next full reload brings the box's state
        if (stored.mode != 0) {
            stored.service = db.FindService(MakeServiceKey(stored.svcType, stored.svcIdx));
            db.StoreSchedule(stored);
        } else {
            db.RemoveSchedule(stored.id);
        }
        return 0;
    } catch (const std::exception&) {
        return -1;
    }
}
