#pragma once

#include "model/CEventElement.h"
#include "model/CScheduleElement.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

class CQuarnDataModel;
struct CGuideElement;

// One guide row, kept as values: the guide record's events are replaced by every guide request
// (and emptied by a reload), so a row never points into the database. Its schedule is looked up
// again by event id whenever it is needed.
struct EPGRow
{
    int eventId = -1;
    qint64 start = 0;
    qint64 end = 0;
    QString name;
    QString nameEncoding;
};

// The program guide list without widgets: which events one day shows, how far the running one
// has come, which state icon each shows, and what a press on a row's buttons asks the box for.
class CKelvoEPGRows final
{
public:
    // Frames of the schedule state icon strip; the hover variants follow at +kHoverFrames.
    enum IconFrame
    {
        IconPlay = 0,
        IconRecording = 1,
        IconSeriesOff = 2,
        IconSeriesOn = 3,
        IconNone = 4,
        kHoverFrames = 5
    };

    // What a press on the state icon turns a schedule into.
    struct Step
    {
        int type;
        int mode;
        bool operator==(const Step&) const = default;
    };

    // Local calendar day of a time as year * 10000 + month * 100 + day; 0 when it cannot be
    // converted.
    static int LocalDayKey(qint64 time);
    // The same time of day `days` calendar days later (earlier when negative). Stepping by
    // 86400 s would stay on the same day, or skip one, across a clock change.
    static qint64 AddDays(qint64 time, int days);
    // Length in minutes by the schedule rule: whole days are left out.
    static int LengthMinutes(qint64 start, qint64 end);
    static bool HasEnded(qint64 end, qint64 now) { return now >= end; }
    // How far an event on air has come, 0..1; 0 when it is not on air. An event whose length by
    // the minute rule is 0 (exactly one or more whole days) counts as fully run, so its bar is
    // drawn full width instead of dividing by zero; one of more than a day never overflows.
    static double Progress(qint64 start, qint64 end, qint64 now);
    // The state icon frame for an event's schedule (none: the empty frame).
    static int IconFrameFor(const CScheduleElement* schedule);
    // The state step of a press on an icon showing `iconFrame` (none → Play → Recording → none,
    // and the two series states in turn).
    static Step NextStep(int iconFrame);

    // Rows of `guide`'s events that start on the local day of `day`, in reply order.
    void Fill(const CGuideElement& guide, qint64 day);
    void Clear();

    int Count() const { return static_cast<int>(m_rows.size()); }
    const EPGRow* At(int row) const;
    int SvcType() const { return m_svcType; }
    int SvcIdx() const { return m_svcIdx; }
    // First row whose event has not ended by `now`, -1 when all have.
    int FirstNotEnded(qint64 now) const;
    int FindEvent(int eventId) const;

    // The database's schedule of a row's event right now, or none. Valid until the database
    // changes: copy what is needed.
    const CScheduleElement* ScheduleOf(const CQuarnDataModel& db, int row) const;
    // The working copy that a press on the state icon sends, or none when the event has ended or
    // its service is gone.
    std::optional<CScheduleElement> IconPress(const CQuarnDataModel& db, int row, qint64 now) const;
    // The schedule that the timer button opens in the edit form: the event's own, or a new
    // single Play; none for a series member (series are edited from the schedule page) or when
    // the service is gone.
    std::optional<CScheduleElement> TimerPress(const CQuarnDataModel& db, int row) const;
    // Whether the timer button is inert (the event's schedule belongs to a series).
    bool TimerDisabled(const CQuarnDataModel& db, int row) const;

private:
    static CEventElement AsEvent(const EPGRow& row);

    int m_svcType = -1;
    int m_svcIdx = -1;
    std::vector<EPGRow> m_rows;
};
