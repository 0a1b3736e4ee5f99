#pragma once

#include "CChannelDatabase.h"
#include "DemoRecords.h"

#include <QHash>
#include <QString>
#include <vector>

// The box's timers ("alarms"). Starts with a few generated timers, two of them series, and
// applies set_alarm the way the box does: new ids for new timers, changes in place, deletion by
// mode 0, and the box's refusals.
class CAlarmBook final
{
public:
    enum Error
    {
        Ok = 0,
        SlotAllocation = 1,
        Collision = 2,
        Running = 3,
        WrongValue = 4
    };

    struct Request
    {
        int satIdx = 0;
        int svcType = 0;
        int svcIdx = 0;
        int id = 0;
        int type = 0;
        int mode = 0;
        int days = 0;
        qint64 start = 0;
        qint64 end = 0;
        int eventId = -1;
    };

    CAlarmBook(const CChannelDatabase& db, qint64 boxNow, int maxAlarms);

    const std::vector<DemoAlarm>& alarms() const { return m_alarms; }

    // Applies one set_alarm. On success `stored` is the timer as the box keeps it (for a
    // deletion: the removed timer with mode 0).
    int apply(const Request& request, qint64 boxNow, DemoAlarm* stored);

    // "Y-M-DTh:m" in the box's local time, as the client sends it; false when it is not a time.
    static bool parseBoxTime(const QString& text, qint64* out);

private:
    bool fill(const Request& request, DemoAlarm* alarm) const;
    bool collides(const DemoAlarm& alarm) const;
    void addGenerated(int svcOrdinal, int day, int hour, int minute, int type, int mode, int seriesId,
                      const DemoText& seriesName);

    const CChannelDatabase& m_db;
    int m_maxAlarms;
    int m_nextId = 1;
    std::vector<DemoAlarm> m_alarms;
};
