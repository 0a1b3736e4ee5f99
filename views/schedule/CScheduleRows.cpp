#include "views/schedule/CScheduleRows.h"

#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "ui/CKelvoRes.h"

#include <QDateTime>
#include <algorithm>

namespace ScheduleRows {

QString DurationLine(qint64 start, qint64 end, const QString& timeFormat)
{
    const qint64 d = end - start;
    const qint64 hours = d / 3600 - 24 * (d / 86400);
    const qint64 minutes = d / 60 - 60 * (d / 3600);
    const QString word = hours <= 1 ? QStringLiteral("Hour ") : QStringLiteral("Hours");
    return QStringLiteral("%1~%2(%3 %4 %5 Mins)")
        .arg(CKelvoRes::FormatTime(timeFormat, start), CKelvoRes::FormatTime(timeFormat, end))
        .arg(hours)
        .arg(word)
        .arg(minutes);
}

QString MemberTimeLine(qint64 start, qint64 end, const QString& timeFormat)
{
    CScheduleElement s;
    s.start = start;
    s.end = end;
    return QStringLiteral("%1~%2 / %3 Min")
        .arg(CKelvoRes::FormatTime(timeFormat, start), CKelvoRes::FormatTime(timeFormat, end))
        .arg(s.DurationMinutes());
}

int EntryIconFrame(const CScheduleElement& entry)
{
    if (entry.seriesId < 0)
        return entry.IconIndex();
    const bool anyActive = std::any_of(entry.members.begin(), entry.members.end(),
                                       [](const auto& m) { return m && (m->seriesId < 0 || m->mode != 4); });
    return anyActive ? 3 : 2;
}

int SeriesStepMode(int iconIndex)
{
    switch (iconIndex) {
    case 2:
        return 1;
    case 3:
        return 4;
    default:
        return 0;
    }
}

CScheduleElement Detached(const CScheduleElement& schedule)
{
    CScheduleElement copy = schedule;
    copy.service = nullptr;
    for (auto& m : copy.members) {
        if (m)
            m = std::make_shared<CScheduleElement>(Detached(*m));
    }
    return copy;
}

} // namespace ScheduleRows

CScheduleRow CScheduleListRows::NewRow()
{
    CScheduleRow row;
    row.isNew = true;
    return row;
}

int CScheduleListRows::ClampSelection(int kept, int scheduleRows, bool reset)
{
    int sel = reset ? 0 : kept;
    if (sel > scheduleRows - 1)
        sel = scheduleRows - 1;
    if (scheduleRows <= 0 || sel < 0)
        sel = 0;
    return sel;
}

void CScheduleListRows::Fill(const OwnedList<CScheduleElement>& schedules, bool resetSelection,
                             const ScheduleRows::Formats& formats)
{
    m_rows.clear();
    m_rows.reserve(schedules.size() + 1);
    for (const auto& s : schedules) {
        CScheduleRow row;
        row.schedule = ScheduleRows::Detached(*s);
        row.iconFrame = ScheduleRows::EntryIconFrame(*s);
        // The link the reader made, or none: a schedule of a service the database no longer
        // lists still shows its event, date and times.
        if (const CServiceElement* svc = s->service) {
            row.hasService = true;
            row.scrambled = svc->scrambled;
            row.blocked = svc->blocked;
            row.number = QString::asprintf("%04d", svc->lcn);
            row.name = svc->name;
        }
        row.eventName = s->eventName;
        row.dateLine = CKelvoRes::FormatTime(formats.dateShort, s->start);
        row.durationLine = ScheduleRows::DurationLine(s->start, s->end, formats.time);
        m_rows.push_back(std::move(row));
    }
    m_rows.push_back(NewRow());
    m_selection = ClampSelection(m_selection, ScheduleCount(), resetSelection);
}

bool CScheduleListRows::OpensEditForm(int selectedRow) const
{
    if (selectedRow < 0 || selectedRow >= static_cast<int>(m_rows.size()))
        return false;
    const CScheduleRow& row = m_rows[static_cast<size_t>(selectedRow)];
    return row.isNew || row.schedule.seriesId < 0;
}

std::optional<CScheduleElement> MakeNewSchedule(const CQuarnDataModel& db, int lastStreamingKey,
                                                qint64 boxNow)
{
    const CServiceElement* service = db.FindLiveService();
    if (!service)
        service = db.FindService(lastStreamingKey);
    if (!service && !db.Services().empty())
        service = db.Services().front().get();
    if (!service)
        return std::nullopt;
    auto made = db.MakeSchedule(service->type, service->idx, 1, 1, nullptr);
    if (!made)
        return std::nullopt;
    made->start = boxNow + 300;
    made->end = made->start + 3600;
    return *made;
}

void CSeriesRows::Fill(const CScheduleElement& seriesEntry, const QString& timeFormat)
{
    m_rows.clear();
    m_rows.reserve(seriesEntry.members.size());
    for (const auto& m : seriesEntry.members) {
        if (!m)
            continue;
        CSeriesRow row;
        row.member = ScheduleRows::Detached(*m);
        row.icon = m->IconIndex();
        row.skipped = row.icon == 2;
        row.timeLine = ScheduleRows::MemberTimeLine(m->start, m->end, timeFormat);
        row.name = m->seriesId >= 0 ? m->seriesName : m->serviceName;
        m_rows.push_back(std::move(row));
    }
}

std::optional<CScheduleElement> CSeriesRows::StepRecord(int row) const
{
    if (row < 0 || row >= static_cast<int>(m_rows.size()))
        return std::nullopt;
    const CSeriesRow& r = m_rows[static_cast<size_t>(row)];
    CScheduleElement copy = r.member;
    copy.mode = ScheduleRows::SeriesStepMode(r.icon);
    return copy;
}

namespace ScheduleEdit {

std::optional<Times> ForControls(qint64 start, qint64 end, qint64 maxMinutes)
{
    const qint64 d = end - start;
    if (d < 0 || d / 60 > maxMinutes)
        return std::nullopt;
    const QDateTime local = QDateTime::fromSecsSinceEpoch(start);
    if (!local.isValid())
        return std::nullopt;
    return Times{local.date(), local.time(), d / 60};
}

std::pair<qint64, qint64> FromControls(const Times& shown, const Times& loaded, qint64 loadedStart,
                                       qint64 loadedEnd)
{
    // The time picker shows hours and minutes; the seconds are the loaded ones whatever it holds.
    const bool sameStart = shown.date == loaded.date && shown.time.hour() == loaded.time.hour() &&
                           shown.time.minute() == loaded.time.minute();
    qint64 start = loadedStart;
    if (!sameStart) {
        const QTime t(shown.time.hour(), shown.time.minute(),
                      loaded.time.isValid() ? loaded.time.second() : 0);
        start = QDateTime(shown.date, t).toSecsSinceEpoch();
    }
    const qint64 length = shown.durationMinutes == loaded.durationMinutes ? loadedEnd - loadedStart
                                                                          : shown.durationMinutes * 60;
    return {start, start + length};
}

} // namespace ScheduleEdit
