#pragma once

#include "DemoRecords.h"

#include <QHash>
#include <optional>
#include <vector>

// The box's generated channel database. Everything is derived from the seed, so two boxes
// started with the same options report the same services, and a test can predict them. Guides
// are computed on demand per service, which keeps start-up cheap even for large databases.
class CChannelDatabase final
{
public:
    static constexpr int kGuideDays = 7;
    // The two daily series of the generated guide: service ordinal and hour of the day.
    static constexpr int kSeriesOneService = 0;
    static constexpr int kSeriesOneHour = 20;
    static constexpr int kSeriesTwoService = 3;
    static constexpr int kSeriesTwoHour = 14;

    // `boxNow` anchors the guide: it covers kGuideDays days from the box's local midnight.
    CChannelDatabase(int serviceCount, quint64 seed, qint64 boxNow);

    const std::vector<DemoSatellite>& satellites() const { return m_satellites; }
    const std::vector<DemoTransponder>& transponders() const { return m_transponders; }
    const std::vector<DemoService>& services() const { return m_services; }
    const std::vector<DemoFavGroup>& favGroups() const { return m_favGroups; }

    const DemoService* findService(int type, int idx) const;
    const DemoTransponder* findTransponder(int idx) const;
    // Parental lock: the service's own mark or membership of a blocked favourite group.
    bool needsPin(const DemoService& service) const;

    std::vector<DemoEvent> guide(const DemoService& service) const;
    // The event on air at `when`; an event with id -1 outside the guide's days.
    DemoEvent eventAt(const DemoService& service, qint64 when) const;
    std::optional<DemoEvent> findEvent(const DemoService& service, int eventId) const;

    qint64 guideStart() const { return m_guideStart; }
    qint64 guideEnd() const { return m_guideStart + qint64(kGuideDays) * 86400; }

private:
    quint64 mix(quint64 a, quint64 b) const;
    DemoEvent makeEvent(const DemoService& service, int n, qint64 start) const;
    qint64 eventLength(const DemoService& service, int n) const;

    quint64 m_seed;
    qint64 m_guideStart;
    std::vector<DemoSatellite> m_satellites;
    std::vector<DemoTransponder> m_transponders;
    std::vector<DemoService> m_services;
    std::vector<DemoFavGroup> m_favGroups;
    QHash<int, int> m_serviceByKey; // (type << 24 | idx) -> position
};
