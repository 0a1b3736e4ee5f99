#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>
#include <vector>

struct CServiceElement;

// One box timer. A series entry of the database's schedule list holds its series in `members`.
// Members are shared: a copy of a series entry refers to the same member records, and a member
// stays valid for as long as any entry or copy still refers to it, so no copy can delete or
// dangle the schedules of the entry it came from.
class CScheduleElement final
{
public:
    using Member = std::shared_ptr<CScheduleElement>;

    CScheduleElement() = default;
    CScheduleElement(const CScheduleElement&) = default;
    CScheduleElement& operator=(const CScheduleElement&) = default;
    CScheduleElement(CScheduleElement&&) = default;
    CScheduleElement& operator=(CScheduleElement&&) = default;
    ~CScheduleElement() = default;

    // Length without whole days, in minutes: 23:30 to 01:00 gives 90, a 25-hour timer gives 60.
    // `seconds`, when given, receives end - start.
    int DurationMinutes(qint64* seconds = nullptr) const;

    // Index of the state icon in the schedule image strip.
    int IconIndex() const;

    int id = -1; // 0 for a schedule the box does not know yet
    int type = -1;
    int mode = -1;
    int days = -1;
    qint64 start = 0;
    qint64 end = 0;
    int satIdx = -1;
    int svcType = -1;
    int svcIdx = -1;
    QString serviceEncoding;
    QString serviceName;
    CServiceElement* service = nullptr; // not owned
    int eventId = -1;
    QString eventEncoding;
    QString eventName;
    int seriesId = -1;
    QString seriesEncoding;
    QString seriesName;
    std::vector<Member> members;
};
