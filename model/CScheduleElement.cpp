#include "model/CScheduleElement.h"

int CScheduleElement::DurationMinutes(qint64* seconds) const
{
    const qint64 d = end - start;
    if (seconds)
        *seconds = d;
    const qint64 h = d / 3600 - 24 * (d / 86400);
    const qint64 m = d / 60 - 60 * (d / 3600);
    return static_cast<int>(h > 0 ? m + 60 * h : m);
}

int CScheduleElement::IconIndex() const
{
    if (seriesId >= 0) {
        if (mode == 1)
            return 3;
        if (mode == 4)
            return 2;
        return 4;
    }
    if (mode == 0)
        return 4;
    if (type == 0)
        return 0;
    if (type == 1)
        return 1;
    return 4;
}
