#include "views/guide/CKelvoEPGRows.h"

#include "model/CGuideElement.h"
#include "model/CQuarnDataModel.h"

#include <algorithm>
#include <ctime>

int CKelvoEPGRows::LocalDayKey(qint64 time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&t, &local) == nullptr)
        return 0;
    return (local.tm_year + 1900) * 10000 + (local.tm_mon + 1) * 100 + local.tm_mday;
}

qint64 CKelvoEPGRows::AddDays(qint64 time, int days)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    if (localtime_r(&t, &local) != nullptr) {
        local.tm_mday += days;
        local.tm_isdst = -1; // the other day may lie on the other side of a clock change
        const std::time_t moved = std::mktime(&local);
        if (moved != static_cast<std::time_t>(-1))
            return static_cast<qint64>(moved);
    }
    return time + static_cast<qint64>(days) * 86400;
}

int CKelvoEPGRows::LengthMinutes(qint64 start, qint64 end)
{
    CScheduleElement span;
    span.start = start;
    span.end = end;
    return span.DurationMinutes();
}

double CKelvoEPGRows::Progress(qint64 start, qint64 end, qint64 now)
{
    if (!(start < now && now < end))
        return 0.0;
    const int minutes = LengthMinutes(start, end);
    if (minutes <= 0)
        return 1.0;
    // Unsigned, so that no start the box sends can overflow the difference.
    const quint64 elapsed = (static_cast<quint64>(now) - static_cast<quint64>(start)) % 86400u;
    return std::clamp(static_cast<double>(elapsed) / (60.0 * minutes), 0.0, 1.0);
}

int CKelvoEPGRows::IconFrameFor(const CScheduleElement* schedule)
{
    return schedule ? schedule->IconIndex() : IconNone;
}

CKelvoEPGRows::Step CKelvoEPGRows::NextStep(int iconFrame)
{
    switch (iconFrame) {
    case IconPlay:
        return {1, 1}; // record it instead
    case IconRecording:
        return {2, 0}; // the box removes the schedule
    case IconSeriesOn:
        return {2, 4};
    case IconSeriesOff:
        return {2, 1};
    default:
        return {0, 1}; // play it once
    }
}

void CKelvoEPGRows::Fill(const CGuideElement& guide, qint64 day)
{
    m_svcType = guide.svcType;
    m_svcIdx = guide.svcIdx;
    m_rows.clear();
    const int dayKey = LocalDayKey(day);
    for (const auto& e : guide.events) {
        if (!e || LocalDayKey(e->start) != dayKey)
            continue;
        m_rows.push_back(EPGRow{e->id, e->start, e->end, e->name, e->nameEncoding});
    }
}

void CKelvoEPGRows::Clear()
{
    m_rows.clear();
}

const EPGRow* CKelvoEPGRows::At(int row) const
{
    return row >= 0 && row < Count() ? &m_rows[static_cast<size_t>(row)] : nullptr;
}

int CKelvoEPGRows::FirstNotEnded(qint64 now) const
{
    for (int i = 0; i < Count(); ++i) {
        if (!HasEnded(m_rows[static_cast<size_t>(i)].end, now))
            return i;
    }
    return -1;
}

int CKelvoEPGRows::FindEvent(int eventId) const
{
    for (int i = 0; i < Count(); ++i) {
        if (m_rows[static_cast<size_t>(i)].eventId == eventId)
            return i;
    }
    return -1;
}

CEventElement CKelvoEPGRows::AsEvent(const EPGRow& row)
{
    CEventElement e;
    e.id = row.eventId;
    e.start = row.start;
    e.end = row.end;
    e.name = row.name;
    e.nameEncoding = row.nameEncoding;
    return e;
}

const CScheduleElement* CKelvoEPGRows::ScheduleOf(const CQuarnDataModel& db, int row) const
{
    const EPGRow* r = At(row);
    return r ? db.FindScheduleForEvent(m_svcType, m_svcIdx, AsEvent(*r)) : nullptr;
}

std::optional<CScheduleElement> CKelvoEPGRows::IconPress(const CQuarnDataModel& db, int row, qint64 now) const
{
    const EPGRow* r = At(row);
    if (!r || HasEnded(r->end, now))
        return std::nullopt;
    std::optional<CScheduleElement> copy;
    if (const CScheduleElement* own = ScheduleOf(db, row)) {
        copy = *own;
    } else {
        const CEventElement e = AsEvent(*r);
        auto made = db.MakeSchedule(m_svcType, m_svcIdx, 0, 0, &e);
        if (!made)
            return std::nullopt;
        copy = std::move(*made);
    }
    const Step step = NextStep(copy->IconIndex());
    copy->type = step.type;
    copy->mode = step.mode;
    return copy;
}

bool CKelvoEPGRows::TimerDisabled(const CQuarnDataModel& db, int row) const
{
    const CScheduleElement* own = ScheduleOf(db, row);
    return own && own->seriesId >= 0;
}

std::optional<CScheduleElement> CKelvoEPGRows::TimerPress(const CQuarnDataModel& db, int row) const
{
    const EPGRow* r = At(row);
    if (!r)
        return std::nullopt;
    if (const CScheduleElement* own = ScheduleOf(db, row)) {
        if (own->seriesId >= 0)
            return std::nullopt;
        return *own;
    }
    const CEventElement e = AsEvent(*r);
    auto made = db.MakeSchedule(m_svcType, m_svcIdx, 0, 1, &e);
    if (!made)
        return std::nullopt;
    return std::move(*made);
}
