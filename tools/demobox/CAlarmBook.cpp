#include "CAlarmBook.h"

#include "CSingleByteCodec.h"

#include <QDateTime>
#include <QRegularExpression>

CAlarmBook::CAlarmBook(const CChannelDatabase& db, qint64 boxNow, int maxAlarms)
    : m_db(db), m_maxAlarms(maxAlarms)
{
    Q_UNUSED(boxNow);
    const DemoText patrol = CSingleByteCodec::plain(QStringLiteral("Harbour Patrol"));
    const DemoText cosmos = CSingleByteCodec::encoded(QString::fromUtf16(u"Космос"), "ISO-8859-5");
    // Always in the days ahead, so none of them is running when the box starts, and far enough
    // apart that they never collide with each other.
    for (int day = 1; day <= 3; ++day)
        addGenerated(CChannelDatabase::kSeriesOneService, day, CChannelDatabase::kSeriesOneHour, 0, 1, 1, 1,
                     patrol);
    addGenerated(CChannelDatabase::kSeriesTwoService, 1, CChannelDatabase::kSeriesTwoHour, 0, 1, 1, 2,
                 cosmos);
    addGenerated(CChannelDatabase::kSeriesTwoService, 3, CChannelDatabase::kSeriesTwoHour, 0, 1, 1, 2,
                 cosmos);
    addGenerated(5, 4, 8, 0, 0, 1, -1, {});
    addGenerated(6, 5, 6, 0, 1, 2, -1, {});
}

void CAlarmBook::addGenerated(int svcOrdinal, int day, int hour, int minute, int type, int mode, int seriesId,
                              const DemoText& seriesName)
{
    const auto& services = m_db.services();
    if (svcOrdinal >= int(services.size()))
        return;
    if (int(m_alarms.size()) >= m_maxAlarms)
        return;
    const DemoService& service = services[std::size_t(svcOrdinal)];
    const qint64 at = m_db.guideStart() + qint64(day) * 86400 + hour * 3600 + minute * 60;
    const DemoEvent event = m_db.eventAt(service, at);
    if (event.id < 0)
        return;
    DemoAlarm a;
    a.id = m_nextId++;
    a.type = type;
    a.mode = mode;
    a.days = mode == 2 ? 0x7F : 0;
    a.start = event.start;
    a.end = event.end;
    a.satIdx = service.satIdx;
    a.svcType = service.type;
    a.svcIdx = service.idx;
    a.serviceName = service.name;
    a.eventId = event.id;
    a.eventName = event.name;
    a.seriesId = seriesId;
    a.seriesName = seriesName;
    if (collides(a))
        return;
    m_alarms.push_back(a);
}

bool CAlarmBook::parseBoxTime(const QString& text, qint64* out)
{
    static const QRegularExpression re(
        QStringLiteral("^\\s*(\\d{1,4})-(\\d{1,2})-(\\d{1,2})T(\\d{1,2}):(\\d{1,2})\\s*$"));
    const auto m = re.match(text);
    if (!m.hasMatch())
        return false;
    const QDate date(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    const QTime time(m.captured(4).toInt(), m.captured(5).toInt());
    if (!date.isValid() || !time.isValid() || date.year() < 1970)
        return false;
    *out = QDateTime(date, time).toSecsSinceEpoch();
    return true;
}

bool CAlarmBook::fill(const Request& r, DemoAlarm* alarm) const
{
    const DemoService* service = m_db.findService(r.svcType, r.svcIdx);
    if (service == nullptr || service->satIdx != r.satIdx)
        return false;
    // Mode 4 skips one episode: only a timer of a series has episodes to skip.
    const int lastMode = alarm->seriesId >= 0 ? 4 : 3;
    if (r.type < 0 || r.type > 1 || r.mode < 1 || r.mode > lastMode || r.end <= r.start)
        return false;
    // A timer longer than a day is no timer a box would take.
    if (r.end - r.start > 86400)
        return false;
    alarm->type = r.type;
    alarm->mode = r.mode;
    alarm->days = r.days;
    alarm->start = r.start;
    alarm->end = r.end;
    alarm->satIdx = service->satIdx;
    alarm->svcType = service->type;
    alarm->svcIdx = service->idx;
    alarm->serviceName = service->name;
    alarm->eventId = -1;
    alarm->eventName = {};
    if (r.eventId >= 0) {
        if (const auto event = m_db.findEvent(*service, r.eventId)) {
            alarm->eventId = event->id;
            alarm->eventName = event->name;
        }
    }
    return true;
}

bool CAlarmBook::collides(const DemoAlarm& alarm) const
{
    for (const auto& other : m_alarms) {
        if (other.id != alarm.id && alarm.start < other.end && other.start < alarm.end)
            return true;
    }
    return false;
}

int CAlarmBook::apply(const Request& r, qint64 boxNow, DemoAlarm* stored)
{
    auto existing = m_alarms.end();
    if (r.id != 0) {
        existing =
            std::find_if(m_alarms.begin(), m_alarms.end(), [&](const DemoAlarm& a) { return a.id == r.id; });
        if (existing == m_alarms.end())
            return WrongValue;
        if (existing->start <= boxNow && boxNow < existing->end)
            return Running;
    }

    if (r.mode == 0) {
        if (existing == m_alarms.end())
            return WrongValue;
        *stored = *existing;
        stored->mode = 0;
        m_alarms.erase(existing);
        return Ok;
    }

    DemoAlarm alarm = existing != m_alarms.end() ? *existing : DemoAlarm{};
    if (!fill(r, &alarm))
        return WrongValue;
    if (existing == m_alarms.end()) {
        if (int(m_alarms.size()) >= m_maxAlarms)
            return SlotAllocation;
        alarm.id = 0;
        if (collides(alarm))
            return Collision;
        alarm.id = m_nextId++;
        m_alarms.push_back(alarm);
    } else {
        if (collides(alarm))
            return Collision;
        *existing = alarm;
    }
    *stored = alarm;
    return Ok;
}
